#pragma once

#include "platform/files/volumes.h"
#include "platform/forms/event.h"

#include <QComboBox>

namespace platform {

class Services;

// A drop-down list of the drives present when it is built, starting at the
// drive of the process's current folder.
class DriveListBox : public QComboBox
{
    Q_OBJECT
public:
    DriveListBox(Services& services, const QList<Volume>& volumes, QWidget* parent = nullptr);

    // The chosen drive as the list shows it: its root and, if it has one, its
    // label.
    QString Drive() const;

    // Raised when the user picks another drive. If its procedure fails, the
    // list goes back to the drive it showed before.
    Event Change;

private:
    void pick(int index);

    Services& m_services;
    int m_drive = -1;
};

} // namespace platform
