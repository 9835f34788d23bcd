// Start-up, whole-file reading and writing, a keystroke and the commands, on
// documents of 1 MB and 20 MB.
#include "benchsupport.h"
#include "editor/frmmain.h"
#include "editor/program.h"
#include "platform/richtextbox.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QProcess>
#include <QTemporaryDir>

#include <array>
#include <cstdio>
#include <cstring>
#include <map>

namespace {

constexpr qint64 kMB = 1000LL * 1000;

void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// Builds and shows the main window and lets it paint once.
void BM_MainWindowReady(benchmark::State& state)
{
    FixedServices services;
    for ([[maybe_unused]] auto _ : state) {
        Program program(services);
        program.frmMain.Show();
        program.frmMain.get()->repaint();
        settle();
        benchmark::DoNotOptimize(program.frmMain.get());
    }
    state.counters["peak_MiB"] = peakMemoryMiB();
}
BENCHMARK(BM_MainWindowReady)->Unit(benchmark::kMillisecond);

void BM_LoadFile(benchmark::State& state)
{
    const QString path = odfFile(state.range(0) * kMB);
    FixedServices services;
    Program program(services);
    program.frmMain.Show();
    platform::RichTextBox* box = program.frmMain.get()->rtfBox;
    for ([[maybe_unused]] auto _ : state) {
        box->LoadFile(path);
        settle();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * kMB);
    state.counters["peak_MiB"] = peakMemoryMiB();
}
BENCHMARK(BM_LoadFile)->Arg(1)->Arg(20)->Unit(benchmark::kMillisecond);

void BM_SaveFile(benchmark::State& state)
{
    const QString path = odfFile(state.range(0) * kMB);
    platform::RichTextBox box;
    box.LoadFile(path);
    const QString out = workDir().filePath(QStringLiteral("saved.odf"));
    for ([[maybe_unused]] auto _ : state)
        box.SaveFile(out);
    state.SetBytesProcessed(state.iterations() * state.range(0) * kMB);
    state.counters["peak_MiB"] = peakMemoryMiB();
}
BENCHMARK(BM_SaveFile)->Arg(1)->Arg(20)->Unit(benchmark::kMillisecond);

// One typed character in the middle of a 20 MB document, with the window's
// own reaction to the change.
void BM_KeystrokeIn20MB(benchmark::State& state)
{
    FixedServices services;
    Program program(services);
    program.frmMain.Show();
    FrmMain* main = program.frmMain.get();
    main->rtfBox->LoadFile(odfFile(20 * kMB));
    main->rtfBox->setCursorPosition(main->rtfBox->textLength() / 2);
    main->rtfBox->setFocus();
    settle();
    for ([[maybe_unused]] auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(main->rtfBox, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(main->rtfBox, &release);
        main->rtfBox->viewport()->repaint();
    }
    state.counters["peak_MiB"] = peakMemoryMiB();
}
BENCHMARK(BM_KeystrokeIn20MB)->Unit(benchmark::kMicrosecond);

// File > Open... and File > Save As... of a 20 MB file, dialogs answered.
void BM_OpenCommand20MB(benchmark::State& state)
{
    FixedServices services;
    services.path = odfFile(20 * kMB);
    Program program(services);
    program.frmMain.Show();
    for ([[maybe_unused]] auto _ : state) {
        program.frmMain.get()->mnuOpen->trigger();
        settle();
    }
    state.counters["peak_MiB"] = peakMemoryMiB();
}
BENCHMARK(BM_OpenCommand20MB)->Unit(benchmark::kMillisecond);

void BM_SaveAsCommand20MB(benchmark::State& state)
{
    FixedServices services;
    services.path = odfFile(20 * kMB);
    Program program(services);
    program.frmMain.Show();
    program.frmMain.get()->mnuOpen->trigger();
    services.path = workDir().filePath(QStringLiteral("saved-as.odf"));
    for ([[maybe_unused]] auto _ : state)
        program.frmMain.get()->mnuSaveAs->trigger();
    state.counters["peak_MiB"] = peakMemoryMiB();
}
BENCHMARK(BM_SaveAsCommand20MB)->Unit(benchmark::kMillisecond);

// Each Insert command on a 20 MB document.
void BM_InsertIn20MB(benchmark::State& state)
{
    FixedServices services;
    Program program(services);
    program.frmMain.Show();
    FrmMain* main = program.frmMain.get();
    main->rtfBox->LoadFile(odfFile(20 * kMB));
    settle();
    const std::array<QAction*, 4> items = {main->mnuInclude, main->mnuItemSeparator,
                                           main->mnudoubleslash, main->mnuhash};
    QAction* item = items.at(size_t(state.range(0)));
    state.SetLabel(item->objectName().toStdString());
    for ([[maybe_unused]] auto _ : state) {
        item->trigger();
        main->rtfBox->viewport()->repaint();
    }
}
BENCHMARK(BM_InsertIn20MB)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// Started as a separate process: builds the application and the main window
// like the program does, and exits once the window has painted, printing its
// peak memory.
class FirstPaintProbe : public QObject
{
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            QCoreApplication::exit(0);
        return false;
    }
};

int startupProbe(int argc, char** argv)
{
    QApplication app(argc, argv);
    FixedServices services;
    Program program(services);
    FirstPaintProbe probe;
    program.frmMain.Load()->rtfBox->viewport()->installEventFilter(&probe);
    program.frmMain.Show();
    QApplication::exec();
    std::printf("%.1f\n", peakMemoryMiB());
    return 0;
}

// A whole process: start, load the libraries, build the window, paint it.
void BM_ProcessStartToFirstPaint(benchmark::State& state)
{
    double peak = 0;
    for ([[maybe_unused]] auto _ : state) {
        QProcess probe;
        probe.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--startup-probe")});
        if (!probe.waitForFinished(30000) || probe.exitCode() != 0) {
            state.SkipWithError("the start-up probe failed");
            return;
        }
        peak = probe.readAllStandardOutput().trimmed().toDouble();
    }
    state.counters["peak_MiB"] = peak;
}
BENCHMARK(BM_ProcessStartToFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--startup-probe") == 0)
        return startupProbe(argc, argv);
    return runBenchmarks(argc, argv);
}
