#include "platform/files/volumes_system.h"

#include <QStorageInfo>

namespace platform {

Qt::CaseSensitivity pathCase()
{
    return Qt::CaseInsensitive;
}

bool isUserVolume(const QStorageInfo&)
{
    return true; // every drive letter, ready or not
}

QString rootName(const QString& root)
{
    return root.left(2).toLower(); // "C:/" -> "c:"
}

bool isBareDrive(const QString& path)
{
    return path.size() == 2 && path.at(0).isLetter() && path.at(1) == QLatin1Char(':');
}

} // namespace platform
