#include "core/commandline.h"
#include <cstdio>
int CmdToJson(const QStringList &) { std::fprintf(stderr, "formidex: --to-json is not built yet\n"); return 3; }
int CmdFromJson(const QStringList &) { std::fprintf(stderr, "formidex: --from-json is not built yet\n"); return 3; }
