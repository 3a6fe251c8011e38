#include "picfixtures.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QtEndian>

#include <algorithm>

namespace {

uint32_t Crc32(const QByteArray &bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (char ch : bytes) {
        crc ^= uint8_t(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

QByteArray BE32(uint32_t v)
{
    QByteArray b(4, '\0');
    qToBigEndian(v, b.data());
    return b;
}

QByteArray LE32(uint32_t v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray LE16(uint16_t v)
{
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray Chunk(const char *type, const QByteArray &data)
{
    const QByteArray body = QByteArray(type) + data;
    return BE32(uint32_t(data.size())) + body + BE32(Crc32(body));
}

QByteArray Ihdr(int width, int height, int bitDepth, int colorType)
{
    QByteArray d = BE32(uint32_t(width)) + BE32(uint32_t(height));
    d += char(bitDepth);
    d += char(colorType);
    d += QByteArray(3, '\0');
    return Chunk("IHDR", d);
}

const char kPngSignature[] = "\x89PNG\r\n\x1a\n";

QByteArray BmpHeaders(int width, int height, int bits, int compression, int colors, uint32_t pixelBytes)
{
    const uint32_t offBits = 14 + 40 + 4 * colors;
    QByteArray b = "BM" + LE32(offBits + pixelBytes) + LE32(0) + LE32(offBits);
    b += LE32(40) + LE32(uint32_t(width)) + LE32(uint32_t(height)) + LE16(1) + LE16(uint16_t(bits));
    b += LE32(uint32_t(compression)) + LE32(pixelBytes) + LE32(2835) + LE32(2835) + LE32(uint32_t(colors)) + LE32(0);
    return b;
}

} // namespace

QByteArray Encode(const QImage &image, const char *format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    return writer.write(image) ? bytes : QByteArray();
}

QImage IndexedPicture(int width, int height, int colors)
{
    QImage image(width, height, QImage::Format_Indexed8);
    image.setColorCount(colors);
    for (int i = 0; i < colors; ++i)
        image.setColor(i, qRgb((i * 67 + 20) % 256, (255 - i * 41 % 256 + 256) % 256, (i * 113 + 7) % 256));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, uint((x + 2 * y) % colors));
    return image;
}

QByteArray MakePng(int width, int height, int bitDepth, int colorType, const QList<QRgb> &palette,
                   const QList<QByteArray> &rows)
{
    QByteArray out = QByteArray(kPngSignature, 8) + Ihdr(width, height, bitDepth, colorType);
    if (!palette.isEmpty()) {
        QByteArray plte;
        for (QRgb c : palette) {
            plte += char(qRed(c));
            plte += char(qGreen(c));
            plte += char(qBlue(c));
        }
        out += Chunk("PLTE", plte);
    }
    QByteArray raw;
    for (const QByteArray &row : rows)
        raw += '\0' + row;
    // qCompress puts the length in front of the zlib stream.
    out += Chunk("IDAT", qCompress(raw).mid(4));
    out += Chunk("IEND", QByteArray());
    return out;
}

QByteArray PalettePng(const QImage &indexed, int bitDepth)
{
    QList<QByteArray> rows;
    const int perByte = 8 / bitDepth;
    for (int y = 0; y < indexed.height(); ++y) {
        QByteArray row((indexed.width() + perByte - 1) / perByte, '\0');
        for (int x = 0; x < indexed.width(); ++x) {
            const int shift = 8 - bitDepth * (x % perByte + 1);
            row[x / perByte] = char(uint8_t(row[x / perByte]) | indexed.pixelIndex(x, y) << shift);
        }
        rows << row;
    }
    return MakePng(indexed.width(), indexed.height(), bitDepth, 3, indexed.colorTable(), rows);
}

QByteArray PngHeaderOnly(int width, int height, int bitDepth, int colorType)
{
    return QByteArray(kPngSignature, 8) + Ihdr(width, height, bitDepth, colorType);
}

QByteArray BmpHeaderOnly(int width, int height, int bits)
{
    return BmpHeaders(width, height, bits, 0, 0, 0);
}

QByteArray Rle8Bmp(const QImage &indexed)
{
    QByteArray codes;
    for (int y = indexed.height() - 1; y >= 0; --y) {
        for (int x = 0; x < indexed.width(); ++x) {
            codes += char(1);
            codes += char(indexed.pixelIndex(x, y));
        }
        codes += QByteArray("\0\0", 2);
    }
    codes += QByteArray("\0\1", 2);
    const int colors = int(indexed.colorCount());
    QByteArray out = BmpHeaders(indexed.width(), indexed.height(), 8, 1, colors, uint32_t(codes.size()));
    for (QRgb c : indexed.colorTable())
        out += LE32(c & 0xFFFFFF);
    return out + codes;
}

QByteArray MakeGif(const QImage &indexed, int transparent)
{
    int tableBits = 1;
    while ((1 << tableBits) < indexed.colorCount())
        ++tableBits;
    QByteArray out = "GIF89a" + LE16(uint16_t(indexed.width())) + LE16(uint16_t(indexed.height()));
    out += char(0x80 | (tableBits - 1));
    out += QByteArray(2, '\0');
    for (int i = 0; i < (1 << tableBits); ++i) {
        const QRgb c = i < indexed.colorCount() ? indexed.color(i) : 0;
        out += char(qRed(c));
        out += char(qGreen(c));
        out += char(qBlue(c));
    }
    if (transparent >= 0)
        out += QByteArray("\x21\xF9\x04\x01\0\0", 6) + char(transparent) + '\0';
    out += ',' + LE16(0) + LE16(0) + LE16(uint16_t(indexed.width())) + LE16(uint16_t(indexed.height())) + '\0';
    // A clear code before every pixel keeps the code width fixed, so the
    // data needs no real compressor.
    const int minCode = std::max(2, tableBits);
    const int width = minCode + 1;
    QByteArray data;
    uint32_t acc = 0;
    int nbits = 0;
    auto put = [&](uint32_t code) {
        acc |= code << nbits;
        nbits += width;
        while (nbits >= 8) {
            data += char(acc & 0xFF);
            acc >>= 8;
            nbits -= 8;
        }
    };
    for (int y = 0; y < indexed.height(); ++y)
        for (int x = 0; x < indexed.width(); ++x) {
            put(1u << minCode);
            put(uint32_t(indexed.pixelIndex(x, y)));
        }
    put((1u << minCode) + 1);
    if (nbits > 0)
        data += char(acc & 0xFF);
    out += char(minCode);
    for (qsizetype pos = 0; pos < data.size(); pos += 255) {
        const QByteArray block = data.mid(pos, 255);
        out += char(block.size());
        out += block;
    }
    out += '\0';
    out += ';';
    return out;
}

bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

uint32_t StoredColor(const dib &d, int x, int y)
{
    const uint32_t v = getpixel(d, x, y);
    if (DibBits(d) == 24)
        return v;
    const TPalEntry &e = d.pal.rgb0[v & 0xFF];
    return uint32_t(e.peRed) << 16 | uint32_t(e.peGreen) << 8 | e.peBlue;
}

dib Make24(int width, int height, uint32_t (*color)(int x, int y))
{
    dib d = newdib(width, height, 24, nullptr, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            setpixel(d, x, y, color(x, y));
    return d;
}
