#include "layout/settings.h"

#include <gtest/gtest.h>

#include <QSet>

#include <cmath>
#include <limits>

namespace {

const TSettingInfo &Info(const char *name)
{
    for (const TSettingInfo &info : LayoutSettingList())
        if (qstrcmp(info.name, name) == 0)
            return info;
    throw std::logic_error(name);
}

} // namespace

TEST(LayoutSettings, DefaultsOfTheNumbersChecksAndColours)
{
    const TLayoutSettings s;
    struct Real {
        const char *name;
        double value;
    };
    for (const Real &r : {Real{"LinksEd", 12}, Real{"ObenEd", 2}, Real{"RechtsEd", 12}, Real{"UntenEd", 5},
                          Real{"RandBildEd", 2}, Real{"KopfEdmm", 5}, Real{"RandKopfEd", 5}, Real{"PlatzueberEd", 3},
                          Real{"LinkRandFussEd", 5}, Real{"LineWidthEd", 0.6}, Real{"PlatzZwischenSpaltenEd", 5},
                          Real{"LineWidthEd2", 0.6}, Real{"BreitEd2", 30}, Real{"HochEd2", 10}, Real{"HellEd", 50},
                          Real{"SatEd", 0}, Real{"BreitEd3", 1.5}, Real{"HochEd3", 1.5}})
        EXPECT_EQ(s.*Info(r.name).real, r.value) << r.name;

    struct Check {
        const char *name;
        bool value;
    };
    for (const Check &c :
         {Check{"RahmenCheck", false}, Check{"CapsCheck", true}, Check{"ZentrCheck", true},
          Check{"ZentrFussCheck", false}, Check{"OnlyOneColumnCheck", false}, Check{"ArtNotBlockCheck", false},
          Check{"ZentrTabelleCheck", false}, Check{"NoLineBelowVariantsCheck", false}, Check{"LogoChecked", true},
          Check{"xchangecheck", false}, Check{"FarbRechtKopfCheck", true}, Check{"FarbrechtFussCheck", true},
          Check{"UnterlegeKategorie", true}, Check{"KatBereichUnterCheck", true}, Check{"BackgroundColorCheck", true},
          Check{"SVerh2Check", true}, Check{"GrayScaleCheck", false}, Check{"LightenCheck", true},
          Check{"sverhlogo", true}})
        EXPECT_EQ(s.*Info(c.name).boolean, c.value) << c.name;

    struct Colour {
        const char *name;
        TColorRef value;
    };
    for (const Colour &c : {Colour{"Shape1", 0x800000}, Colour{"Shape2", 0x800000}, Colour{"Shape3", 0},
                            Colour{"Shape4", 0x808080}, Colour{"Shape5", 0xC0C0C0}, Colour{"Shape6", 0xC0C0C0},
                            Colour{"Shape7", 0xFFFFFF}, Colour{"Shape8", 0xC0C0C0}, Colour{"Shape9", 0xE1E1E1},
                            Colour{"Shape10", 0}, Colour{"Shape11", 0}})
        EXPECT_EQ(s.*Info(c.name).colour, c.value) << c.name;

    EXPECT_EQ(s.FirstPageNr, 1);
    EXPECT_EQ(s.BildAlign, 2);
    EXPECT_EQ(s.KopfEd, QStringLiteral("Velmora GbR Formidex 1.0"));
    EXPECT_TRUE(s.FussEd.startsWith(QStringLiteral("%PAGE%  -  Besuchen Sie uns im Internet unter ")));
    EXPECT_TRUE(s.FussEd2.startsWith(QStringLiteral("Besuchen Sie uns im Internet unter ")));
    EXPECT_TRUE(s.FussEd2.endsWith(QStringLiteral("  -  %PAGE%")));
    EXPECT_EQ(s.FilenameEdit1, QStringLiteral("logo velmora200x200.gif"));
    EXPECT_TRUE(s.FilenameEdit2.isEmpty());
}

TEST(LayoutSettings, DefaultFonts)
{
    const TLayoutSettings s;
    struct Font {
        int n;
        const char *name;
        int32_t size;
        uint8_t style;
        TColorRef color;
    };
    const Font fonts[] = {
        {1, "Arial Black", 24, fsBold, clWindowText}, {2, "Arial Black", 24, fsBold, 0x0000FFFF},
        {3, "Arial Black", 14, 0, clWindowText},      {4, "Arial", 11, 0, clWindowText},
        {5, "Arial Narrow", 10, 0, clWindowText},     {6, "Arial Black", 9, 0, clWindowText},
        {7, "Arial", 10, 0, clWindowText},            {8, "Arial Black", 10, 0, 0x00FFFFFF},
        {9, "Arial Black", 24, fsBold, 0x00FFFFFF},
    };
    for (const Font &f : fonts) {
        const TFontSetting *font = s.Font(f.n);
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->name, QString::fromLatin1(f.name)) << f.n;
        EXPECT_EQ(font->size, f.size) << f.n;
        EXPECT_EQ(font->style, f.style) << f.n;
        EXPECT_EQ(font->color, f.color) << f.n;
        EXPECT_EQ(font->charset, 0) << f.n;
        EXPECT_EQ(font->ppi, 96) << f.n;
        EXPECT_EQ(font, &(s.*Info(QStringLiteral("FontDialog%1").arg(f.n).toLatin1().constData()).font));
    }
    EXPECT_EQ(s.Font(0), nullptr);
    EXPECT_EQ(s.Font(10), nullptr);
}

