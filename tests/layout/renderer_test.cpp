// The page renderer: rectangles as the Windows canvas draws them, the page
// decoration (background, gradient, header, footer, frame), headings,
// fields, pictures, and pages drawn from one layout against pages drawn
// after their own full pass.

#include "layoutfixture.h"

#include "layout/fonts.h"
#include "pictures/picproc.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kNavy(0, 0, 0x80);
const QColor kGrey(0x80, 0x80, 0x80);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);
constexpr TColorRef kRedRef = 0x000000FF;
constexpr TColorRef kGreenRef = 0x0000FF00;

TEST(Rectangles, PixelExtentOfFillAndOutline)
{
    struct Case {
        int pen;
        QRect extent; // every pixel drawn
    };
    // (10, 10)–(20, 18): fill 10..19 × 10..17, the pen centred on the
    // outermost rows and columns of that area.
    const Case cases[] = {{0, QRect(QPoint(10, 10), QPoint(19, 17))},
                          {1, QRect(QPoint(10, 10), QPoint(19, 17))},
                          {2, QRect(QPoint(9, 9), QPoint(19, 17))},
                          {3, QRect(QPoint(9, 9), QPoint(20, 18))},
                          {4, QRect(QPoint(8, 8), QPoint(20, 18))}};
    for (const Case &c : cases) {
        QImage image = MakeCanvasImage(40, 40, 96);
        QPainter p(&image);
        FillOutlineRect(p, 10, 10, 20, 18, kGreen, kRed, c.pen);
        p.end();
        EXPECT_EQ(InkBox(image, image.rect(), Qt::white), c.extent) << "pen " << c.pen;
        const int w = std::max(c.pen, 1);
        // Across the middle row: both side bands in the pen colour, the rest filled.
        EXPECT_EQ(CountColor(image, QRect(0, 14, 40, 1), kRed), 2 * w) << "pen " << c.pen;
        EXPECT_EQ(CountColor(image, QRect(0, 14, 40, 1), kGreen), c.extent.width() - 2 * w);
    }
    QImage image = MakeCanvasImage(40, 40, 96);
    QPainter p(&image);
    FillOutlineRect(p, 10, 10, 10, 20, kGreen, kRed, 1);
    p.end();
    EXPECT_TRUE(InkBox(image, image.rect(), Qt::white).isNull()) << "an empty rectangle draws nothing";
}

TEST(Rectangles, NeighbouringTextBoxesLeaveNoGap)
{
    // Boxes of a row end at round(x + boxW) + pw ÷ 2, where the next begins:
    // their outlines touch or overlap.
    for (int pw : {1, 2, 3, 4, 5}) {
        QImage a = MakeCanvasImage(60, 30, 96), b = MakeCanvasImage(60, 30, 96);
        QPainter pa(&a), pb(&b);
        FillOutlineRect(pa, 5, 5, 25 + pw / 2, 20, kGreen, kRed, pw);
        FillOutlineRect(pb, 25, 5, 45 + pw / 2, 20, kGreen, kRed, pw);
        pa.end();
        pb.end();
        int aRight = -1, bLeft = 60;
        for (int x = 0; x < 60; ++x) {
            if (Rgb(a, x, 12) == kRed)
                aRight = x;
            if (Rgb(b, x, 12) == kRed && x < bLeft)
                bLeft = x;
        }
        EXPECT_LE(bLeft, aRight + 1) << "pen " << pw;
        EXPECT_GE(bLeft, aRight - pw) << "pen " << pw;
    }
}

TEST(Background, SilverFillAndTheSheetOutline)
{
    TTestForm f;
    f.settings = PlainSettings();
    f.settings.BackgroundColorCheck = true;
    const QImage preview = f.Paint(1, false);
    EXPECT_EQ(Rgb(preview, preview.width() / 2, preview.height() / 2), kSilver);
    EXPECT_EQ(Rgb(preview, 1, 1), kSilver);
    EXPECT_EQ(Rgb(preview, 0, 0), Qt::black) << "the outline is drawn again at the end";
    EXPECT_EQ(Rgb(preview, preview.width() - 1, preview.height() - 1), Qt::black);
    EXPECT_EQ(CountColor(preview, preview.rect(), kSilver), (preview.width() - 2) * (preview.height() - 2));
    const QImage print = f.Paint(1, true);
    EXPECT_EQ(CountColor(print, print.rect(), kSilver), print.width() * print.height());
}

