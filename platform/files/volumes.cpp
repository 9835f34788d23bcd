#include "platform/files/volumes.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace platform {
namespace {

#if defined(Q_OS_WIN)
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseInsensitive;

bool isUserVolume(const QStorageInfo&)
{
    return true; // every drive letter, ready or not
}

QString rootName(const QString& root)
{
    return root.left(2).toLower(); // "C:/" -> "c:"
}
#else
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseSensitive;

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
#endif

} // namespace

QList<Volume> presentVolumes()
{
    QList<Volume> volumes;
    const auto mounted = QStorageInfo::mountedVolumes();
    for (const QStorageInfo& info : mounted) {
        if (info.isValid() && isUserVolume(info))
            volumes.append({info.rootPath(), info.name()});
    }
    std::sort(volumes.begin(), volumes.end(), [](const Volume& a, const Volume& b) {
        return a.root.compare(b.root, kPathCase) < 0;
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
#if defined(Q_OS_WIN)
    if (root.size() == 2 && root.at(1) == QLatin1Char(':'))
        root = root.toUpper() + QLatin1Char('/');
#endif
    return root;
}

QString folderNamed(const QString& text)
{
    QString path = QDir::fromNativeSeparators(text);
#if defined(Q_OS_WIN)
    // "c:" alone would mean the folder last current on that drive.
    if (path.size() == 2 && path.at(1) == QLatin1Char(':'))
        return driveRoot(text);
#endif
    if (QFileInfo(path).isDir())
        return path;
    return driveRoot(text);
}

bool isOnVolume(const QString& folder, const QString& root)
{
    if (!folder.startsWith(root, kPathCase))
        return false;
    return folder.size() == root.size() || root.endsWith(QLatin1Char('/')) ||
           folder.at(root.size()) == QLatin1Char('/');
}

} // namespace platform
