#pragma once

#include "platform/forms/event.h"

#include <QListWidget>

namespace platform {

class Services;

// The file list: the files of a folder whose names match a pattern, in name
// order, one of them selectable. Starts at the process's current folder.
class FileListBox : public QListWidget
{
    Q_OBJECT
public:
    FileListBox(Services& services, QString pattern = QStringLiteral("*.*"),
                QWidget* parent = nullptr);

    // The listed folder, in the same form as the folder list's Path.
    QString Path() const;
    // Lists the files of another folder (or the same one again) with nothing
    // selected. Throws a RuntimeError, and keeps the list as it was, when the
    // folder cannot be read.
    void setPath(const QString& path);

    // Wildcard patterns separated by ";"; a file is listed when its name
    // matches any of them, without regard to case.
    QString Pattern() const;
    void setPattern(const QString& pattern);

    // The selected file's name without its folder; empty when none is.
    QString FileName() const;

    // Raised when the user selects another entry, with the mouse or the keys.
    Event Click;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fill(const QString& folder);
    void clickIfSelectionMoved(const QListWidgetItem* before);
    void raiseClick();

    Services& m_services;
    QString m_folder; // '/' separators
    QString m_pattern;
};

} // namespace platform
