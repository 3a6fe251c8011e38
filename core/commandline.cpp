#include "core/commandline.h"

#include <cstdio>

namespace {

struct Mode {
    const char *flag;
    int (*run)(const QStringList &);
};

const Mode kModes[] = {
    {"--to-json", CmdToJson},       {"--from-json", CmdFromJson},     {"--export-pdf", CmdExportPdf},
    {"--export-png", CmdExportPng}, {"--layout-json", CmdLayoutJson},
};

const Mode *findMode(const QStringList &args)
{
    if (args.size() < 2)
        return nullptr;
    for (const Mode &m : kModes)
        if (args[1] == QLatin1String(m.flag))
            return &m;
    return nullptr;
}

} // namespace

bool IsCommandLineMode(const QStringList &args) { return findMode(args) != nullptr; }

int RunCommandLineMode(const QStringList &args)
{
    const Mode *mode = findMode(args);
    if (!mode)
        return 2;
    return mode->run(args.mid(2));
}
