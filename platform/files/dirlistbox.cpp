#include "platform/files/dirlistbox.h"

#include "platform/files/volumes.h"
#include "platform/forms/folders.h"
#include "platform/forms/runtimeerror.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>

namespace platform {
namespace {

constexpr int kFolderRole = Qt::UserRole;

// The folder above, or nothing at a root.
QString parentFolder(const QString& folder)
{
    if (QDir(folder).isRoot())
        return QString();
    QString up = folder.left(folder.lastIndexOf(QLatin1Char('/')));
    if (up.isEmpty() || up.endsWith(QLatin1Char(':')))
        up += QLatin1Char('/');
    return up;
}

QString entryName(const QString& folder)
{
    if (QDir(folder).isRoot())
        return nativeFolder(folder);
    return folder.mid(folder.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace

DirListBox::DirListBox(Services& services, QWidget* parent)
    : QTreeWidget(parent), m_services(services)
{
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(true);
    setIndentation(10);
    setSelectionMode(QAbstractItemView::SingleSelection);

    // A folder that cannot be read at start is shown without subfolders.
    m_folder = cleanFolder(QDir::currentPath());
    try {
        m_subfolders = readFolder(m_folder, QDir::Dirs);
    } catch (const RuntimeError&) {
    }
    display(m_folder, m_subfolders, m_folder);
}

QString DirListBox::Path() const
{
    return nativeFolder(m_folder);
}

void DirListBox::setPath(const QString& path)
{
    setFolder(cleanFolder(folderNamed(path)));
}

QString DirListBox::highlightedPath() const
{
    const QTreeWidgetItem* item = currentItem();
    return item ? nativeFolder(item->data(0, kFolderRole).toString()) : QString();
}

void DirListBox::setFolder(const QString& folder)
{
    const QStringList subfolders = readFolder(folder, QDir::Dirs);
    if (folder == m_folder) {
        const int scroll = verticalScrollBar()->value();
        display(folder, subfolders, QDir::fromNativeSeparators(highlightedPath()));
        verticalScrollBar()->setValue(scroll);
        return;
    }
    const QString previous = m_folder;
    const QStringList previousSubfolders = m_subfolders;
    const QString previousHighlight = QDir::fromNativeSeparators(highlightedPath());
    const int previousScroll = verticalScrollBar()->value();
    display(folder, subfolders, folder);
    try {
        Change.raise();
    } catch (const RuntimeError&) {
        display(previous, previousSubfolders, previousHighlight);
        verticalScrollBar()->setValue(previousScroll);
        throw;
    }
}

// The user opens a folder. When that fails the current folder is read again,
// so that the list drops what has gone from the disk.
void DirListBox::open(const QString& folder)
{
    respond(m_services, this, [this, folder] {
        try {
            setFolder(folder);
        } catch (const RuntimeError&) {
            refresh();
            throw;
        }
    });
}

void DirListBox::refresh()
{
    try {
        setFolder(m_folder);
    } catch (const RuntimeError&) {
        // The folder has gone too; the list keeps showing it until the user
        // moves elsewhere.
    }
}

void DirListBox::display(const QString& folder, const QStringList& subfolders,
                         const QString& highlight)
{
    m_folder = folder;
    m_subfolders = subfolders;
    clear();

    QStringList chain;
    for (QString f = folder; !f.isEmpty(); f = parentFolder(f))
        chain.prepend(f);

    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    QTreeWidgetItem* highlighted = nullptr;
    const auto add = [&](QTreeWidgetItem* parent, const QString& path, const QString& name,
                         const QIcon& icon) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
        item->setText(0, name);
        item->setIcon(0, icon);
        item->setData(0, kFolderRole, path);
        if (path == highlight)
            highlighted = item;
        return item;
    };
    QTreeWidgetItem* parent = nullptr;
    for (const QString& f : std::as_const(chain))
        parent = add(parent, f, entryName(f), open);
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    for (const QString& name : subfolders)
        add(parent, prefix + name, name, closed);
    expandAll();

    setCurrentItem(highlighted ? highlighted : parent);
    scrollToItem(currentItem());
}

void DirListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QTreeWidgetItem* item = itemAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !item) {
        QTreeWidget::mouseDoubleClickEvent(event);
        return;
    }
    event->accept();
    open(item->data(0, kFolderRole).toString());
}

void DirListBox::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || !currentItem()) {
        QTreeWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    open(currentItem()->data(0, kFolderRole).toString());
}

} // namespace platform
