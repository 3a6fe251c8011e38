// The layout pass: unit conversions, page geometry, rows of fields, page
// breaks, headings and category pictures.

#include "layoutfixture.h"

#include "layout/fonts.h"
#include "layout/picturecache.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

TEST(Units, ConversionsTruncateAndRound)
{
    struct Case {
        int dpi;
        double zoom;
        double mm;
        int px;
    };
    const Case mm[] = {{600, 100, 12, 283}, {96, 100, 5, 18}, {96, 100, 12, 45}, {96, 200, 12, 90},
                       {96, 100, 2, 7},     {600, 100, 0.6, 14}};
    for (const Case &c : mm)
        EXPECT_EQ(TUnits({c.dpi, c.zoom}).Mm(c.mm), c.px) << c.mm << " mm at " << c.dpi << " dpi";

    const TUnits screen{96, 100};
    EXPECT_NEAR(screen.Cm(6), 226.7721, 1e-3); // kept fractional
    EXPECT_EQ(RoundPx(screen.Cm(1.25)), 47);
    EXPECT_EQ(TUnits({600, 100}).FixedMm(5), 118);
    EXPECT_EQ(TUnits({600, 100}).FixedMm(1), 23);

    // Halves go to the even neighbour; truncation cuts toward zero.
    EXPECT_EQ(RoundPx(2.5), 2);
    EXPECT_EQ(RoundPx(3.5), 4);
    EXPECT_EQ(RoundPx(-2.5), -2);
    EXPECT_EQ(TruncPx(-2.7), -2);
    // Lengths of a damaged file stay finite.
    EXPECT_EQ(TruncPx(std::nan("")), 0);
    EXPECT_LT(TruncPx(1e300), 1 << 27);
}

TEST(Geometry, HeaderAndFooterHeights)
{
    struct Case {
        const char *what;
        bool header, oddFooter, evenFooter;
    };
    const Case cases[] = {{"both", true, true, true},
                          {"no header: content starts at the top margin", false, true, true},
                          {"no odd footer: no footer even with an even one", true, false, true}};
    for (const Case &c : cases) {
        TTestForm f;
        if (!c.header)
            f.settings.KopfEd.clear();
        if (!c.oddFooter)
            f.settings.FussEd.clear();
        if (!c.evenFooter)
            f.settings.FussEd2.clear();
        const TPageLayout l = f.Layout();
        const TPageGeometry &g = l.geometry;
        const TUnits u = kScreen;
        EXPECT_EQ(g.PW, 793) << c.what;
        EXPECT_EQ(g.PH, 1122) << c.what;
        EXPECT_EQ(g.left, 45);
        EXPECT_EQ(g.top, 7);
        EXPECT_EQ(g.right, 45);
        EXPECT_EQ(g.bottom, 18);
        EXPECT_EQ(g.gap, 7);
        EXPECT_EQ(g.HH, c.header ? l.fonts.headerTH + u.Mm(5) : 0) << c.what;
        EXPECT_EQ(g.FH, c.oddFooter ? l.fonts.footerTH + u.Mm(3) + u.FixedMm(5) : 0) << c.what;
        EXPECT_EQ(g.CT, g.top + g.HH);
        EXPECT_EQ(g.CL, g.PH - g.bottom - g.FH);
        EXPECT_GT(l.fonts.headerTH, 0);
    }
}

TEST(Geometry, LineHeightsAreTheFontHeightsOnTheDevice)
{
    TTestForm f;
    const TPageLayout l = f.Layout();
    QImage device = MakeCanvasImage(1, 1, 96);
    EXPECT_EQ(l.fonts.headingTH, QFontMetrics(MakeFont(f.settings.FontDialog2, 100), &device).height());
    EXPECT_EQ(l.fonts.introTH, QFontMetrics(MakeFont(f.settings.FontDialog4, 100), &device).height());
    // Arial Black is drawn heavy; its 1.5 times larger cut for categories
    // without fields is taller.
    EXPECT_GE(l.fonts.heading.weight(), QFont::Black);
    EXPECT_EQ(l.fonts.headingNoFields.pointSize(), 36);
    EXPECT_GT(l.fonts.headingNoFieldsTH, l.fonts.headingTH);
}

