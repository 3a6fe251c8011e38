#pragma once
// Printing and the headless exports: a job lays the form out once and draws
// each page from that one layout, so n pages cost about n pages of drawing.

#include "layout/layoutpass.h"
#include "layout/picturecache.h"
#include "layout/renderer.h"

#include <QImage>
#include <QPageLayout>
#include <QString>

class QPaintDevice;
class QPainter;
class QPrinter;

class TPrintJob {
public:
    // Lays the form out once, measuring text on `device` (the printer, or an
    // image of the canvas's resolution) at dpi and Zoom. Width and Height are
    // the size of the canvases the pages are drawn on.
    TPrintJob(const TRenderContext &ctx, QPaintDevice *device, int dpi, int Width, int Height, double Zoom,
              bool Printing);
    int PageCount() const { return layout.pages; }
    const TPageLayout &Layout() const { return layout; }
    // Draws page `Page` exactly as PaintToCanvas draws it after its own full
    // pass; true when more pages follow.
    bool DrawPage(QPainter &canvas, int Page);
    // Category picture opens of the job so far.
    int PictureOpens() const { return pictures.Opens(); }

private:
    TRenderContext ctx;
    TTextMeasurer measurer;
    TPictureCache pictures;
    TPageLayout layout;
    TPageRenderer renderer;
};

// The printable page of a printer in device pixels and its horizontal resolution.
TPrinterPage PrinterPageOf(const QPrinter &printer);

// The print loop: the job is titled `title` (message 21, "Formular drucken",
// in the interface language), pages 1, 2, … are drawn at the printer's
// resolution and zoom 100 with a new printer page between them, until no
// page follows. The printer page replaces ctx.printer. Returns the number of
// pages, or 0 when the print job could not be started.
int PrintForm(QPrinter &printer, const TRenderContext &ctx, const QString &title);

// The paper of the command line ("A4", "A5", "Letter", any letter case),
// portrait, with zero margins: the printable area of the PDF output is the
// whole sheet. False with *error for an unknown paper.
bool PaperLayout(const QString &paper, QPageLayout *layout, QString *error);
// The printable page of that paper at a printer resolution, as a PDF printer
// set up with it reports it; --layout-json and --export-png take their page
// from here, so they match the PDF.
TPrinterPage PaperPage(const QPageLayout &layout, int dpi);
// A printer writing a PDF file with that paper at `dpi`.
void SetUpPdfPrinter(QPrinter &printer, const QPageLayout &layout, int dpi);

// An image for a canvas of that size whose resolution is dpi, white.
QImage MakeCanvasImage(int width, int height, int dpi);

// The layout as the JSON object of --layout-json.
QByteArray LayoutJson(const TPageLayout &layout);
