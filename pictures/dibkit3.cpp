#include "pictures/dibkit3.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QList>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// The largest file read into memory: an uncompressed 32-bit BMP of the
// largest picture still fits.
constexpr qint64 kMaxFileBytes = 2 * kDibMaxPixelBytes;

int64_t RowBytes(int64_t width, int bits)
{
    return (width * bits + 31) / 32 * 4;
}

bool SizeAllowed(int64_t width, int64_t height, int bits)
{
    return width > 0 && height > 0 && width <= kDibMaxSide && height <= kDibMaxSide &&
           RowBytes(width, bits) * height <= kDibMaxPixelBytes;
}

bool ValidBits(int bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 24;
}

bool Inside(const dib &d, int32_t x, int32_t y)
{
    return d.poi && d.pmi && x >= 0 && y >= 0 && x < d.pmi->hdr.biWidth && y < d.pmi->hdr.biHeight;
}

void SetColor(dib &d, int i, QRgb c)
{
    d.pmi->colors[i] = {uint8_t(qBlue(c)), uint8_t(qGreen(c)), uint8_t(qRed(c)), 0};
    d.pal.rgb0[i] = {uint8_t(qRed(c)), uint8_t(qGreen(c)), uint8_t(qBlue(c)), 0};
}

// Paper is white: a transparent part of a picture shows white.
QRgb OverWhite(QRgb c)
{
    const int a = qAlpha(c);
    auto mix = [a](int v) { return (v * a + 255 * (255 - a) + 127) / 255; };
    return qRgb(mix(qRed(c)), mix(qGreen(c)), mix(qBlue(c)));
}

void SetPalette(dib &d, const QList<QRgb> &colors)
{
    const int n = std::min<int>(int(colors.size()), 1 << d.pmi->hdr.biBitCount);
    for (int i = 0; i < n; ++i)
        SetColor(d, i, OverWhite(colors[i]));
    d.pmi->hdr.biClrUsed = uint32_t(n);
    d.pal.num = uint16_t(n);
}

uint32_t ReadLE32(const QByteArray &b, qsizetype pos)
{
    return qFromLittleEndian<uint32_t>(b.constData() + pos);
}

uint16_t ReadLE16(const QByteArray &b, qsizetype pos)
{
    return qFromLittleEndian<uint16_t>(b.constData() + pos);
}

bool IsBmp(const QByteArray &b)
{
    return b.size() >= 30 && b.startsWith("BM");
}

bool IsGif(const QByteArray &b)
{
    return b.startsWith("GIF87a") || b.startsWith("GIF89a");
}

bool IsPng(const QByteArray &b)
{
    return b.size() >= 26 && b.startsWith("\x89PNG\r\n\x1a\n") && b.mid(12, 4) == "IHDR";
}

// Bits per pixel as the file's own header states them (BMP and PNG), else 0.
int FileBitsPerPixel(const QByteArray &b)
{
    if (IsBmp(b))
        return ReadLE32(b, 14) == 12 ? ReadLE16(b, 24) : ReadLE16(b, 28);
    if (IsPng(b)) {
        static const int channels[7] = {1, 0, 3, 1, 2, 0, 4};
        const int type = uint8_t(b[25]);
        return type < 7 ? uint8_t(b[24]) * channels[type] : 0;
    }
    return 0;
}

// Walks the run-length codes of a compressed BMP: complete when they reach
// the end-of-picture code or the last row.
bool RleComplete(const QByteArray &b, qsizetype pos, bool rle8, int64_t rows)
{
    int64_t row = 0;
    while (pos + 2 <= b.size()) {
        const uint8_t count = uint8_t(b[pos]);
        const uint8_t code = uint8_t(b[pos + 1]);
        pos += 2;
        if (count != 0)
            continue;
        if (code == 1)
            return true;
        if (code == 0) {
            ++row;
        } else if (code == 2) {
            if (pos + 2 > b.size())
                return false;
            row += uint8_t(b[pos + 1]);
            pos += 2;
        } else {
            const qsizetype n = rle8 ? code : (code + 1) / 2;
            pos += (n + 1) & ~qsizetype(1);
        }
        if (row >= rows)
            return true;
    }
    return false;
}

bool BmpComplete(const QByteArray &b)
{
    const uint32_t offBits = ReadLE32(b, 10);
    const uint32_t headerSize = ReadLE32(b, 14);
    int64_t width, height, bits, compression;
    if (headerSize == 12) {
        width = ReadLE16(b, 18);
        height = ReadLE16(b, 20);
        bits = ReadLE16(b, 24);
        compression = 0;
    } else {
        if (b.size() < 34)
            return false;
        width = int32_t(ReadLE32(b, 18));
        height = int32_t(ReadLE32(b, 22));
        bits = ReadLE16(b, 28);
        compression = ReadLE32(b, 30);
    }
    width = std::abs(width);
    height = std::abs(height);
    // Larger than any picture accepted, whatever the data.
    if (width > kDibMaxSide || height > kDibMaxSide || bits > 64)
        return false;
    if (compression == 1 || compression == 2)
        return RleComplete(b, offBits, compression == 1, height);
    if (compression == 0 || compression == 3 || compression == 6)
        return b.size() >= int64_t(offBits) + RowBytes(width, int(bits)) * height;
    return true;
}