// A form whose column between the margins is 18 cm at 96 dpi.
void Column18(TTestForm &f)
{
    f.settings = PlainSettings();
    f.settings.LinksEd = 15;
    f.settings.RechtsEd = 15;
}

TEST(TextFields, RowsTouchAndWrapDirectlyBelow)
{
    TTestForm f;
    Column18(f);
    f.Kat("A");
    for (int i = 0; i < 4; ++i)
        f.Text("Feld", 5, 1.25);
    const TPageLayout l = f.Layout();
    const TPageGeometry &g = l.geometry;
    const double boxW = kScreen.Cm(5);
    ASSERT_GE(g.PW - g.right - g.left, 3 * boxW);
    ASSERT_LT(g.PW - g.right - g.left, 4 * boxW);
    const auto fields = Fields(l);
    ASSERT_EQ(fields.size(), 4u);
    const int y0 = g.CT + 2 * l.fonts.headingTH;
    for (int i = 0; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(fields[i].x, g.left + i * boxW) << i;
        EXPECT_EQ(fields[i].y, y0) << i;
        EXPECT_DOUBLE_EQ(fields[i].w, boxW);
        EXPECT_EQ(fields[i].h, 47);
    }
    EXPECT_DOUBLE_EQ(fields[3].x, g.left);
    EXPECT_EQ(fields[3].y, y0 + 47);
}

TEST(TextFields, TallerBoxStartsANewRow)
{
    struct Case {
        double secondHeight;
        bool newRow;
    };
    const Case cases[] = {{1, false}, {1.25, false}, {2, true}};
    for (const Case &c : cases) {
        TTestForm f;
    Column18(f);
        f.Kat("A");
        f.Text("a", 3, 1.25);
        f.Text("b", 3, c.secondHeight);
        const TPageLayout l = f.Layout();
        const auto fields = Fields(l);
        ASSERT_EQ(fields.size(), 2u);
        const int y0 = l.geometry.CT + 2 * l.fonts.headingTH;
        EXPECT_EQ(fields[1].y, c.newRow ? y0 + 47 : y0) << c.secondHeight;
        EXPECT_DOUBLE_EQ(fields[1].x, (c.newRow ? l.geometry.left : l.geometry.left + kScreen.Cm(3)));
    }
}

TEST(TextFields, WiderThanTheColumnStaysAtTheRowStart)
{
    TTestForm f;
    Column18(f);
    f.Kat("A");
    f.Text("wide", 30, 1);
    f.Text("next", 3, 1);
    const TPageLayout l = f.Layout();
    const auto fields = Fields(l);
    const int y0 = l.geometry.CT + 2 * l.fonts.headingTH;
    EXPECT_DOUBLE_EQ(fields[0].x, l.geometry.left);
    EXPECT_EQ(fields[0].y, y0);
    EXPECT_DOUBLE_EQ(fields[1].x, l.geometry.left);
    EXPECT_EQ(fields[1].y, y0 + RoundPx(kScreen.Cm(1)));
}

TEST(CheckBoxes, StandOneBelowTheOther)
{
    TTestForm f;
    Column18(f);
    f.Kat("A");
    f.Check("eins", 1);
    f.Check("zwei", 1);
    const TPageLayout l = f.Layout();
    const TPageGeometry &g = l.geometry;
    const auto fields = Fields(l);
    const double side = kScreen.Cm(1);
    const int y0 = g.CT + 2 * l.fonts.headingTH;
    EXPECT_EQ(fields[0].y, y0 + g.gap);
    EXPECT_EQ(fields[1].y - fields[0].y, int(side) + 2 * g.gap);
    EXPECT_DOUBLE_EQ(fields[1].x, g.left);
    EXPECT_DOUBLE_EQ(fields[1].w, side);
}