TEST(Background, GradientRows)
{
    struct Case {
        TColorRef top, bottom;
    };
    const Case cases[] = {{clBlack, clWhite}, {0x003264C8, 0x001E140A}};
    for (const Case &c : cases) {
        TTestForm f;
        f.settings = PlainSettings();
        f.settings.BackgroundColorCheck = true;
        f.settings.Shape5 = c.top;
        f.settings.Shape6 = c.bottom;
        const int H = 256;
        QImage image = MakeCanvasImage(20, H, 96);
        QPainter p(&image);
        PaintToCanvas(p, f.Context(), 96, 20, H, 1, 100, true);
        p.end();
        const QColor top = ResolveColor(c.top), bottom = ResolveColor(c.bottom);
        auto channel = [H](int r, int t, int b) { return (H - r - 1) * t / H + (r + 1) * b / H; };
        for (int r = 0; r < H; ++r) {
            const QColor want(channel(r, top.red(), bottom.red()), channel(r, top.green(), bottom.green()),
                              channel(r, top.blue(), bottom.blue()));
            ASSERT_EQ(Rgb(image, 0, r), want) << "row " << r;
            ASSERT_EQ(Rgb(image, 19, r), want) << "row " << r;
        }
        if (c.top == clBlack) {
            EXPECT_EQ(Rgb(image, 5, 0), QColor(0, 0, 0));
            EXPECT_EQ(Rgb(image, 5, 255), QColor(255, 255, 255));
        }
    }
}

TEST(HeaderFooter, Bands)
{
    struct Case {
        bool headerBand, footerBand;
    };
    const Case cases[] = {{true, true}, {true, false}, {false, true}};
    for (const Case &c : cases) {
        TTestForm f;
        f.settings.FarbRechtKopfCheck = c.headerBand;
        f.settings.FarbrechtFussCheck = c.footerBand;
        const TPageLayout l = f.Layout();
        const TPageGeometry &g = l.geometry;
        const QImage image = f.Paint(1, true);
        const int x = g.PW - 2;
        const QColor header = c.headerBand ? kNavy : kSilver, footer = c.footerBand ? kNavy : kSilver;
        EXPECT_EQ(Rgb(image, x, 0), header);
        EXPECT_EQ(Rgb(image, x, g.CT - 1), header) << "the band ends at the content top";
        EXPECT_EQ(Rgb(image, x, g.CT), kSilver);
        const int bandTop = g.PH - g.bottom - l.fonts.footerTH - kScreen.Mm(3);
        EXPECT_EQ(bandTop, g.CL + kScreen.FixedMm(5));
        EXPECT_EQ(Rgb(image, x, bandTop - 1), kSilver);
        EXPECT_EQ(Rgb(image, x, bandTop), footer);
        EXPECT_EQ(Rgb(image, x, g.PH - 1), footer) << "the band reaches the bottom edge";
    }
}

TEST(HeaderFooter, EmptyTextsDrawNothing)
{
    TTestForm f;
    f.settings.KopfEd.clear();
    f.settings.FussEd.clear();
    const QImage image = f.Paint(1, true);
    EXPECT_EQ(CountColor(image, image.rect(), kSilver), image.width() * image.height())
        << "no band, no text with both texts empty, even with the even footer set";
}

// A form of three pages: a field taller than a page on page 2, another on page 3.
// A form of three pages whose content keeps clear of the footer: headings only.
void ThreePages(TTestForm &f)
{
    while (f.Layout().pages < 3)
        f.Kat(QStringLiteral("K"));
}

