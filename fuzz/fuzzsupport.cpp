#include "fuzzsupport.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

QString workPath(const QString& name)
{
    static QTemporaryDir dir;
    if (!dir.isValid())
        fail("cannot create a temporary folder", dir.errorString());
    return dir.filePath(name);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail("cannot write the input file", file.errorString());
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail("cannot read the output file", file.errorString());
    return file.readAll();
}

void fail(const char* what, const QString& detail)
{
    (void)std::fprintf(stderr, "FINDING: %s: %s\n", what, qPrintable(detail));
    std::abort();
}

} // namespace fuzz

// Every target creates the application once, on the offscreen platform, so
// that widgets can be built without a display.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // QApplication keeps references to its arguments for its whole life, and
    // it is never destroyed: libFuzzer ends the process with exit().
    static int argc = 1;
    static char name[] = "tessmark-fuzz";
    static char* argv[] = {name, nullptr};
    static const QApplication* const application = new QApplication(argc, argv);
    Q_UNUSED(application)
    return 0;
}
