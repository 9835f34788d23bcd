#include "platform/drivelistbox.h"

#include "platform/folders.h"
#include "platform/runtimeerror.h"

namespace platform {
namespace {

// The volume that holds the folder: the one with the longest matching root.
int volumeOf(const QList<Volume>& volumes, const QString& folder)
{
    int best = volumes.isEmpty() ? -1 : 0;
    qsizetype bestLength = -1;
    for (int i = 0; i < volumes.size(); ++i) {
        if (isOnVolume(folder, volumes[i].root) && volumes[i].root.size() > bestLength) {
            best = i;
            bestLength = volumes[i].root.size();
        }
    }
    return best;
}

} // namespace

DriveListBox::DriveListBox(Services& services, const QList<Volume>& volumes, QWidget* parent)
    : QComboBox(parent), m_services(services)
{
    for (const Volume& volume : volumes)
        addItem(driveText(volume));
    m_drive = volumeOf(volumes, cleanFolder(QDir::currentPath()));
    setCurrentIndex(m_drive);
    connect(this, &QComboBox::activated, this, &DriveListBox::pick);
}

QString DriveListBox::Drive() const
{
    return itemText(m_drive);
}

void DriveListBox::pick(int index)
{
    respond(m_services, this, [this, index] {
        if (index == m_drive)
            return;
        const int previous = m_drive;
        m_drive = index;
        try {
            Change.raise();
        } catch (const RuntimeError&) {
            m_drive = previous;
            setCurrentIndex(previous);
            throw;
        }
    });
}

} // namespace platform
