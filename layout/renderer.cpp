#include "layout/renderer.h"

#include "core/document.h"
#include "layout/fonts.h"
#include "layout/picturecache.h"
#include "layout/settings.h"
#include "pictures/drawdib.h"
#include "pictures/picproc.h"

#include <QPainter>
#include <QRegularExpression>

#include <algorithm>

void OutlineRect(QPainter &p, int l, int t, int r, int b, const QColor &pen, int penWidth)
{
    if (r <= l || b <= t)
        return;
    const int w = std::max(penWidth, 1);
    const int o = w / 2;
    const int x0 = l - o, y0 = t - o;
    const int spanW = (r - 1 - o + w) - x0, spanH = (b - 1 - o + w) - y0;
    p.fillRect(QRect(x0, y0, spanW, w), pen);
    p.fillRect(QRect(x0, b - 1 - o, spanW, w), pen);
    p.fillRect(QRect(x0, y0, w, spanH), pen);
    p.fillRect(QRect(r - 1 - o, y0, w, spanH), pen);
}

void FillOutlineRect(QPainter &p, int l, int t, int r, int b, const QColor &fill, const QColor &pen, int penWidth)
{
    if (r <= l || b <= t)
        return;
    p.fillRect(QRect(l, t, r - l, b - t), fill);
    OutlineRect(p, l, t, r, b, pen, penWidth);
}

namespace {

QString KatCaption(const KatRec *kat, bool caps)
{
    QString name = kat->name ? WStr(kat->name) : QString();
    if (caps)
        for (QChar &c : name)
            if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
                c = QChar(c.unicode() - 'a' + 'A');
    return StripControls(name);
}

// Every "%PAGE%", letter case ignored, becomes n, or nothing when n < 1.
QString NumberFooter(QString text, int64_t n)
{
    static const QRegularExpression placeholder(QStringLiteral("%PAGE%"), QRegularExpression::CaseInsensitiveOption);
    return text.replace(placeholder, n >= 1 ? QString::number(n) : QString());
}

void Draw(QPainter &canvas, const dib &d, int x, int y, int w, int h)
{
    // A picture squeezed to nothing is not drawn.
    if (w <= 0 || h <= 0)
        return;
    DrawDib(canvas, x, y, w, h, d, 0, 0, DibWidth(d), DibHeight(d));
}

} // namespace

TPageRenderer::TPageRenderer(const TRenderContext &ctx, const TPageLayout &layout, TPictureCache &pictures,
                             int Width, int Height, bool Printing)
    : ctx(ctx), s(*ctx.settings), layout(layout), pictures(pictures),
      units{layout.geometry.dpi, layout.geometry.zoom}, W(Width), H(Height), Printing(Printing)
{
}

bool TPageRenderer::DrawPage(QPainter &canvas, int Page)
{
    TTextMeasurer canvasMeasurer(canvas.device());
    measurer = &canvasMeasurer;
    canvas.save();
    canvas.setRenderHint(QPainter::Antialiasing, false);
    canvas.setBackgroundMode(Qt::TransparentMode);
    if (!Printing)
        FillOutlineRect(canvas, 0, 0, W, H, Qt::white, Qt::black, 1);
    const int pages = layout.pages;
    if (Page < 1 || Page > pages) {
        // Every page start of the pass strokes the frame, none draws more.
        if (s.RahmenCheck)
            Frame(canvas);
    } else {
        // The pages before the requested one only stroke their frames; one
        // stroke gives the same pixels as several.
        if (Page > 1 && s.RahmenCheck)
            Frame(canvas);
        BeginPage(canvas, Page, Page);
        const size_t first = layout.pageStart[size_t(Page) - 1], last = layout.pageStart[size_t(Page)];
        for (size_t i = first; i < last; ++i) {
            const TPlacedElement &e = layout.elements[i];
            switch (e.type) {
            case TElementType::Heading: {
                const TPlacedElement *next = i + 1 < last ? &layout.elements[i + 1] : nullptr;
                const bool before = next && next->type == TElementType::Picture &&
                                    next->placement == TPicturePlacement::Before && next->category == e.category;
                Heading(canvas, e, before ? next : nullptr);
                if (before)
                    ++i;
                break;
            }
            case TElementType::Picture:
                Picture(canvas, e);
                break;
            case TElementType::Intro:
                Intro(canvas, e);
                break;
            case TElementType::Field:
                Field(canvas, e);
                break;
            }
        }
        // The next page's start strokes the frame over this page's content.
        if (Page < pages && s.RahmenCheck)
            Frame(canvas);
    }
    if (!Printing)
        OutlineRect(canvas, 0, 0, W, H, Qt::black, 1);
    canvas.restore();
    measurer = nullptr;
    return pages > Page;
}

