#pragma once
// The whole form as JSON, for people who script their forms: every category
// with its properties and fields (carried data included) and every setting
// (hidden ones and the nine fonts included), under the names the program
// uses. Lossless both ways for every form the program can hold:
//   - texts as strings; numbers as JSON numbers, which Qt writes as the
//     shortest text that reads back to the same double; the doubles JSON
//     has no number for as strings: "-0", "Infinity", "-Infinity", "NaN"
//     (any other NaN as "NaN:0x" + its 16 hex digits);
//   - colours as "#RRGGBB" for a plain colour, otherwise the stored value
//     as "0x" + 8 hex digits (system colour 8, window text: "0xFF000008");
//   - a field's kind as "text", "check" or "radio" (other values as numbers).
// On input, members that are left out take their defaults, so a short
// hand-written file is enough; unknown members, wrong types and values the
// file cannot hold are errors naming the JSON path of the member.

#include <QJsonObject>
#include <QString>

class TFormDocument;
struct TLayoutSettings;

QJsonObject FormToJson(const TFormDocument &doc, const TLayoutSettings &settings);

// Empties the document and resets the settings to their defaults, then takes
// what `json` holds; settings pass through their spin edits as if entered.
// On an error false with *error = "JSON path: reason"; the document and the
// settings then hold a partial form.
bool FormFromJson(const QJsonObject &json, TFormDocument &doc, TLayoutSettings &settings, QString *error);
