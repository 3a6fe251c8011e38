#pragma once
// Fonts of the pages: the Windows faces the settings name, mapped onto the
// fonts this system ships, and the scaling of a font setting by the zoom.

#include "layout/settings.h"

#include <QFont>

// Registers the substitutes of the Windows faces (Arial, Arial Narrow,
// Arial Black, Tahoma, MS Sans Serif). Call once after the application exists.
void InstallFontSubstitutions();

// The font of a setting at a zoom in percent: point size
// trunc(size × factor × zoom ÷ 100), at least 1, with the setting's style.
// factor 1.5 gives the heading of a category without fields.
QFont MakeFont(const TFontSetting &setting, double zoom, double factor = 1.0);

// The colour text of that setting is drawn in.
inline QColor FontColor(const TFontSetting &setting) { return ResolveColor(setting.color); }
