// A file opened in the main window and edited by a script of user actions is
// saved after every step exactly as a model of the edits says, and undoing and
// redoing every edit gives back the opened and the edited bytes (fidelity.h).
#include "fidelity.h"
#include "fuzzsupport.h"

#include <QFileInfo>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QString folder = QFileInfo(fuzz::workPath(QStringLiteral("in.odf"))).path();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const fidelity::Outcome outcome = fidelity::run(fidelity::decode(bytes), folder);
    if (!outcome.failure.isEmpty())
        fuzz::fail("the control departed from the model", outcome.failure);
    return 0;
}