TEST(HeaderFooter, FooterTextNumberingAndAlignment)
{
    struct Case {
        const char *what;
        bool xchange;
        bool centred;
        int firstPageNr;
        int page;
        QString expected;
        int align; // -1 left, 0 centred, 1 right
    };
    const Case cases[] = {
        {"odd page, odd text, left", false, false, 1, 1, "Ungerade 1", -1},
        {"even page, even text, right", false, false, 1, 2, "Gerade 2 und 2", 1},
        {"exchanged: odd page takes the even text, right", true, false, 1, 1, "Gerade 1 und 1", 1},
        {"exchanged: even page takes the odd text, left", true, false, 1, 2, "Ungerade 2", -1},
        {"first page number 0: no number on page 1", false, false, 0, 1, "Ungerade ", -1},
        {"first page number 0: page 2 shows 1", false, false, 0, 2, "Gerade 1 und 1", 1},
        {"third page odd again", false, false, 5, 3, "Ungerade 7", -1},
        {"centred", false, true, 1, 2, "Gerade 2 und 2", 0},
    };
    for (const Case &c : cases) {
        TTestForm f;
        ThreePages(f);
        f.settings.xchangecheck = c.xchange;
        f.settings.ZentrFussCheck = c.centred;
        f.settings.FirstPageNr = c.firstPageNr;
        f.settings.FussEd = QStringLiteral("Ungerade %page%");
        f.settings.FussEd2 = QStringLiteral("Gerade %PAGE% und %Page%");
        ASSERT_EQ(f.Layout().pages, 3);
        const QImage image = f.Paint(c.page, true);

        TTestForm ref;
        ThreePages(ref);
        ref.settings = f.settings;
        ref.settings.FussEd = c.expected;
        ref.settings.FussEd2 = c.expected;
        EXPECT_EQ(image, ref.Paint(c.page, true)) << c.what;

        const TPageLayout l = f.Layout();
        const TPageGeometry &g = l.geometry;
        const int textTop = g.PH - g.bottom - l.fonts.footerTH;
        const QRect ink = InkBox(image, QRect(0, textTop, g.PW, l.fonts.footerTH), kNavy);
        ASSERT_FALSE(ink.isNull()) << c.what;
        const int margin = kScreen.Mm(5);
        if (c.align < 0)
            EXPECT_NEAR(ink.left(), margin, 3) << c.what;
        else if (c.align > 0)
            EXPECT_NEAR(ink.right() + 1, g.PW - margin, 3) << c.what;
        else
            EXPECT_NEAR(ink.center().x(), g.PW / 2, 3) << c.what;
    }
}

TEST(Frame, OneMillimetreAt600DpiAndStrokedOverTheContent)
{
    TTestForm f;
    f.settings = PlainSettings();
    f.settings.RahmenCheck = true;
    f.settings.Shape11 = kRedRef;
    f.printer = TPrinterPage{1200, 1600, 600};
    QImage image = MakeCanvasImage(1200, 1600, 600);
    QPainter p(&image);
    PaintToCanvas(p, f.Context(), 600, 1200, 1600, 1, 100, false);
    p.end();
    const TUnits u{600, 100};
    const int top = u.Mm(2), right = u.Mm(12);
    EXPECT_EQ(CountColor(image, QRect(600, 0, 1, top), kRed), 23);
    const QRect topLine = InkBox(image, QRect(600, 1, 1, top), Qt::white);
    EXPECT_EQ(topLine.height(), 23) << "one band";
    EXPECT_NEAR(topLine.center().y(), top / 2, 1);
    EXPECT_EQ(CountColor(image, QRect(1200 - right, 800, right, 1), kRed), 23);
    EXPECT_GT(CountColor(image, QRect(0, 0, u.Mm(12), top), kRed), 0) << "the corner arc";
}

