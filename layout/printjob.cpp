#include "core/commandline.h"
#include <cstdio>
int CmdExportPdf(const QStringList &) { std::fprintf(stderr, "formidex: --export-pdf is not built yet\n"); return 3; }
int CmdExportPng(const QStringList &) { std::fprintf(stderr, "formidex: --export-png is not built yet\n"); return 3; }
int CmdLayoutJson(const QStringList &) { std::fprintf(stderr, "formidex: --layout-json is not built yet\n"); return 3; }
