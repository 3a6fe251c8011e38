#include "layout/layoutpass.h"

#include "core/document.h"
#include "layout/fonts.h"
#include "layout/picturecache.h"
#include "layout/settings.h"

#include <QRect>

#include <algorithm>
#include <cmath>

namespace {

// Any single length of a pass stays below this, so that sums of a few of
// them never overflow, whatever sizes a damaged file holds.
constexpr double kMaxPx = double(1 << 26);

} // namespace

int RoundPx(double v)
{
    if (std::isnan(v))
        return 0;
    return static_cast<int>(std::nearbyint(std::fmax(-kMaxPx, std::fmin(kMaxPx, v))));
}

int TruncPx(double v)
{
    if (std::isnan(v))
        return 0;
    return static_cast<int>(std::trunc(std::fmax(-kMaxPx, std::fmin(kMaxPx, v))));
}

int TUnits::Mm(double mm) const { return TruncPx(mm / kMmPerInch * dpi * zoom / 100); }

double TUnits::Cm(double cm) const
{
    const double px = zoom * (cm * 10 / kMmPerInch * dpi) / 100;
    return std::isnan(px) ? 0 : std::fmax(-kMaxPx, std::fmin(kMaxPx, px));
}

int TUnits::FixedMm(double mm) const { return TruncPx(zoom * dpi * (mm / kMmPerInch) / 100); }

TTextMeasurer::TMeasuredFont &TTextMeasurer::Measured(const QFont &font)
{
    for (auto &item : cache)
        if (item.font == font)
            return item;
    cache.push_back(TMeasuredFont{font, QFontMetrics(font, device), {}});
    return cache.back();
}

// QFontMetrics::height() is ascent + descent, the line height of the font,
// and the height every single line of text takes when drawn.
int TTextMeasurer::LineHeight(const QFont &font) { return Measured(font).metrics.height(); }

int TTextMeasurer::Ascent(const QFont &font) { return Measured(font).metrics.ascent(); }

int TTextMeasurer::Width(const QFont &font, const QString &text)
{
    TMeasuredFont &m = Measured(font);
    const auto known = m.widths.constFind(text);
    if (known != m.widths.constEnd())
        return *known;
    const int width = m.metrics.horizontalAdvance(text);
    m.widths.insert(text, width);
    return width;
}

int TTextMeasurer::WrappedHeight(const QFont &font, int width, const QString &text)
{
    const QRect column(0, 0, width < 0 ? 0 : width, 1 << 24);
    return Measured(font).metrics.boundingRect(column, IntroTextFlags(), text).height();
}

int IntroTextFlags() { return Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic; }

QString IntroDisplayText(const QString &text)
{
    QString s = text;
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

QString StripControls(const QString &text)
{
    if (std::none_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 32; }))
        return text;
    QString s;
    s.reserve(text.size());
    for (QChar c : text)
        if (c.unicode() >= 32)
            s.append(c);
    return s;
}

QString PopLine(QString &text)
{
    const int cr = text.indexOf(QLatin1Char('\r'));
    if (cr < 0) {
        QString line = text;
        text.clear();
        return line;
    }
    QString line = text.left(cr);
    text.remove(0, cr + 1);
    return line;
}

TPassFonts MakePassFonts(const TLayoutSettings &s, double zoom, TTextMeasurer &measurer)
{
    TPassFonts f;
    f.header = MakeFont(s.FontDialog9, zoom);
    f.footer = MakeFont(s.FontDialog8, zoom);
    f.heading = MakeFont(s.FontDialog2, zoom);
    f.headingNoFields = MakeFont(s.FontDialog2, zoom, 1.5);
    f.intro = MakeFont(s.FontDialog4, zoom);
    f.textLabel = MakeFont(s.FontDialog5, zoom);
    f.checkLabel = MakeFont(s.FontDialog3, zoom);
    f.headerTH = measurer.LineHeight(f.header);
    f.footerTH = measurer.LineHeight(f.footer);
    f.headingTH = measurer.LineHeight(f.heading);
    f.headingNoFieldsTH = measurer.LineHeight(f.headingNoFields);
    f.introTH = measurer.LineHeight(f.intro);
    f.textLabelTH = measurer.LineHeight(f.textLabel);
    f.checkLabelTH = measurer.LineHeight(f.checkLabel);
    return f;
}