TEST(Frame, RestrokedOverANonLastPage)
{
    TTestForm f;
    f.settings = PlainSettings();
    f.settings.RahmenCheck = true;
    f.settings.Shape11 = kRedRef;
    for (int i = 0; i < 30; ++i)
        f.Kat(QStringLiteral("K%1").arg(i));
    const TPageLayout l = f.Layout();
    ASSERT_GE(l.pages, 2);
    const TPageGeometry &g = l.geometry;
    const int x = g.left / 2;
    const TPlacedElement &first = l.elements[l.pageStart[0]];
    const TPlacedElement &last = l.elements[l.pageStart[size_t(l.pages) - 1]];
    EXPECT_EQ(Rgb(f.Paint(1), x, first.y + 1), kRed) << "the next page's start strokes over the band";
    EXPECT_EQ(Rgb(f.Paint(l.pages), x, last.y + 1), kGrey) << "on the last page the band covers the frame";
}

TEST(Pages, PrintingDrawsNoSheetNorOutline)
{
    TTestForm f;
    f.settings = PlainSettings();
    const QColor magenta(255, 0, 255);
    QImage image = MakeCanvasImage(f.PW(), f.PH(), 96);
    image.fill(magenta);
    QPainter p(&image);
    PaintToCanvas(p, f.Context(), 96, image.width(), image.height(), 1, 100, true);
    p.end();
    EXPECT_EQ(CountColor(image, image.rect(), magenta), image.width() * image.height());
    const QImage preview = f.Paint(1, false);
    EXPECT_EQ(Rgb(preview, 0, 0), Qt::black);
    EXPECT_EQ(Rgb(preview, 5, 5), Qt::white);
}

TEST(Pages, BeyondTheLastShowsOnlySheetOutlineAndFrame)
{
    TTestForm f;
    f.settings.RahmenCheck = true;
    f.settings.Shape11 = kRedRef;
    f.Kat("A");
    f.Text("a", 5, 1);
    bool more = true;
    const QImage image = f.Paint(3, false, 96, 100, &more);
    EXPECT_FALSE(more);
    const int all = image.width() * image.height();
    const int red = CountColor(image, image.rect(), kRed);
    EXPECT_GT(red, 0);
    EXPECT_EQ(CountColor(image, image.rect(), Qt::white) + CountColor(image, image.rect(), Qt::black) + red, all);
    bool firstMore = false;
    f.Paint(1, false, 96, 100, &firstMore);
    EXPECT_FALSE(firstMore);
}

TEST(Headings, BandAndOpaqueName)
{
    struct Case {
        bool band, underlay;
    };
    const Case cases[] = {{true, true}, {false, true}, {true, false}};
    for (const Case &c : cases) {
        TTestForm f;
        f.settings = PlainSettings();
        f.settings.KatBereichUnterCheck = c.band;
        f.settings.UnterlegeKategorie = c.underlay;
        f.settings.Shape3 = kGreenRef;
        f.Kat("Name");
        f.Text("a", 5, 1);
        const TPageLayout l = f.Layout();
        const TPlacedElement &h = l.elements[0];
        const QImage image = f.Paint(1);
        const int b = h.T + h.T / 2;
        EXPECT_EQ(Rgb(image, l.geometry.PW - 3, h.y), c.band ? kGrey : Qt::white);
        EXPECT_EQ(Rgb(image, l.geometry.PW - 3, h.y + b - 1), c.band ? kGrey : Qt::white);
        EXPECT_EQ(Rgb(image, l.geometry.PW - 3, h.y + b), Qt::white);
        QImage device = MakeCanvasImage(1, 1, 96);
        TTextMeasurer m(&device);
        const QRect name(RoundPx(h.nameX), h.y + h.T / 4, m.Width(l.fonts.heading, "NAME"), h.T);
        const int green = CountColor(image, name, kGreen);
        if (c.underlay)
            EXPECT_GT(green, name.width() * name.height() / 3);
        else
            EXPECT_EQ(green, 0);
    }
}

