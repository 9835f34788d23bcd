#pragma once

#include <QDir>
#include <QString>
#include <QStringList>

namespace platform {

// The absolute form of a folder path, with '/' separators, no "." or ".."
// parts and no trailing separator except at a root.
QString cleanFolder(const QString& path);

// The same folder as the user sees it: native separators.
QString nativeFolder(const QString& folder);

// The names of a folder's entries of one kind (QDir::Dirs or QDir::Files) that
// match any of the name patterns, without regard to case, in name order.
// Hidden entries are left out. Throws a RuntimeError that names the folder and
// the reason when the folder cannot be read.
QStringList readFolder(const QString& folder, QDir::Filters kind,
                       const QStringList& patterns = QStringList());

} // namespace platform
