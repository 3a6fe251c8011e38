#include "core/optionsfile.h"

#include "core/appfiles.h"
#include "core/dynaarray.h"
#include "core/safefile.h"

#include <QDir>
#include <QFile>

void LoadOptions(TLanguageOptions &options, const QString &folder)
{
    options.languagesetto = 1;
    options.language = 1;
    QFile file(QDir(folder).filePath(kOptionsFileName));
    if (!file.open(QIODevice::ReadOnly))
        return;
    try {
        options.languagesetto = ReadInt32(file);
    } catch (const EInOutError &) {
        // Shorter than 4 bytes: the same as no file.
    }
}

bool SaveOptions(const TLanguageOptions &options, const QString &folder)
{
    const int32_t language = options.language;
    return WriteFileSafely(QDir(folder).filePath(kOptionsFileName),
                           [language](QIODevice &file) { WriteInt32(file, language); })
        .isEmpty();
}

int CheckedLanguageItem(int32_t languagesetto)
{
    return languagesetto >= 0 && languagesetto <= 3 ? languagesetto : 1;
}
