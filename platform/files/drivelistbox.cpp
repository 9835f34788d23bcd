#include "platform/files/drivelistbox.h"

#include "platform/forms/folders.h"
#include "platform/forms/runtimeerror.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>

namespace platform {
namespace {

// On Linux Qt names a combo box after its current text and leaves its name to
// a label beside it; the drive list has none. Here the list is named by its
// accessible name on every platform, gives the chosen drive as its value, and
// keeps its drop-down list as its one child.
class AccessibleDriveList : public QAccessibleWidget
{
public:
    explicit AccessibleDriveList(QWidget* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Value)
            return list()->currentText();
        return QAccessibleWidget::text(type);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.expanded = list()->view()->isVisible();
        return state;
    }
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child != nullptr && child->object() == list()->view() ? 0 : -1;
    }
    QStringList actionNames() const override
    {
        return QAccessibleWidget::actionNames() << showMenuAction();
    }
    void doAction(const QString& action) override
    {
        if (action == showMenuAction())
            list()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    QComboBox* list() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* accessibleDriveList(const QString& className, QObject* object)
{
    if (className == QLatin1String("platform::DriveListBox"))
        return new AccessibleDriveList(static_cast<QWidget*>(object));
    return nullptr;
}

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
    static const bool accessible = (QAccessible::installFactory(accessibleDriveList), true);
    Q_UNUSED(accessible)
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
