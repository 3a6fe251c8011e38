#pragma once
// The layout and style settings of a form: one plain record with a member
// per control of the main window, named like the control. The renderer, the
// layout pass, the project file and the window all read and write this record.

#include <QColor>
#include <QString>

#include <cstdint>
#include <vector>

// Colours as stored: 0x00BBGGRR, or 0xFF0000nn for system colour nn.
using TColorRef = uint32_t;
constexpr TColorRef clWindowText = 0xFF000008;
constexpr TColorRef clBlack = 0x00000000;
constexpr TColorRef clWhite = 0x00FFFFFF;
constexpr TColorRef clNavy = 0x00800000;
constexpr TColorRef clYellow = 0x0000FFFF;
constexpr TColorRef clGray = 0x00808080;
constexpr TColorRef clSilver = 0x00C0C0C0;

// The colour a stored value stands for when drawing: an RGB value as it is, a
// system colour (top byte 0xFF) as the classic default of that Windows system
// colour index (8 window text black, 5 window white, 15 button face #F0F0F0 ...),
// black for an index without one. Other top bytes are ignored.
QColor ResolveColor(TColorRef color);
// The stored value of a colour chosen in a colour dialog (alpha dropped).
TColorRef ColorRefFromQColor(const QColor &color);

// Font style bits of the file.
enum : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A font setting as the project file holds it.
struct TFontSetting {
    uint8_t charset = 0; // 0 ANSI, 1 default
    TColorRef color = clWindowText;
    QString name;
    uint8_t pitch = 0;  // 0 default, 1 variable, 2 fixed
    int32_t ppi = 96;   // pixels per inch at which the size was taken
    int32_t size = 10;  // points
    uint8_t style = 0;  // fsBold | fsItalic | ...

    bool operator==(const TFontSetting &o) const
    {
        return charset == o.charset && color == o.color && name == o.name && pitch == o.pitch && ppi == o.ppi &&
               size == o.size && style == o.style;
    }
};

// Bounds, step and precision of one spin edit. Both bounds 0: no bounds.
struct TSpinSpec {
    double minValue;
    double maxValue;
    double step;
    int decimals;
    // The value as the spin edit takes it: rounded to its precision and
    // brought into its bounds; a value that is no number becomes the lower bound.
    double Take(double value) const;
    // The same for an integer spin edit, saturated into the int32 range.
    int32_t TakeInt(double value) const;
    bool Bounded() const { return !(minValue == 0 && maxValue == 0); }
};

namespace spin {
extern const TSpinSpec Margin;     // mm, 0..1000, step 1
extern const TSpinSpec PictureCm;  // cm, 1..10000, step 0.1 (background tile, logo)
extern const TSpinSpec Brightness; // HellEd: whole numbers 1..100
extern const TSpinSpec Saturation; // SatEd: whole numbers -100..200
extern const TSpinSpec PageNumber; // FirstPageNr: whole numbers, no bounds
extern const TSpinSpec FieldCm;    // field and category picture sizes: 0.01..10000, step 0.1
extern const TSpinSpec Zoom;       // ZoomEd: 1..1000, step 10
extern const TSpinSpec Page;       // SeiteEd: 1..100000
} // namespace spin

// The maker's web address in the default footers.
extern const char *const kMakerAddress;

struct TLayoutSettings {
    // "Hintergrund" and "Logo": picture file names
    QString FilenameEdit2;                          // background picture
    QString FilenameEdit1 = "logo velmora200x200.gif"; // logo, relative to the current folder

    // "Ränder und Abstände" (mm)
    double LinksEd = 12;
    double ObenEd = 2;
    double RechtsEd = 12;
    double UntenEd = 5;
    double RandBildEd = 2;
    double KopfEdmm = 5;
    double RandKopfEd = 5;
    double PlatzueberEd = 3;
    double LinkRandFussEd = 5;
    double LineWidthEd = 0.6;
    bool RahmenCheck = false;
    double PlatzZwischenSpaltenEd = 5; // hidden, stored only
    double LineWidthEd2 = 0.6;         // hidden, stored only

