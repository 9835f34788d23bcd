#pragma once

#include "platform/files/volumes.h"

#include <QWidget>

class QPushButton;

namespace platform {
class DirListBox;
class DriveListBox;
class FileListBox;
class ImageBox;
class Services;
} // namespace platform

// The hardpoint viewer: a drive, a folder and a picture file picked in three
// lists on the left, the picture shown stretched to the frame on the right.
// Its whole state is the state of its controls.
class FrmPreview : public QWidget
{
    Q_OBJECT
public:
    explicit FrmPreview(platform::Services& services,
                        const QList<platform::Volume>& drives = platform::presentVolumes(),
                        QWidget* parent = nullptr);

    // Controls.
    platform::DriveListBox* Drive1 = nullptr;
    platform::DirListBox* Dir1 = nullptr;
    platform::FileListBox* File1 = nullptr;
    platform::ImageBox* Image1 = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdHide = nullptr;

    // Event procedures.
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();
    void cmdHide_Click();
    void cmdClose_Click();

private:
    void createControls(platform::Services& services, const QList<platform::Volume>& drives);
    void connectEvents();
};
