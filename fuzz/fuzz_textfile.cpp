// Any bytes at all, read by the editor's text control and written back as
// plain text, come back unchanged; nothing crashes, hangs or raises an error.
// Their format is the same whether it is found in one piece or in many.
#include "fuzzsupport.h"
#include "platform/forms/runtimeerror.h"
#include "platform/text/richtextbox.h"
#include "platform/text/textcodec.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QString in = fuzz::workPath(QStringLiteral("in.odf"));
    static const QString out = fuzz::workPath(QStringLiteral("out.odf"));
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    fuzz::writeFile(in, bytes);

    // A fresh control for each input, as a finding must not depend on the
    // inputs before it.
    platform::RichTextBox box;
    try {
        box.LoadFile(in);
        box.SaveFile(out, platform::RichTextBox::PlainText);
    } catch (const platform::RuntimeError& error) {
        fuzz::fail("load or save raised an error", error.description());
    }
    if (fuzz::readFile(out) != bytes)
        fuzz::fail("the saved bytes differ from the loaded ones");

    platform::FormatScanner scanner;
    for (qsizetype at = 0, step = 1; at < bytes.size(); at += step, step = step % 5 + 1)
        scanner.add(QByteArrayView(bytes).sliced(at, std::min(step, bytes.size() - at)));
    if (!(scanner.format() == platform::detectFormat(bytes)))
        fuzz::fail("the format found in pieces differs from the one found in one");
    return 0;
}