// From the start marker over the segments and the coded data of each scan
// to the end marker.
bool JpegComplete(const QByteArray &b)
{
    const auto *p = reinterpret_cast<const uint8_t *>(b.constData());
    const qsizetype size = b.size();
    qsizetype pos = 2;
    for (;;) {
        while (pos < size && p[pos] != 0xFF)
            ++pos;
        while (pos < size && p[pos] == 0xFF)
            ++pos;
        if (pos >= size)
            return false;
        const uint8_t marker = p[pos++];
        if (marker == 0xD9)
            return true;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (pos + 2 > size)
            return false;
        const qsizetype length = (p[pos] << 8) | p[pos + 1];
        if (length < 2 || pos + length > size)
            return false;
        pos += length;
        if (marker != 0xDA)
            continue;
        for (;;) {
            const void *ff = std::memchr(p + pos, 0xFF, size_t(size - pos));
            if (!ff)
                return false;
            pos = static_cast<const uint8_t *>(ff) - p;
            if (pos + 1 >= size)
                return false;
            const uint8_t next = p[pos + 1];
            if (next != 0x00 && !(next >= 0xD0 && next <= 0xD7))
                break;
            pos += 2;
        }
    }
}

// What a GIF file says about its first picture, the one read: whether its
// data is all there, its colour table and its transparent index.
struct GifFacts {
    bool complete = false;
    QList<QRgb> colors;
    int transparent = -1;
};

GifFacts ScanGif(const QByteArray &b)
{
    GifFacts facts;
    if (b.size() < 13)
        return facts;
    const auto *p = reinterpret_cast<const uint8_t *>(b.constData());
    const qsizetype size = b.size();
    auto tableBytes = [](uint8_t flags) { return (flags & 0x80) ? qsizetype(3) << ((flags & 7) + 1) : 0; };
    auto readTable = [&](qsizetype pos, qsizetype bytes) {
        QList<QRgb> colors;
        for (qsizetype i = pos; i + 3 <= pos + bytes && i + 3 <= size; i += 3)
            colors << qRgb(p[i], p[i + 1], p[i + 2]);
        return colors;
    };
    auto skipBlocks = [&](qsizetype &pos) {
        while (pos < size) {
            const uint8_t n = p[pos++];
            if (n == 0)
                return true;
            pos += n;
        }
        return false;
    };
    const qsizetype globalBytes = tableBytes(p[10]);
    QList<QRgb> colors = readTable(13, globalBytes);
    qsizetype pos = 13 + globalBytes;
    while (pos < size) {
        const uint8_t kind = p[pos++];
        if (kind == 0x21) {
            if (pos + 6 <= size && p[pos] == 0xF9 && p[pos + 1] == 4)
                facts.transparent = (p[pos + 2] & 1) ? p[pos + 5] : -1;
            ++pos;
            if (!skipBlocks(pos))
                return facts;
        } else if (kind == 0x2C) {
            if (pos + 9 > size)
                return facts;
            const qsizetype localBytes = tableBytes(p[pos + 8]);
            if (localBytes)
                colors = readTable(pos + 9, localBytes);
            pos += 9 + localBytes + 1;
            facts.complete = skipBlocks(pos);
            facts.colors = colors;
            return facts;
        } else {
            return facts;
        }
    }
    return facts;
}

// Qt's readers hand out what they could decode of a cut-off BMP, JPEG or
// GIF; such a file counts as unreadable.
bool FileComplete(const QByteArray &b)
{
    if (IsBmp(b))
        return BmpComplete(b);
    if (b.startsWith("\xFF\xD8"))
        return JpegComplete(b);
    if (IsGif(b))
        return ScanGif(b).complete;
    return true;
}

void CopyRowsBottomUp(dib &d, const QImage &image, int64_t rowBytes)
{
    const int h = image.height();
    for (int y = 0; y < h; ++y)
        std::memcpy(d.poi + int64_t(h - 1 - y) * d.bytew, image.constScanLine(y), size_t(rowBytes));
}

dib FromMono(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_Mono);
    if (image.isNull())
        return dib{};
    dib d = newdib(image.width(), image.height(), 1, nullptr, 0);
    if (!d.poih)
        return d;
    SetPalette(d, image.colorTable());
    const int w = image.width();
    CopyRowsBottomUp(d, image, (w + 7) / 8);
    if (w % 8) {
        // Qt leaves the bits past the last pixel undefined.
        const uint8_t mask = uint8_t(0xFF << (8 - w % 8));
        for (int y = 0; y < image.height(); ++y)
            d.poi[int64_t(y) * d.bytew + w / 8] &= mask;
    }
    return d;
}

