#include "platform/forms/filenames.h"
#include "platform/forms/runtimeerror.h"
#include "platform/text/textfile_system.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

// The file is opened by its bytes, and without waiting, so that a pipe with
// no writer is found out rather than waited on; regular files ignore the flag.
void openRegularFile(QFile& file, const QString& path)
{
    const int fd = ::open(fileNameBytes(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT && isUnreadableName(path))
            throw RuntimeError(tr("The file's name cannot be read: it holds bytes that are "
                                  "not text, which this program cannot pass on to the system."));
        throw RuntimeError(qt_error_string(error));
    }
    struct stat status = {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        throw RuntimeError(S_ISDIR(status.st_mode) ? tr("It is a folder, not a file.")
                                                   : tr("It is not a regular file."));
    }
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw RuntimeError(describe(file));
    }
}

KeptAttributes::KeptAttributes(const QString&) {}

void KeptAttributes::restore() const {}

} // namespace platform