void TPageRenderer::BeginPage(QPainter &canvas, int page, int Page)
{
    if (page == Page) {
        if (s.BackgroundColorCheck)
            Background(canvas);
        if (ctx.pictures && HasPicture(ctx.pictures->di2)) {
            const dib &d = ctx.pictures->di2;
            const int tw = TruncPx(units.Cm(s.BreitEd2));
            const int th = s.SVerh2Check ? static_cast<int>(int64_t(DibHeight(d)) * tw / DibWidth(d))
                                         : TruncPx(units.Cm(s.HochEd2));
            // A tile of no width or height would never advance the tiling.
            if (tw > 0 && th > 0)
                for (int ty = 0; ty < H; ty += th)
                    for (int tx = 0; tx < W; tx += tw)
                        Draw(canvas, d, tx, ty, tw, th);
        }
        if (!s.KopfEd.isEmpty())
            Header(canvas);
        if (!s.FussEd.isEmpty())
            Footer(canvas, page);
    }
    if (s.RahmenCheck)
        Frame(canvas);
}

void TPageRenderer::Background(QPainter &canvas)
{
    if (s.Shape5 == s.Shape6) {
        const QColor c = ResolveColor(s.Shape5);
        FillOutlineRect(canvas, 0, 0, W, H, c, c, 1);
        return;
    }
    const QColor top = ResolveColor(s.Shape5), bottom = ResolveColor(s.Shape6);
    auto channel = [this](int r, int t, int b) { return (H - r - 1) * t / H + (r + 1) * b / H; };
    for (int r = 0; r < H; ++r) {
        const QColor c(channel(r, top.red(), bottom.red()), channel(r, top.green(), bottom.green()),
                       channel(r, top.blue(), bottom.blue()));
        FillOutlineRect(canvas, 0, r, W, r + 1, c, c, 1);
    }
}

void TPageRenderer::Header(QPainter &canvas)
{
    const TPageGeometry &g = layout.geometry;
    const TPassFonts &f = layout.fonts;
    if (s.FarbRechtKopfCheck) {
        const QColor c = ResolveColor(s.Shape1);
        FillOutlineRect(canvas, 0, 0, g.PW, g.top + f.headerTH + units.Mm(s.KopfEdmm), c, c, 1);
    }
    const int indent = units.Mm(s.RandKopfEd);
    int offset = 0;
    if (ctx.pictures && HasPicture(ctx.pictures->di3) && s.LogoChecked) {
        const dib &d = ctx.pictures->di3;
        const int lw = TruncPx(units.Cm(s.BreitEd3));
        const int lh = s.sverhlogo ? static_cast<int>(int64_t(DibHeight(d)) * lw / DibWidth(d))
                                   : TruncPx(units.Cm(s.HochEd3));
        Draw(canvas, d, indent, g.top, lw, lh);
        offset = lw + g.gap;
    }
    Text(canvas, f.header, FontColor(s.FontDialog9), indent + offset, g.top, StripControls(s.KopfEd));
}

void TPageRenderer::Footer(QPainter &canvas, int page)
{
    const TPageGeometry &g = layout.geometry;
    const TPassFonts &f = layout.fonts;
    if (s.FarbrechtFussCheck) {
        const QColor c = ResolveColor(s.Shape2);
        FillOutlineRect(canvas, 0, g.PH - g.bottom - f.footerTH - units.Mm(s.PlatzueberEd), g.PW, g.PH, c, c, 1);
    }
    const bool odd = page % 2 == 1;
    const bool fromOdd = odd != s.xchangecheck;
    const int64_t n = int64_t(s.FirstPageNr) + page - 1;
    const QString text = StripControls(NumberFooter(fromOdd ? s.FussEd : s.FussEd2, n));
    const int w = measurer->Width(f.footer, text);
    const int margin = units.Mm(s.LinkRandFussEd);
    int x;
    if (s.ZentrFussCheck)
        x = (W - w) / 2;
    else if (fromOdd)
        x = margin;
    else
        x = W - w - margin;
    Text(canvas, f.footer, FontColor(s.FontDialog8), x, H - g.bottom - f.footerTH, text);
}