namespace {

class TPass {
public:
    TPass(const TFormDocument &doc, const TLayoutSettings &s, const TLayoutInput &input, TTextMeasurer &measurer,
          TPictureCache &pictures)
        : doc(doc), s(s), units{input.dpi, input.zoom}, measurer(measurer), pictures(pictures)
    {
        out.fonts = MakePassFonts(s, input.zoom, measurer);
        TPageGeometry &g = out.geometry;
        g.dpi = input.dpi;
        g.zoom = input.zoom;
        const double scale = double(input.printer.dpi > 0 ? input.printer.dpi : 1);
        g.PW = TruncPx(double(int64_t(input.printer.width) * input.dpi) / scale * input.zoom / 100);
        g.PH = TruncPx(double(int64_t(input.printer.height) * input.dpi) / scale * input.zoom / 100);
        g.left = units.Mm(s.LinksEd);
        g.top = units.Mm(s.ObenEd);
        g.right = units.Mm(s.RechtsEd);
        g.bottom = units.Mm(s.UntenEd);
        g.gap = units.Mm(s.RandBildEd);
        g.HH = s.KopfEd.isEmpty() ? 0 : out.fonts.headerTH + units.Mm(s.KopfEdmm);
        g.FH = s.FussEd.isEmpty() ? 0 : out.fonts.footerTH + units.Mm(s.PlatzueberEd) + units.FixedMm(5);
        g.CT = g.top + g.HH;
        g.CL = g.PH - g.bottom - g.FH;
    }

    TPageLayout Run();

private:
    void BeginPage(int newPage)
    {
        page = newPage;
        out.pageStart.push_back(out.elements.size());
    }
    TPlacedElement &Place(TElementType type, int32_t category)
    {
        out.elements.emplace_back();
        TPlacedElement &e = out.elements.back();
        e.type = type;
        e.category = category;
        e.page = page;
        e.x = x;
        e.y = y;
        return e;
    }
    // A field where the second placement puts it: w and h are the box size.
    void PlaceField(int32_t i, int32_t j, int32_t kind, double w, double h, int labelW = 0)
    {
        TPlacedElement &e = Place(TElementType::Field, i);
        e.field = j;
        e.kind = kind;
        e.w = w;
        e.h = h;
        e.labelW = labelW;
    }
    void Category(int32_t i);
    void Heading(int32_t i, const KatRec *kat, bool hasFields);
    void CategoryProps(int32_t i, const KatProps &props);
    void Field(int32_t i, int32_t j, const ProdRec &prod);

    const TFormDocument &doc;
    const TLayoutSettings &s;
    TUnits units;
    TTextMeasurer &measurer;
    TPictureCache &pictures;
    TPageLayout out;

