#include "platform/forms/runtimeerror.h"
#include "platform/text/textfile_system.h"

#include <QFileInfo>

#include <io.h>
#include <windows.h>

namespace platform {

// Folders are told apart by name; what the name turns out to open is asked
// of the handle, as devices (NUL, COM1) and pipes (\\.\pipe\...) open like
// files but are no files on a disk.
void openRegularFile(QFile& file, const QString& path)
{
    if (QFileInfo(path).isDir())
        throw RuntimeError(tr("It is a folder, not a file."));
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw RuntimeError(describe(file));
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
    BY_HANDLE_FILE_INFORMATION information = {};
    if (GetFileType(handle) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(handle, &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        file.close();
        throw RuntimeError(tr("It is not a regular file."));
    }
}

} // namespace platform