    // "Formatierung"
    bool CapsCheck = true;
    bool ZentrCheck = true; // stored only
    bool ZentrFussCheck = false;
    bool OnlyOneColumnCheck = false;       // hidden
    bool ArtNotBlockCheck = false;         // hidden
    bool ZentrTabelleCheck = false;        // hidden
    int32_t BildAlign = 2;                 // hidden radio group: 0 BildLinks, 1 BildZentr, 2 BildRechts
    bool NoLineBelowVariantsCheck = false; // hidden

    // "Kopf- und Fußzeile"
    QString FussEd;
    QString FussEd2;
    QString KopfEd = "Velmora GbR Formidex 1.0";
    bool LogoChecked = true;
    bool xchangecheck = false;
    int32_t FirstPageNr = 1;

    // "Farben"
    bool FarbRechtKopfCheck = true;
    TColorRef Shape1 = clNavy;
    bool FarbrechtFussCheck = true;
    TColorRef Shape2 = clNavy;
    bool UnterlegeKategorie = true;
    TColorRef Shape3 = clBlack;
    bool KatBereichUnterCheck = true;
    TColorRef Shape4 = clGray;
    TColorRef Shape7 = clWhite;
    TColorRef Shape8 = clSilver;   // hidden
    TColorRef Shape9 = 0x00E1E1E1; // hidden
    TColorRef Shape10 = clBlack;   // hidden
    TColorRef Shape11 = clBlack;

    // "Hintergrund"
    bool BackgroundColorCheck = true;
    TColorRef Shape5 = clSilver;
    TColorRef Shape6 = clSilver;
    double BreitEd2 = 30;
    double HochEd2 = 10;
    bool SVerh2Check = true;
    double HellEd = 50;
    double SatEd = 0;
    bool GrayScaleCheck = false;
    bool LightenCheck = true;

    // "Logo"
    double BreitEd3 = 1.5;
    double HochEd3 = 1.5;
    bool sverhlogo = true;

    // "Schriftarten": FontDialog1 .. FontDialog9
    TFontSetting FontDialog1;
    TFontSetting FontDialog2;
    TFontSetting FontDialog3;
    TFontSetting FontDialog4;
    TFontSetting FontDialog5;
    TFontSetting FontDialog6; // hidden, stored only
    TFontSetting FontDialog7; // hidden, stored only
    TFontSetting FontDialog8;
    TFontSetting FontDialog9;

    // Every member at its default, fonts and footers included.
    TLayoutSettings();

    TFontSetting *Font(int n); // FontDialog1 .. FontDialog9 by number
    const TFontSetting *Font(int n) const;

    // Brings every spin value into its bounds and precision, as loading does.
    void TakeSpinValues();

    // Every member equal, hidden ones and fonts included.
    bool operator==(const TLayoutSettings &o) const;
    bool operator!=(const TLayoutSettings &o) const { return !(*this == o); }
};

// One setting of the record, for code that treats them all alike (the JSON
// form files, comparisons): the control name, its type, the spin edit of a
// number and the member. Exactly one member pointer is set, the one of `type`.
// Choice is the index of the checked button of a radio group (0, 1 or 2).
enum class TSettingType { Text, Real, Integer, Boolean, Colour, Font, Choice };

// Where the project file keeps a setting: the mandatory parts B (settings) and
// C (fonts), or one of the optional trailing sections (D8, the category
// properties, belongs to the document).
enum class TFileSection : uint8_t { B, C, D1, D2, D3, D4, D5, D6, D7, D9 };

struct TSettingInfo {
    const char *name;
    TSettingType type;
    TFileSection section;
    const TSpinSpec *spin; // Real and Integer spin edits; nullptr otherwise
    QString TLayoutSettings::*text = nullptr;
    double TLayoutSettings::*real = nullptr;
    int32_t TLayoutSettings::*integer = nullptr; // Integer and Choice
    bool TLayoutSettings::*boolean = nullptr;
    TColorRef TLayoutSettings::*colour = nullptr;
    TFontSetting TLayoutSettings::*font = nullptr;
};

// Every member of TLayoutSettings in file order (parts B, C, then D1..D9).
const std::vector<TSettingInfo> &LayoutSettingList();
