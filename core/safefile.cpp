#include "core/safefile.h"

#include <QSaveFile>

#include <exception>

QString WriteFileSafely(const QString &path, const std::function<void(QIODevice &)> &write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    try {
        write(file);
    } catch (const std::exception &e) {
        file.cancelWriting();
        return QString::fromLocal8Bit(e.what());
    }
    // commit() would flush the rest itself but, on a full disk, report the
    // short write as success: flush and check first.
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}