bool FitsInFourBits(const QImage &image)
{
    if (image.colorCount() > 16)
        return false;
    for (int y = 0; y < image.height(); ++y) {
        const uchar *s = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x)
            if (s[x] > 15)
                return false;
    }
    return true;
}

dib FromIndexed(const QImage &image, int fileBits)
{
    const int w = image.width(), h = image.height();
    const bool four = fileBits == 4 && FitsInFourBits(image);
    dib d = newdib(w, h, four ? 4 : 8, nullptr, 0);
    if (!d.poih)
        return d;
    SetPalette(d, image.colorTable());
    if (!four) {
        CopyRowsBottomUp(d, image, w);
        return d;
    }
    for (int y = 0; y < h; ++y) {
        const uchar *s = image.constScanLine(y);
        uint8_t *row = d.poi + int64_t(h - 1 - y) * d.bytew;
        for (int x = 0; x < w; ++x)
            row[x / 2] |= (x & 1) ? s[x] : uint8_t(s[x] << 4);
    }
    return d;
}

// Qt decodes a GIF to 32 bits; the file's colour table gives the picture
// back its 8 bits. A colour the table lacks (a background outside the
// first picture) leaves it at 24 bits.
dib FromGifColors(const QImage &image, const GifFacts &gif)
{
    if (gif.colors.isEmpty() ||
        (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32))
        return dib{};
    QHash<QRgb, int> index;
    for (int i = int(gif.colors.size()) - 1; i >= 0; --i)
        if (i != gif.transparent)
            index.insert(gif.colors[i] | 0xFF000000u, i);
    const int w = image.width(), h = image.height();
    dib d = newdib(w, h, 8, nullptr, 0);
    if (!d.poih)
        return d;
    for (int y = 0; y < h; ++y) {
        const auto *s = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        uint8_t *row = d.poi + int64_t(h - 1 - y) * d.bytew;
        for (int x = 0; x < w; ++x) {
            int v = -1;
            if (qAlpha(s[x]) == 0)
                v = gif.transparent;
            else if (qAlpha(s[x]) == 255)
                v = index.value(s[x], -1);
            if (v < 0 || v >= int(gif.colors.size())) {
                deldib(d);
                return dib{};
            }
            row[x] = uint8_t(v);
        }
    }
    QList<QRgb> colors = gif.colors;
    if (gif.transparent >= 0 && gif.transparent < colors.size())
        colors[gif.transparent] = qRgba(0, 0, 0, 0);
    SetPalette(d, colors);
    return d;
}

dib FromGrayscale(const QImage &image)
{
    dib d = newdib(image.width(), image.height(), 8, nullptr, 0);
    if (!d.poih)
        return d;
    QList<QRgb> ramp(256);
    for (int i = 0; i < 256; ++i)
        ramp[i] = qRgb(i, i, i);
    SetPalette(d, ramp);
    CopyRowsBottomUp(d, image, image.width());
    return d;
}

dib FromTrueColor(QImage &image)
{
    const bool alpha = image.hasAlphaChannel();
    const QImage source = image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    image = QImage();
    if (source.isNull())
        return dib{};
    const int w = source.width(), h = source.height();
    dib d = newdib(w, h, 24, nullptr, 0);
    if (!d.poih)
        return d;
    for (int y = 0; y < h; ++y) {
        const auto *s = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        uint8_t *row = d.poi + int64_t(h - 1 - y) * d.bytew;
        for (int x = 0; x < w; ++x) {
            const QRgb c = alpha ? OverWhite(s[x]) : s[x];
            row[3 * x] = uint8_t(qBlue(c));
            row[3 * x + 1] = uint8_t(qGreen(c));
            row[3 * x + 2] = uint8_t(qRed(c));
        }
    }
    return d;
}

dib FromImage(QImage &image, int fileBits, const GifFacts &gif)
{
    const int dpmX = image.dotsPerMeterX(), dpmY = image.dotsPerMeterY();
    dib d{};
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        d = image.colorCount() >= 2 ? FromMono(image) : FromTrueColor(image);
        break;
    case QImage::Format_Indexed8:
        d = image.colorCount() >= 1 ? FromIndexed(image, fileBits) : FromTrueColor(image);
        break;
    case QImage::Format_Grayscale8:
        d = FromGrayscale(image);
        break;
    default:
        d = FromGifColors(image, gif);
        if (!d.poih)
            d = FromTrueColor(image);
        break;
    }
    if (d.poih) {
        d.pmi->hdr.biXPelsPerMeter = dpmX;
        d.pmi->hdr.biYPelsPerMeter = dpmY;
    }
    return d;
}

} // namespace

