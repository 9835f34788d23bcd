// Any bytes at all, in a file named like a picture, give a picture that the
// viewer's frame shows within the memory budget, or an error: never a crash,
// a hang, or more memory than the budget for one picture.
#include "fuzzsupport.h"
#include "platform/files/picture.h"
#include "platform/forms/runtimeerror.h"

#include <QImage>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <sanitizer/allocator_interface.h>

namespace {

// The inside of the viewer's picture frame, in pixels.
const QSize kFrame(367, 335);

// The most heap in use at any moment, in bytes, as the sanitizer's allocator
// counts it; the decoders may allocate from other threads.
std::atomic<size_t> g_peak{0};

void notePeak(const volatile void*, size_t)
{
    const size_t now = __sanitizer_get_current_allocated_bytes();
    size_t peak = g_peak.load(std::memory_order_relaxed);
    while (now > peak && !g_peak.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {
    }
}

void noteFree(const volatile void*) {}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first byte picks the name; the content alone decides how the file
    // is read, whatever its name says.
    static const std::array<QString, 3> paths = {fuzz::workPath(QStringLiteral("picture.bmp")),
                                                 fuzz::workPath(QStringLiteral("picture.gif")),
                                                 fuzz::workPath(QStringLiteral("picture.jpg"))};
    // The heap is watched from the first input on, before any decoder runs.
    static const int hooks = __sanitizer_install_malloc_and_free_hooks(notePeak, noteFree);
    (void)hooks;
    if (size == 0)
        return 0;
    const QString& path = paths.at(data[0] % paths.size());
    fuzz::writeFile(path, QByteArray(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1)));

    const size_t before = __sanitizer_get_current_allocated_bytes();
    g_peak = before;
    try {
        const platform::StdPicture picture = platform::LoadPicture(path);
        if (picture.isNull() || picture.size().isEmpty())
            fuzz::fail("LoadPicture gave no picture and raised no error");
        const QImage shown = picture.render(kFrame);
        if (shown.size() != kFrame)
            fuzz::fail("the picture was not scaled to the frame");
    } catch (const platform::RuntimeError&) {
        // Not a whole picture, or one too large to show: an error is the
        // answer expected.
    }
    const size_t used = g_peak - before;
    if (used > size_t(platform::kPictureBudget))
        fuzz::fail("a picture took more memory than the budget",
                   QStringLiteral("%1 MiB").arg(used >> 20));
    return 0;
}
