#include "platform/files/volumes_system.h"

#include <QDir>
#include <QStorageInfo>

namespace platform {

Qt::CaseSensitivity pathCase()
{
    return Qt::CaseSensitive;
}

// The root, and disks mounted where desktops mount them for the user; system
// and helper mounts deeper down stay out.
bool isUserVolume(const QStorageInfo& volume)
{
    const QString root = volume.rootPath();
    if (root == QLatin1String("/"))
        return true;
    const QStringList parts = root.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const QString top = parts.value(0);
#if defined(Q_OS_MACOS)
    return top == QLatin1String("Volumes") && parts.size() == 2;
#else
    if (top == QLatin1String("media"))
        return parts.size() == 2 || parts.size() == 3;
    if (top == QLatin1String("run") && parts.value(1) == QLatin1String("media"))
        return parts.size() == 4;
    if (top == QLatin1String("mnt"))
        return parts.size() == 2;
    return top == QLatin1String("home") && parts.size() == 1;
#endif
}

QString rootName(const QString& root)
{
    return QDir::toNativeSeparators(root);
}

bool isBareDrive(const QString&)
{
    return false;
}

} // namespace platform
