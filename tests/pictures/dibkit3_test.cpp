#include "pictures/dibkit3.h"

#include "picfixtures.h"

#include <QFile>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

int RowBytes(int width, int bits)
{
    return (width * bits + 31) / 32 * 4;
}

bool AllZero(const dib &d)
{
    dib zero{};
    return std::memcmp(&d, &zero, sizeof d) == 0;
}

// Solid blocks of 16 × 16 pixels: lossy coding keeps their colours.
QImage Blocks(QImage::Format format)
{
    static const QRgb colors[] = {qRgb(200, 30, 30), qRgb(30, 180, 40), qRgb(20, 40, 220),
                                  qRgb(240, 240, 40), qRgb(250, 250, 250), qRgb(10, 10, 10)};
    QImage image(48, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 48; ++x)
            image.setPixel(x, y, colors[(x / 16 + 3 * (y / 16)) % 6]);
    return image.convertToFormat(format);
}

QImage Noise(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, random.generate() | 0xFF000000u);
    return image;
}

QImage Mono33()
{
    QImage image(33, 3, QImage::Format_Mono);
    image.setColor(0, qRgb(255, 0, 0));
    image.setColor(1, qRgb(0, 0, 255));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 33; ++x)
            image.setPixel(x, y, (x * 7 + y * 3) % 5 == 0 ? 1 : 0);
    return image;
}

