#pragma once

#include "platform/forms/event.h"

#include <QStringList>
#include <QTreeWidget>

namespace platform {

class Services;

// The folder list: the current folder's ancestors from the root down, then its
// subfolders, each with a folder icon. A click only highlights an entry; a
// double-click or Enter opens it. Starts at the process's current folder.
class DirListBox : public QTreeWidget
{
    Q_OBJECT
public:
    explicit DirListBox(Services& services, QWidget* parent = nullptr);

    // The current folder, with native separators and no trailing separator
    // except at a root.
    QString Path() const;
    // Makes a folder, or the root of a drive text, the current folder and
    // raises Change if that is another folder; writing the current folder
    // again re-reads it. Throws a RuntimeError when the folder cannot be read,
    // and leaves the list as it was when Change's procedure fails.
    void setPath(const QString& path);

    // The highlighted entry's folder.
    QString highlightedPath() const;

    Event Change;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Every level is always open: no expand marks, only the indent.
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override {}

private:
    void setFolder(const QString& folder);
    void open(const QString& folder);
    void refresh();
    void display(const QString& folder, const QStringList& subfolders, const QString& highlight);

    Services& m_services;
    QString m_folder; // '/' separators
    QStringList m_subfolders;
};

} // namespace platform
