#include "core/mainwindow.h"

#include "core/dynaarray.h"

#include <QMessageBox>

void InstallOutOfMemoryBox()
{
    SetOutOfMemoryReporter([](const QString &text) {
        QMessageBox box(QMessageBox::Critical, QString(), text, QMessageBox::Ok);
        box.exec();
    });
}

TMainForm::TMainForm(QWidget *parent) : QMainWindow(parent)
{
    setObjectName("MainForm");
    setWindowTitle("Velmora Formidex 1.0");
    resize(764, 582);
    InstallOutOfMemoryBox();
}

TMainForm::~TMainForm() { SetOutOfMemoryReporter(nullptr); }