QImage Rgb5x3()
{
    QImage image(5, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            image.setPixel(x, y, qRgb(50 * x, 80 * y + 10, 200 - 30 * x));
    return image;
}

QImage Gray5x3()
{
    QImage image(5, 3, QImage::Format_Grayscale8);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            image.setPixel(x, y, qRgb(40 * x + 15 * y, 40 * x + 15 * y, 40 * x + 15 * y));
    return image;
}

QImage AlphaRow()
{
    QImage image(3, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(0, 255, 0, 255));
    image.setPixel(1, 0, qRgba(255, 0, 0, 0));
    image.setPixel(2, 0, qRgba(255, 0, 0, 128));
    return image;
}

// The same row as it reads laid over white.
QImage AlphaRowOverWhite()
{
    QImage image(3, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(0, 255, 0));
    image.setPixel(1, 0, qRgb(255, 255, 255));
    image.setPixel(2, 0, qRgb(255, 127, 127));
    return image;
}

QImage GifWithTransparency()
{
    return IndexedPicture(5, 3, 4);
}

QImage GifWithTransparencyOverWhite()
{
    QImage image = GifWithTransparency();
    image.setColor(1, qRgb(255, 255, 255));
    return image;
}

struct LoadCase {
    const char *name; // the file's name, its extension naming the kind
    QByteArray (*bytes)();
    int bits;            // depth of the loaded picture
    QImage (*expected)(); // what the picture shows, top row first
    bool indexed;        // the pixel values are the file's palette indices
    int tolerance;       // per colour channel, for lossy files
};

void PrintTo(const LoadCase &c, std::ostream *os)
{
    *os << c.name;
}

const LoadCase kLoadCases[] = {
    {"mono.png", [] { return Encode(Mono33(), "png"); }, 1, Mono33, true, 0},
    {"mono.bmp", [] { return Encode(Mono33(), "bmp"); }, 1, Mono33, true, 0},
    {"four.png", [] { return PalettePng(IndexedPicture(5, 3, 7), 4); }, 4, [] { return IndexedPicture(5, 3, 7); },
     true, 0},
    {"four.bmp", [] { return Encode(IndexedPicture(5, 3, 7), "bmp"); }, 4, [] { return IndexedPicture(5, 3, 7); },
     true, 0},
    // A palette of few colours in an 8-bit file stays 8 bits.
    {"eight7.png", [] { return PalettePng(IndexedPicture(5, 3, 7), 8); }, 8, [] { return IndexedPicture(5, 3, 7); },
     true, 0},
    {"eight.bmp", [] { return Encode(IndexedPicture(5, 3, 40), "bmp"); }, 8,
     [] { return IndexedPicture(5, 3, 40); }, true, 0},
    {"rle8.bmp", [] { return Rle8Bmp(IndexedPicture(5, 3, 40)); }, 8, [] { return IndexedPicture(5, 3, 40); }, true,
     0},
    {"two.png", [] { return PalettePng(IndexedPicture(5, 3, 4), 2); }, 8, [] { return IndexedPicture(5, 3, 4); },
     true, 0},
    {"pic.gif", [] { return MakeGif(IndexedPicture(5, 3, 8)); }, 8, [] { return IndexedPicture(5, 3, 8); }, true, 0},
    {"notrailer.gif", [] { return MakeGif(IndexedPicture(5, 3, 8)).chopped(1); }, 8,
     [] { return IndexedPicture(5, 3, 8); }, true, 0},
    {"transparent.gif", [] { return MakeGif(GifWithTransparency(), 1); }, 8, GifWithTransparencyOverWhite, true, 0},
    {"gray.png", [] { return Encode(Gray5x3(), "png"); }, 8, Gray5x3, false, 0},
    {"gray.jpg", [] { return Encode(Blocks(QImage::Format_Grayscale8), "jpg", 100); }, 8,
     [] { return Blocks(QImage::Format_Grayscale8); }, false, 4},
    {"rgb.png", [] { return Encode(Rgb5x3(), "png"); }, 24, Rgb5x3, false, 0},
    {"rgb.bmp", [] { return Encode(Rgb5x3(), "bmp"); }, 24, Rgb5x3, false, 0},
    {"rgb.jpg", [] { return Encode(Blocks(QImage::Format_RGB32), "jpg", 100); }, 24,
     [] { return Blocks(QImage::Format_RGB32); }, false, 12},
    {"trailer.jpg", [] { return Encode(Blocks(QImage::Format_RGB32), "jpg", 100) + "trailing bytes"; }, 24,
     [] { return Blocks(QImage::Format_RGB32); }, false, 12},
    {"alpha.png", [] { return Encode(AlphaRow(), "png"); }, 24, AlphaRowOverWhite, false, 0},
};

class OpenDibLoads : public ::testing::TestWithParam<LoadCase> {
protected:
    QTemporaryDir dir;
};

TEST_P(OpenDibLoads, KeepsDepthRowsAndPalette)
{
    const LoadCase &c = GetParam();
    const QByteArray bytes = c.bytes();
    ASSERT_FALSE(bytes.isEmpty());
    const QString path = dir.filePath(c.name);
    ASSERT_TRUE(WriteBytes(path, bytes));
    const QImage expected = c.expected();
    const int w = expected.width(), h = expected.height();

    dib d = OpenDib(QFile::encodeName(path).constData(), 0, nullptr);
    ASSERT_NE(d.poi, nullptr);
    ASSERT_NE(d.pmi, nullptr);
    EXPECT_NE(d.poih, 0u);
    EXPECT_EQ(DibBits(d), c.bits);
    ASSERT_EQ(DibWidth(d), w);
    ASSERT_EQ(DibHeight(d), h);
    EXPECT_EQ(d.bytew, RowBytes(w, c.bits));
    EXPECT_EQ(d.bytew % 4, 0);
    EXPECT_EQ(d.pmi->hdr.biSize, 40u);
    EXPECT_EQ(d.pmi->hdr.biPlanes, 1);

    auto near = [&](uint32_t got, QRgb want) {
        return std::abs(int(got >> 16 & 0xFF) - qRed(want)) <= c.tolerance &&
               std::abs(int(got >> 8 & 0xFF) - qGreen(want)) <= c.tolerance &&
               std::abs(int(got & 0xFF) - qBlue(want)) <= c.tolerance;
    };
    // The top-left pixel of the file lies in the last stored row (inside
    // the first block for lossy files).
    const int t = c.tolerance ? 2 : 0;
    EXPECT_TRUE(near(StoredColor(d, t, h - 1 - t), expected.pixel(t, t)));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // Lossy coding blurs the edges of the blocks.
            if (c.tolerance && (x % 16 < 2 || x % 16 >= 14 || y % 16 < 2 || y % 16 >= 14))
                continue;
            const int stored = h - 1 - y;
            EXPECT_TRUE(near(StoredColor(d, x, stored), expected.pixel(x, y)))
                << "x " << x << " y " << y << " got " << std::hex << StoredColor(d, x, stored) << " want "
                << expected.pixel(x, y);
            if (c.indexed) {
                EXPECT_EQ(getpixel(d, x, stored), uint32_t(expected.pixelIndex(x, y))) << x << "," << y;
            }
        }
    if (c.indexed) {
        ASSERT_EQ(d.pal.num, expected.colorCount());
        EXPECT_EQ(d.pmi->hdr.biClrUsed, uint32_t(expected.colorCount()));
        for (int i = 0; i < expected.colorCount(); ++i) {
            const QRgb want = expected.color(i);
            const TPalEntry &p = d.pal.rgb0[i];
            const TRGBQuad &q = d.pmi->colors[i];
            EXPECT_EQ(qRgb(p.peRed, p.peGreen, p.peBlue), qRgb(qRed(want), qGreen(want), qBlue(want))) << "entry " << i;
            EXPECT_EQ(qRgb(q.rgbRed, q.rgbGreen, q.rgbBlue), qRgb(p.peRed, p.peGreen, p.peBlue)) << "entry " << i;
        }
    }
    deldib(d);
}

