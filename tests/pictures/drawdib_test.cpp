#include "pictures/drawdib.h"

#include "picfixtures.h"
#include "pictures/picproc.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr QRgb kMarker = 0xFF5A5A5A; // the canvas before drawing

uint32_t Color(int x, int y)
{
    return uint32_t(x * 20 + 5) << 16 | uint32_t(y * 30 + 3) << 8 | 100;
}

QImage Canvas(int width = 64, int height = 64)
{
    QImage canvas(width, height, QImage::Format_RGB32);
    canvas.fill(kMarker);
    return canvas;
}

uint32_t At(const QImage &canvas, int x, int y)
{
    return canvas.pixel(x, y) & 0xFFFFFF;
}

// The rectangle of every pixel the drawing changed.
QRect Painted(const QImage &canvas)
{
    QRect r;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (canvas.pixel(x, y) != kMarker)
                r |= QRect(x, y, 1, 1);
    return r;
}

struct ClipCase {
    const char *what;
    int x, y, width, height, sx, sy, sw, sh; // as passed
    int cx, cy, cw, ch, csx, csy, csw, csh;  // after clipping; cw 0: nothing drawn
};

void PrintTo(const ClipCase &c, std::ostream *os)
{
    *os << c.what;
}

// The picture is 10 × 8 pixels.
const ClipCase kClipCases[] = {
    {"inside, 1:1", 5, 5, 10, 8, 0, 0, 10, 8, 5, 5, 10, 8, 0, 0, 10, 8},
    {"past the right edge", 2, 3, 20, 8, 4, 0, 10, 8, 2, 3, 12, 8, 4, 0, 6, 8},
    {"right edge rounds half to even", 2, 3, 5, 8, 8, 0, 4, 8, 2, 3, 2, 8, 8, 0, 2, 8},
    {"right edge rounds 3.5 up to 4", 2, 3, 7, 8, 8, 0, 4, 8, 2, 3, 4, 8, 8, 0, 2, 8},
    {"below the bottom row", 1, 1, 10, 16, 0, -2, 10, 8, 1, 1, 10, 12, 0, 0, 10, 6},
    {"past the top edge moves down", 1, 1, 10, 16, 0, 4, 10, 8, 1, 9, 10, 8, 0, 4, 10, 4},
    {"past the left edge moves right", 3, 2, 20, 8, -5, 0, 10, 8, 13, 2, 10, 8, 0, 0, 5, 8},
    {"all four edges", 0, 0, 40, 32, -5, -4, 20, 16, 10, 8, 20, 16, 0, 0, 10, 8},
    {"right of the picture", 0, 0, 10, 8, 10, 0, 5, 8, 0, 0, 0, 0, 0, 0, 0, 0},
    {"left of the picture", 0, 0, 10, 8, -10, 0, 10, 8, 0, 0, 0, 0, 0, 0, 0, 0},
    {"above the picture", 0, 0, 10, 8, 0, 8, 10, 8, 0, 0, 0, 0, 0, 0, 0, 0},
    {"below the picture", 0, 0, 10, 8, 0, -8, 10, 8, 0, 0, 0, 0, 0, 0, 0, 0},
    {"no destination width", 0, 0, 0, 8, 0, 0, 10, 8, 0, 0, 0, 0, 0, 0, 0, 0},
    {"negative destination height", 0, 0, 10, -3, 0, 0, 10, 8, 0, 0, 0, 0, 0, 0, 0, 0},
    {"no source width", 0, 0, 10, 8, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0},
    {"negative source height", 0, 0, 10, 8, 0, 0, 10, -1, 0, 0, 0, 0, 0, 0, 0, 0},
    {"shrinks to nothing", 0, 0, 1, 8, 9, 0, 4, 8, 0, 0, 0, 0, 0, 0, 0, 0},
};

class DrawDibClips : public ::testing::TestWithParam<ClipCase> {};

TEST_P(DrawDibClips, DestinationFollowsTheClippedSource)
{
    const ClipCase &c = GetParam();
    for (int bits : {24, 8}) {
        dib d = Make24(10, 8, Color);
        if (bits == 8) {
            // The same colours through a palette of 80 entries.
            TDibInfo info{};
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 10; ++x) {
                    const uint32_t col = Color(x, y);
                    info.colors[y * 10 + x] = {uint8_t(col), uint8_t(col >> 8), uint8_t(col >> 16), 0};
                }
            dib p = newdib(10, 8, 8, &info, 256);
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 10; ++x)
                    setpixel(p, x, y, uint32_t(y * 10 + x));
            FreeDib(d);
            d = p;
        }
        QImage canvas = Canvas();
        {
            QPainter painter(&canvas);
            DrawDib(painter, c.x, c.y, c.width, c.height, d, c.sx, c.sy, c.sw, c.sh);
        }
        if (c.cw == 0) {
            EXPECT_TRUE(Painted(canvas).isNull()) << bits << " bits";
            FreeDib(d);
            continue;
        }
        EXPECT_EQ(Painted(canvas), QRect(c.cx, c.cy, c.cw, c.ch)) << bits << " bits";
        for (int k = 0; k < c.ch; ++k)
            for (int i = 0; i < c.cw; ++i) {
                const int col = c.csx + c.csw * i / c.cw;
                const int row = c.csy + c.csh - 1 - c.csh * k / c.ch;
                ASSERT_EQ(At(canvas, c.cx + i, c.cy + k), Color(col, row))
                    << bits << " bits, destination " << i << "," << k;
            }
        FreeDib(d);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, DrawDibClips, ::testing::ValuesIn(kClipCases));

