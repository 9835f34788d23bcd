#pragma once

#include <QList>
#include <QString>

namespace platform {

// A mounted volume as the drive list shows it.
struct Volume
{
    QString root;  // with '/' separators: "/", "/media/me/STICK", "C:/"
    QString label; // may be empty
};

// The volumes a user would call drives, root first: on Windows the drive
// letters, elsewhere the root and the removable or extra disks mounted for
// the user. Everything that differs between systems about drives is here.
QList<Volume> presentVolumes();

// The text the drive list shows for a volume: its root ("c:" on Windows),
// followed by its label in brackets when it has one.
QString driveText(const Volume& volume);

// The root folder that a drive text names, with '/' separators.
QString driveRoot(const QString& text);

// The folder that a folder list's Path write names: a folder path as it is, a
// drive text its root; with '/' separators.
QString folderNamed(const QString& text);

// Whether a folder lies on the volume with the given root.
bool isOnVolume(const QString& folder, const QString& root);

} // namespace platform