INSTANTIATE_TEST_SUITE_P(Files, OpenDibLoads, ::testing::ValuesIn(kLoadCases));

TEST(OpenDib, StoresRowsBottomUpInMemory)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("rows.bmp");
    ASSERT_TRUE(WriteBytes(path, Encode(Rgb5x3(), "bmp")));
    dib d = OpenDib(QFile::encodeName(path).constData(), 0, nullptr);
    ASSERT_NE(d.poi, nullptr);
    // Bottom row of the file first; blue, green, red bytes.
    const uint8_t *bottom = d.poi;
    const uint8_t *top = d.poi + 2 * d.bytew;
    const QRgb b = Rgb5x3().pixel(1, 2), t = Rgb5x3().pixel(1, 0);
    EXPECT_EQ(bottom[3], qBlue(b));
    EXPECT_EQ(bottom[4], qGreen(b));
    EXPECT_EQ(bottom[5], qRed(b));
    EXPECT_EQ(top[3], qBlue(t));
    EXPECT_EQ(top[4], qGreen(t));
    EXPECT_EQ(top[5], qRed(t));
    deldib(d);
}

struct BadFile {
    const char *name;
    QByteArray (*bytes)();
};

void PrintTo(const BadFile &c, std::ostream *os)
{
    *os << c.name;
}

QByteArray Cut(const QByteArray &bytes, double keep)
{
    return bytes.left(qsizetype(bytes.size() * keep));
}

QByteArray WidePng()
{
    // Complete and valid, but wider than any picture accepted.
    const int width = kDibMaxSide + 8;
    return MakePng(width, 1, 1, 0, {}, {QByteArray(width / 8, '\x55')});
}

