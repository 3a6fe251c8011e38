#pragma once
// Shared pieces of the project file and JSON tests: documents that hold every
// kind of data, settings that differ from every default, a comparison of two
// documents member by member, and an encoder that writes the file format
// item by item as the format lists it, independently of the writer.

#include "core/document.h"
#include "layout/settings.h"

#include <QByteArray>
#include <QString>

#include <ostream>
#include <string>

// Readable QString values in test failures.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

// Categories with and without properties and fields; fields of every kind
// (and one unknown kind) with descr, anzpreis, variant rows, cells and
// pictures; a two-line label; umlauts.
void FillRichDocument(TFormDocument &doc);

// Every setting set to a value its control can hold that is not its default.
TLayoutSettings NonDefaultSettings();

// Copies one setting, named by its entry of LayoutSettingList().
void CopySetting(TLayoutSettings &to, const TLayoutSettings &from, const TSettingInfo &info);

// The first difference of two documents (every member, doubles bitwise), or
// an empty string when they are equal.
std::string DocumentDifference(const TFormDocument &a, const TFormDocument &b);

// Appends values in the file's encoding. Texts must be Latin-1 (which
// Windows-1252 shares outside 0x80..0x9F).
class TFileBytes {
public:
    TFileBytes &Int(int32_t v);
    TFileBytes &Real(double d);
    TFileBytes &Bool(bool b);
    TFileBytes &Byte(uint8_t b);
    TFileBytes &Text(const QString &latin1);
    TFileBytes &Font(const TFontSetting &f);
    QByteArray bytes;
};

// Part A of a document, part B, the nine fonts of part C, and the optional
// sections, each written the long way: one line per item of the format.
QByteArray EncodeCategories(const TFormDocument &doc);
QByteArray EncodeSettings(const TLayoutSettings &s);
QByteArray EncodeFonts(const TLayoutSettings &s);
// D1 .. D7, each separately (index 0 is D1).
QByteArray EncodeOptional(const TLayoutSettings &s, int d);
QByteArray EncodeKatProps(const TFormDocument &doc);
QByteArray EncodeLines(const TLayoutSettings &s); // D9
QByteArray EncodeFile(const TFormDocument &doc, const TLayoutSettings &s);

QByteArray WriteToBytes(const TFormDocument &doc, const TLayoutSettings &s);