extern "C" {

dib OpenDib(const char *filename, int, void *)
{
    if (!filename || !*filename)
        return dib{};
    const QString name = QFile::decodeName(filename);
    // Regular files only: a pipe or device would block or never end.
    const QFileInfo info(name);
    if (!info.isFile() || info.size() <= 0 || info.size() > kMaxFileBytes)
        return dib{};
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return dib{};
    QByteArray bytes = file.readAll();
    file.close();
    if (!FileComplete(bytes))
        return dib{};
    const int fileBits = FileBitsPerPixel(bytes);
    const GifFacts gif = IsGif(bytes) ? ScanGif(bytes) : GifFacts();

    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // The size the header claims decides before Qt allocates anything; Qt
    // decodes to at least 8 bits a pixel unless the file has 1 bit.
    const QSize claimed = reader.size();
    if (claimed.isValid() && !SizeAllowed(claimed.width(), claimed.height(), fileBits == 1 ? 1 : 8))
        return dib{};
    // Qt's own limit, in MB, counts its 32-bit pixels of a picture that ends
    // up with 24.
    reader.setAllocationLimit(int(kDibMaxPixelBytes * 4 / 3 >> 20));
    QImage image = reader.read();
    if (image.isNull())
        return dib{};
    return FromImage(image, fileBits, gif);
}

dib newdib(int32_t width, int32_t height, int32_t bits, const TDibInfo *info, int32_t numColors)
{
    if (!ValidBits(bits) || !SizeAllowed(width, height, bits))
        return dib{};
    const int64_t bytew = RowBytes(width, bits);
    auto *pmi = static_cast<TDibInfo *>(std::calloc(1, sizeof(TDibInfo)));
    auto *poi = static_cast<uint8_t *>(std::calloc(size_t(bytew * height), 1));
    if (!pmi || !poi) {
        std::free(pmi);
        std::free(poi);
        return dib{};
    }
    dib d{};
    d.pmi = pmi;
    d.poi = poi;
    d.poih = 1;
    d.pmih = 1;
    d.bytew = int32_t(bytew);
    d.ispal = bits <= 8;
    d.pal.ver = 0x300;
    TDibInfoHeader &h = pmi->hdr;
    h.biSize = sizeof(TDibInfoHeader);
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = uint16_t(bits);
    h.biSizeImage = uint32_t(bytew * height);
    const int n = info ? std::clamp(numColors, 0, bits <= 8 ? 1 << bits : 0) : 0;
    for (int i = 0; i < n; ++i) {
        const TRGBQuad &c = info->colors[i];
        SetColor(d, i, qRgb(c.rgbRed, c.rgbGreen, c.rgbBlue));
    }
    h.biClrUsed = uint32_t(n);
    d.pal.num = uint16_t(n);
    return d;
}

void deldib(dib d)
{
    std::free(d.poi);
    std::free(d.pmi);
}

uint32_t getpixel(dib d, int32_t x, int32_t y)
{
    if (!Inside(d, x, y))
        return 0;
    const uint8_t *row = d.poi + int64_t(y) * d.bytew;
    switch (d.pmi->hdr.biBitCount) {
    case 1:
        return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4:
        return (x & 1) ? row[x / 2] & 0x0F : row[x / 2] >> 4;
    case 8:
        return row[x];
    case 24: {
        const uint8_t *p = row + 3 * int64_t(x);
        return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }
    default:
        return 0;
    }
}

void setpixel(dib d, int32_t x, int32_t y, uint32_t value)
{
    if (!Inside(d, x, y))
        return;
    uint8_t *row = d.poi + int64_t(y) * d.bytew;
    switch (d.pmi->hdr.biBitCount) {
    case 1: {
        const uint8_t bit = uint8_t(0x80 >> (x % 8));
        row[x / 8] = (value & 1) ? row[x / 8] | bit : row[x / 8] & ~bit;
        break;
    }
    case 4:
        row[x / 2] = (x & 1) ? uint8_t((row[x / 2] & 0xF0) | (value & 0x0F))
                             : uint8_t((row[x / 2] & 0x0F) | (value & 0x0F) << 4);
        break;
    case 8:
        row[x] = uint8_t(value);
        break;
    case 24: {
        uint8_t *p = row + 3 * int64_t(x);
        p[0] = uint8_t(value);
        p[1] = uint8_t(value >> 8);
        p[2] = uint8_t(value >> 16);
        break;
    }
    default:
        break;
    }
}

const char *GetDIBOpenFilter()
{
    return "Bilder (*.png;*.jpg;*.jpeg;*.gif;*.bmp)|*.png;*.jpg;*.jpeg;*.gif;*.bmp|Alle Dateien (*.*)|*.*";
}

} // extern "C"