const BadFile kBadFiles[] = {
    {"empty.png", [] { return QByteArray(); }},
    {"garbage.png", [] { return QByteArray(600, 'x'); }},
    {"garbage.bmp", [] { return QByteArray("BM") + QByteArray(600, '\xEE'); }},
    {"garbage.gif", [] { return QByteArray("GIF89a") + QByteArray(600, '\x21'); }},
    {"garbage.jpg", [] { return QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(600, '\xFF'); }},
    {"half.png", [] { return Cut(Encode(Noise(64, 64), "png"), 0.5); }},
    {"cutidat.png", [] { return Encode(Noise(64, 64), "png").chopped(30); }},
    {"cut24.bmp", [] { return Encode(Noise(64, 64), "bmp").chopped(10); }},
    {"cut8.bmp", [] { return Encode(IndexedPicture(64, 64, 40), "bmp").chopped(64); }},
    {"cut4.bmp", [] { return Encode(IndexedPicture(64, 64, 7), "bmp").chopped(32); }},
    {"cutrle.bmp", [] { return Rle8Bmp(IndexedPicture(64, 64, 40)).chopped(6); }},
    {"cut.jpg", [] { return Cut(Encode(Noise(64, 64), "jpg", 90), 0.7); }},
    {"noend.jpg", [] { return Encode(Noise(64, 64), "jpg", 90).chopped(2); }},
    {"cut.gif", [] { return Cut(MakeGif(IndexedPicture(64, 64, 40)), 0.8); }},
    {"huge.png", [] { return PngHeaderOnly(100000, 100000, 8, 2) + QByteArray(100, '\0'); }},
    {"huge.bmp", [] { return BmpHeaderOnly(100000, 100000, 24) + QByteArray(100, '\0'); }},
    {"huge1.bmp", [] { return BmpHeaderOnly(100000, 100000, 1) + QByteArray(100, '\0'); }},
    {"hugeneg.bmp", [] { return BmpHeaderOnly(100000, -100000, 8) + QByteArray(100, '\0'); }},
    {"tall.png", [] { return PngHeaderOnly(1, 1 << 30, 8, 2) + QByteArray(100, '\0'); }},
    // Sides within the limit, too many bytes of pixels.
    {"big.png", [] { return PngHeaderOnly(30000, 30000, 8, 3) + QByteArray(100, '\0'); }},
    {"wide.png", WidePng},
};

class OpenDibRefuses : public ::testing::TestWithParam<BadFile> {
protected:
    QTemporaryDir dir;
};

TEST_P(OpenDibRefuses, GivesNoPicture)
{
    const QString path = dir.filePath(GetParam().name);
    ASSERT_TRUE(WriteBytes(path, GetParam().bytes()));
    dib d = OpenDib(QFile::encodeName(path).constData(), 0, nullptr);
    EXPECT_EQ(d.poi, nullptr);
    EXPECT_TRUE(AllZero(d));
    deldib(d);
}

INSTANTIATE_TEST_SUITE_P(Files, OpenDibRefuses, ::testing::ValuesIn(kBadFiles));

struct CutCase {
    const char *name;
    QByteArray (*bytes)();
    int keepable; // bytes at the end that may go: a GIF's trailer, the
                  // end-of-picture code after the last row of a run-length BMP
};

void PrintTo(const CutCase &c, std::ostream *os)
{
    *os << c.name;
}

const CutCase kCutCases[] = {
    {"mono.bmp", [] { return Encode(Mono33(), "bmp"); }, 0},
    {"four.bmp", [] { return Encode(IndexedPicture(9, 4, 7), "bmp"); }, 0},
    {"rle8.bmp", [] { return Rle8Bmp(IndexedPicture(9, 4, 40)); }, 2},
    {"rgb.bmp", [] { return Encode(Rgb5x3(), "bmp"); }, 0},
    {"pic.gif", [] { return MakeGif(IndexedPicture(9, 4, 8)); }, 1},
    {"rgb.jpg", [] { return Encode(Noise(16, 16), "jpg", 80); }, 0},
    {"rgb.png", [] { return Encode(Noise(16, 16), "png"); }, 12},
};

class OpenDibCut : public ::testing::TestWithParam<CutCase> {
protected:
    QTemporaryDir dir;
};

