#pragma once

#include <QWidget>

class QPushButton;

namespace platform {
class TextBox;
}

// The blank ship template: every comment, section and key of a ship ODF with
// the values left empty, for the user to fill in or copy from. Edits live as
// long as the window; the next opening starts from the blank template again.
class FrmPublished : public QWidget
{
    Q_OBJECT
public:
    FrmPublished();

    // Controls.
    platform::TextBox* Text1 = nullptr;
    QPushButton* cmdClose = nullptr;

    // Event procedures.
    void cmdClose_Click();

private:
    void createControls();
    void connectEvents();
};