TEST(Headings, CapitalsOnlyForAToZ)
{
    TTestForm on, off;
    on.settings = off.settings = PlainSettings();
    off.settings.CapsCheck = false;
    on.Kat(QStringLiteral("Größe"));
    off.Kat(QStringLiteral("GRößE"));
    EXPECT_EQ(on.Paint(1), off.Paint(1));
    TTestForm plain;
    plain.settings = off.settings;
    plain.Kat(QStringLiteral("Größe"));
    EXPECT_NE(on.Paint(1), plain.Paint(1));
}

TEST(Fields, BoxesAndSquares)
{
    TTestForm f;
    f.settings = PlainSettings();
    f.settings.Shape11 = kRedRef;
    f.settings.Shape7 = kGreenRef;
    f.Kat("A");
    f.Text("", 5, 1.25);
    f.Check("", 1);
    const TPageLayout l = f.Layout();
    const auto fields = Fields(l);
    const int pw = kScreen.Mm(0.6);
    ASSERT_EQ(pw, 2);
    const QImage image = f.Paint(1);
    struct Box {
        QRect extent;
    };
    const TPlacedElement &t = fields[0], &c = fields[1];
    const int o = pw / 2;
    const int tr = RoundPx(t.x + t.w) + pw / 2, tb = t.y + int(t.h) + pw / 2;
    const int cr = RoundPx(c.x + c.w + pw / 2), cb = RoundPx(c.y + c.w + pw / 2);
    const QRect boxes[] = {QRect(QPoint(RoundPx(t.x) - o, t.y - o), QPoint(tr - 1 - o + pw - 1, tb - 1 - o + pw - 1)),
                           QRect(QPoint(RoundPx(c.x) - o, c.y - o), QPoint(cr - 1 - o + pw - 1, cb - 1 - o + pw - 1))};
    for (const QRect &box : boxes) {
        EXPECT_EQ(InkBox(image, box.adjusted(-4, -4, 4, 4), Qt::white), box);
        EXPECT_EQ(CountColor(image, box, kRed) + CountColor(image, box, kGreen), box.width() * box.height());
        EXPECT_EQ(CountColor(image, box.adjusted(pw, pw, -pw, -pw), kGreen),
                  (box.width() - 2 * pw) * (box.height() - 2 * pw));
    }
}

TEST(Fields, LabelsInsideAndBesideTheBoxes)
{
    TTestForm f;
    f.settings = PlainSettings();
    f.Kat("A");
    f.Text("Name\r\nVorname", 8, 2);
    f.Check("Einzeilig", 1);
    f.Check("Zwei\r\nZeilen", 1);
    const TPageLayout l = f.Layout();
    const auto fields = Fields(l);
    const QImage image = f.Paint(1);
    const int gap = l.geometry.gap;
    const TPlacedElement &t = fields[0];
    const QRect labels = InkBox(image, QRect(RoundPx(t.x) + 3, t.y + 3, int(t.w) - 6, int(t.h) - 6), Qt::white);
    ASSERT_FALSE(labels.isNull());
    EXPECT_NEAR(labels.left(), RoundPx(t.x + gap), 3);
    EXPECT_GT(labels.height(), l.fonts.textLabelTH) << "two lines, one line height apart";

    const TPlacedElement &one = fields[1], &two = fields[2];
    auto labelInk = [&](const TPlacedElement &e) {
        const int lx = RoundPx(e.x + e.w + gap);
        return InkBox(image, QRect(lx - 2, e.y, 400, int(e.w) + 4), Qt::white);
    };
    const QRect single = labelInk(one);
    EXPECT_NEAR(single.center().y(), one.y + one.w / 2, 4) << "a one-line label is centred on the square";
    const QRect multi = labelInk(two);
    EXPECT_GE(multi.top(), two.y);
    EXPECT_LT(multi.top(), two.y + l.fonts.checkLabelTH / 2) << "a multi-line label starts at the top";
    EXPECT_GT(multi.bottom(), two.y + l.fonts.checkLabelTH);
}

