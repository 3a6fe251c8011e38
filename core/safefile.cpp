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
    if (file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}
