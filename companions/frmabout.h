#pragma once

#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

namespace platform {
class TextBox;
}

// The program's About window: a note on what the program offers and who
// wrote it.
class FrmAbout : public QWidget
{
    Q_OBJECT
public:
    FrmAbout();

    // Controls.
    platform::TextBox* Text1 = nullptr;
    QLabel* Label1 = nullptr;
    QListWidget* List1 = nullptr;
    QPushButton* cmdClose = nullptr;

    // Event procedures.
    void cmdClose_Click();

private:
    void createControls();
    void connectEvents();
};
