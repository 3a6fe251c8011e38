#pragma once
// The page renderer: draws one page of a laid-out form on a canvas (an image
// for the preview, a printer for printing) with the page decoration (background,
// header, footer, frame) and every heading, picture, introduction text and
// field that the layout pass placed on that page.

#include "layout/layoutpass.h"

#include <QColor>

class QPainter;
class TFormDocument;
class TPictureCache;
struct TLayoutSettings;
struct TPagePictures;

// What a drawing reads: the document, the settings, the processed background
// and the logo (none when pictures is nullptr), and the printer page.
struct TRenderContext {
    const TFormDocument *doc = nullptr;
    const TLayoutSettings *settings = nullptr;
    const TPagePictures *pictures = nullptr;
    TPrinterPage printer;
};

// A rectangle (l, t)–(r, b) as the Windows canvas draws it: filled over
// l..r−1 × t..b−1, outlined with a flat-ended pen `penWidth` pixels wide
// (0 counts as 1) centred on the outermost pixel rows and columns of that area.
void FillOutlineRect(QPainter &p, int l, int t, int r, int b, const QColor &fill, const QColor &pen, int penWidth);
// The same outline without the fill.
void OutlineRect(QPainter &p, int l, int t, int r, int b, const QColor &pen, int penWidth);

// Draws the pages of one layout. Each page comes out as if the whole pass
// had run for it: the frame strokes of the pages before it and of the page
// after it included.
class TPageRenderer {
public:
    TPageRenderer(const TRenderContext &ctx, const TPageLayout &layout, TPictureCache &pictures, int Width,
                  int Height, bool Printing);
    // Draws page `Page` (from 1); true when the form has more pages.
    bool DrawPage(QPainter &canvas, int Page);

private:
    void BeginPage(QPainter &canvas, int page, int Page);
    void Background(QPainter &canvas);
    void Header(QPainter &canvas);
    void Footer(QPainter &canvas, int page);
    void Frame(QPainter &canvas);
    void Heading(QPainter &canvas, const TPlacedElement &e, const TPlacedElement *picture);
    void Picture(QPainter &canvas, const TPlacedElement &e);
    void Intro(QPainter &canvas, const TPlacedElement &e);
    void Field(QPainter &canvas, const TPlacedElement &e);
    void Text(QPainter &canvas, const QFont &font, const QColor &color, int x, int y, const QString &text);
    void LabelLines(QPainter &canvas, const QFont &font, const QColor &color, int x, int y, int lineHeight,
                    QString label);

    const TRenderContext &ctx;
    const TLayoutSettings &s;
    const TPageLayout &layout;
    TPictureCache &pictures;
    TUnits units;
    int W, H;
    bool Printing;
    TTextMeasurer *measurer = nullptr; // of the canvas being drawn
};

// One page: a complete layout pass measured on the canvas's device, then the
// page drawn from it. True when the form has more pages than Page.
bool PaintToCanvas(QPainter &Canvas, const TRenderContext &ctx, int dpi, int Width, int Height, int Page,
                   double Zoom, bool Printing);
