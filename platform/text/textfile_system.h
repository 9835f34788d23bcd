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

// What a save keeps of the file it replaces beyond what QSaveFile keeps (the
// permissions): on Windows its attributes, such as hidden, which the new file
// would not have; elsewhere nothing more.
class KeptAttributes
{
public:
    explicit KeptAttributes(const QString& path);
    // Gives the saved file what was kept; where the system refuses, the file
    // stays as saved.
    void restore() const;

private:
    QString m_path;
    [[maybe_unused]] unsigned long m_attributes = 0; // only Windows keeps any
};

} // namespace platform
