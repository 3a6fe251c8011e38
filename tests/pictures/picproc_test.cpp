#include "pictures/picproc.h"

#include "layout/settings.h"
#include "picfixtures.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

uint32_t Rgb(int r, int g, int b)
{
    return uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
}

int Red(uint32_t c)
{
    return int(c >> 16 & 0xFF);
}

int Green(uint32_t c)
{
    return int(c >> 8 & 0xFF);
}

int Blue(uint32_t c)
{
    return int(c & 0xFF);
}

// The processing steps written out once more, as plainly as they read.
int GrayOf(uint32_t c)
{
    return (30 * Red(c) + 59 * Green(c) + 11 * Blue(c)) / 100;
}

int LightenOf(int c, int h, int s)
{
    int c1 = int(std::trunc(double((c - 128) * (s + 100)) / 100.0)) + 128;
    c1 = c1 < 0 ? 0 : (c1 > 255 ? 255 : c1);
    return int(std::trunc(255.0 - (255.0 - c1) * h / 100.0));
}

dib Indexed(int bits, const QList<QRgb> &colors, int width, int height)
{
    TDibInfo info{};
    for (int i = 0; i < colors.size(); ++i)
        info.colors[i] = {uint8_t(qBlue(colors[i])), uint8_t(qGreen(colors[i])), uint8_t(qRed(colors[i])), 0};
    return newdib(width, height, bits, &info, int(colors.size()));
}

bool SamePixels(const dib &a, const dib &b)
{
    return DibWidth(a) == DibWidth(b) && DibHeight(a) == DibHeight(b) && DibBits(a) == DibBits(b) &&
           a.bytew == b.bytew && std::memcmp(a.poi, b.poi, size_t(a.bytew) * DibHeight(a)) == 0;
}

TEST(FreeDib, LeavesNoPointerBehind)
{
    dib d = newdib(3, 3, 8, nullptr, 0);
    ASSERT_TRUE(HasPicture(d));
    FreeDib(d);
    EXPECT_FALSE(HasPicture(d));
    EXPECT_EQ(d.pmi, nullptr);
    EXPECT_EQ(DibWidth(d), 0);
    FreeDib(d);
    dib none = NoDib();
    FreeDib(none);
    EXPECT_FALSE(HasPicture(none));
}

TEST(MakeTrueColor, OneBitGoesByPixelValueWhateverTheColours)
{
    const QList<QRgb> palettes[] = {
        {qRgb(255, 0, 0), qRgb(0, 255, 0)},
        {qRgb(255, 255, 255), qRgb(0, 0, 0)},
        {qRgb(0, 0, 0), qRgb(255, 255, 255)},
    };
    for (const QList<QRgb> &palette : palettes) {
        dib d = Indexed(1, palette, 11, 3);
        ASSERT_TRUE(HasPicture(d));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 11; ++x)
                setpixel(d, x, y, (x + y) % 3 == 0);
        MakeTrueColor(d);
        ASSERT_EQ(DibBits(d), 24);
        EXPECT_EQ(d.bytew, 36);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 11; ++x)
                EXPECT_EQ(getpixel(d, x, y), (x + y) % 3 == 0 ? 0xFFFFFFu : 0u) << x << "," << y;
        FreeDib(d);
    }
}

TEST(MakeTrueColor, FourAndEightBitsThroughThePalette)
{
    QList<QRgb> colors;
    for (int i = 0; i < 256; ++i)
        colors << qRgb(i, (i * 7) % 256, 255 - i);
    for (int bits : {4, 8}) {
        dib d = Indexed(bits, colors, 9, 4);
        ASSERT_TRUE(HasPicture(d));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 9; ++x)
                setpixel(d, x, y, uint32_t(x * 5 + y * 3) % (1u << bits));
        MakeTrueColor(d);
        ASSERT_EQ(DibBits(d), 24);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 9; ++x) {
                const QRgb c = colors[int(uint32_t(x * 5 + y * 3) % (1u << bits))];
                EXPECT_EQ(getpixel(d, x, y), Rgb(qRed(c), qGreen(c), qBlue(c))) << bits << ": " << x << "," << y;
            }
        FreeDib(d);
    }
}

