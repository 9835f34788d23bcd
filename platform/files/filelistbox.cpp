#include "platform/files/filelistbox.h"

#include "platform/forms/folders.h"
#include "platform/forms/runtimeerror.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <utility>

namespace platform {

FileListBox::FileListBox(Services& services, QString pattern, QWidget* parent)
    : QListWidget(parent), m_services(services), m_pattern(std::move(pattern))
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    m_folder = cleanFolder(QDir::currentPath());
    try {
        fill(m_folder);
    } catch (const RuntimeError&) {
        // A current folder that cannot be read is shown empty.
    }
}

QString FileListBox::Path() const
{
    return nativeFolder(m_folder);
}

void FileListBox::setPath(const QString& path)
{
    fill(cleanFolder(path));
}

QString FileListBox::Pattern() const
{
    return m_pattern;
}

void FileListBox::setPattern(const QString& pattern)
{
    m_pattern = pattern;
    try {
        fill(m_folder);
    } catch (const RuntimeError&) {
        clear();
    }
}

QString FileListBox::FileName() const
{
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? QString() : selected.constFirst()->text();
}

void FileListBox::fill(const QString& folder)
{
    QStringList patterns;
    for (const QString& part : m_pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        patterns << part.trimmed();
    const QStringList names = readFolder(folder, QDir::Files, patterns);
    m_folder = folder;
    clear();
    addItems(names);
    scrollToTop();
}

void FileListBox::mousePressEvent(QMouseEvent* event)
{
    const QListWidgetItem* before = selectedItems().value(0, nullptr);
    QListWidget::mousePressEvent(event);
    clickIfSelectionMoved(before);
}

void FileListBox::keyPressEvent(QKeyEvent* event)
{
    const QListWidgetItem* before = selectedItems().value(0, nullptr);
    const bool arrow = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down;
    if (arrow && !before && count() > 0) {
        // With nothing selected the first arrow selects the entry that has the
        // focus frame (the first one), rather than moving past it.
        event->accept();
        setCurrentRow(currentRow() >= 0 ? currentRow() : 0);
        raiseClick();
        return;
    }
    QListWidget::keyPressEvent(event);
    clickIfSelectionMoved(before);
}

// Click follows the selection, so the second press of a double-click, on the
// entry already selected, raises nothing more.
void FileListBox::clickIfSelectionMoved(const QListWidgetItem* before)
{
    const QListWidgetItem* after = selectedItems().value(0, nullptr);
    if (after && after != before)
        raiseClick();
}

void FileListBox::raiseClick()
{
    respond(m_services, this, [this] { Click.raise(); });
}

} // namespace platform
