#include "platform/forms/folders.h"

#include "platform/forms/runtimeerror.h"

#include <QCoreApplication>

#include <filesystem>
#include <system_error>

namespace platform {
namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("platform::Folders", text);
}

// Opening the folder is the one way to learn why it cannot be read (missing,
// not a folder, no permission, a drive without a medium); QDir only reports
// an empty list.
void requireReadable(const QString& folder)
{
    std::error_code error;
    std::filesystem::directory_iterator probe(QDir(folder).filesystemPath(), error);
    if (!error)
        return;
    QString reason = QString::fromLocal8Bit(error.message());
    if (!reason.isEmpty())
        reason[0] = reason.at(0).toUpper();
    throw RuntimeError(
        tr("Cannot open the folder \"%1\".\n\n%2.").arg(nativeFolder(folder), reason));
}

} // namespace

QString cleanFolder(const QString& path)
{
    return QDir::cleanPath(QDir(QDir::fromNativeSeparators(path)).absolutePath());
}

QString nativeFolder(const QString& folder)
{
    return QDir::toNativeSeparators(folder);
}

QStringList readFolder(const QString& folder, QDir::Filters kind, const QStringList& patterns)
{
    requireReadable(folder);
    return QDir(folder).entryList(patterns, kind | QDir::NoDotAndDotDot,
                                  QDir::Name | QDir::IgnoreCase);
}

} // namespace platform
