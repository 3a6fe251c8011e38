#include "core/appfiles.h"


#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

QString WithSlash(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// Copies a shipped file the user folder lacks; the copy is made writable for
// its owner, since the shipped one may be read-only.
void SeedFile(const QString &programFolder, const QString &userFolder, const QString &name)
{
    const QString target = userFolder + name;
    const QString source = programFolder + name;
    if (QFile::exists(target) || !QFile::exists(source))
        return;
    if (QFile::copy(source, target))
        QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
}

} // namespace

bool FolderIsWritable(const QString &folder)
{
    QTemporaryFile probe(WithSlash(folder) + QStringLiteral(".formidex-write-test-XXXXXX"));
    return probe.open();
}

QString ChooseDataFolder(const QString &programFolder, const QString &userFolder)
{
    const QString program = WithSlash(programFolder);
    if (userFolder.isEmpty() || FolderIsWritable(program))
        return program;
    const QString user = WithSlash(userFolder);
    if (!QDir().mkpath(user))
        return program;
    SeedFile(program, user, kTranslationFileName);
    SeedFile(program, user, kOptionsFileName);
    return user;
}

QString ProgramDataFolder()
{
    return ChooseDataFolder(QCoreApplication::applicationDirPath(),
                            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}
