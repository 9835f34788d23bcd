#include "companions/frmpreview.h"

#include "platform/files/dirlistbox.h"
#include "platform/files/drivelistbox.h"
#include "platform/files/filelistbox.h"
#include "platform/files/imagebox.h"
#include "platform/files/picture.h"
#include "platform/forms/design.h"
#include "platform/forms/forms.h"
#include "platform/forms/runtimeerror.h"

#include <QDir>
#include <QPushButton>

FrmPreview::FrmPreview(platform::Services& services, const QList<platform::Volume>& drives,
                       QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(QStringLiteral("Hardpoint Preview."));
    setWindowIcon(platform::programIcon());

    createControls(services, drives);
    connectEvents();
    platform::fixClientSize(this, 8325, 5940);
    Drive1->setFocus();
}

void FrmPreview::createControls(platform::Services& services, const QList<platform::Volume>& drives)
{
    const QFont listFont = platform::designFont(8.25);
    const QFont buttonFont = platform::designFont(9.75);

    Drive1 = new platform::DriveListBox(services, drives, this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->setFont(listFont);
    Drive1->setAccessibleName(tr("Drives"));
    platform::place(Drive1, 120, 120, 2295, 315);

    Dir1 = new platform::DirListBox(services, this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setFont(listFont);
    Dir1->setAccessibleName(tr("Folders"));
    platform::place(Dir1, 120, 720, 2295, 1890);

    File1 = new platform::FileListBox(services, QStringLiteral("*.bmp;*.gif;*.jpg;*.jpeg"), this);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setFont(listFont);
    File1->setAccessibleName(tr("Files"));
    platform::place(File1, 120, 2880, 2295, 2820);

    Image1 = new platform::ImageBox(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAccessibleName(tr("Picture"));
    platform::place(Image1, 2640, 120, 5535, 5055);

    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setFont(buttonFont);
    platform::place(cmdClose, 6960, 5400, 1215, 375);

    cmdHide = new QPushButton(QStringLiteral("Hide"), this);
    cmdHide->setObjectName(QStringLiteral("cmdHide"));
    cmdHide->setFont(buttonFont);
    platform::place(cmdHide, 2640, 5400, 1215, 375);

    for (QPushButton* button : {cmdClose, cmdHide})
        button->setAutoDefault(false);
    setTabOrder(Drive1, Dir1);
    setTabOrder(Dir1, File1);
    setTabOrder(File1, cmdClose);
    setTabOrder(cmdClose, cmdHide);
}

void FrmPreview::connectEvents()
{
    Drive1->Change.handle(this, &FrmPreview::Drive1_Change);
    Dir1->Change.handle(this, &FrmPreview::Dir1_Change);
    File1->Click.handle(this, &FrmPreview::File1_Click);
    connect(cmdHide, &QPushButton::clicked, this, &FrmPreview::cmdHide_Click);
    connect(cmdClose, &QPushButton::clicked, this, &FrmPreview::cmdClose_Click);
}

void FrmPreview::Drive1_Change()
{
    Dir1->setPath(Drive1->Drive());
}

void FrmPreview::Dir1_Change()
{
    File1->setPath(Dir1->Path());
}

// A file that cannot be shown says why in the frame, so that browsing with
// the arrow keys goes on with no box to close.
void FrmPreview::File1_Click()
{
    try {
        Image1->setPicture(
            platform::LoadPicture(File1->Path() + QDir::separator() + File1->FileName()));
    } catch (const platform::RuntimeError& error) {
        Image1->showError(error.description());
    }
}

void FrmPreview::cmdHide_Click()
{
    platform::hideWindow(this);
}

void FrmPreview::cmdClose_Click()
{
    platform::unloadWindow(this);
}
