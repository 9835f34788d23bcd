#include "platform/forms/commondialog.h"

#include "platform/forms/services.h"

#include <QDir>
#include <QFileInfo>
#include <utility>

namespace platform {

CommonDialog::CommonDialog(Services& services, QWidget* owner, QString objectName)
    : m_services(services), m_owner(owner), m_objectName(std::move(objectName))
{
}

bool CommonDialog::ShowOpen()
{
    return show(false);
}

bool CommonDialog::ShowSave()
{
    return show(true);
}

bool CommonDialog::show(bool save)
{
    FileDialogRequest request;
    request.kind = save ? FileDialogRequest::Save : FileDialogRequest::Open;
    request.title = DialogTitle;
    request.filter = Filter;
    request.fileMustExist = !save && (Flags & FileMustExist) != 0;
    if (!InitDir.isEmpty()) {
        const QFileInfo info(InitDir);
        request.initialFolder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    }
    const std::optional<QString> chosen = m_services.fileDialog(m_owner, request);
    if (!chosen)
        return false;
    FileName = *chosen;
    return true;
}

} // namespace platform
