#include "core/dynaarray.h"
#include "core/mainwindow.h"

#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include <cstdlib>

namespace {

void *refuseEverything(std::size_t) { return nullptr; }

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void outOfMemoryShowsErrorBoxAndOperationFails();
};

void MainWindowTest::outOfMemoryShowsErrorBoxAndOperationFails()
{
    TMainForm window;
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    // The box is modal: read and close it from the event loop it runs.
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(qApp->activeModalWidget());
        QVERIFY(box);
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        box->accept();
    });
    BlockAllocator old = SetBlockAllocator(refuseEverything);
    int *cur = nullptr;
    TDynaList<int> list(&cur);
    bool failed = false;
    try {
        list.Add();
    } catch (const EOutOfMemory &) {
        failed = true;
    }
    SetBlockAllocator(old);

    QVERIFY(failed);
    QCOMPARE(list.count, 0u);
    QCOMPARE(text, QString("Error 1 while trying to allocate 400 bytes of RAM. Not enough memory."));
    QCOMPARE(title, QString());
    QCOMPARE(icon, QMessageBox::Critical);
}

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
