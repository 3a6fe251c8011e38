#pragma once
// Every file the program writes goes to a temporary file beside it that is
// renamed over the old one, so a failed or interrupted write never destroys
// the previous content.

#include <QString>

#include <functional>

class QIODevice;

// Runs `write` on the temporary file and commits it. Returns an empty string
// on success, else the reason (the old file is then untouched). Exceptions of
// `write` (EInOutError) count as failures.
QString WriteFileSafely(const QString &path, const std::function<void(QIODevice &)> &write);
