#include "platform/forms/filenames.h"

#include <QCoreApplication>
#include <QFile>
#include <QUrl>

// Windows keeps file names in UTF-16, as Qt does: they need no escapes.
namespace platform {

QString fileNameFromBytes(const QByteArray& bytes)
{
    return QFile::decodeName(bytes);
}

QByteArray fileNameBytes(const QString& name)
{
    return QFile::encodeName(name);
}

QString localFileName(const QUrl& url)
{
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

QStringList commandLineArguments(int, char**)
{
    // Qt reads the command line in UTF-16, as the system keeps it.
    return QCoreApplication::arguments();
}

// Every name reaches the program whole; U+FFFD is a character like another.
bool isUnreadableName(const QString&)
{
    return false;
}

} // namespace platform