void TPageRenderer::Frame(QPainter &canvas)
{
    const TPageGeometry &g = layout.geometry;
    const QColor color = ResolveColor(s.Shape11);
    const int w = std::max(units.FixedMm(1), 1);
    const int o = w / 2;
    const int l = g.left, t = g.top, r = g.right, b = g.bottom;
    // The straight lines with flat ends, as bands w pixels wide centred on
    // their line: (x1, y)–(x2, y) covers columns x1..x2−1.
    canvas.fillRect(QRect(l, t / 2 - o, W - r - l, w), color);
    canvas.fillRect(QRect(W - r / 2 - o, t, w, H - b - t), color);
    canvas.fillRect(QRect(l, H - b / 2 - o, W - r - l, w), color);
    canvas.fillRect(QRect(l / 2 - o, t, w, H - b - t), color);
    canvas.setPen(QPen(color, w, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    canvas.setBrush(Qt::NoBrush);
    // Qt counts angles counter-clockwise from three o'clock, in 1/16 degree.
    constexpr int quarter = 90 * 16;
    canvas.drawArc(QRect(0, 0, l, t), -quarter, quarter);
    canvas.drawArc(QRect(W - r, 0, r, t), 2 * quarter, quarter);
    canvas.drawArc(QRect(0, H - b, l, b), 0, quarter);
    canvas.drawArc(QRect(W - r, H - b, r, b), quarter, quarter);
}

void TPageRenderer::Text(QPainter &canvas, const QFont &font, const QColor &color, int x, int y,
                         const QString &text)
{
    if (text.isEmpty())
        return;
    canvas.setFont(font);
    canvas.setPen(color);
    canvas.drawText(QPoint(x, y + measurer->Ascent(font)), text);
}

void TPageRenderer::LabelLines(QPainter &canvas, const QFont &font, const QColor &color, int x, int y,
                               int lineHeight, QString label)
{
    while (!label.isEmpty()) {
        const QString line = PopLine(label);
        Text(canvas, font, color, x, y, StripControls(line));
        y += lineHeight;
    }
}

void TPageRenderer::Heading(QPainter &canvas, const TPlacedElement &e, const TPlacedElement *picture)
{
    const TPageGeometry &g = layout.geometry;
    const KatRec *kat = ctx.doc->Kat(e.category);
    const int T = e.T;
    const int b = e.hasFields ? T + T / 2 : 2 * T;
    if (s.KatBereichUnterCheck) {
        const QColor c = ResolveColor(s.Shape4);
        FillOutlineRect(canvas, 0, e.y, g.PW, e.y + b, c, c, 1);
    }
    if (picture)
        Picture(canvas, *picture);
    const QFont &font = e.hasFields ? layout.fonts.heading : layout.fonts.headingNoFields;
    const QString name = KatCaption(kat, s.CapsCheck);
    const int x = RoundPx(e.nameX);
    const int y = e.y + (e.hasFields ? T / 4 : T / 2);
    if (s.UnterlegeKategorie && !name.isEmpty())
        canvas.fillRect(QRect(x, y, measurer->Width(font, name), measurer->LineHeight(font)),
                        ResolveColor(s.Shape3));
    Text(canvas, font, FontColor(s.FontDialog2), x, y, name);
}

void TPageRenderer::Picture(QPainter &canvas, const TPlacedElement &e)
{
    const KatProps *props = ctx.doc->Kat(e.category)->props;
    if (!props || !props->bildname)
        return;
    const dib *d = pictures.Get(WStr(props->bildname));
    if (d)
        Draw(canvas, *d, RoundPx(e.x), e.y, TruncPx(e.w), TruncPx(e.h));
}

void TPageRenderer::Intro(QPainter &canvas, const TPlacedElement &e)
{
    const KatProps *props = ctx.doc->Kat(e.category)->props;
    canvas.setFont(layout.fonts.intro);
    canvas.setPen(FontColor(s.FontDialog4));
    canvas.drawText(QRect(RoundPx(e.x), e.y, std::max(0, TruncPx(e.w)), TruncPx(e.h)), IntroTextFlags() | Qt::TextDontClip,
                    IntroDisplayText(WStr(props->introtext)));
}

void TPageRenderer::Field(QPainter &canvas, const TPlacedElement &e)
{
    const TPageGeometry &g = layout.geometry;
    const TPassFonts &f = layout.fonts;
    const ProdRec *prod = ctx.doc->Kat(e.category)->prods->At(uint32_t(e.field));
    const QString label = prod->name ? WStr(prod->name) : QString();
    const QColor line = ResolveColor(s.Shape11), fill = ResolveColor(s.Shape7);
    const int pw = units.Mm(s.LineWidthEd);
    if (e.kind == fkText) {
        FillOutlineRect(canvas, RoundPx(e.x), e.y, RoundPx(e.x + e.w) + pw / 2, e.y + TruncPx(e.h) + pw / 2, fill,
                        line, pw);
        LabelLines(canvas, f.textLabel, FontColor(s.FontDialog5), RoundPx(e.x + g.gap), e.y, f.textLabelTH, label);
        return;
    }
    const double side = e.w;
    FillOutlineRect(canvas, RoundPx(e.x), e.y, RoundPx(e.x + side + pw / 2), RoundPx(e.y + side + pw / 2), fill,
                    line, pw);
    const int lx = RoundPx(e.x + side + g.gap);
    const QColor color = FontColor(s.FontDialog3);
    if (label.contains(QLatin1Char('\r')))
        LabelLines(canvas, f.checkLabel, color, lx, e.y, f.checkLabelTH, label);
    else
        Text(canvas, f.checkLabel, color, lx, e.y + (RoundPx(side) - f.checkLabelTH) / 2, StripControls(label));
}

bool PaintToCanvas(QPainter &Canvas, const TRenderContext &ctx, int dpi, int Width, int Height, int Page,
                   double Zoom, bool Printing)
{
    TLayoutInput input;
    input.printer = ctx.printer;
    input.dpi = dpi;
    input.zoom = Zoom;
    TTextMeasurer measurer(Canvas.device());
    TPictureCache pictures;
    const TPageLayout layout = LayoutForm(*ctx.doc, *ctx.settings, input, measurer, pictures);
    return TPageRenderer(ctx, layout, pictures, Width, Height, Printing).DrawPage(Canvas, Page);
}
