#include "layout/printjob.h"

#include "core/commandline.h"
#include "core/document.h"
#include "core/projectfile.h"
#include "layout/settings.h"
#include "pictures/picproc.h"

#include <QFile>
#include <QLocale>
#include <QPainter>
#include <QPrinter>

#include <cmath>
#include <cstdio>

TPrintJob::TPrintJob(const TRenderContext &ctx, QPaintDevice *device, int dpi, int Width, int Height, double Zoom,
                     bool Printing)
    : ctx(ctx), measurer(device),
      layout(LayoutForm(*ctx.doc, *ctx.settings, TLayoutInput{ctx.printer, dpi, Zoom}, measurer, pictures)),
      renderer(this->ctx, layout, pictures, Width, Height, Printing)
{
}

bool TPrintJob::DrawPage(QPainter &canvas, int Page) { return renderer.DrawPage(canvas, Page); }

TPrinterPage PrinterPageOf(const QPrinter &printer)
{
    TPrinterPage page;
    page.width = printer.width();
    page.height = printer.height();
    page.dpi = printer.logicalDpiX();
    return page;
}

int PrintForm(QPrinter &printer, const TRenderContext &ctx, const QString &title)
{
    TRenderContext job = ctx;
    job.printer = PrinterPageOf(printer);
    printer.setDocName(title);
    QPainter painter;
    if (!painter.begin(&printer))
        return 0;
    TPrintJob pages(job, &printer, job.printer.dpi, job.printer.width, job.printer.height, 100, true);
    int page = 1;
    while (pages.DrawPage(painter, page)) {
        printer.newPage();
        ++page;
    }
    painter.end();
    return page;
}

bool PaperLayout(const QString &paper, QPageLayout *layout, QString *error)
{
    QPageSize::PageSizeId id;
    if (paper.compare(QLatin1String("A4"), Qt::CaseInsensitive) == 0)
        id = QPageSize::A4;
    else if (paper.compare(QLatin1String("A5"), Qt::CaseInsensitive) == 0)
        id = QPageSize::A5;
    else if (paper.compare(QLatin1String("Letter"), Qt::CaseInsensitive) == 0)
        id = QPageSize::Letter;
    else {
        *error = QStringLiteral("unknown paper \"%1\" (A4, A5 or Letter)").arg(paper);
        return false;
    }
    *layout = QPageLayout(QPageSize(id), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter,
                          QMarginsF(0, 0, 0, 0));
    return true;
}

TPrinterPage PaperPage(const QPageLayout &layout, int dpi)
{
    const QRect page = layout.paintRectPixels(dpi);
    return TPrinterPage{page.width(), page.height(), dpi};
}

void SetUpPdfPrinter(QPrinter &printer, const QPageLayout &layout, int dpi)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(dpi);
    printer.setPageLayout(layout);
}

QImage MakeCanvasImage(int width, int height, int dpi)
{
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const int dpm = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    image.fill(Qt::white);
    return image;
}

namespace {

QByteArray Real(double v)
{
    if (v == std::trunc(v) && std::fabs(v) < 1e15)
        return QByteArray::number(v, 'f', 1);
    return QByteArray::number(v, 'g', QLocale::FloatingPointShortest);
}

QByteArray Int(double v) { return QByteArray::number(qint64(v)); }

} // namespace