// Cut off anywhere before the end of its pixel data, a file gives no picture.
TEST_P(OpenDibCut, EveryShortenedFileIsRefused)
{
    const CutCase &c = GetParam();
    const QByteArray bytes = c.bytes();
    const QByteArray path = QFile::encodeName(dir.filePath(c.name));
    for (qsizetype n = 0; n < bytes.size() - c.keepable; ++n) {
        ASSERT_TRUE(WriteBytes(QFile::decodeName(path), bytes.left(n)));
        dib d = OpenDib(path.constData(), 0, nullptr);
        EXPECT_TRUE(AllZero(d)) << n << " of " << bytes.size() << " bytes";
        deldib(d);
    }
}

// Damaged bytes anywhere: no crash; a picture that still loads is whole.
TEST_P(OpenDibCut, DamagedFilesAreSurvived)
{
    const CutCase &c = GetParam();
    const QByteArray bytes = c.bytes();
    const QByteArray path = QFile::encodeName(dir.filePath(c.name));
    QRandomGenerator random(11);
    for (int round = 0; round < 300; ++round) {
        QByteArray damaged = bytes;
        for (int k = 0; k < 1 + round % 4; ++k)
            damaged[random.bounded(int(damaged.size()))] = char(random.bounded(256));
        ASSERT_TRUE(WriteBytes(QFile::decodeName(path), damaged));
        dib d = OpenDib(path.constData(), 0, nullptr);
        if (d.poi) {
            EXPECT_GT(DibWidth(d), 0);
            EXPECT_GT(DibHeight(d), 0);
            EXPECT_EQ(d.bytew, RowBytes(DibWidth(d), DibBits(d)));
            for (int y = 0; y < DibHeight(d); ++y)
                for (int x = 0; x < DibWidth(d); ++x)
                    getpixel(d, x, y);
        } else {
            EXPECT_TRUE(AllZero(d));
        }
        deldib(d);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, OpenDibCut, ::testing::ValuesIn(kCutCases));

TEST(OpenDib, NamesThatAreNoPictureFile)
{
    QTemporaryDir dir;
    const QByteArray missing = QFile::encodeName(dir.filePath("missing.png"));
    const QByteArray folder = QFile::encodeName(dir.path());
    for (const char *name : {static_cast<const char *>(nullptr), "", missing.constData(), folder.constData()}) {
        dib d = OpenDib(name, 0, nullptr);
        EXPECT_TRUE(AllZero(d)) << (name ? name : "(null)");
        deldib(d);
    }
}

TEST(OpenDib, ReadsUtf8Names)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromUtf8("Hintergrund \xC3\xA4\xC3\xB6\xC3\xBC.png"));
    ASSERT_TRUE(WriteBytes(path, Encode(Rgb5x3(), "png")));
    dib d = OpenDib(QFile::encodeName(path).constData(), 0, nullptr);
    EXPECT_NE(d.poi, nullptr);
    deldib(d);
}

TEST(NewDib, ZeroFilledWithHeader)
{
    for (int bits : {1, 4, 8, 24}) {
        for (int width : {1, 3, 17, 33}) {
            dib d = newdib(width, 5, bits, nullptr, 0);
            ASSERT_NE(d.poih, 0u) << bits << " " << width;
            ASSERT_NE(d.poi, nullptr);
            EXPECT_EQ(d.bytew, RowBytes(width, bits));
            EXPECT_EQ(DibWidth(d), width);
            EXPECT_EQ(DibHeight(d), 5);
            EXPECT_EQ(DibBits(d), bits);
            EXPECT_EQ(d.pmi->hdr.biSize, 40u);
            EXPECT_EQ(d.pmi->hdr.biPlanes, 1);
            EXPECT_EQ(d.pmi->hdr.biSizeImage, uint32_t(d.bytew * 5));
            EXPECT_EQ(d.pal.num, 0);
            const std::vector<uint8_t> zero(size_t(d.bytew) * 5, 0);
            EXPECT_EQ(std::memcmp(d.poi, zero.data(), zero.size()), 0);
            deldib(d);
        }
    }
}

