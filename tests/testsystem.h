#pragma once

// What the tests do differently on each system; each system has a file of
// its own that implements this.
#include "platform/files/volumes.h"

#include <QList>
#include <QString>

#include <utility>

// Files the system refuses to open as text, besides a missing file, a folder
// and one too large, each with a part of the reason that names it ("": any
// reason). Unix: a pipe, a device and a name that Qt could not read; Windows:
// a device and a file that another program holds open. They stay so while
// the object lives.
class RefusedFiles
{
public:
    explicit RefusedFiles(const QString& folder);
    ~RefusedFiles();

    QList<std::pair<QString, QString>> files;

private:
    void* m_held = nullptr;
};

// Makes saves to an existing file fail while the object lives, in the
// system's way number `way` (0 or 1): on Unix a file size limit of 4 KiB
// (the save fails writing); on Windows the read-only attribute, or the file
// held open by another program (the save fails replacing it).
class SaveObstacle
{
public:
    SaveObstacle(const QString& target, int way);
    ~SaveObstacle();

private:
    QString m_target;
    void* m_held = nullptr;
    long long m_limit = 0;
};

// Hides a file as the system's file lists hide it: a name with a leading dot
// on Unix, the hidden attribute on Windows. Returns its name.
QString makeHidden(const QString& folder, const QString& name);

// Drives for the viewer's drive list, in its order: a readable one, the drive
// of `folder`, and one that cannot be read; and the text the list shows for
// the second. On Unix any folder can stand for a drive; Windows needs a
// second real drive (under Wine, Z:), or the list is empty.
struct TestDrives
{
    QList<platform::Volume> volumes;
    QString shown;
};
TestDrives testDrives(const QString& folder);
