#pragma once
// The page layout pass: walks the categories and fields of a form in order,
// gives every heading, category picture, introduction text and field a place
// on a page and counts the pages. It draws nothing; the renderer draws from
// its result.

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class QPaintDevice;
class TFormDocument;
class TPictureCache;
struct TLayoutSettings;

// Millimetres per inch as the form's units use it.
constexpr double kMmPerInch = 25.39995;

// Unit conversions of a pass at a resolution and zoom in percent.
struct TUnits {
    int dpi;
    double zoom;
    // trunc(mm ÷ 25.39995 × dpi × zoom ÷ 100)
    int Mm(double mm) const;
    // zoom × (cm × 10 ÷ 25.39995 × dpi) ÷ 100, fractional
    double Cm(double cm) const;
    // trunc(zoom × dpi × (mm ÷ 25.39995) ÷ 100): the fixed 5 mm of the footer
    // and the 1 mm of the page frame are computed in this order.
    int FixedMm(double mm) const;
};

// Rounding to the nearest integer, halves to the even neighbour.
int RoundPx(double v);
// Truncation toward zero, saturated: lengths of damaged files stay finite.
int TruncPx(double v);

// Measures text as the target device draws it.
class TTextMeasurer {
public:
    explicit TTextMeasurer(QPaintDevice *device) : device(device) {}
    // TH: the height the device reports for one space.
    int LineHeight(const QFont &font);
    int Ascent(const QFont &font);
    int Width(const QFont &font, const QString &text);
    // Height of text word-wrapped into a column `width` wide, with the
    // layout and flags the introduction text is drawn with.
    int WrappedHeight(const QFont &font, int width, const QString &text);
    QPaintDevice *Device() const { return device; }

private:
    struct TMeasuredFont {
        QFont font;
        QFontMetrics metrics;
        // Labels repeat ("ja", "nein", ...): shaping each text once per job
        // keeps the pass over a large form fast.
        QHash<QString, int> widths;
    };
    TMeasuredFont &Measured(const QFont &font);
    QPaintDevice *device;
    std::vector<TMeasuredFont> cache;
};

// The flags the introduction text is laid out and drawn with: word-wrapped,
// top left, "&" underlining the next character and "&&" printing one "&".
int IntroTextFlags();
// The introduction text with its line breaks (CR LF, CR, LF) as the layout
// takes them.
QString IntroDisplayText(const QString &text);
// Without the characters below code 32.
QString StripControls(const QString &text);
// The part before the first carriage return; removes it and the CR from text.
QString PopLine(QString &text);

// The printer page the layout follows: printable size in printer pixels and
// the printer's horizontal resolution.
struct TPrinterPage {
    int width = 0;
    int height = 0;
    int dpi = 600;
};

struct TLayoutInput {
    TPrinterPage printer;
    int dpi = 96;       // of the canvas
    double zoom = 100;  // percent
};

// The fonts of a pass, scaled by its zoom, and their line heights.
struct TPassFonts {
    QFont header, footer, heading, headingNoFields, intro, textLabel, checkLabel;
    int headerTH = 0, footerTH = 0, headingTH = 0, headingNoFieldsTH = 0, introTH = 0, textLabelTH = 0,
        checkLabelTH = 0;
};

// The fixed geometry of a pass, in canvas pixels.
struct TPageGeometry {
    int dpi = 0;
    double zoom = 0;
    int PW = 0, PH = 0;
    int left = 0, top = 0, right = 0, bottom = 0, gap = 0;
    int HH = 0, FH = 0, CT = 0, CL = 0;
};

enum class TElementType { Heading, Picture, Intro, Field };
enum class TPicturePlacement { Before, Below };

// One placed element. Fields carry the place of their second placement,
// where they are drawn.
struct TPlacedElement {
    TElementType type = TElementType::Heading;
    int32_t category = 0;
    int32_t field = -1; // fields only
    int32_t kind = 0;   // fields only
    int32_t page = 1;
    double x = 0;
    int32_t y = 0;
    // Text field: fractional box width and rounded height; check boxes: the
    // fractional side twice; pictures: pixel size; introduction text: column
    // width and wrapped height.
    double w = 0;
    double h = 0;
    int32_t T = 0;        // headings: line height of the heading font
    bool hasFields = false; // headings
    double nameX = 0;     // headings: where the name starts (after a picture before it)
    int32_t labelW = 0;   // single-answer check boxes
    TPicturePlacement placement = TPicturePlacement::Below; // pictures
};

struct TPageLayout {
    TPageGeometry geometry;
    TPassFonts fonts;
    int pages = 1;
    std::vector<TPlacedElement> elements; // in pass order
    // Index of the first element of each page; pageStart[k - 1] for page k,
    // with one more entry holding elements.size().
    std::vector<size_t> pageStart;
};

// The fonts of a pass at a zoom, measured on the measurer's device.
TPassFonts MakePassFonts(const TLayoutSettings &settings, double zoom, TTextMeasurer &measurer);

// The complete pass over the form. Category pictures are opened through the
// cache to measure them.
TPageLayout LayoutForm(const TFormDocument &doc, const TLayoutSettings &settings, const TLayoutInput &input,
                       TTextMeasurer &measurer, TPictureCache &pictures);
