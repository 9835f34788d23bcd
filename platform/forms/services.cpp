#include "platform/forms/services.h"

#include "platform/forms/filenames.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <functional>

namespace platform {
namespace {

QMessageBox::Icon iconFor(int style)
{
    switch (style & 0x70) {
    case MsgBox::Critical:
        return QMessageBox::Critical;
    case MsgBox::Question:
        return QMessageBox::Question;
    case MsgBox::Exclamation:
        return QMessageBox::Warning;
    case 64:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// "Description|*.ext" becomes "Description (*.ext)"; the dialog is told to
// show the description alone.
QString qtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        entries << QStringLiteral("%1 (%2)").arg(parts[i], parts[i + 1]);
    return entries.join(QStringLiteral(";;"));
}

// A save dialog that asks about the chosen file before it closes. Qt's own
// dialog stays open when the file is refused, as it does for its own
// question; a dialog of the desktop's own has closed by then, and its caller
// shows it again at the refused name.
class CheckedFileDialog : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;
    std::function<bool(const QString&)> confirm;
    QString refused;

    void accept() override
    {
        const QString chosen = selectedFiles().value(0);
        if (confirm && !chosen.isEmpty() && !QFileInfo(chosen).isDir() &&
            !confirm(QDir::toNativeSeparators(chosen))) {
            if (testAttribute(Qt::WA_DontShowOnScreen)) { // shown by the desktop
                refused = chosen;
                reject();
            }
            return;
        }
        QFileDialog::accept();
    }
};

} // namespace

QString applicationTitle()
{
    return QStringLiteral("Tessmark");
}

int SystemServices::msgBox(QWidget* parent, const QString& prompt, int style)
{
    QMessageBox box(iconFor(style), applicationTitle(), prompt, QMessageBox::NoButton, parent);
    switch (style & 0x7) {
    case MsgBox::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case MsgBox::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    }
    if (style & MsgBox::DefaultButton2)
        box.setDefaultButton(QMessageBox::No); // the second of Yes, No and Cancel
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MsgBox::Yes;
    case QMessageBox::No:
        return MsgBox::No;
    case QMessageBox::Cancel:
        return MsgBox::Cancel;
    default:
        return MsgBox::Ok;
    }
}

std::optional<QString> SystemServices::fileDialog( // NOLINT(misc-no-recursion)
    QWidget* parent, const FileDialogRequest& request)
{
    CheckedFileDialog dialog(parent, request.title,
                             request.initialFolder.isEmpty() ? QDir::currentPath()
                                                             : request.initialFolder);
    dialog.setNameFilter(qtFilter(request.filter));
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (request.kind == FileDialogRequest::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // Replacing a file is asked about by the caller, which knows the
        // document's own file.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setDefaultSuffix(request.defaultSuffix);
        dialog.confirm = request.confirm;
        if (!request.initialName.isEmpty())
            dialog.selectFile(request.initialName);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(request.fileMustExist ? QFileDialog::ExistingFile
                                                 : QFileDialog::AnyFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        if (dialog.refused.isEmpty())
            return std::nullopt;
        // Once for each file refused in a dialog of the desktop's own.
        FileDialogRequest again = request;
        again.initialName = dialog.refused;
        return fileDialog(parent, again); // NOLINT(misc-no-recursion)
    }
    // A dialog of the desktop's own names the file to open by a URL that
    // keeps its bytes (Qt's own dialog lists no file whose name is not
    // UTF-8). Files are saved under names that Qt can write.
    const QString chosen = request.kind == FileDialogRequest::Open
                               ? localFileName(dialog.selectedUrls().value(0))
                               : QString();
    return QDir::toNativeSeparators(chosen.isEmpty() ? dialog.selectedFiles().constFirst()
                                                     : chosen);
}

void SystemServices::beep()
{
    QApplication::beep();
}

void SystemServices::end()
{
    QCoreApplication::exit(0);
}

} // namespace platform
