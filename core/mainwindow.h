#pragma once
// The main window of the designer.

#include <QMainWindow>

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;
};

// Shows the out-of-memory report of the record arrays as an error box
// without a title of its own.
void InstallOutOfMemoryBox();
