#pragma once
// The command-line modes of formidex: the same engine without a display.

#include <QStringList>

// True when the arguments name one of the modes below.
bool IsCommandLineMode(const QStringList &args);
// Runs the mode; errors go to standard error with the file name and the
// reason. Returns the exit code.
int RunCommandLineMode(const QStringList &args);

// The modes, each given the arguments after its own flag.
int CmdToJson(const QStringList &args);    // FILE.fdx
int CmdFromJson(const QStringList &args);  // FORM.json OUT.fdx
int CmdExportPdf(const QStringList &args); // OUT.pdf FILE.fdx [--paper A4|A5|Letter] [--printer-dpi N]
int CmdExportPng(const QStringList &args); // PREFIX FILE.fdx [--page N] [--zoom Z] [--dpi N]
int CmdLayoutJson(const QStringList &args); // FILE.fdx [--zoom Z] [--dpi N] [--paper ...] [--printer-dpi N]
