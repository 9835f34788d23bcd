// A file opened in the main window and edited by a script of user actions is
// saved after every step exactly as a model of the edits says, and undoing and
// redoing every edit gives back the opened and the edited bytes (fidelity.h).
#include "fidelity.h"
#include "fuzzsupport.h"

#include <cstdint>

// The first byte is the file's length, modulo one more than the bytes that
// follow; then come the file and the script, a character a byte.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QString folder = fuzz::workPath(QStringLiteral("."));
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype length = size == 0 ? 0 : data[0] % qsizetype(size);
    const QString failure =
        fidelity::run(bytes.mid(1, length), QString::fromLatin1(bytes.mid(1 + length)), folder);
    if (!failure.isEmpty())
        fuzz::fail("the control departed from the model", failure);
    return 0;
}