TEST(Intro, DrawnInsideTheMeasuredColumn)
{
    TTestForm f;
    f.settings = PlainSettings();
    f.KatWithPicture("A", QString(), 1, 0, false,
                     QString(QStringLiteral("Tom &&Jerry &und ein langer Text zum Umbrechen. ")).repeated(12) +
                         QStringLiteral("\r\nNeue Zeile"));
    const TPageLayout l = f.Layout();
    const auto intro = OfType(l, TElementType::Intro);
    ASSERT_EQ(intro.size(), 1u);
    const TPlacedElement &e = intro[0];
    const QImage image = f.Paint(1);
    const QRect column(RoundPx(e.x), e.y, int(e.w), int(e.h));
    const QRect ink = InkBox(image, QRect(1, e.y - 10, image.width() - 2, int(e.h) + 200), Qt::white);
    ASSERT_FALSE(ink.isNull());
    EXPECT_TRUE(column.adjusted(-2, 0, 2, 2).contains(ink))
        << "ink " << ink.left() << "," << ink.top() << "-" << ink.right() << "," << ink.bottom() << " column "
        << column.left() << "," << column.top() << "-" << column.right() << "," << column.bottom();
    EXPECT_GT(ink.bottom(), column.bottom() - l.fonts.introTH) << "the last line is where the measure ends";
}

class Pictures : public testing::Test {
protected:
    QTemporaryDir dir;
};

TEST_F(Pictures, CategoryPicturesBeforeAndBelowTheName)
{
    TTestForm f;
    f.settings = PlainSettings();
    f.settings.KatBereichUnterCheck = false;
    f.KatWithPicture("A", SolidPng(dir, "blue.png", 10, 5, Qt::blue), 1, 0, false);
    f.Text("a", 5, 1);
    f.KatWithPicture("B", SolidPng(dir, "red.png", 40, 30, Qt::red), 3, 1, false, "Text");
    const TPageLayout l = f.Layout();
    const auto pics = OfType(l, TElementType::Picture);
    ASSERT_EQ(pics.size(), 2u);
    const QImage image = f.Paint(1);
    const QColor colors[] = {kBlue, kRed};
    for (int i = 0; i < 2; ++i) {
        const QRect r(RoundPx(pics[i].x), pics[i].y, int(pics[i].w), int(pics[i].h));
        EXPECT_EQ(CountColor(image, r, colors[i]), r.width() * r.height()) << i;
        EXPECT_EQ(CountColor(image, image.rect(), colors[i]), r.width() * r.height()) << i;
    }
}

TEST_F(Pictures, BackgroundTilesAndLogo)
{
    TTestForm f;
    f.settings = PlainSettings();
    f.settings.KopfEd = QStringLiteral("Kopf");
    f.settings.FarbRechtKopfCheck = false;
    f.settings.FontDialog9.color = clBlack;
    f.settings.LightenCheck = false;
    f.settings.FilenameEdit2 = SolidPng(dir, "tile.png", 10, 10, Qt::red);
    f.settings.BreitEd2 = 1;
    f.settings.FilenameEdit1 = SolidPng(dir, "logo.png", 20, 10, Qt::blue);
    TPagePictures pictures;
    pictures.Load(f.settings);
    ASSERT_TRUE(HasPicture(pictures.di2));
    ASSERT_TRUE(HasPicture(pictures.di3));
    f.pictures = &pictures;
    const TPageLayout l = f.Layout();
    const QImage image = f.Paint(1, true);
    const TUnits u = kScreen;
    const int lw = int(u.Cm(1.5)), lh = 10 * lw / 20;
    const QRect logo(u.Mm(5), l.geometry.top, lw, lh);
    EXPECT_EQ(CountColor(image, logo, kBlue), lw * lh);
    const int red = CountColor(image, image.rect(), kRed);
    const QRect text = InkBox(image, QRect(logo.right() + 1, 0, 400, l.geometry.CT), kRed);
    EXPECT_GE(text.left(), logo.right() + l.geometry.gap - 1) << "the header text starts lw + gap further right";
    EXPECT_GT(red, image.width() * image.height() / 2) << "tiles cover the page";
    EXPECT_EQ(Rgb(image, image.width() - 1, image.height() - 1), kRed) << "the last tiles overhang";
}