QByteArray LayoutJson(const TPageLayout &layout)
{
    const TPageGeometry &g = layout.geometry;
    const TPassFonts &f = layout.fonts;
    QByteArray j;
    auto member = [&j](const char *name, const QByteArray &value, bool comma = true) {
        j += '"';
        j += name;
        j += "\": ";
        j += value;
        if (comma)
            j += ", ";
    };
    j += "{ ";
    member("dpi", QByteArray::number(g.dpi));
    member("zoom", QByteArray::number(g.zoom, 'g', QLocale::FloatingPointShortest));
    member("PW", QByteArray::number(g.PW));
    member("PH", QByteArray::number(g.PH));
    j += "\n  ";
    member("left", QByteArray::number(g.left));
    member("top", QByteArray::number(g.top));
    member("right", QByteArray::number(g.right));
    member("bottom", QByteArray::number(g.bottom));
    member("gap", QByteArray::number(g.gap));
    member("HH", QByteArray::number(g.HH));
    member("FH", QByteArray::number(g.FH));
    member("CT", QByteArray::number(g.CT));
    member("CL", QByteArray::number(g.CL));
    j += "\n  \"lineHeights\": { ";
    member("header", QByteArray::number(f.headerTH));
    member("footer", QByteArray::number(f.footerTH));
    member("heading", QByteArray::number(f.headingTH));
    member("headingNoFields", QByteArray::number(f.headingNoFieldsTH));
    member("intro", QByteArray::number(f.introTH));
    member("textLabel", QByteArray::number(f.textLabelTH));
    member("checkLabel", QByteArray::number(f.checkLabelTH), false);
    j += " },\n  ";
    member("pages", QByteArray::number(layout.pages));
    j += "\n  \"elements\": [";
    for (size_t i = 0; i < layout.elements.size(); ++i) {
        const TPlacedElement &e = layout.elements[i];
        j += i == 0 ? "\n    { " : ",\n    { ";
        switch (e.type) {
        case TElementType::Heading:
            member("type", "\"heading\"");
            break;
        case TElementType::Picture:
            member("type", "\"picture\"");
            member("placement", e.placement == TPicturePlacement::Before ? "\"before\"" : "\"below\"");
            break;
        case TElementType::Intro:
            member("type", "\"intro\"");
            break;
        case TElementType::Field:
            member("type", "\"field\"");
            break;
        }
        member("category", QByteArray::number(e.category));
        if (e.type == TElementType::Field) {
            member("field", QByteArray::number(e.field));
            member("kind", QByteArray::number(e.kind));
        }
        member("page", QByteArray::number(e.page));
        member("x", Real(e.x));
        switch (e.type) {
        case TElementType::Heading:
            member("y", QByteArray::number(e.y));
            member("T", QByteArray::number(e.T));
            member("nameX", Real(e.nameX), false);
            break;
        case TElementType::Picture:
        case TElementType::Intro:
            member("y", QByteArray::number(e.y));
            member("w", Int(e.w));
            member("h", Int(e.h), false);
            break;
        case TElementType::Field:
            member("y", QByteArray::number(e.y));
            member("w", Real(e.w));
            if (e.kind == fkRadio) {
                member("h", Real(e.h));
                member("labelW", QByteArray::number(e.labelW), false);
            } else {
                member("h", e.kind == fkText ? Int(e.h) : Real(e.h), false);
            }
            break;
        }
        j += " }";
    }
    j += layout.elements.empty() ? "] }\n" : " ] }\n";
    return j;
}

namespace {

// The options of the export modes and their defaults: A4 at 600 dpi for the
// printer, 96 dpi and zoom 100 for the screen.
struct TExportOptions {
    QStringList files;
    QString paper = QStringLiteral("A4");
    int printerDpi = 600;
    int dpi = 96;
    int zoom = 100;
    int page = 0; // 0: every page
};

constexpr int kMaxDpi = 4800;

void Fail(const QString &message) { std::fprintf(stderr, "formidex: %s\n", qPrintable(message)); }

bool TakeNumber(const QStringList &args, int &i, int lo, int hi, int &value)
{
    const QString flag = args[i];
    bool ok = false;
    const int v = ++i < args.size() ? args[i].toInt(&ok) : 0;
    if (!ok || v < lo || v > hi) {
        Fail(QStringLiteral("%1 needs a whole number from %2 to %3").arg(flag).arg(lo).arg(hi));
        return false;
    }
    value = v;
    return true;
}

// `allowed` lists the options this mode takes.
bool ParseOptions(const QStringList &args, const QStringList &allowed, int fileCount, TExportOptions &o)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (!a.startsWith(QLatin1String("--"))) {
            o.files << a;
            continue;
        }
        if (!allowed.contains(a)) {
            Fail(QStringLiteral("unknown option %1").arg(a));
            return false;
        }
        bool ok = true;
        if (a == QLatin1String("--paper")) {
            ok = ++i < args.size();
            if (ok)
                o.paper = args[i];
            else
                Fail(QStringLiteral("--paper needs A4, A5 or Letter"));
        } else if (a == QLatin1String("--printer-dpi")) {
            ok = TakeNumber(args, i, 1, kMaxDpi, o.printerDpi);
        } else if (a == QLatin1String("--dpi")) {
            ok = TakeNumber(args, i, 1, kMaxDpi, o.dpi);
        } else if (a == QLatin1String("--zoom")) {
            ok = TakeNumber(args, i, 1, 1000, o.zoom);
        } else if (a == QLatin1String("--page")) {
            ok = TakeNumber(args, i, 1, 100000, o.page);
        }
        if (!ok)
            return false;
    }
    if (o.files.size() != fileCount) {
        Fail(QStringLiteral("expected %1 file names, got %2").arg(fileCount).arg(o.files.size()));
        return false;
    }
    return true;
}

// The form of a project file with its background and logo.
struct TLoadedForm {
    TFormDocument doc;
    TLayoutSettings settings;
    TPagePictures pictures;
    TRenderContext Context(const TPrinterPage &printer) const
    {
        return TRenderContext{&doc, &settings, &pictures, printer};
    }
};