TEST(NewDib, CopiesTheColourTable)
{
    TDibInfo info{};
    for (int i = 0; i < 256; ++i)
        info.colors[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2), 0};
    struct {
        int bits, numColors, copied;
    } cases[] = {{8, 256, 256}, {8, 10, 10}, {4, 16, 16}, {4, 256, 16}, {1, 2, 2}, {1, 256, 2}, {8, -3, 0}};
    for (const auto &c : cases) {
        dib d = newdib(4, 2, c.bits, &info, c.numColors);
        ASSERT_NE(d.poih, 0u);
        EXPECT_EQ(d.pal.num, c.copied) << c.bits << " " << c.numColors;
        EXPECT_EQ(d.pmi->hdr.biClrUsed, uint32_t(c.copied));
        for (int i = 0; i < 256; ++i) {
            const TPalEntry &p = d.pal.rgb0[i];
            const TRGBQuad &q = d.pmi->colors[i];
            if (i < c.copied) {
                EXPECT_EQ(p.peRed, info.colors[i].rgbRed);
                EXPECT_EQ(p.peGreen, info.colors[i].rgbGreen);
                EXPECT_EQ(p.peBlue, info.colors[i].rgbBlue);
                EXPECT_EQ(std::memcmp(&q, &info.colors[i], 3), 0);
            } else {
                EXPECT_EQ(p.peRed | p.peGreen | p.peBlue | q.rgbRed | q.rgbGreen | q.rgbBlue, 0);
            }
        }
        deldib(d);
    }
}

TEST(NewDib, RefusesImpossibleSizesAndDepths)
{
    struct {
        int32_t width, height, bits;
    } cases[] = {
        {0, 5, 8},
        {5, 0, 24},
        {-1, 5, 24},
        {5, -7, 1},
        {5, 5, 16},
        {5, 5, 32},
        {5, 5, 0},
        {kDibMaxSide + 1, 1, 8},
        {1, kDibMaxSide + 1, 1},
        {INT32_MAX, INT32_MAX, 24},
        // 16384 × 3 bytes × 10923 rows is just over the byte limit.
        {16384, 10923, 24},
    };
    for (const auto &c : cases) {
        dib d = newdib(c.width, c.height, c.bits, nullptr, 0);
        EXPECT_EQ(d.poih, 0u) << c.width << "x" << c.height << "x" << c.bits;
        EXPECT_TRUE(AllZero(d));
        deldib(d);
    }
    for (const auto &c : {std::pair{kDibMaxSide, 1}, std::pair{1, kDibMaxSide}}) {
        dib d = newdib(c.first, c.second, 24, nullptr, 0);
        EXPECT_NE(d.poih, 0u) << c.first << "x" << c.second;
        deldib(d);
    }
}

struct PixelCase {
    int bits;
    int x, y;
    uint32_t value;
    int offset;       // byte of the pixel within the rows
    uint8_t byte;     // that byte afterwards, starting from zero
    uint32_t readBack;
};

TEST(Pixels, PackingOfEachDepth)
{
    const PixelCase cases[] = {
        {1, 0, 0, 1, 0, 0x80, 1},
        {1, 9, 0, 1, 1, 0x40, 1},
        {1, 7, 1, 3, 4 + 0, 0x01, 1}, // only the lowest bit counts
        {4, 0, 0, 0xA, 0, 0xA0, 0xA},
        {4, 1, 0, 0x5, 0, 0x05, 0x5},
        {4, 3, 1, 0x1F, 8 + 1, 0x0F, 0xF},
        {8, 3, 1, 200, 16 + 3, 200, 200},
        {24, 2, 1, 0x123456, 40 + 6, 0x56, 0x123456},
        {24, 2, 1, 0x123456, 40 + 8, 0x12, 0x123456},
        {24, 0, 0, 0xFFFFFF, 1, 0xFF, 0xFFFFFF},
    };
    for (const PixelCase &c : cases) {
        dib d = newdib(13, 3, c.bits, nullptr, 0);
        ASSERT_NE(d.poih, 0u);
        ASSERT_EQ(d.bytew, RowBytes(13, c.bits));
        setpixel(d, c.x, c.y, c.value);
        EXPECT_EQ(d.poi[c.offset], c.byte) << c.bits << " bits at " << c.x << "," << c.y;
        EXPECT_EQ(getpixel(d, c.x, c.y), c.readBack);
        deldib(d);
    }
}

