#pragma once
// Whole-file reads and writes for tests that look at what lies on disk.

#include <QByteArray>
#include <QString>

// The file's bytes, or empty when it cannot be read.
QByteArray ReadFileBytes(const QString &path);
// True when every byte was written.
bool WriteFileBytes(const QString &path, const QByteArray &bytes);
