#include "platform/forms/commondialog.h"

#include "platform/forms/services.h"

#include <QDir>
#include <QFileInfo>
#include <utility>

namespace platform {
namespace {

// A name whose last part has no dot gets the extension, as the dialog shows it.
QString withExtension(const QString& path, const QString& extension)
{
    const QString name = QFileInfo(path).fileName();
    if (extension.isEmpty() || name.isEmpty() || name.contains(QLatin1Char('.')))
        return path;
    return path + QLatin1Char('.') + extension;
}

} // namespace

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
    if (save) {
        // As the system's dialog does, a full path offered wins over InitDir.
        if (QFileInfo(FileName).isAbsolute()) {
            request.initialName = FileName;
            request.initialFolder = QFileInfo(FileName).absolutePath();
        }
        request.defaultSuffix = DefaultExt;
        request.confirm = [this](const QString& path) {
            const QString file = withExtension(path, DefaultExt);
            return !ConfirmReplace || !QFileInfo::exists(file) || ConfirmReplace(file);
        };
    }
    const std::optional<QString> chosen = m_services.fileDialog(m_owner, request);
    if (!chosen)
        return false;
    FileName = save ? withExtension(*chosen, DefaultExt) : *chosen;
    return true;
}

} // namespace platform