TEST(LayoutSettings, SpinEditsTakeValuesIntoBoundsAndPrecision)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char *what;
        const TSpinSpec &spinEdit;
        double in;
        double out;
    };
    const Case cases[] = {
        {"margin typed as 2000", spin::Margin, 2000, 1000},
        {"negative margin", spin::Margin, -3, 0},
        {"margin inside", spin::Margin, 12, 12},
        {"margin rounds to two decimals", spin::Margin, 12.346, 12.35},
        {"margin keeps two decimals", spin::Margin, 0.35, 0.35},
        {"margin NaN", spin::Margin, nan, 0},
        {"margin infinity", spin::Margin, inf, 1000},
        {"picture below 1 cm", spin::PictureCm, 0.2, 1},
        {"picture above 10000 cm", spin::PictureCm, 20000, 10000},
        {"picture NaN", spin::PictureCm, nan, 1},
        {"brightness whole numbers", spin::Brightness, 50.5, 51},
        {"brightness 0", spin::Brightness, 0, 1},
        {"saturation below", spin::Saturation, -150, -100},
        {"saturation above", spin::Saturation, 250, 200},
        {"page number has no bounds", spin::PageNumber, -70000, -70000},
        {"page number rounds", spin::PageNumber, 2.6, 3},
        {"page number NaN", spin::PageNumber, nan, 0},
        {"field size", spin::FieldCm, 0, 0.01},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.spinEdit.Take(c.in), c.out) << c.what;
    // Taking a taken value again changes nothing: a file the program wrote
    // reads back to the same values.
    for (double v : {0.35, 12.34, 0.07, 999.99, 1.1})
        EXPECT_EQ(spin::Margin.Take(spin::Margin.Take(v)), spin::Margin.Take(v)) << v;
}

TEST(LayoutSettings, IntegerSpinEditSaturatesIntoInt32)
{
    EXPECT_EQ(spin::PageNumber.TakeInt(3e10), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(spin::PageNumber.TakeInt(-3e10), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(spin::PageNumber.TakeInt(-5), -5);
    EXPECT_EQ(spin::Brightness.TakeInt(1000), 100);
}

TEST(LayoutSettings, TakeSpinValuesBringsEveryNumberIntoItsControl)
{
    TLayoutSettings s;
    s.LinksEd = 2000;
    s.LineWidthEd2 = -1;
    s.HochEd3 = 0;
    s.HellEd = 500;
    s.SatEd = std::numeric_limits<double>::quiet_NaN();
    s.TakeSpinValues();
    EXPECT_EQ(s.LinksEd, 1000);
    EXPECT_EQ(s.LineWidthEd2, 0);
    EXPECT_EQ(s.HochEd3, 1);
    EXPECT_EQ(s.HellEd, 100);
    EXPECT_EQ(s.SatEd, -100);
}

TEST(LayoutSettings, TheListNamesEveryMemberOnceAndEqualitySeesEachOne)
{
    const auto &list = LayoutSettingList();
    // 39 settings of part B, 9 fonts, then D1..D7 (9 values) and D9 (7).
    EXPECT_EQ(list.size(), 39u + 9 + 9 + 7);
    QSet<QString> names;
    for (const TSettingInfo &info : list) {
        EXPECT_FALSE(names.contains(QString::fromLatin1(info.name))) << info.name;
        names.insert(QString::fromLatin1(info.name));
        const int pointers = (info.text != nullptr) + (info.real != nullptr) + (info.integer != nullptr) +
                             (info.boolean != nullptr) + (info.colour != nullptr) + (info.font != nullptr);
        EXPECT_EQ(pointers, 1) << info.name;
        const bool spinned = info.type == TSettingType::Real || info.type == TSettingType::Integer;
        EXPECT_EQ(info.spin != nullptr, spinned) << info.name;

        TLayoutSettings changed;
        switch (info.type) {
        case TSettingType::Text: (changed.*info.text) += QStringLiteral("x"); break;
        case TSettingType::Real: changed.*info.real += 1; break;
        case TSettingType::Integer:
        case TSettingType::Choice: changed.*info.integer ^= 1; break;
        case TSettingType::Boolean: changed.*info.boolean = !(changed.*info.boolean); break;
        case TSettingType::Colour: changed.*info.colour ^= 1; break;
        case TSettingType::Font: (changed.*info.font).style ^= fsItalic; break;
        }
        EXPECT_NE(changed, TLayoutSettings()) << info.name;
    }
    TLayoutSettings zero;
    zero.LinksEd = 0.0;
    TLayoutSettings negativeZero;
    negativeZero.LinksEd = -0.0;
    EXPECT_NE(zero, negativeZero);
}

TEST(LayoutSettings, ColoursResolveWhenDrawing)
{
    struct Case {
        TColorRef stored;
        QRgb shown;
    };
    const Case cases[] = {
        {clWindowText, 0x000000}, {0xFF000005, 0xFFFFFF}, {0xFF00000F, 0xF0F0F0}, {0xFF00000E, 0xFFFFFF},
        {0xFF000010, 0xA0A0A0},   {0xFF0000C8, 0x000000}, {clNavy, 0x000080},     {clYellow, 0xFFFF00},
        {0x00112233, 0x332211},   {0x02112233, 0x332211},
    };
    for (const Case &c : cases) {
        const QColor q = ResolveColor(c.stored);
        EXPECT_EQ(q.rgb() & 0xFFFFFF, c.shown) << std::hex << c.stored;
        EXPECT_EQ(q.alpha(), 255);
    }
    EXPECT_EQ(ColorRefFromQColor(QColor(0x33, 0x22, 0x11)), 0x00112233u);
    EXPECT_EQ(ColorRefFromQColor(ResolveColor(clNavy)), clNavy);
}
