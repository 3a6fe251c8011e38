#include "layout/settings.h"

#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>

const char *const kMakerAddress = "www.velmora.de";

double TSpinSpec::Take(double value) const
{
    const bool bounded = Bounded();
    if (std::isnan(value))
        return bounded ? minValue : 0;
    if (std::isinf(value))
        return bounded ? (value > 0 ? maxValue : minValue) : 0;
    const double scale = std::pow(10.0, decimals);
    double v = std::round(value * scale) / scale;
    if (!std::isfinite(v)) // too large to scale: already far outside any precision
        v = value;
    if (bounded) {
        if (v < minValue)
            v = minValue;
        if (v > maxValue)
            v = maxValue;
    }
    return v;
}

int32_t TSpinSpec::TakeInt(double value) const
{
    const double v = Take(value);
    if (std::isnan(v))
        return 0;
    if (v <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    if (v >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(v);
}

namespace spin {
const TSpinSpec Margin{0, 1000, 1, 2};
const TSpinSpec PictureCm{1, 10000, 0.1, 2};
const TSpinSpec Brightness{1, 100, 1, 0};
const TSpinSpec Saturation{-100, 200, 1, 0};
const TSpinSpec PageNumber{0, 0, 1, 0};
const TSpinSpec FieldCm{0.01, 10000, 0.1, 2};
const TSpinSpec Zoom{1, 1000, 10, 0};
const TSpinSpec Page{1, 100000, 1, 0};
} // namespace spin

namespace {

TFontSetting font(const char *name, int32_t size, uint8_t style, TColorRef color)
{
    TFontSetting f;
    f.name = QString::fromLatin1(name);
    f.size = size;
    f.style = style;
    f.color = color;
    return f;
}

} // namespace

TLayoutSettings::TLayoutSettings()
{
    const QString address = QString::fromLatin1(kMakerAddress);
    FussEd = QStringLiteral("%PAGE%  -  Besuchen Sie uns im Internet unter ") + address;
    FussEd2 = QStringLiteral("Besuchen Sie uns im Internet unter ") + address + QStringLiteral("  -  %PAGE%");

    FontDialog1 = font("Arial Black", 24, fsBold, clWindowText);
    FontDialog2 = font("Arial Black", 24, fsBold, clYellow);
    FontDialog3 = font("Arial Black", 14, 0, clWindowText);
    FontDialog4 = font("Arial", 11, 0, clWindowText);
    FontDialog5 = font("Arial Narrow", 10, 0, clWindowText);
    FontDialog6 = font("Arial Black", 9, 0, clWindowText);
    FontDialog7 = font("Arial", 10, 0, clWindowText);
    FontDialog8 = font("Arial Black", 10, 0, clWhite);
    FontDialog9 = font("Arial Black", 24, fsBold, clWhite);
}

TFontSetting *TLayoutSettings::Font(int n)
{
    return const_cast<TFontSetting *>(static_cast<const TLayoutSettings *>(this)->Font(n));
}

const TFontSetting *TLayoutSettings::Font(int n) const
{
    const TFontSetting *fonts[] = {&FontDialog1, &FontDialog2, &FontDialog3, &FontDialog4, &FontDialog5,
                                   &FontDialog6, &FontDialog7, &FontDialog8, &FontDialog9};
    return (n >= 1 && n <= 9) ? fonts[n - 1] : nullptr;
}

void TLayoutSettings::TakeSpinValues()
{
    for (const TSettingInfo &info : LayoutSettingList()) {
        if (info.type == TSettingType::Real)
            this->*info.real = info.spin->Take(this->*info.real);
        else if (info.type == TSettingType::Integer)
            this->*info.integer = info.spin->TakeInt(this->*info.integer);
    }
}

bool TLayoutSettings::operator==(const TLayoutSettings &o) const
{
    for (const TSettingInfo &info : LayoutSettingList()) {
        bool same = false;
        switch (info.type) {
        case TSettingType::Text:
            same = this->*info.text == o.*info.text;
            break;
        case TSettingType::Real:
            // Bitwise, so that -0 and 0 differ and a NaN equals itself.
            same = std::memcmp(&(this->*info.real), &(o.*info.real), sizeof(double)) == 0;
            break;
        case TSettingType::Integer:
        case TSettingType::Choice:
            same = this->*info.integer == o.*info.integer;
            break;
        case TSettingType::Boolean:
            same = this->*info.boolean == o.*info.boolean;
            break;
        case TSettingType::Colour:
            same = this->*info.colour == o.*info.colour;
            break;
        case TSettingType::Font:
            same = this->*info.font == o.*info.font;
            break;
        }
        if (!same)
            return false;
    }
    return true;
}

namespace {

using S = TLayoutSettings;
using T = TSettingType;
using F = TFileSection;

TSettingInfo text(const char *name, F section, QString S::*m)
{
    TSettingInfo i{name, T::Text, section, nullptr};
    i.text = m;
    return i;
}

TSettingInfo real(const char *name, F section, double S::*m, const TSpinSpec &spinEdit)
{
    TSettingInfo i{name, T::Real, section, &spinEdit};
    i.real = m;
    return i;
}

TSettingInfo integer(const char *name, F section, int32_t S::*m, const TSpinSpec &spinEdit)
{
    TSettingInfo i{name, T::Integer, section, &spinEdit};
    i.integer = m;
    return i;
}

TSettingInfo choice(const char *name, F section, int32_t S::*m)
{
    TSettingInfo i{name, T::Choice, section, nullptr};
    i.integer = m;
    return i;
}

TSettingInfo boolean(const char *name, F section, bool S::*m)
{
    TSettingInfo i{name, T::Boolean, section, nullptr};
    i.boolean = m;
    return i;
}

TSettingInfo colour(const char *name, F section, TColorRef S::*m)
{
    TSettingInfo i{name, T::Colour, section, nullptr};
    i.colour = m;
    return i;
}

TSettingInfo fontInfo(const char *name, TFontSetting S::*m)
{
    TSettingInfo i{name, T::Font, F::C, nullptr};
    i.font = m;
    return i;
}

} // namespace

const std::vector<TSettingInfo> &LayoutSettingList()
{
    static const std::vector<TSettingInfo> list = {
        text("FilenameEdit2", F::B, &S::FilenameEdit2),
        text("FilenameEdit1", F::B, &S::FilenameEdit1),
        real("LinksEd", F::B, &S::LinksEd, spin::Margin),
        real("ObenEd", F::B, &S::ObenEd, spin::Margin),
        real("RechtsEd", F::B, &S::RechtsEd, spin::Margin),
        real("UntenEd", F::B, &S::UntenEd, spin::Margin),
        real("RandBildEd", F::B, &S::RandBildEd, spin::Margin),
        boolean("CapsCheck", F::B, &S::CapsCheck),
        boolean("ZentrCheck", F::B, &S::ZentrCheck),
        text("FussEd", F::B, &S::FussEd),
        text("FussEd2", F::B, &S::FussEd2),
        text("KopfEd", F::B, &S::KopfEd),
        boolean("RahmenCheck", F::B, &S::RahmenCheck),
        real("KopfEdmm", F::B, &S::KopfEdmm, spin::Margin),
        real("RandKopfEd", F::B, &S::RandKopfEd, spin::Margin),
        boolean("FarbRechtKopfCheck", F::B, &S::FarbRechtKopfCheck),
        colour("Shape1", F::B, &S::Shape1),
        boolean("FarbrechtFussCheck", F::B, &S::FarbrechtFussCheck),
        colour("Shape2", F::B, &S::Shape2),
        boolean("LogoChecked", F::B, &S::LogoChecked),
        boolean("UnterlegeKategorie", F::B, &S::UnterlegeKategorie),
        boolean("KatBereichUnterCheck", F::B, &S::KatBereichUnterCheck),
        colour("Shape3", F::B, &S::Shape3),
        colour("Shape4", F::B, &S::Shape4),
        boolean("ZentrFussCheck", F::B, &S::ZentrFussCheck),
        real("PlatzueberEd", F::B, &S::PlatzueberEd, spin::Margin),
        real("LinkRandFussEd", F::B, &S::LinkRandFussEd, spin::Margin),
        boolean("xchangecheck", F::B, &S::xchangecheck),
        integer("FirstPageNr", F::B, &S::FirstPageNr, spin::PageNumber),
        real("BreitEd2", F::B, &S::BreitEd2, spin::PictureCm),
        real("HochEd2", F::B, &S::HochEd2, spin::PictureCm),
        real("HellEd", F::B, &S::HellEd, spin::Brightness),
        real("SatEd", F::B, &S::SatEd, spin::Saturation),
        boolean("SVerh2Check", F::B, &S::SVerh2Check),
        boolean("GrayScaleCheck", F::B, &S::GrayScaleCheck),
        boolean("LightenCheck", F::B, &S::LightenCheck),
        real("BreitEd3", F::B, &S::BreitEd3, spin::PictureCm),
        real("HochEd3", F::B, &S::HochEd3, spin::PictureCm),
        boolean("sverhlogo", F::B, &S::sverhlogo),
        fontInfo("FontDialog1", &S::FontDialog1),
        fontInfo("FontDialog2", &S::FontDialog2),
        fontInfo("FontDialog3", &S::FontDialog3),
        fontInfo("FontDialog4", &S::FontDialog4),
        fontInfo("FontDialog5", &S::FontDialog5),
        fontInfo("FontDialog6", &S::FontDialog6),
        fontInfo("FontDialog7", &S::FontDialog7),
        fontInfo("FontDialog8", &S::FontDialog8),
        fontInfo("FontDialog9", &S::FontDialog9),
        boolean("OnlyOneColumnCheck", F::D1, &S::OnlyOneColumnCheck),
        choice("BildAlign", F::D2, &S::BildAlign),
        boolean("ArtNotBlockCheck", F::D3, &S::ArtNotBlockCheck),
        real("PlatzZwischenSpaltenEd", F::D4, &S::PlatzZwischenSpaltenEd, spin::Margin),
        boolean("ZentrTabelleCheck", F::D5, &S::ZentrTabelleCheck),
        boolean("BackgroundColorCheck", F::D6, &S::BackgroundColorCheck),
        colour("Shape5", F::D6, &S::Shape5),
        colour("Shape6", F::D6, &S::Shape6),
        boolean("NoLineBelowVariantsCheck", F::D7, &S::NoLineBelowVariantsCheck),
        real("LineWidthEd", F::D9, &S::LineWidthEd, spin::Margin),
        real("LineWidthEd2", F::D9, &S::LineWidthEd2, spin::Margin),
        colour("Shape7", F::D9, &S::Shape7),
        colour("Shape8", F::D9, &S::Shape8),
        colour("Shape9", F::D9, &S::Shape9),
        colour("Shape10", F::D9, &S::Shape10),
        colour("Shape11", F::D9, &S::Shape11),
    };
    return list;
}

namespace {

// The classic defaults of the Windows system colours, as 0xRRGGBB, by index.
const QRgb kSystemColours[] = {
    0xC8C8C8, // 0 scroll bar
    0x000000, // 1 desktop
    0x99B4D1, // 2 active caption
    0xBFCDDB, // 3 inactive caption
    0xF0F0F0, // 4 menu
    0xFFFFFF, // 5 window
    0x646464, // 6 window frame
    0x000000, // 7 menu text
    0x000000, // 8 window text
    0x000000, // 9 caption text
    0xB4B4B4, // 10 active border
    0xF4F7FC, // 11 inactive border
    0xABABAB, // 12 application work space
    0x3399FF, // 13 highlight
    0xFFFFFF, // 14 highlight text
    0xF0F0F0, // 15 button face
    0xA0A0A0, // 16 button shadow
    0x6D6D6D, // 17 grey text
    0x000000, // 18 button text
    0x434E54, // 19 inactive caption text
    0xFFFFFF, // 20 button highlight
    0x696969, // 21 3D dark shadow
    0xE3E3E3, // 22 3D light
    0x000000, // 23 info text
    0xFFFFE1, // 24 info background
    0x000000, // 25 (unused)
    0x0066CC, // 26 hot light
    0xB9D1EA, // 27 gradient active caption
    0xD7E4F2, // 28 gradient inactive caption
    0x3399FF, // 29 menu highlight
    0xF0F0F0, // 30 menu bar
};

} // namespace

QColor ResolveColor(TColorRef color)
{
    if ((color >> 24) == 0xFF) {
        const uint32_t index = color & 0xFF;
        const QRgb rgb = index < std::size(kSystemColours) ? kSystemColours[index] : 0x000000;
        return QColor::fromRgb(qRed(rgb), qGreen(rgb), qBlue(rgb));
    }
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

TColorRef ColorRefFromQColor(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return static_cast<TColorRef>(rgb.red()) | (static_cast<TColorRef>(rgb.green()) << 8) |
           (static_cast<TColorRef>(rgb.blue()) << 16);
}
