#include "layout/fonts.h"

#include <QStringList>

#include <cmath>

namespace {

const char *const kHeavyFace = "Arial Black";
// A font of several thousand points makes the font engine render glyphs of
// gigapixels; no page needs more than this.
constexpr double kMaxPointSize = 2000;

} // namespace

void InstallFontSubstitutions()
{
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial Narrow"), {QStringLiteral("Liberation Sans Narrow")});
    // DejaVu Sans at black weight resolves to its heaviest cut.
    QFont::insertSubstitutions(QString::fromLatin1(kHeavyFace), {QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), {QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), {QStringLiteral("DejaVu Sans")});
}

QFont MakeFont(const TFontSetting &setting, double zoom, double factor)
{
    double points = std::trunc(setting.size * factor * zoom / 100);
    if (!(points >= 1)) // also NaN
        points = 1;
    if (points > kMaxPointSize)
        points = kMaxPointSize;
    QFont font(setting.name);
    font.setPointSize(static_cast<int>(points));
    // The substitute of Arial Black is a regular family: only the weight
    // makes it heavy, bold or not.
    if (setting.name.compare(QLatin1String(kHeavyFace), Qt::CaseInsensitive) == 0)
        font.setWeight(QFont::Black);
    else
        font.setBold(setting.style & fsBold);
    font.setItalic(setting.style & fsItalic);
    font.setUnderline(setting.style & fsUnderline);
    font.setStrikeOut(setting.style & fsStrikeOut);
    return font;
}
