#pragma once
// Windows-1252, the 8-bit code page of every text in the program's files,
// whatever the locale. All 256 byte values map to a character and back, so
// reading and writing an 8-bit text never changes its bytes.

#include <QByteArray>
#include <QString>

QString FromAnsi(const QByteArray &bytes);
// Characters outside the code page become '?', as the Windows conversion does.
QByteArray ToAnsi(const QString &text);
