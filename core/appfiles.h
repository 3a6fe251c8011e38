#pragma once
// Where the program keeps the files it writes for itself (options.dat,
// translate.dat): beside the program when that folder is writable, as a
// portable install has it, otherwise in the per-user data folder, seeded
// once from the copies shipped beside the program.

#include <QString>

inline const QString kOptionsFileName = QStringLiteral("options.dat");
inline const QString kTranslationFileName = QStringLiteral("translate.dat");

// True when a file can really be created (and is removed again) in `folder`.
bool FolderIsWritable(const QString &folder);

// The data folder, ending in '/': `programFolder` when it is writable, else
// `userFolder`, created if needed, after copying each program folder file
// that the user folder lacks from `programFolder`. When the user folder
// cannot be created either, the program folder is kept so that its shipped
// files can at least be read.
QString ChooseDataFolder(const QString &programFolder, const QString &userFolder);

// ChooseDataFolder with the program's folder and the per-user data folder;
// needs a QCoreApplication.
QString ProgramDataFolder();
