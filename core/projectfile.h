#pragma once
// The project file (.fdx): the categories with their fields (part A), the
// layout settings (B), nine fonts (C) and the optional trailing sections
// D1..D9 that later versions appended. Little-endian, no header; 8-bit texts
// in Windows-1252, font face names in UTF-16LE.

#include <QString>

class QIODevice;
class TFormDocument;
struct TLayoutSettings;

// Reads a whole project from `file` into the document (emptied first with
// NewAll) and the settings (each value taken as its control takes it; values
// of optional sections the file lacks stay as they are).
//
// On success the document is untitled and unchanged. On a damaged file
// (it ends early, holds a negative text length or a count that the remaining
// bytes cannot hold) the result is false and *error says what broke where,
// e.g. "the file ends inside font 3 (FontDialog3): face name (byte 1234)".
// What was read stays for rescue, untitled and marked changed, so that a
// save asks for a new name instead of overwriting the damaged file.
// donotupdate is cleared in either case.
bool ReadProject(QIODevice &file, TFormDocument &doc, TLayoutSettings &settings, QString *error);

// Writes the complete format, every section included. Raises EInOutError
// when the device fails.
void WriteProject(QIODevice &file, const TFormDocument &doc, const TLayoutSettings &settings);

// Opens `path` read-only and reads it with ReadProject. A file that cannot be
// opened gives false with the reason in *error and leaves the document as it
// was. On success afilename is `path` and the document is unchanged; on a
// damaged file the rescue state above, *error starting with `path`.
bool OpenFileWithName(const QString &path, TFormDocument &doc, TLayoutSettings &settings, QString *error);

// Writes the document to doc.afilename through a temporary file that replaces
// the old one only when everything was written, so a failed save leaves the
// previous file whole. On failure false and *error = file name + reason;
// changed and afilename stay as they were. The caller marks the document
// unchanged on success.
bool SaveTheFile(TFormDocument &doc, const TLayoutSettings &settings, QString *error);
