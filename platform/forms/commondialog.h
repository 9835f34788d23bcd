#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace platform {

class Services;

// A file dialog that keeps its settings between uses, as the main window's
// Open and Save As dialogs do.
class CommonDialog
{
public:
    enum Flags : int {
        PathMustExist = 0x800,
        FileMustExist = 0x1000,
        Explorer = 0x80000,
    };

    CommonDialog(Services& services, QWidget* owner, QString objectName);

    QString objectName() const { return m_objectName; }

    QString DialogTitle;
    int Flags = 0;
    QString Filter;
    bool CancelError = false;
    QString InitDir; // a folder, or a full file path whose folder is meant
    // The chosen full path. Set before ShowSave, it is the name the dialog
    // offers, and its folder is where the dialog starts.
    QString FileName;
    QString DefaultExt; // given to a saved name without an extension
    // Asked before the save dialog closes on a file that exists; false keeps
    // the dialog open. Unset, an existing file is replaced without a word.
    std::function<bool(const QString& path)> ConfirmReplace;

    // Show the dialog. They return false when the user cancelled, which the
    // callers treat as the end of their command.
    bool ShowOpen();
    bool ShowSave();

private:
    bool show(bool save);

    Services& m_services;
    QWidget* m_owner;
    QString m_objectName;
};

} // namespace platform