TEST(MakeTrueColor, FourBitsHighHalfFirst)
{
    dib d = Indexed(4, {qRgb(0, 0, 0), qRgb(1, 2, 3), qRgb(10, 20, 30)}, 2, 1);
    ASSERT_TRUE(HasPicture(d));
    d.poi[0] = 0x21;
    MakeTrueColor(d);
    EXPECT_EQ(getpixel(d, 0, 0), Rgb(10, 20, 30));
    EXPECT_EQ(getpixel(d, 1, 0), Rgb(1, 2, 3));
    // Blue, green, red in memory.
    EXPECT_EQ(d.poi[0], 30);
    EXPECT_EQ(d.poi[2], 10);
    FreeDib(d);
}

TEST(MakeTrueColor, TrueColourAndNoPictureStayAsTheyAre)
{
    dib d = newdib(4, 4, 24, nullptr, 0);
    uint8_t *pixels = d.poi;
    MakeTrueColor(d);
    EXPECT_EQ(d.poi, pixels);
    FreeDib(d);
    dib none = NoDib();
    MakeTrueColor(none);
    EXPECT_FALSE(HasPicture(none));
}

TEST(MakeTrueColor, WithoutRoomForTheCopyThePictureStays)
{
    // As 24 bits this picture would pass the byte limit.
    dib d = newdib(kDibMaxSide, 5462, 1, nullptr, 0);
    ASSERT_TRUE(HasPicture(d));
    uint8_t *pixels = d.poi;
    MakeTrueColor(d);
    EXPECT_EQ(d.poi, pixels);
    EXPECT_EQ(DibBits(d), 1);
    // Steps for 3-byte pixels leave other depths alone.
    d.poi[0] = 0x5A;
    MakeGrayscale(d);
    LightenTexture(d, 50, 0);
    EXPECT_EQ(d.poi[0], 0x5A);
    FreeDib(d);
}

TEST(MakeGrayscale, WeightsRedGreenBlue)
{
    const uint32_t colors[] = {Rgb(255, 0, 0), Rgb(0, 255, 0),   Rgb(0, 0, 255),
                               Rgb(255, 255, 255), Rgb(10, 20, 30), Rgb(1, 1, 1)};
    const int expected[] = {76, 150, 28, 255, 18, 1};
    dib d = newdib(6, 1, 24, nullptr, 0);
    ASSERT_TRUE(HasPicture(d));
    for (int x = 0; x < 6; ++x)
        setpixel(d, x, 0, colors[x]);
    d.poi[18] = 0xAB; // row padding
    MakeGrayscale(d);
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(getpixel(d, x, 0), Rgb(expected[x], expected[x], expected[x])) << x;
        EXPECT_EQ(expected[x], GrayOf(colors[x]));
    }
    EXPECT_EQ(d.poi[18], 0xAB);
    FreeDib(d);
}

struct LightenCase {
    uint32_t color;
    double hellEd, satEd;
    uint32_t expected;
};

TEST(LightenTexture, Examples)
{
    const LightenCase cases[] = {
        {Rgb(0, 0, 0), 50, 0, Rgb(127, 127, 127)},
        {Rgb(255, 0, 0), 50, 0, Rgb(255, 127, 127)},
        {Rgb(12, 130, 250), 100, 0, Rgb(12, 130, 250)},
        {Rgb(0, 100, 254), 1, 0, Rgb(252, 253, 254)},
        {Rgb(0, 77, 255), 100, -100, Rgb(128, 128, 128)},
        {Rgb(0, 77, 255), 50, -100, Rgb(191, 191, 191)},
        // (c - 128) × 3: below 0 and above 255 are limited.
        {Rgb(100, 200, 127), 100, 200, Rgb(44, 255, 125)},
        // The division truncates toward zero: -1.5 becomes -1.
        {Rgb(127, 0, 129), 100, 50, Rgb(127, 0, 129)},
        {Rgb(10, 10, 10), 33, 0, Rgb(174, 174, 174)},
        // Whole numbers of the spin edits: 50.9 is 50, -0.5 is 0.
        {Rgb(0, 0, 0), 50.9, 0, Rgb(127, 127, 127)},
        {Rgb(0, 0, 0), 100, -0.5, Rgb(0, 0, 0)},
        {Rgb(0, 0, 0), 100, -1, Rgb(2, 2, 2)},
    };
    for (const LightenCase &c : cases) {
        dib d = newdib(1, 1, 24, nullptr, 0);
        ASSERT_TRUE(HasPicture(d));
        setpixel(d, 0, 0, c.color);
        LightenTexture(d, c.hellEd, c.satEd);
        EXPECT_EQ(getpixel(d, 0, 0), c.expected)
            << std::hex << c.color << std::dec << " h " << c.hellEd << " s " << c.satEd << " got " << std::hex
            << getpixel(d, 0, 0);
        FreeDib(d);
    }
}