    int page = 1;
    double x = 0;
    int y = 0;
    int rowH = 0;
    double rowStartX = 0;
    int rowStartY = 0;
    int prevKind = -1;
};

TPageLayout TPass::Run()
{
    const TPageGeometry &g = out.geometry;
    size_t expected = 0;
    for (int32_t i = 0; i < doc.KatCount(); ++i) {
        const KatRec *kat = doc.Kat(i);
        expected += 3 + (kat->prods ? kat->prods->count : 0);
    }
    out.elements.reserve(expected);
    BeginPage(1);
    x = g.left;
    y = g.CT;
    for (int32_t i = 0; i < doc.KatCount(); ++i)
        Category(i);
    out.pages = page;
    out.pageStart.push_back(out.elements.size());
    return std::move(out);
}

void TPass::Category(int32_t i)
{
    const TPageGeometry &g = out.geometry;
    const KatRec *kat = doc.Kat(i);
    const bool hasFields = kat->prods && kat->prods->count > 0;
    prevKind = -1;
    if (i > 0) {
        x = g.left;
        y += g.gap;
    }
    const int T = hasFields ? out.fonts.headingTH : out.fonts.headingNoFieldsTH;
    if (y + 3 * T > g.CL) {
        BeginPage(page + 1);
        y = g.CT;
    }
    Heading(i, kat, hasFields);
    if (!hasFields)
        y += T / 2;
    y += 2 * T;
    x = g.left;
    if (kat->props)
        CategoryProps(i, *kat->props);
    x = g.left;
    rowH = 0;
    if (hasFields)
        for (uint32_t j = 0; j < kat->prods->count; ++j)
            Field(i, static_cast<int32_t>(j), *kat->prods->At(j));
    y += rowH;
}

void TPass::Heading(int32_t i, const KatRec *kat, bool hasFields)
{
    const TPageGeometry &g = out.geometry;
    const int T = hasFields ? out.fonts.headingTH : out.fonts.headingNoFieldsTH;
    TPlacedElement &heading = Place(TElementType::Heading, i);
    heading.T = T;
    heading.hasFields = hasFields;
    heading.nameX = x;
    const KatProps *props = kat->props;
    int pw = 0, ph = 0;
    if (!props || props->bildpos != 0 || !props->bildname || !pictures.Size(WStr(props->bildname), pw, ph))
        return;
    // The picture before the name is fitted into the heading band.
    int b = hasFields ? T + T / 2 : 2 * T;
    int picW = TruncPx(units.Cm(props->bildbreite));
    int picH = static_cast<int>(int64_t(picW) * ph / pw);
    if (b - 2 * g.gap > 0)
        b -= 2 * g.gap;
    if (picH > b) {
        picH = b;
        picW = static_cast<int>(int64_t(pw) * b / ph);
    }
    const double pictureX = RoundPx(x);
    heading.nameX = x + g.gap + picW;
    const int headingY = y;
    TPlacedElement &pic = Place(TElementType::Picture, i);
    pic.placement = TPicturePlacement::Before;
    pic.x = pictureX;
    pic.y = headingY + g.gap;
    pic.w = picW;
    pic.h = picH;
}

void TPass::CategoryProps(int32_t i, const KatProps &props)
{
    const TPageGeometry &g = out.geometry;
    int picTop = y;
    int picBlock = 0;
    int pw = 0, ph = 0;
    const bool below = props.bildpos == 1;
    if (below && props.bildname && pictures.Size(WStr(props.bildname), pw, ph)) {
        const int picW = TruncPx(units.Cm(props.bildbreite));
        const int picH = static_cast<int>(int64_t(picW) * ph / pw);
        TPlacedElement &pic = Place(TElementType::Picture, i);
        pic.placement = TPicturePlacement::Below;
        pic.w = picW;
        pic.h = picH;
        picTop = y;
        picBlock = picH + g.gap;
        if (props.textunter)
            y += picH + g.gap;
        else
            x += picW + g.gap;
    }
    const QString intro = props.introtext ? WStr(props.introtext) : QString();
    if (!intro.isEmpty()) {
        const int width = g.PW - g.right - RoundPx(x);
        const int h = measurer.WrappedHeight(out.fonts.intro, width, IntroDisplayText(intro));
        TPlacedElement &e = Place(TElementType::Intro, i);
        e.w = width;
        e.h = h;
        y += h + out.fonts.introTH;
    }
    if (below && !props.textunter && y < picTop + picBlock)
        y = picTop + picBlock;
}

void TPass::Field(int32_t i, int32_t j, const ProdRec &prod)
{
    const TPageGeometry &g = out.geometry;
    const double limit = g.PW - g.right;
    // The label width of a single-answer check box is the same in both passes.
    int labelW = 0;
    if (prod.kind == fkRadio)
        labelW = measurer.Width(out.fonts.checkLabel, StripControls(prod.name ? WStr(prod.name) : QString()));
    rowStartX = x;
    rowStartY = y;
    for (int placement = 1; placement <= 2; ++placement) {
        const bool second = placement == 2;
        switch (prod.kind) {
        case fkText: {
            const double boxW = units.Cm(prod.width);
            const int boxH = RoundPx(units.Cm(prod.height));
            // A new row moves down by the row that was open; after a check
            // box none is (rowH 0), so the box sits one gap below it.
            const int openRowH = rowH;
            if (rowH == 0)
                rowH = boxH;
            if ((x + boxW > limit && x > g.left) || boxH > rowH || prevKind > 0) {
                x = g.left;
                y += openRowH;
                if (prevKind > 0)
                    y += g.gap;
                rowStartX = x;
                rowStartY = y;
                rowH = boxH;
            }
            if (second)
                PlaceField(i, j, prod.kind, boxW, boxH);
            x += boxW;
            break;
        }
        case fkCheck: {
            y += g.gap;
            x = g.left;
            rowStartX = g.left;
            y += rowH;
            const double side = units.Cm(prod.height);
            if (second)
                PlaceField(i, j, prod.kind, side, side);
            x = g.left;
            y += TruncPx(side) + g.gap;
            if (second)
                rowH = 0;
            break;
        }
        case fkRadio: {
            const double side = units.Cm(prod.height);
            const int boxH = RoundPx(side);
            if (rowH == 0)
                rowH = boxH;
            if ((x + side + labelW + 2 * g.gap > limit && x > g.left) || boxH > rowH) {
                x = g.left;
                y += rowH + g.gap;
                rowStartX = x;
                rowStartY = y;
                rowH = boxH;
            }
            if (second)
                PlaceField(i, j, prod.kind, side, side, labelW);
            x += side + 2 * g.gap + labelW;
            break;
        }
        default: // a kind this program does not know takes no room
            break;
        }
        prevKind = prod.kind;
        if (!second) {
            if (y + rowH > g.CL) {
                y = g.CT + g.gap;
                x = g.left;
                BeginPage(page + 1);
            } else {
                x = rowStartX;
                y = rowStartY;
            }
        }
    }
}

} // namespace

TPageLayout LayoutForm(const TFormDocument &doc, const TLayoutSettings &settings, const TLayoutInput &input,
                       TTextMeasurer &measurer, TPictureCache &pictures)
{
    return TPass(doc, settings, input, measurer, pictures).Run();
}
