#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace platform {
class RichTextBox;
class Services;
} // namespace platform

// Go To Line: puts the caret at the start of a line of the document, counted
// as the file counts its lines. Window-modal over the main window.
class FrmGoTo : public QDialog
{
    Q_OBJECT
public:
    FrmGoTo(platform::RichTextBox& document, platform::Services& services, QWidget* parent);

    // Controls.
    QLabel* Label1 = nullptr;
    QLineEdit* txtLine = nullptr;
    QLabel* lblCount = nullptr;
    QPushButton* cmdGoTo = nullptr;
    QPushButton* cmdCancel = nullptr;

    // Event procedures.
    void cmdGoTo_Click();

private:
    platform::RichTextBox& m_document;
    platform::Services& m_services;
};
