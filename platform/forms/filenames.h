#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QUrl;

namespace platform {

// File names as the system spells them. On Unix a name is any bytes, and Qt
// reads names as UTF-8, turning each byte that is not UTF-8 into U+FFFD, so
// that such a file can no longer be named. These functions keep each such
// byte as a lone surrogate, U+DC80 to U+DCFF, which no valid text holds, so
// that the name comes back byte for byte; elsewhere names are Qt's own.

QString fileNameFromBytes(const QByteArray& bytes);
QByteArray fileNameBytes(const QString& name);

// The path of a local file's URL, its bytes kept; empty for other URLs.
QString localFileName(const QUrl& url);

// The program's command line, with its file names kept.
QStringList commandLineArguments(int argc, char** argv);

// Whether a name lost bytes on its way through Qt: a file by such a name
// cannot be found, though it may well be there.
bool isUnreadableName(const QString& name);

} // namespace platform
