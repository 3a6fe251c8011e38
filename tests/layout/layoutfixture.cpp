#include "layoutfixture.h"

#include "layout/fonts.h"
#include "pictures/picproc.h"

#include <QGuiApplication>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// Fonts and text measuring need the application object.
class TGuiEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "layout_test";
        static char *argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
        InstallFontSubstitutions();
    }
    void TearDown() override { app.reset(); }

private:
    std::unique_ptr<QGuiApplication> app;
};

const testing::Environment *const kGui = testing::AddGlobalTestEnvironment(new TGuiEnvironment);

} // namespace

TPrinterPage A4At600()
{
    QPageLayout paper;
    QString error;
    PaperLayout(QStringLiteral("A4"), &paper, &error);
    return PaperPage(paper, 600);
}

TLayoutSettings PlainSettings()
{
    TLayoutSettings s;
    s.KopfEd.clear();
    s.FussEd.clear();
    s.FussEd2.clear();
    s.BackgroundColorCheck = false;
    return s;
}

void TTestForm::Kat(const QString &name) { doc.AddKat(name); }

void TTestForm::KatWithPicture(const QString &name, const QString &picture, double bildbreite, int bildpos,
                               bool textunter, const QString &intro)
{
    KatRec *kat = doc.AddKat(name);
    kat->props = TFormDocument::NewKatProps(intro, picture, bildbreite, bildpos, textunter);
}

void TTestForm::Text(const QString &label, double widthCm, double heightCm)
{
    doc.AddProd(label, fkText, widthCm, heightCm);
}

void TTestForm::Check(const QString &label, double sideCm) { doc.AddProd(label, fkCheck, 1, sideCm); }

void TTestForm::Radio(const QString &label, double sideCm) { doc.AddProd(label, fkRadio, 1, sideCm); }

TPageLayout TTestForm::Layout(int dpi, double zoom) const
{
    QImage device = MakeCanvasImage(1, 1, dpi);
    TTextMeasurer measurer(&device);
    TPictureCache cache;
    return LayoutForm(doc, settings, TLayoutInput{printer, dpi, zoom}, measurer, cache);
}

int TTestForm::PW(int dpi, double zoom) const
{
    return TruncPx(double(int64_t(printer.width) * dpi) / printer.dpi * zoom / 100);
}

int TTestForm::PH(int dpi, double zoom) const
{
    return TruncPx(double(int64_t(printer.height) * dpi) / printer.dpi * zoom / 100);
}

QImage TTestForm::Paint(int page, bool printing, int dpi, double zoom, bool *more) const
{
    QImage image = MakeCanvasImage(PW(dpi, zoom), PH(dpi, zoom), dpi);
    QPainter painter(&image);
    const bool follows = PaintToCanvas(painter, Context(), dpi, image.width(), image.height(), page, zoom, printing);
    painter.end();
    if (more)
        *more = follows;
    return image;
}

std::vector<TPlacedElement> OfType(const TPageLayout &layout, TElementType type)
{
    std::vector<TPlacedElement> out;
    for (const TPlacedElement &e : layout.elements)
        if (e.type == type)
            out.push_back(e);
    return out;
}

std::vector<TPlacedElement> Fields(const TPageLayout &layout) { return OfType(layout, TElementType::Field); }

QString SolidPng(const QTemporaryDir &dir, const QString &name, int width, int height, const QColor &color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    const QString path = dir.filePath(name);
    image.save(path, "PNG");
    return path;
}

QColor Rgb(const QImage &image, int x, int y) { return QColor(image.pixel(x, y)); }

int CountColor(const QImage &image, const QRect &area, const QColor &color)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += QColor(image.pixel(x, y)) == color;
    return n;
}

QRect InkBox(const QImage &image, const QRect &area, const QColor &ground)
{
    QRect box;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (QColor(image.pixel(x, y)) != ground)
                box = box.united(QRect(x, y, 1, 1));
    return box;
}