TEST(Rows, WhatFollowsWhat)
{
    const TUnits u = kScreen;
    const double side = u.Cm(1);
    struct Case {
        const char *what;
        int firstKind;
        int secondKind;
        // expected y of the second field relative to the first one's
        std::function<int(const TPageGeometry &)> offset;
    };
    const Case cases[] = {
        {"check box below a row of text fields: gap + row height below its top", fkText, fkCheck,
         [](const TPageGeometry &g) { return g.gap + 47; }},
        {"text field after a check box: one gap below the cursor it left, two gaps below the square", fkCheck,
         fkText, [side](const TPageGeometry &g) { return int(side) + 2 * g.gap; }},
        {"text field after a single-answer row: one gap below that row", fkRadio, fkText,
         [side](const TPageGeometry &g) { return RoundPx(side) + g.gap; }},
        {"single-answer check box after a check box: where the check box left the cursor", fkCheck, fkRadio,
         [side](const TPageGeometry &g) { return int(side) + g.gap; }},
    };
    for (const Case &c : cases) {
        TTestForm f;
    Column18(f);
        f.Kat("A");
        for (int kind : {c.firstKind, c.secondKind}) {
            if (kind == fkText)
                f.Text("Text", 5, 1.25);
            else if (kind == fkCheck)
                f.Check("Check", 1);
            else
                f.Radio("Ja", 1);
        }
        const TPageLayout l = f.Layout();
        const auto fields = Fields(l);
        ASSERT_EQ(fields.size(), 2u);
        EXPECT_EQ(fields[1].y - fields[0].y, c.offset(l.geometry)) << c.what;
        EXPECT_DOUBLE_EQ(fields[1].x, l.geometry.left) << c.what;
    }
}

TEST(SingleAnswer, WrapsLikeWords)
{
    TTestForm f;
    Column18(f);
    f.Kat("A");
    for (int i = 0; i < 12; ++i)
        f.Radio(QStringLiteral("Antwort Nummer %1").arg(i), 0.5);
    const TPageLayout l = f.Layout();
    const TPageGeometry &g = l.geometry;
    const auto fields = Fields(l);
    ASSERT_EQ(fields.size(), 12u);
    const double side = kScreen.Cm(0.5);
    const int rowH = RoundPx(side);
    double x = g.left;
    int y = g.CT + 2 * l.fonts.headingTH;
    int rows = 1;
    for (const TPlacedElement &e : fields) {
        EXPECT_GT(e.labelW, 0);
        if (x + side + e.labelW + 2 * g.gap > g.PW - g.right && x > g.left) {
            x = g.left;
            y += rowH + g.gap;
            ++rows;
        }
        EXPECT_DOUBLE_EQ(e.x, x) << e.field;
        EXPECT_EQ(e.y, y) << e.field;
        x += side + 2 * g.gap + e.labelW;
    }
    EXPECT_GE(rows, 3);
}

TEST(SingleAnswer, LabelWidthJoinsTheLines)
{
    TTestForm f;
    Column18(f);
    f.Kat("A");
    f.Radio("oben\r\nunten", 1);
    const TPageLayout l = f.Layout();
    QImage device = MakeCanvasImage(1, 1, 96);
    TTextMeasurer m(&device);
    EXPECT_EQ(Fields(l)[0].labelW, m.Width(l.fonts.checkLabel, QStringLiteral("obenunten")));
}

TEST(PageBreaks, FieldRowThatRunsIntoTheFooterGoesToTheNextPage)
{
    TTestForm f;
    f.Kat("A");
    for (int i = 0; i < 40; ++i)
        f.Text("Zeile", 18, 2);
    const TPageLayout l = f.Layout();
    const TPageGeometry &g = l.geometry;
    const int rowH = RoundPx(kScreen.Cm(2));
    const auto fields = Fields(l);
    int breaks = 0;
    for (size_t i = 1; i < fields.size(); ++i) {
        if (fields[i].page == fields[i - 1].page) {
            EXPECT_EQ(fields[i].y, fields[i - 1].y + rowH);
            EXPECT_LE(fields[i].y + rowH, g.CL);
            continue;
        }
        ++breaks;
        EXPECT_GT(fields[i - 1].y + 2 * rowH, g.CL) << "the row would have fitted";
        EXPECT_EQ(fields[i].y, g.CT + g.gap);
        EXPECT_DOUBLE_EQ(fields[i].x, g.left);
    }
    EXPECT_GE(breaks, 2);
    EXPECT_EQ(l.pages, fields.back().page);
    EXPECT_EQ(l.pageStart.size(), size_t(l.pages) + 1);
}

