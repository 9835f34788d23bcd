// Start-up, loading to the first paint (in a process of its own, for its peak
// memory), saving, keystrokes, Clear and Undo, and the commands, on documents
// of up to 100 MB.
#include "benchsupport.h"
#include "editor/frmmain.h"
#include "editor/program.h"
#include "platform/text/richtextbox.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr qint64 kMB = 1000LL * 1000;

void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

double elapsedMs(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

void pressKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
              const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(widget, &release);
}

// A main window on the screen with a 20 MB document, ready for typing.
struct Editor
{
    FixedServices services;
    Program program{services};
    FrmMain* main = nullptr;

    explicit Editor(qint64 bytes = 20 * kMB)
    {
        program.frmMain.Show();
        main = program.frmMain.get();
        if (bytes > 0)
            main->rtfBox->LoadFile(odfFile(bytes));
        main->rtfBox->setFocus();
        settle();
    }
    void paint() { main->rtfBox->viewport()->repaint(); }
};

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

// Started as a separate process: shows the main window, then loads a file
// into it and paints it, printing the time that took and the peak memory.
int loadProbe(int argc, char** argv)
{
    QApplication app(argc, argv);
    Editor e(0);
    QElapsedTimer timer;
    timer.start();
    e.main->rtfBox->LoadFile(QString::fromLocal8Bit(argv[2]));
    e.paint();
    std::printf("%.2f %.1f\n", elapsedMs(timer), peakMemoryMiB());
    return 0;
}

// LoadFile to the first paint: 20 MB of ODF text (650,000 CR LF lines),
// 20 MB of 2.1 million short lines, 100 MB of ODF text.
void BM_LoadToFirstPaint(benchmark::State& state)
{
    static const std::array<std::pair<qint64, bool>, 3> files = {
        {{20 * kMB, false}, {20 * kMB, true}, {100 * kMB, false}}};
    const auto [bytes, shortLines] = files.at(size_t(state.range(0)));
    const QString path = odfFile(bytes, shortLines);
    state.SetLabel(shortLines ? "short lines" : "odf text");
    double peak = 0;
    for ([[maybe_unused]] auto _ : state) {
        QProcess probe;
        probe.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--load-probe"), path});
        if (!probe.waitForFinished(300000) || probe.exitCode() != 0) {
            state.SkipWithError("the load probe failed");
            return;
        }
        const QList<QByteArray> answer = probe.readAllStandardOutput().trimmed().split(' ');
        state.SetIterationTime(answer.value(0).toDouble() / 1000);
        peak = std::max(peak, answer.value(1).toDouble());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["peak_MiB"] = peak;
}
BENCHMARK(BM_LoadToFirstPaint)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);

void BM_SaveFile(benchmark::State& state)
{
    const QString path = odfFile(state.range(0) * kMB);
    platform::RichTextBox box;
    box.LoadFile(path);
    const QString out = workDir().filePath(QStringLiteral("saved.odf"));
    for ([[maybe_unused]] auto _ : state)
        box.SaveFile(out);
    state.SetBytesProcessed(state.iterations() * state.range(0) * kMB);
}
BENCHMARK(BM_SaveFile)->Arg(1)->Arg(20)->Unit(benchmark::kMillisecond);

// One typed character in the middle of a 20 MB document, from the key press
// to the window's own reaction to the change and the control's repaint of what
// changed (one line), as the event loop delivers them: median and 99th
// percentile. full_repaint_ms adds a forced repaint of the whole text area.
// Argument 1 runs with a screen reader's bridge active (needs an AT-SPI bus,
// see the README), where every change also goes out as an accessibility event.
void BM_KeystrokeIn20MB(benchmark::State& state)
{
    const bool accessible = state.range(0) != 0;
    Editor e;
    QElapsedTimer waited; // the bridge comes up once the AT-SPI bus answers
    waited.start();
    while (accessible && !QAccessible::isActive() && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (accessible != QAccessible::isActive()) {
        state.SkipWithError(accessible ? "no accessibility bridge is active"
                                       : "an accessibility bridge is active");
        return;
    }
    e.main->rtfBox->setCursorPosition(e.main->rtfBox->textLength() / 2);
    std::vector<double> times;
    std::vector<double> withFullRepaint;
    for ([[maybe_unused]] auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        pressKey(e.main->rtfBox, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        settle();
        times.push_back(elapsedMs(timer));
        state.SetIterationTime(times.back() / 1000);
        e.paint();
        withFullRepaint.push_back(elapsedMs(timer));
        if (times.size() % 80 == 0) // a new line now and then
            pressKey(e.main->rtfBox, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    }
    const auto percentile = [](std::vector<double>& values, size_t percent) {
        std::sort(values.begin(), values.end());
        return values[std::min(values.size() - 1, values.size() * percent / 100)];
    };
    state.counters["median_ms"] = percentile(times, 50);
    state.counters["p99_ms"] = percentile(times, 99);
    state.counters["full_repaint_ms"] = percentile(withFullRepaint, 50);
}
BENCHMARK(BM_KeystrokeIn20MB)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->UseManualTime()
    ->Iterations(1000);

// Clear, then Ctrl+Z, on a 20 MB document, each with its repaint.
void BM_ClearThenUndo20MB(benchmark::State& state)
{
    Editor e;
    double clear = 0;
    double undo = 0;
    for ([[maybe_unused]] auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        e.main->cmdClear->click();
        e.paint();
        clear += elapsedMs(timer);
        timer.restart();
        pressKey(e.main->rtfBox, Qt::Key_Z, Qt::ControlModifier);
        e.paint();
        undo += elapsedMs(timer);
        state.SetIterationTime((clear + undo) / 1000 / double(state.iterations() + 1));
    }
    state.counters["clear_ms"] = clear / double(state.iterations());
    state.counters["undo_ms"] = undo / double(state.iterations());
}
BENCHMARK(BM_ClearThenUndo20MB)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

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
}
BENCHMARK(BM_SaveAsCommand20MB)->Unit(benchmark::kMillisecond);

// Each Insert command on a 20 MB document, with the repaint.
void BM_InsertIn20MB(benchmark::State& state)
{
    Editor e;
    const std::array<QAction*, 4> items = {e.main->mnuInclude, e.main->mnuItemSeparator,
                                           e.main->mnudoubleslash, e.main->mnuhash};
    QAction* item = items.at(size_t(state.range(0)));
    state.SetLabel(item->objectName().toStdString());
    for ([[maybe_unused]] auto _ : state) {
        item->trigger();
        e.paint();
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
    if (argc > 2 && std::strcmp(argv[1], "--load-probe") == 0)
        return loadProbe(argc, argv);
    return runBenchmarks(argc, argv);
}
