#pragma once
// options.dat: the one option kept between runs, the interface language,
// as exactly 4 bytes (little-endian int32: 0 German, 1 English, 2 French,
// 3 Dutch). Bytes after the first four are ignored.

#include <QString>

#include <cstdint>

struct TLanguageOptions {
    int32_t languagesetto = 1; // read from the file at start (1 when there is none)
    int32_t language = 1;      // current interface language, written at close
};

// Resets both numbers to 1 (English), then reads `languagesetto` from
// `folder` + "options.dat". A missing, unreadable or short file keeps 1.
void LoadOptions(TLanguageOptions &options, const QString &folder);

// Replaces `folder` + "options.dat" atomically with `language`. Failures
// are silent for the user; the result tells whether the file was written.
bool SaveOptions(const TLanguageOptions &options, const QString &folder);

// The language menu item that is checked for `languagesetto`: 0 Deutsch,
// 1 English, 2 Français, 3 Nederlands; any other number leaves English.
int CheckedLanguageItem(int32_t languagesetto);
