#pragma once

// What the drive list needs to know of the system it runs on; each system
// has a file of its own that implements these.
#include <QString>
#include <Qt>

class QStorageInfo;

namespace platform {

// How the file system compares the paths of folders.
Qt::CaseSensitivity pathCase();

// Whether a mounted volume is one a user would call a drive.
bool isUserVolume(const QStorageInfo& volume);

// How the drive list names a volume's root.
QString rootName(const QString& root);

// Whether a path names a drive by its letter alone ("c:"), which would mean
// the folder last current on that drive rather than its root.
bool isBareDrive(const QString& path);

} // namespace platform
