#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace platform {

// Message box styles and answers, with the values the program's callers use.
namespace MsgBox {
enum Style : int {
    OkOnly = 0,
    YesNoCancel = 3,
    YesNo = 4,
    Critical = 16,
    Question = 32,
    Exclamation = 48,
    DefaultButton2 = 256, // the second button, not the first, is focused
};
enum Answer : int { Ok = 1, Cancel = 2, Yes = 6, No = 7 };
} // namespace MsgBox

// What a file dialog is asked for. The filter is in the "Description|*.ext"
// form, one entry.
struct FileDialogRequest
{
    enum Kind { Open, Save };
    Kind kind = Open;
    QString title;
    QString filter;
    QString initialFolder; // empty: the process's current folder
    QString initialName;   // the name offered for saving, a full path; empty: none
    QString defaultSuffix; // what a save dialog adds to a name without one
    bool fileMustExist = false;
    // Asked about the chosen file before a save dialog closes; false keeps
    // the dialog open for another choice.
    std::function<bool(const QString& path)> confirm;
};

// Everything that waits for the user or ends the process goes through here, so
// that a test can answer it instead of a person.
class Services
{
public:
    virtual ~Services() = default;

    // Shows a modal message box captioned "Tessmark"; returns an answer.
    virtual int msgBox(QWidget* parent, const QString& prompt, int style) = 0;
    // Returns the chosen full path, or nothing when the user cancelled.
    virtual std::optional<QString> fileDialog(QWidget* parent,
                                              const FileDialogRequest& request) = 0;
    virtual void beep() = 0;
    // Ends the program at once.
    virtual void end() = 0;
};

// The real thing: Qt's dialogs, the system beep and the event loop's exit.
class SystemServices : public Services
{
public:
    int msgBox(QWidget* parent, const QString& prompt, int style) override;
    std::optional<QString> fileDialog(QWidget* parent, const FileDialogRequest& request) override;
    void beep() override;
    void end() override;
};

QString applicationTitle();

} // namespace platform