TEST_F(Pictures, TilesAndLogosOfNoSizeAreSkipped)
{
    struct Case {
        const char *what;
        int pw, ph;
        double zoom;
    };
    const Case cases[] = {{"a very wide tile comes out 0 rows high", 4000, 1, 100},
                          {"zoom 1 makes the tile and the logo 0 pixels wide", 10, 10, 1}};
    for (const Case &c : cases) {
        TTestForm f;
        f.settings = PlainSettings();
        f.settings.KopfEd = QStringLiteral("Kopf");
        f.settings.LightenCheck = false;
        f.settings.BreitEd2 = 1;
        f.settings.BreitEd3 = 1;
        f.settings.FilenameEdit2 = SolidPng(dir, "t.png", c.pw, c.ph, Qt::red);
        f.settings.FilenameEdit1 = SolidPng(dir, "l.png", c.pw, c.ph, Qt::red);
        TPagePictures pictures;
        pictures.Load(f.settings);
        f.pictures = &pictures;
        const QImage image = f.Paint(1, true, 96, c.zoom);
        EXPECT_EQ(CountColor(image, image.rect(), kRed), 0) << c.what;
    }
}

// A form of several pages with every kind of element.
struct TRichForm {
    QTemporaryDir dir;
    TPagePictures pictures;
    TTestForm f;
    TRichForm()
    {
        f.settings.RahmenCheck = true;
        f.settings.Shape5 = 0x00F0E0D0;
        f.settings.Shape6 = 0x00A0B0C0;
        f.settings.FilenameEdit1 = SolidPng(dir, "logo.png", 30, 30, Qt::darkGreen);
        pictures.Load(f.settings);
        f.pictures = &pictures;
        const QString before = SolidPng(dir, "before.png", 60, 40, Qt::blue);
        const QString below = SolidPng(dir, "below.png", 40, 30, Qt::red);
        for (int k = 0; k < 6; ++k) {
            f.KatWithPicture(QStringLiteral("Kategorie %1").arg(k), k % 2 ? before : below, 3, k % 2, k % 3 == 0,
                             QStringLiteral("Einleitung mit && und &Kürzel, die umbricht. ").repeated(4));
            for (int j = 0; j < 8; ++j) {
                f.Text(QStringLiteral("Feld %1\r\nzweite Zeile").arg(j), 4 + j % 3, 1 + j % 2);
                f.Check(QStringLiteral("Ankreuzen %1").arg(j), 0.8);
                f.Radio(QStringLiteral("Ja %1").arg(j), 0.6);
                f.Radio(QStringLiteral("Nein %1").arg(j), 0.6);
            }
            f.Kat(QStringLiteral("Leer %1").arg(k));
        }
    }
};

TEST(OneLayoutPerJob, PagesEqualPagesAfterTheirOwnFullPass)
{
    TRichForm rich;
    const TTestForm &f = rich.f;
    for (bool printing : {false, true}) {
        const int W = f.PW(), H = f.PH();
        QImage device = MakeCanvasImage(1, 1, 96);
        TPrintJob job(f.Context(), &device, 96, W, H, 100, printing);
        ASSERT_GE(job.PageCount(), 3);
        for (int page = 1; page <= job.PageCount() + 1; ++page) {
            QImage fromJob = MakeCanvasImage(W, H, 96);
            QPainter p(&fromJob);
            const bool jobMore = job.DrawPage(p, page);
            p.end();
            bool more = false;
            const QImage single = f.Paint(page, printing, 96, 100, &more);
            EXPECT_EQ(jobMore, more) << "page " << page;
            EXPECT_TRUE(fromJob == single) << "page " << page << (printing ? " printed" : " preview");
        }
        EXPECT_EQ(job.PictureOpens(), 2) << "each category picture is opened once per job";
    }
}

} // namespace