TEST(Pixels, RoundTripLeavesNeighboursAlone)
{
    for (int bits : {1, 4, 8, 24}) {
        const uint32_t mask = bits == 24 ? 0xFFFFFF : (1u << bits) - 1;
        dib a = newdib(13, 3, bits, nullptr, 0);
        dib b = newdib(13, 3, bits, nullptr, 0);
        ASSERT_NE(a.poih, 0u);
        ASSERT_NE(b.poih, 0u);
        auto value = [mask](int x, int y) { return uint32_t(x * 0x2F1D3 + y * 0x51 + 1) & mask; };
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 13; ++x)
                setpixel(a, x, y, value(x, y));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 13; ++x) {
                EXPECT_EQ(getpixel(a, x, y), value(x, y)) << bits << " bits at " << x << "," << y;
                // A value read from one picture stores the same pixel in another.
                setpixel(b, x, y, getpixel(a, x, y));
            }
        for (int y = 0; y < 3; ++y)
            EXPECT_EQ(std::memcmp(a.poi + y * a.bytew, b.poi + y * b.bytew, size_t(a.bytew)), 0) << bits;
        deldib(a);
        deldib(b);
    }
}

TEST(Pixels, OutsideThePictureNothingHappens)
{
    for (int bits : {1, 4, 8, 24}) {
        dib d = newdib(5, 2, bits, nullptr, 0);
        ASSERT_NE(d.poih, 0u);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 5; ++x)
                setpixel(d, x, y, 0xFFFFFF);
        const std::vector<uint8_t> before(d.poi, d.poi + 2 * d.bytew);
        for (auto [x, y] : std::initializer_list<std::pair<int, int>>{{-1, 0}, {5, 0}, {0, -1}, {0, 2}, {INT32_MIN, INT32_MAX}}) {
            setpixel(d, x, y, 0);
            EXPECT_EQ(getpixel(d, x, y), 0u) << bits << " bits at " << x << "," << y;
        }
        EXPECT_EQ(std::memcmp(before.data(), d.poi, before.size()), 0) << bits;
        deldib(d);
    }
    EXPECT_EQ(getpixel(dib{}, 0, 0), 0u);
    setpixel(dib{}, 0, 0, 1);
}

TEST(OpenFilter, ListsWhatOpenDibReads)
{
    const QByteArray filter(GetDIBOpenFilter());
    const QList<QByteArray> parts = filter.split('|');
    ASSERT_EQ(parts.size(), 4);
    EXPECT_TRUE(parts[0].startsWith("Bilder ("));
    EXPECT_EQ(parts[2], "Alle Dateien (*.*)");
    EXPECT_EQ(parts[3], "*.*");
    const QList<QByteArray> supported = QImageReader::supportedImageFormats();
    const QList<QByteArray> patterns = parts[1].split(';');
    for (const char *ext : {"png", "jpg", "jpeg", "gif", "bmp"})
        EXPECT_TRUE(patterns.contains(QByteArray("*.") + ext)) << ext;
    for (const QByteArray &pattern : patterns) {
        ASSERT_TRUE(pattern.startsWith("*."));
        EXPECT_TRUE(supported.contains(pattern.mid(2))) << pattern.constData();
        EXPECT_TRUE(parts[0].contains(pattern)) << pattern.constData();
    }
}

} // namespace
