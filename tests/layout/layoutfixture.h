#pragma once
// Shared pieces of the layout tests: the application the fonts need, forms
// built in code, canvases and picture files made on the spot.

#include "core/document.h"
#include "layout/layoutpass.h"
#include "layout/printjob.h"
#include "layout/renderer.h"
#include "layout/settings.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// The screen at zoom 100.
constexpr TUnits kScreen{96, 100};

// A4 at 600 dpi, as the command line's default printer.
TPrinterPage A4At600();

// Settings of a plain page: no header, no footer, background off.
TLayoutSettings PlainSettings();

// A form under test: document, settings and the printer page.
struct TTestForm {
    TFormDocument doc;
    TLayoutSettings settings;
    TPrinterPage printer = A4At600();
    TPagePictures *pictures = nullptr;

    // Appends a category (with properties when given) and makes it current.
    void Kat(const QString &name);
    void KatWithPicture(const QString &name, const QString &picture, double bildbreite, int bildpos,
                        bool textunter, const QString &intro = QString());
    void Text(const QString &label, double widthCm, double heightCm);
    void Check(const QString &label, double sideCm);
    void Radio(const QString &label, double sideCm);

    TRenderContext Context() const { return TRenderContext{&doc, &settings, pictures, printer}; }
    // The pass at a screen resolution and zoom, measured on an image.
    TPageLayout Layout(int dpi = 96, double zoom = 100) const;
    // Preview size of the printer page at dpi and zoom.
    int PW(int dpi = 96, double zoom = 100) const;
    int PH(int dpi = 96, double zoom = 100) const;
    // One page drawn by PaintToCanvas on a fresh image of the preview size.
    QImage Paint(int page, bool printing = false, int dpi = 96, double zoom = 100, bool *more = nullptr) const;
};

// The fields of a layout, in pass order.
std::vector<TPlacedElement> Fields(const TPageLayout &layout);
std::vector<TPlacedElement> OfType(const TPageLayout &layout, TElementType type);

// A PNG of one colour in dir; returns its path.
QString SolidPng(const QTemporaryDir &dir, const QString &name, int width, int height, const QColor &color);

QColor Rgb(const QImage &image, int x, int y);
// Pixels of `color` in the rectangle.
int CountColor(const QImage &image, const QRect &area, const QColor &color);
// Bounding box of the pixels in `area` that differ from `ground`.
QRect InkBox(const QImage &image, const QRect &area, const QColor &ground);