TEST(DrawDib, EnlargingThreeTimesRepeatsRowsAndColumns)
{
    dib d = Make24(4, 3, Color);
    QImage canvas = Canvas(20, 20);
    {
        QPainter painter(&canvas);
        DrawDib(painter, 1, 2, 12, 9, d, 0, 0, 4, 3);
    }
    EXPECT_EQ(Painted(canvas), QRect(1, 2, 12, 9));
    for (int b = 0; b < 3; ++b)     // source rows from the top
        for (int a = 0; a < 4; ++a) // source columns
            for (int v = 0; v < 3; ++v)
                for (int u = 0; u < 3; ++u)
                    EXPECT_EQ(At(canvas, 1 + 3 * a + u, 2 + 3 * b + v), Color(a, 2 - b))
                        << "source " << a << "," << b << " copy " << u << "," << v;
    FreeDib(d);
}

TEST(DrawDib, LeavesTheSmoothingHintAsItWas)
{
    dib d = Make24(4, 3, Color);
    QImage canvas = Canvas();
    QPainter painter(&canvas);
    for (bool smooth : {true, false}) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
        DrawDib(painter, 0, 0, 13, 7, d, 0, 0, 4, 3);
        EXPECT_EQ(painter.testRenderHint(QPainter::SmoothPixmapTransform), smooth);
    }
    painter.end();
    FreeDib(d);
}

TEST(StretchRows, RowsAndColumnsOutsideThePictureAreZeroBytes)
{
    // Entry 0 of the palette is green: the 8-bit zero bytes show it.
    TDibInfo info{};
    info.colors[0] = {0, 255, 0, 0};
    info.colors[1] = {10, 20, 30, 0};
    dib d8 = newdib(4, 3, 8, &info, 2);
    dib d24 = newdib(4, 3, 24, nullptr, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            setpixel(d8, x, y, 1);
            setpixel(d24, x, y, 0x1E140A);
        }
    // Source x -2..5 and rows -1..3: one column and row band outside on each side.
    for (int bits : {24, 8}) {
        QImage canvas = Canvas(16, 16);
        {
            QPainter painter(&canvas);
            if (bits == 24)
                StretchRows24(painter, 0, 0, 8, 5, d24, -2, -1, 8, 5);
            else
                StretchRows8(painter, 0, 0, 8, 5, d8, -2, -1, 8, 5);
        }
        const uint32_t zero = bits == 24 ? 0x000000 : 0x00FF00;
        EXPECT_EQ(Painted(canvas), QRect(0, 0, 8, 5));
        for (int k = 0; k < 5; ++k)
            for (int i = 0; i < 8; ++i) {
                const int row = 3 - k, col = i - 2;
                const bool inside = row >= 0 && row < 3 && col >= 0 && col < 4;
                EXPECT_EQ(At(canvas, i, k), inside ? 0x1E140Au : zero) << bits << " bits at " << i << "," << k;
            }
    }
    FreeDib(d8);
    FreeDib(d24);
}

TEST(StretchRows, NothingForEmptyRectanglesOrWrongDepths)
{
    dib d24 = Make24(4, 3, Color);
    dib d8 = newdib(4, 3, 8, nullptr, 0);
    QImage canvas = Canvas();
    {
        QPainter painter(&canvas);
        StretchRows24(painter, 0, 0, 0, 5, d24, 0, 0, 4, 3);
        StretchRows24(painter, 0, 0, 5, -5, d24, 0, 0, 4, 3);
        StretchRows24(painter, 0, 0, 5, 5, d24, 0, 0, 0, 3);
        StretchRows8(painter, 0, 0, 5, 5, d8, 0, 0, 4, -3);
        StretchRows24(painter, 0, 0, 5, 5, d8, 0, 0, 4, 3);
        StretchRows8(painter, 0, 0, 5, 5, d24, 0, 0, 4, 3);
        StretchImage(painter, 0, 0, 5, 5, d24, 1, 0, 4, 3);
        StretchImage(painter, 0, 0, 5, 5, d24, 0, -1, 4, 3);
        DrawDib(painter, 0, 0, 5, 5, NoDib(), 0, 0, 4, 3);
    }
    EXPECT_TRUE(Painted(canvas).isNull());
    FreeDib(d24);
    FreeDib(d8);
}

