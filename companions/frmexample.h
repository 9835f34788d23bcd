#pragma once

#include <QWidget>

class QPushButton;

namespace platform {
class TextBox;
}

// A complete ship ODF with every value filled in, read-only, for the user to
// read and copy from while writing a definition in the main window.
class FrmExample : public QWidget
{
    Q_OBJECT
public:
    FrmExample();

    // Controls.
    platform::TextBox* Text1 = nullptr;
    QPushButton* cmdClose = nullptr;

    // Event procedures.
    void cmdClose_Click();

private:
    void createControls();
    void connectEvents();
};