TEST(LightenTexture, EveryByteFollowsTheRule)
{
    dib d = newdib(256, 1, 24, nullptr, 0);
    ASSERT_TRUE(HasPicture(d));
    for (int h : {1, 37, 100}) {
        for (int s : {-100, -33, 0, 71, 200}) {
            for (int c = 0; c < 256; ++c)
                setpixel(d, c, 0, Rgb(c, 255 - c, c / 2));
            LightenTexture(d, h, s);
            for (int c = 0; c < 256; ++c)
                ASSERT_EQ(getpixel(d, c, 0),
                          Rgb(LightenOf(c, h, s), LightenOf(255 - c, h, s), LightenOf(c / 2, h, s)))
                    << "c " << c << " h " << h << " s " << s;
        }
    }
    FreeDib(d);
}

class Background : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        palettePath = dir.filePath("texture.png");
        ASSERT_TRUE(WriteBytes(palettePath, PalettePng(IndexedPicture(5, 3, 40), 8)));
        monoPath = dir.filePath("mono.bmp");
        QImage mono(9, 2, QImage::Format_Mono);
        mono.setColor(0, qRgb(255, 0, 0));
        mono.setColor(1, qRgb(0, 0, 255));
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 9; ++x)
                mono.setPixel(x, y, uint((x + y) % 2));
        ASSERT_TRUE(WriteBytes(monoPath, Encode(mono, "bmp")));
    }

    TLayoutSettings Settings(const QString &file, bool gray, bool lighten, double hell = 50, double sat = 0) const
    {
        TLayoutSettings s;
        s.FilenameEdit2 = file;
        s.GrayScaleCheck = gray;
        s.LightenCheck = lighten;
        s.HellEd = hell;
        s.SatEd = sat;
        return s;
    }

    // The file's own colour of the stored pixel (x, y).
    uint32_t Original(int x, int y) const
    {
        const QImage image = IndexedPicture(5, 3, 40);
        const QRgb c = image.pixel(x, 2 - y);
        return Rgb(qRed(c), qGreen(c), qBlue(c));
    }

    QTemporaryDir dir;
    QString palettePath, monoPath;
};

TEST_F(Background, UncheckedBoxesKeepTheFileAsItIs)
{
    dib di2 = NoDib();
    LoadBackground(Settings(palettePath, false, false, 1, 200), di2);
    ASSERT_TRUE(HasPicture(di2));
    EXPECT_EQ(DibBits(di2), 8);
    dib plain = OpenPicture(palettePath);
    EXPECT_TRUE(SamePixels(di2, plain));
    FreeDib(plain);
    FreeDib(di2);
}

struct ProcessCase {
    const char *what;
    bool gray, lighten;
    double hell, sat;
    uint32_t (*expected)(uint32_t original);
};

const ProcessCase kProcessCases[] = {
    {"full brightness keeps the colours", false, true, 100, 0, [](uint32_t c) { return c; }},
    {"brightness 1 is almost white", false, true, 1, 0,
     [](uint32_t c) {
         return Rgb(LightenOf(Red(c), 1, 0), LightenOf(Green(c), 1, 0), LightenOf(Blue(c), 1, 0));
     }},
    {"saturation -100 gives 128", false, true, 100, -100, [](uint32_t) { return Rgb(128, 128, 128); }},
    {"gray only", true, false, 10, 150,
     [](uint32_t c) {
         const int g = GrayOf(c);
         return Rgb(g, g, g);
     }},
    {"gray first, then lightened", true, true, 40, 30,
     [](uint32_t c) {
         const int g = LightenOf(GrayOf(c), 40, 30);
         return Rgb(g, g, g);
     }},
};

