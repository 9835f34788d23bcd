#include "platform/files/volumes.h"

#include "platform/files/volumes_system.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace platform {

QList<Volume> presentVolumes()
{
    QList<Volume> volumes;
    const auto mounted = QStorageInfo::mountedVolumes();
    for (const QStorageInfo& info : mounted) {
        if (info.isValid() && isUserVolume(info))
            volumes.append({info.rootPath(), info.name()});
    }
    std::sort(volumes.begin(), volumes.end(), [](const Volume& a, const Volume& b) {
        return a.root.compare(b.root, pathCase()) < 0;
    });
    if (volumes.isEmpty())
        volumes.append({QDir::rootPath(), QString()});
    return volumes;
}

QString driveText(const Volume& volume)
{
    QString name = rootName(volume.root);
    if (volume.label.isEmpty())
        return name;
    return QStringLiteral("%1 [%2]").arg(name, volume.label);
}

QString driveRoot(const QString& text)
{
    QString root = text;
    const qsizetype open = root.lastIndexOf(QLatin1String(" ["));
    if (open > 0 && root.endsWith(QLatin1Char(']')))
        root.truncate(open);
    root = QDir::fromNativeSeparators(root);
    if (isBareDrive(root))
        root = root.toUpper() + QLatin1Char('/');
    return root;
}

QString folderNamed(const QString& text)
{
    QString path = QDir::fromNativeSeparators(text);
    // "c:" alone would mean the folder last current on that drive.
    if (!isBareDrive(path) && QFileInfo(path).isDir())
        return path;
    return driveRoot(text);
}

bool isOnVolume(const QString& folder, const QString& root)
{
    if (!folder.startsWith(root, pathCase()))
        return false;
    return folder.size() == root.size() || root.endsWith(QLatin1Char('/')) ||
           folder.at(root.size()) == QLatin1Char('/');
}

} // namespace platform
