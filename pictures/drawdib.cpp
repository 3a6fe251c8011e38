#include "pictures/drawdib.h"

#include "pictures/picproc.h"

#include <QImage>
#include <QList>
#include <QPaintDevice>
#include <QPainter>

#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Halves to even, as the device arithmetic rounds.
int64_t Round(double v)
{
    return int64_t(std::nearbyint(v));
}

// Both rectangles non-empty and the destination inside the coordinate range.
bool Drawable(int64_t x, int64_t y, int64_t width, int64_t height, int64_t sw, int64_t sh)
{
    return width > 0 && height > 0 && sw > 0 && sh > 0 && x >= INT_MIN && y >= INT_MIN && x + width <= INT_MAX &&
           y + height <= INT_MAX;
}

QList<QRgb> ColorTable(const dib &d, int entries)
{
    QList<QRgb> colors(entries);
    for (int i = 0; i < entries; ++i)
        colors[i] = qRgb(d.pal.rgb0[i].peRed, d.pal.rgb0[i].peGreen, d.pal.rgb0[i].peBlue);
    return colors;
}

// One reused row buffer; the column offsets are computed once and a source
// row is copied only when it differs from the previous destination row's.
void StretchRows(QPainter &device, int x, int y, int width, int height, const dib &d, int sx, int sy, int sw, int sh,
                 int bytesPerPixel)
{
    const bool indexed = bytesPerPixel == 1;
    dib buffer = newdib(width, 1, 8 * bytesPerPixel, indexed ? d.pmi : nullptr, indexed ? 256 : 0);
    if (!buffer.poih)
        return;
    const int64_t rowEnd = int64_t(DibWidth(d)) * bytesPerPixel - 1;
    std::vector<int64_t> offset(static_cast<size_t>(width));
    int first = -1, last = -1;
    for (int i = 0; i < width; ++i) {
        offset[i] = (sx + int64_t(sw) * i / width) * bytesPerPixel;
        if (offset[i] >= 0 && offset[i] <= rowEnd) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    const QList<QRgb> colors = indexed ? ColorTable(buffer, 256) : QList<QRgb>();
    const QImage::Format format = indexed ? QImage::Format_Indexed8 : QImage::Format_BGR888;
    const int64_t lastRow = int64_t(DibHeight(d) - 1) * d.bytew;
    bool havePrevious = false;
    int64_t previous = 0;
    for (int k = 0; k < height; ++k) {
        const int64_t r = sy + int64_t(sh) - 1 - int64_t(sh) * k / height;
        const int64_t rowOffset = r * d.bytew;
        if (rowOffset < 0 || rowOffset > lastRow) {
            std::memset(buffer.poi, 0, size_t(buffer.bytew));
        } else if (!havePrevious || rowOffset != previous) {
            const uint8_t *src = d.poi + rowOffset;
            for (int i = first; i >= 0 && i <= last; ++i)
                std::memcpy(buffer.poi + int64_t(i) * bytesPerPixel, src + offset[i], size_t(bytesPerPixel));
        }
        previous = rowOffset;
        havePrevious = true;
        // A fresh image over the same buffer for every row: no pixels are
        // copied, and a device that keeps images by their key sees each row.
        QImage row(buffer.poi, width, 1, buffer.bytew, format);
        if (indexed)
            row.setColorTable(colors);
        device.drawImage(QPoint(x, y + k), row);
    }
    deldib(buffer);
}

} // namespace