TEST(PageBreaks, CheckBoxOnANewPageKeepsTheRowBeforeIt)
{
    bool seen = false;
    for (int rows = 5; rows < 30 && !seen; ++rows) {
        TTestForm f;
        f.Kat("A");
        for (int i = 0; i < rows; ++i)
            f.Text("Zeile", 18, 2);
        f.Check("Check", 1);
        const TPageLayout l = f.Layout();
        const auto fields = Fields(l);
        if (fields.back().page != 2 || fields[fields.size() - 2].page != 1)
            continue;
        seen = true;
        const TPageGeometry &g = l.geometry;
        EXPECT_EQ(fields.back().y, g.CT + 2 * g.gap + RoundPx(kScreen.Cm(2)));
    }
    EXPECT_TRUE(seen);
}

TEST(PageBreaks, TooTallFieldOverrunsAndTheNextOneBreaksAgain)
{
    TTestForm f;
    f.Kat("A");
    f.Text("hoch", 5, 30);
    f.Text("klein", 5, 1);
    const TPageLayout l = f.Layout();
    const TPageGeometry &g = l.geometry;
    const auto fields = Fields(l);
    ASSERT_GT(RoundPx(kScreen.Cm(30)), g.CL - g.CT);
    EXPECT_EQ(fields[0].page, 2);
    EXPECT_EQ(fields[0].y, g.CT + g.gap);
    EXPECT_EQ(fields[1].page, 3);
    EXPECT_EQ(fields[1].y, g.CT + g.gap);
    EXPECT_EQ(l.pages, 3);
}

TEST(Headings, CategoriesWithoutFieldsTakeTwoAndAHalfLines)
{
    TTestForm f;
    for (int i = 0; i < 30; ++i)
        f.Kat(QStringLiteral("Kategorie %1").arg(i));
    const TPageLayout l = f.Layout();
    const TPageGeometry &g = l.geometry;
    const int T = l.fonts.headingNoFieldsTH;
    const auto headings = OfType(l, TElementType::Heading);
    ASSERT_EQ(headings.size(), 30u);
    EXPECT_EQ(headings[0].y, g.CT);
    int breaks = 0;
    for (size_t i = 1; i < headings.size(); ++i) {
        EXPECT_EQ(headings[i].T, T);
        EXPECT_FALSE(headings[i].hasFields);
        const int next = headings[i - 1].y + 2 * T + T / 2 + g.gap;
        if (headings[i].page == headings[i - 1].page) {
            EXPECT_EQ(headings[i].y, next);
        } else {
            ++breaks;
            EXPECT_GT(next + 3 * T, g.CL);
            EXPECT_EQ(headings[i].y, g.CT) << "a heading starts its page without the gap";
        }
    }
    EXPECT_GE(breaks, 1);
    EXPECT_EQ(l.pages, headings.back().page);
}

TEST(Headings, WithFieldsTwoLines)
{
    TTestForm f;
    f.Kat("A");
    f.Text("a", 5, 1);
    f.Kat("B");
    const TPageLayout l = f.Layout();
    const auto h = OfType(l, TElementType::Heading);
    const int T = l.fonts.headingTH;
    EXPECT_TRUE(h[0].hasFields);
    EXPECT_EQ(h[0].T, T);
    EXPECT_EQ(Fields(l)[0].y, h[0].y + 2 * T);
    EXPECT_EQ(h[1].y, h[0].y + 2 * T + RoundPx(kScreen.Cm(1)) + l.geometry.gap);
}

TEST(EmptyForm, HasOnePage)
{
    TTestForm f;
    const TPageLayout l = f.Layout();
    EXPECT_EQ(l.pages, 1);
    EXPECT_TRUE(l.elements.empty());
    bool more = true;
    f.Paint(1, false, 96, 100, &more);
    EXPECT_FALSE(more);
}

