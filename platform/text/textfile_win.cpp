#include "platform/forms/runtimeerror.h"
#include "platform/text/textfile_system.h"

#include <QDir>
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

// Those attributes that a file's owner sets and a new file lacks.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

KeptAttributes::KeptAttributes(const QString& path) : m_path(QDir::toNativeSeparators(path))
{
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t*>(m_path.utf16()));
    if (attributes != INVALID_FILE_ATTRIBUTES)
        m_attributes = attributes & kKeptAttributes;
}

void KeptAttributes::restore() const
{
    if (m_attributes == 0)
        return;
    const auto* name = reinterpret_cast<const wchar_t*>(m_path.utf16());
    const DWORD now = GetFileAttributesW(name);
    if (now != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesW(name, now | m_attributes);
}

} // namespace platform