void DrawDib(QPainter &device, int x, int y, int width, int height, const dib &d, int sx, int sy, int sw, int sh)
{
    if (!HasPicture(d) || !d.pmi)
        return;
    const QPaintDevice *target = device.device();
    const bool printer = target && target->devType() == QInternal::Printer;
    const int64_t pw = DibWidth(d), ph = DibHeight(d);
    int64_t dx = x, dy = y, dw = width, dh = height;
    int64_t srcX = sx, srcY = sy, srcW = sw, srcH = sh;
    if (!Drawable(dx, dy, dw, dh, srcW, srcH))
        return;
    if (srcX + srcW > pw) {
        const int64_t newW = pw - srcX;
        dw = Round(double(dw) * double(newW) / double(srcW));
        srcW = newW;
        if (!Drawable(dx, dy, dw, dh, srcW, srcH))
            return;
    }
    if (srcY < 0) {
        dh = Round(double(dh) * double(srcH + srcY) / double(srcH));
        srcH += srcY;
        srcY = 0;
        if (!Drawable(dx, dy, dw, dh, srcW, srcH))
            return;
    }
    if (srcY + srcH > ph) {
        const int64_t newH = ph - srcY;
        const int64_t f = Round(double(dh) * double(newH) / double(srcH));
        dy += dh - f;
        dh = f;
        srcH = newH;
        if (!Drawable(dx, dy, dw, dh, srcW, srcH))
            return;
    }
    if (srcX < 0) {
        const int64_t f = Round(double(srcX + srcW) * double(dw) / double(srcW));
        dx += dw - f;
        dw = f;
        srcW += srcX;
        srcX = 0;
        if (!Drawable(dx, dy, dw, dh, srcW, srcH))
            return;
    }

    // Rows and columns are dropped or repeated, never blended.
    const bool smooth = device.testRenderHint(QPainter::SmoothPixmapTransform);
    device.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const int bits = DibBits(d);
    if (bits == 24 && !printer)
        StretchRows24(device, int(dx), int(dy), int(dw), int(dh), d, int(srcX), int(srcY), int(srcW), int(srcH));
    else if (bits == 8 && !printer)
        StretchRows8(device, int(dx), int(dy), int(dw), int(dh), d, int(srcX), int(srcY), int(srcW), int(srcH));
    else
        StretchImage(device, int(dx), int(dy), int(dw), int(dh), d, int(srcX), int(srcY), int(srcW), int(srcH));
    device.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
}

void StretchRows24(QPainter &device, int x, int y, int width, int height, const dib &d, int sx, int sy, int sw, int sh)
{
    if (HasPicture(d) && DibBits(d) == 24 && Drawable(x, y, width, height, sw, sh))
        StretchRows(device, x, y, width, height, d, sx, sy, sw, sh, 3);
}

void StretchRows8(QPainter &device, int x, int y, int width, int height, const dib &d, int sx, int sy, int sw, int sh)
{
    if (HasPicture(d) && DibBits(d) == 8 && Drawable(x, y, width, height, sw, sh))
        StretchRows(device, x, y, width, height, d, sx, sy, sw, sh, 1);
}

void StretchImage(QPainter &device, int x, int y, int width, int height, const dib &d, int sx, int sy, int sw, int sh)
{
    const int bits = DibBits(d);
    if (!HasPicture(d) || !Drawable(x, y, width, height, sw, sh) || sx < 0 || sy < 0 ||
        int64_t(sx) + sw > DibWidth(d) || int64_t(sy) + sh > DibHeight(d))
        return;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24)
        return;
    const QImage::Format format =
        bits == 24 ? QImage::Format_BGR888 : (bits == 1 ? QImage::Format_Mono : QImage::Format_Indexed8);
    QImage image(sw, sh, format);
    if (image.isNull())
        return;
    if (bits != 24)
        image.setColorTable(ColorTable(d, 1 << bits));
    for (int r = 0; r < sh; ++r) {
        // The image's top row is the source rectangle's top stored row.
        const uint8_t *src = d.poi + int64_t(sy + sh - 1 - r) * d.bytew;
        uchar *dst = image.scanLine(r);
        switch (bits) {
        case 24:
            std::memcpy(dst, src + int64_t(sx) * 3, size_t(sw) * 3);
            break;
        case 8:
            std::memcpy(dst, src + sx, size_t(sw));
            break;
        case 4:
            for (int i = 0; i < sw; ++i) {
                const int64_t px = int64_t(sx) + i;
                dst[i] = (px & 1) ? src[px / 2] & 0x0F : src[px / 2] >> 4;
            }
            break;
        default:
            std::memset(dst, 0, size_t(image.bytesPerLine()));
            for (int i = 0; i < sw; ++i) {
                const int64_t px = int64_t(sx) + i;
                if ((src[px / 8] >> (7 - px % 8)) & 1)
                    dst[i / 8] |= uchar(0x80 >> (i % 8));
            }
            break;
        }
    }
    device.drawImage(QRect(x, y, width, height), image, QRect(0, 0, sw, sh));
}