TEST_F(Background, ProcessingStartsFromTheFile)
{
    for (const ProcessCase &c : kProcessCases) {
        dib di2 = NoDib();
        LoadBackground(Settings(palettePath, c.gray, c.lighten, c.hell, c.sat), di2);
        ASSERT_TRUE(HasPicture(di2)) << c.what;
        ASSERT_EQ(DibBits(di2), 24) << c.what;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(getpixel(di2, x, y), c.expected(Original(x, y))) << c.what << " at " << x << "," << y;
        FreeDib(di2);
    }
}

TEST_F(Background, BrightnessOneIsAlmostWhite)
{
    dib di2 = NoDib();
    LoadBackground(Settings(palettePath, false, true, 1, 0), di2);
    ASSERT_TRUE(HasPicture(di2));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const uint32_t c = getpixel(di2, x, y);
            EXPECT_GE(Red(c), 252);
            EXPECT_GE(Green(c), 252);
            EXPECT_GE(Blue(c), 252);
        }
    FreeDib(di2);
}

TEST_F(Background, OneBitPictureBecomesBlackAndWhiteByValue)
{
    dib di2 = NoDib();
    LoadBackground(Settings(monoPath, false, true, 100, 0), di2);
    ASSERT_TRUE(HasPicture(di2));
    ASSERT_EQ(DibBits(di2), 24);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(getpixel(di2, x, y), (x + (1 - y)) % 2 ? 0xFFFFFFu : 0u) << x << "," << y;
    FreeDib(di2);
}

TEST_F(Background, ChangingBrightnessTwiceEqualsSettingItOnce)
{
    dib di2 = NoDib();
    LoadBackground(Settings(palettePath, true, true, 70, 20), di2);
    LoadBackground(Settings(palettePath, true, true, 30, 20), di2);
    dib once = NoDib();
    LoadBackground(Settings(palettePath, true, true, 30, 20), once);
    ASSERT_TRUE(HasPicture(di2));
    ASSERT_TRUE(HasPicture(once));
    EXPECT_TRUE(SamePixels(di2, once));
    FreeDib(di2);
    FreeDib(once);
}

TEST_F(Background, NoFileNoPicture)
{
    for (const QString &name : {QString(), dir.filePath("missing.png")}) {
        dib di2 = NoDib();
        LoadBackground(Settings(palettePath, false, true), di2);
        ASSERT_TRUE(HasPicture(di2));
        // A picture held before is released and not kept.
        LoadBackground(Settings(name, false, true), di2);
        EXPECT_FALSE(HasPicture(di2)) << name.toStdString();
        EXPECT_EQ(di2.pmi, nullptr);
        FreeDib(di2);
    }
}

TEST_F(Background, LogoIsNotProcessedAndNamedFromTheCurrentFolder)
{
    const QString logoName = TLayoutSettings().FilenameEdit1;
    ASSERT_FALSE(logoName.isEmpty());
    ASSERT_TRUE(WriteBytes(dir.filePath(logoName), MakeGif(IndexedPicture(5, 3, 8))));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    TLayoutSettings s = Settings(palettePath, true, true);
    dib di3 = NoDib();
    LoadLogo(s, di3);
    QDir::setCurrent(before);
    ASSERT_TRUE(HasPicture(di3));
    EXPECT_EQ(DibBits(di3), 8);
    EXPECT_EQ(StoredColor(di3, 1, 2), [] {
        const QRgb c = IndexedPicture(5, 3, 8).pixel(1, 0);
        return Rgb(qRed(c), qGreen(c), qBlue(c));
    }());
    FreeDib(di3);
}

TEST_F(Background, PagePicturesLoadBoth)
{
    ASSERT_TRUE(WriteBytes(dir.filePath("logo.bmp"), Encode(IndexedPicture(4, 4, 40), "bmp")));
    TLayoutSettings s = Settings(palettePath, false, true, 100, 0);
    s.FilenameEdit1 = dir.filePath("logo.bmp");
    TPagePictures pictures;
    pictures.Load(s);
    ASSERT_TRUE(HasPicture(pictures.di2));
    ASSERT_TRUE(HasPicture(pictures.di3));
    EXPECT_EQ(DibBits(pictures.di2), 24);
    EXPECT_EQ(DibBits(pictures.di3), 8);
    // Loading again replaces both; the destructor releases them.
    s.FilenameEdit1.clear();
    pictures.Load(s);
    EXPECT_TRUE(HasPicture(pictures.di2));
    EXPECT_FALSE(HasPicture(pictures.di3));
}

} // namespace
