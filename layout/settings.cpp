#include "layout/settings.h"

#include <cmath>

const char *const kMakerAddress = "www.velmora.de";

double TSpinSpec::Take(double value) const
{
    const bool bounded = !(minValue == 0 && maxValue == 0);
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
    for (double *mm : {&LinksEd, &ObenEd, &RechtsEd, &UntenEd, &RandBildEd, &KopfEdmm, &RandKopfEd, &PlatzueberEd,
                       &LinkRandFussEd, &LineWidthEd, &PlatzZwischenSpaltenEd, &LineWidthEd2})
        *mm = spin::Margin.Take(*mm);
    for (double *cm : {&BreitEd2, &HochEd2, &BreitEd3, &HochEd3})
        *cm = spin::PictureCm.Take(*cm);
    HellEd = spin::Brightness.Take(HellEd);
    SatEd = spin::Saturation.Take(SatEd);
}
