#pragma once

// The parts of reading and writing text files that differ between systems;
// each system has a file of its own that implements them.
#include <QCoreApplication>
#include <QFile>
#include <QString>

namespace platform {

inline QString tr(const char* text)
{
    return QCoreApplication::translate("platform::TextFile", text);
}

inline QString describe(const QFileDevice& file)
{
    return file.errorString().isEmpty() ? tr("Unknown error") : file.errorString();
}

// Opens a file for reading, unbuffered, refusing anything but a regular file
// (a folder, a pipe, a device) with a RuntimeError that says why.
void openRegularFile(QFile& file, const QString& path);

} // namespace platform
