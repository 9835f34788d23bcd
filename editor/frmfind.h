#pragma once

#include "platform/text/textsearch.h"

#include <QDialog>

class Program;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace platform {
class MatchCounter;
class RichTextBox;
class SearchMarks;
} // namespace platform

// The one window of Find and Replace, modeless, over the main window's
// document. While it is open every other match in view is marked and a
// status line says which match is shown, of how many.
class FrmFind : public QDialog
{
    Q_OBJECT
public:
    explicit FrmFind(Program& program);
    ~FrmFind() override;
    FrmFind(const FrmFind&) = delete;
    FrmFind& operator=(const FrmFind&) = delete;

    // Opens the window for Find or for Replace, with the selection as the
    // text to find when it lies within one line.
    static void open(Program& program, bool replace);
    // F3 and Shift+F3: the last search again, from the window when it is open.
    static void findAgain(Program& program, bool backward);

    // Controls.
    QLabel* Label1 = nullptr;
    QLineEdit* txtFind = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtReplace = nullptr;
    QCheckBox* chkMatchCase = nullptr;
    QCheckBox* chkWholeWord = nullptr;
    QCheckBox* chkWrap = nullptr;
    QRadioButton* optUp = nullptr;
    QRadioButton* optDown = nullptr;
    QPushButton* cmdFindNext = nullptr;
    QPushButton* cmdReplace = nullptr;
    QPushButton* cmdReplaceAll = nullptr;
    QPushButton* cmdCancel = nullptr;
    QLabel* lblStatus = nullptr;

    // Event procedures.
    void cmdFindNext_Click();
    void cmdReplace_Click();
    void cmdReplaceAll_Click();
    void cmdCancel_Click();

    void reject() override;

private:
    void createControls();
    void connectEvents();
    void setMode(bool replace);
    platform::RichTextBox* document() const;
    platform::SearchRequest request() const;
    void requestChanged();
    void find(bool backward);
    void showFound(platform::search::Found found);
    void showCount();
    void notFound();
    void moveAside();

    Program& m_program;
    platform::MatchCounter* m_counter = nullptr;
    platform::SearchMarks* m_marks = nullptr;
    bool m_showsMatch = false; // the status line is about the selected match
};
