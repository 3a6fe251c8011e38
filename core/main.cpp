// formidex: the designer window, or one of the command-line modes.

#include "core/commandline.h"
#include "core/mainwindow.h"

#include <QApplication>
#include <QGuiApplication>

#include <cstring>

int main(int argc, char **argv)
{
    bool commandLine = false;
    for (int i = 1; i < argc && !commandLine; ++i)
        commandLine = argv[i][0] == '-' && argv[i][1] == '-';
    if (commandLine) {
        // The modes draw and measure text but need no display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        const QStringList args = app.arguments();
        if (!IsCommandLineMode(args)) {
            std::fprintf(stderr, "formidex: unknown option %s\n", qPrintable(args.value(1)));
            return 2;
        }
        return RunCommandLineMode(args);
    }
    QApplication app(argc, argv);
    app.setApplicationName("Formidex");
    TMainForm window;
    window.show();
    return app.exec();
}
