#include "editor/frmmain.h"

#include "platform/forms/filenames.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <utility>

// Files dropped on the main window open as File > Open would open them.

namespace {

// The files that a drag carries, as full paths.
QStringList droppedFiles(const QMimeData* data)
{
    QStringList files;
    const QList<QUrl> urls = data->urls();
    for (const QUrl& url : urls) {
        if (url.isLocalFile())
            files << QDir::toNativeSeparators(platform::localFileName(url));
    }
    return files;
}

} // namespace

bool FrmMain::eventFilter(QObject* watched, QEvent* event)
{
    return takeFileDrop(event) || QMainWindow::eventFilter(watched, event);
}

bool FrmMain::event(QEvent* event)
{
    return takeFileDrop(event) || QMainWindow::event(event);
}

// A file is only ever copied from where it lies; the drop is taken at once
// and the file opened afterwards, so that the program the drag came from is
// not kept waiting by the questions that opening may ask.
bool FrmMain::takeFileDrop(QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto* drag = static_cast<QDropEvent*>(event);
    const QStringList files = droppedFiles(drag->mimeData());
    if (files.isEmpty() || !drag->possibleActions().testFlag(Qt::CopyAction))
        return false;
    drag->setDropAction(Qt::CopyAction);
    drag->accept();
    if (type == QEvent::Drop) {
        m_droppedFile = files.constFirst();
        QMetaObject::invokeMethod(this, "openDroppedFile", Qt::QueuedConnection);
    }
    return true;
}

// Of drops that come before their opens run, the last one's file is opened,
// once.
void FrmMain::openDroppedFile()
{
    const QString file = std::exchange(m_droppedFile, QString());
    if (!file.isEmpty() && settleChanges())
        openFile(file);
}