bool LoadForm(const QString &path, TLoadedForm &form)
{
    QString error;
    if (!OpenFileWithName(path, form.doc, form.settings, &error)) {
        Fail(error.startsWith(path) ? error : path + QStringLiteral(": ") + error);
        return false;
    }
    form.pictures.Load(form.settings);
    return true;
}

bool PrinterPage(const TExportOptions &o, QPageLayout &paper, TPrinterPage &page)
{
    QString error;
    if (!PaperLayout(o.paper, &paper, &error)) {
        Fail(error);
        return false;
    }
    page = PaperPage(paper, o.printerDpi);
    return true;
}

// The preview's page size: the printer page at the screen resolution and zoom.
bool PreviewSize(const TPrinterPage &printer, const TExportOptions &o, int &W, int &H)
{
    W = TruncPx(double(int64_t(printer.width) * o.dpi) / printer.dpi * o.zoom / 100);
    H = TruncPx(double(int64_t(printer.height) * o.dpi) / printer.dpi * o.zoom / 100);
    if (W > 0 && H > 0)
        return true;
    Fail(QStringLiteral("the page comes out empty at %1 dpi and zoom %2").arg(o.dpi).arg(o.zoom));
    return false;
}

} // namespace

int CmdExportPdf(const QStringList &args)
{
    TExportOptions o;
    if (!ParseOptions(args, {QStringLiteral("--paper"), QStringLiteral("--printer-dpi")}, 2, o))
        return 2;
    const QString &out = o.files[0];
    TLoadedForm form;
    QPageLayout paper;
    TPrinterPage page;
    if (!PrinterPage(o, paper, page) || !LoadForm(o.files[1], form))
        return 1;
    QPrinter printer(QPrinter::HighResolution);
    SetUpPdfPrinter(printer, paper, o.printerDpi);
    printer.setOutputFileName(out);
    const int pages = PrintForm(printer, form.Context(page), QStringLiteral("Formular drucken"));
    if (pages == 0) {
        Fail(out + QStringLiteral(": cannot be written"));
        return 1;
    }
    std::printf("%s: %d pages\n", qPrintable(out), pages);
    return 0;
}

int CmdExportPng(const QStringList &args)
{
    TExportOptions o;
    if (!ParseOptions(args,
                      {QStringLiteral("--page"), QStringLiteral("--zoom"), QStringLiteral("--dpi"),
                       QStringLiteral("--paper"), QStringLiteral("--printer-dpi")},
                      2, o))
        return 2;
    const QString &prefix = o.files[0];
    TLoadedForm form;
    QPageLayout paper;
    TPrinterPage printer;
    int W = 0, H = 0;
    if (!PrinterPage(o, paper, printer) || !PreviewSize(printer, o, W, H) || !LoadForm(o.files[1], form))
        return 1;
    QImage measure = MakeCanvasImage(1, 1, o.dpi);
    TPrintJob job(form.Context(printer), &measure, o.dpi, W, H, o.zoom, false);
    const int first = o.page > 0 ? o.page : 1;
    const int last = o.page > 0 ? o.page : job.PageCount();
    for (int n = first; n <= last; ++n) {
        QImage image = MakeCanvasImage(W, H, o.dpi);
        const QString name = QStringLiteral("%1-%2.png").arg(prefix).arg(n);
        if (image.isNull()) {
            Fail(name + QStringLiteral(": no memory for a page of %1 × %2 pixels").arg(W).arg(H));
            return 1;
        }
        QPainter painter(&image);
        job.DrawPage(painter, n);
        painter.end();
        if (!image.save(name, "PNG")) {
            Fail(name + QStringLiteral(": cannot be written"));
            return 1;
        }
        std::printf("%s\n", qPrintable(name));
    }
    return 0;
}

int CmdLayoutJson(const QStringList &args)
{
    TExportOptions o;
    if (!ParseOptions(args,
                      {QStringLiteral("--zoom"), QStringLiteral("--dpi"), QStringLiteral("--paper"),
                       QStringLiteral("--printer-dpi")},
                      1, o))
        return 2;
    TLoadedForm form;
    QPageLayout paper;
    TLayoutInput input;
    if (!PrinterPage(o, paper, input.printer) || !LoadForm(o.files[0], form))
        return 1;
    input.dpi = o.dpi;
    input.zoom = o.zoom;
    QImage measure = MakeCanvasImage(1, 1, o.dpi);
    TTextMeasurer measurer(&measure);
    TPictureCache pictures;
    const QByteArray json = LayoutJson(LayoutForm(form.doc, form.settings, input, measurer, pictures));
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    return 0;
}