dib Indexed8(int width, int height)
{
    TDibInfo info{};
    for (int i = 0; i < 256; ++i)
        info.colors[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 3), 0};
    dib d = newdib(width, height, 8, &info, 256);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            setpixel(d, x, y, uint32_t(x * 11 + y * 17) & 0xFF);
    return d;
}

struct SameCase {
    int width, height; // destination; the picture is 7 × 5
};

// The image output (printers and other depths) draws the pixels the rows do.
TEST(StretchImage, SamePixelsAsTheRows)
{
    const SameCase cases[] = {{7, 5}, {21, 15}, {14, 5}};
    for (int bits : {24, 8}) {
        dib d = bits == 24 ? Make24(7, 5, Color) : Indexed8(7, 5);
        for (const SameCase &c : cases) {
            QImage rows = Canvas(), image = Canvas();
            {
                QPainter painter(&rows);
                if (bits == 24)
                    StretchRows24(painter, 3, 4, c.width, c.height, d, 0, 0, 7, 5);
                else
                    StretchRows8(painter, 3, 4, c.width, c.height, d, 0, 0, 7, 5);
            }
            {
                QPainter painter(&image);
                StretchImage(painter, 3, 4, c.width, c.height, d, 0, 0, 7, 5);
            }
            EXPECT_EQ(Painted(rows), QRect(3, 4, c.width, c.height));
            EXPECT_EQ(rows, image) << bits << " bits to " << c.width << "x" << c.height;
        }
        // Part of the picture: the source y counts from the bottom row.
        QImage rows = Canvas(), image = Canvas();
        {
            QPainter painter(&rows);
            if (bits == 24)
                StretchRows24(painter, 0, 0, 3, 2, d, 2, 1, 3, 2);
            else
                StretchRows8(painter, 0, 0, 3, 2, d, 2, 1, 3, 2);
        }
        {
            QPainter painter(&image);
            StretchImage(painter, 0, 0, 3, 2, d, 2, 1, 3, 2);
        }
        EXPECT_EQ(rows, image) << bits << " bits, part";
        FreeDib(d);
    }
}

TEST(DrawDib, FourBitPicturesShowTheirPalette)
{
    QList<QRgb> colors;
    TDibInfo info{};
    for (int i = 0; i < 16; ++i)
        info.colors[i] = {uint8_t(i * 16), uint8_t(200 - i * 8), uint8_t(i * 5), 0};
    dib d4 = newdib(7, 5, 4, &info, 16);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            setpixel(d4, x, y, uint32_t(x + 3 * y) & 15);
    dib d24 = newdib(7, 5, 4, &info, 16);
    std::memcpy(d24.poi, d4.poi, size_t(d4.bytew) * 5);
    MakeTrueColor(d24);
    ASSERT_EQ(DibBits(d24), 24);
    QImage four = Canvas(), rows = Canvas();
    {
        QPainter painter(&four);
        DrawDib(painter, 2, 2, 14, 10, d4, 0, 0, 7, 5);
    }
    {
        QPainter painter(&rows);
        DrawDib(painter, 2, 2, 14, 10, d24, 0, 0, 7, 5);
    }
    EXPECT_EQ(Painted(four), QRect(2, 2, 14, 10));
    EXPECT_EQ(four, rows);
    FreeDib(d4);
    FreeDib(d24);
}

TEST(DrawDib, OneBitPicturesShowTheirTwoColours)
{
    TDibInfo info{};
    info.colors[0] = {0, 0, 255, 0}; // red
    info.colors[1] = {255, 0, 0, 0}; // blue
    dib d = newdib(11, 2, 1, &info, 2);
    for (int x = 0; x < 11; ++x)
        setpixel(d, x, 0, uint32_t(x % 3 == 0));
    QImage canvas = Canvas();
    {
        QPainter painter(&canvas);
        DrawDib(painter, 0, 0, 11, 2, d, 0, 0, 11, 2);
    }
    for (int x = 0; x < 11; ++x) {
        EXPECT_EQ(At(canvas, x, 1), x % 3 == 0 ? 0x0000FFu : 0xFF0000u) << x; // stored row 0 is the bottom
        EXPECT_EQ(At(canvas, x, 0), 0xFF0000u) << x;
    }
    FreeDib(d);
}

TEST(DrawDib, PrintersGetThePictureAsOneImage)
{
    static int argc = 1;
    static char name[] = "drawdib_test";
    static char *argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("page.pdf");
    dib d = Make24(10, 8, Color);
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        QPainter painter;
        ASSERT_TRUE(painter.begin(&printer));
        ASSERT_EQ(painter.device()->devType(), QInternal::Printer);
        DrawDib(painter, 100, 100, 400, 320, d, 0, 0, 10, 8);
        painter.end();
    }
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // Row by row this would be 320 images.
    EXPECT_EQ(bytes.count("/Subtype /Image"), 1);
    FreeDib(d);
}

} // namespace