TEST(Zoom, TwoHundredDoublesSizes)
{
    TTestForm f;
    f.Kat("A");
    f.Text("a", 6, 1.25);
    const TPageLayout a = f.Layout(96, 100), b = f.Layout(96, 200);
    EXPECT_EQ(b.geometry.PW, f.PW(96, 200));
    EXPECT_NEAR(b.geometry.PW, 2 * a.geometry.PW, 1);
    EXPECT_NEAR(b.geometry.left, 2 * a.geometry.left, 1);
    EXPECT_NEAR(Fields(b)[0].w, 2 * Fields(a)[0].w, 1e-9);
    EXPECT_EQ(b.fonts.heading.pointSize(), 48);
    EXPECT_EQ(b.fonts.textLabel.pointSize(), 20);
    EXPECT_EQ(TTestForm().Layout(96, 50).fonts.headingNoFields.pointSize(), 18);
}

class Pictures : public testing::Test {
protected:
    QTemporaryDir dir;
};

TEST_F(Pictures, BelowTheNameWithTheIntroductionBesideOrBelow)
{
    const QString png = SolidPng(dir, "p.png", 40, 30, Qt::red);
    const QString shortText = QStringLiteral("Kurz.");
    const QString longText = QString(QStringLiteral("Ein langer Text, der viele Zeilen braucht. ")).repeated(40);
    struct Case {
        bool textunter;
        QString intro;
    };
    const Case cases[] = {{false, shortText}, {false, longText}, {true, shortText}};
    for (const Case &c : cases) {
        TTestForm f;
        f.KatWithPicture("A", png, 3, 1, c.textunter, c.intro);
        f.Text("a", 5, 1);
        const TPageLayout l = f.Layout();
        const TPageGeometry &g = l.geometry;
        const auto pics = OfType(l, TElementType::Picture);
        const auto intros = OfType(l, TElementType::Intro);
        ASSERT_EQ(pics.size(), 1u);
        ASSERT_EQ(intros.size(), 1u);
        const TPlacedElement &pic = pics[0], &intro = intros[0];
        const int top = g.CT + 2 * l.fonts.headingTH;
        EXPECT_EQ(pic.placement, TPicturePlacement::Below);
        EXPECT_DOUBLE_EQ(pic.x, g.left);
        EXPECT_EQ(pic.y, top);
        EXPECT_EQ(pic.w, 113);
        EXPECT_EQ(pic.h, 113 * 30 / 40);
        if (c.textunter) {
            EXPECT_DOUBLE_EQ(intro.x, g.left);
            EXPECT_EQ(intro.y, top + 84 + g.gap);
        } else {
            EXPECT_DOUBLE_EQ(intro.x, g.left + 113 + g.gap);
            EXPECT_EQ(intro.y, top);
        }
        EXPECT_EQ(intro.w, g.PW - g.right - RoundPx(intro.x));
        QImage device = MakeCanvasImage(1, 1, 96);
        TTextMeasurer m(&device);
        EXPECT_EQ(intro.h, m.WrappedHeight(l.fonts.intro, int(intro.w), c.intro));
        const int afterText = intro.y + int(intro.h) + l.fonts.introTH;
        const int expected = c.textunter ? afterText : std::max(afterText, top + 84 + g.gap);
        EXPECT_EQ(Fields(l)[0].y, expected);
    }
}

TEST_F(Pictures, MissingFileTakesNoRoom)
{
    TTestForm f;
    f.KatWithPicture("A", dir.filePath("missing.png"), 3, 1, false, "Text");
    const TPageLayout l = f.Layout();
    EXPECT_TRUE(OfType(l, TElementType::Picture).empty());
    const auto intro = OfType(l, TElementType::Intro);
    ASSERT_EQ(intro.size(), 1u);
    EXPECT_DOUBLE_EQ(intro[0].x, l.geometry.left);
}

TEST_F(Pictures, BeforeTheNameIsFittedIntoTheBand)
{
    struct Case {
        int pw, ph;
        double cm;
        bool shrunk;
    };
    const Case cases[] = {{100, 100, 5, true}, {10, 5, 1, false}};
    for (const Case &c : cases) {
        TTestForm f;
        f.KatWithPicture("A", SolidPng(dir, "b.png", c.pw, c.ph, Qt::blue), c.cm, 0, false);
        f.Text("a", 5, 1);
        const TPageLayout l = f.Layout();
        const TPageGeometry &g = l.geometry;
        const int T = l.fonts.headingTH;
        const int b = T + T / 2 - 2 * g.gap;
        ASSERT_EQ(l.elements.size(), 3u);
        const TPlacedElement &heading = l.elements[0], &pic = l.elements[1];
        ASSERT_EQ(pic.type, TElementType::Picture);
        EXPECT_EQ(pic.placement, TPicturePlacement::Before);
        const int picW = int(kScreen.Cm(c.cm));
        const int w = c.shrunk ? c.pw * b / c.ph : picW;
        const int h = c.shrunk ? b : picW * c.ph / c.pw;
        EXPECT_EQ(pic.w, w);
        EXPECT_EQ(pic.h, h);
        EXPECT_DOUBLE_EQ(pic.x, g.left);
        EXPECT_EQ(pic.y, heading.y + g.gap);
        EXPECT_DOUBLE_EQ(heading.nameX, g.left + g.gap + w);
        EXPECT_EQ(Fields(l)[0].y, heading.y + 2 * T) << "a picture before the name moves nothing else";
    }
}

TEST_F(Pictures, CacheOpensEachFileOnceAndRemembersMissingOnes)
{
    const QString a = SolidPng(dir, "a.png", 20, 10, Qt::red);
    TPictureCache cache;
    int w = 0, h = 0;
    EXPECT_TRUE(cache.Size(a, w, h));
    EXPECT_EQ(w, 20);
    EXPECT_EQ(h, 10);
    ASSERT_NE(cache.Get(a), nullptr);
    EXPECT_FALSE(cache.Size(dir.filePath("none.png"), w, h));
    EXPECT_EQ(cache.Get(dir.filePath("none.png")), nullptr);
    EXPECT_EQ(cache.Opens(), 2);
}

TEST_F(Pictures, CacheOverItsBudgetReleasesTheOldestAndReopens)
{
    const QString a = SolidPng(dir, "a.png", 100, 100, Qt::red);
    const QString b = SolidPng(dir, "b.png", 100, 100, Qt::green);
    TPictureCache cache(40000); // room for one of them
    ASSERT_NE(cache.Get(a), nullptr);
    ASSERT_NE(cache.Get(b), nullptr);
    int w = 0, h = 0;
    EXPECT_TRUE(cache.Size(a, w, h)) << "sizes stay known";
    EXPECT_EQ(cache.Opens(), 2);
    const dib *again = cache.Get(a);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(DibWidth(*again), 100);
    EXPECT_EQ(cache.Opens(), 3);
}

TEST(DamagedValues, UnknownKindsAndWildSizesStayHarmless)
{
    TTestForm f;
    f.Kat("A");
    f.doc.AddProd("unbekannt", 7, 5, 1);
    f.Text("nan", std::nan(""), std::nan(""));
    f.Text("riesig", 1e300, 1e300);
    f.Check("negativ", -5);
    f.Radio("negativ", -5);
    f.doc.Kat(0)->props = TFormDocument::NewKatProps(QString(), QString(), -1e300, 1, false);
    f.settings.FontDialog2.size = 2000000000;
    const TPageLayout l = f.Layout();
    const auto fields = Fields(l);
    ASSERT_EQ(fields.size(), 4u) << "a field of an unknown kind takes no place";
    for (const TPlacedElement &e : fields) {
        EXPECT_TRUE(std::isfinite(e.x));
        EXPECT_TRUE(std::isfinite(e.w));
    }
    EXPECT_LE(l.fonts.heading.pointSize(), 2000) << "no font of a billion points";
    for (int page = 1; page <= l.pages; ++page)
        f.Paint(page, true);
}

TEST(TextHelpers, StripControlsAndPopLine)
{
    EXPECT_EQ(StripControls(QStringLiteral("a\r\nb\tc")), QStringLiteral("abc"));
    QString text = QStringLiteral("eins\r\nzwei\rdrei");
    EXPECT_EQ(PopLine(text), QStringLiteral("eins"));
    EXPECT_EQ(PopLine(text), QStringLiteral("\nzwei"));
    EXPECT_EQ(PopLine(text), QStringLiteral("drei"));
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(IntroDisplayText(QStringLiteral("a\r\nb\rc")), QStringLiteral("a\nb\nc"));
}

} // namespace
