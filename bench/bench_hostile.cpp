// Files of a hostile shape: very long lines, combining marks, CJK and emoji,
// right-to-left text, control characters, and the largest file taken. For each:
// open to the first paint (in a process of its own, for its peak memory), a
// letter typed at the start, the middle and the end of the longest line, and
// the caret moved to that line's end, each with its repaint. Then a line of
// 1 MB pasted into a small document, and the keys after it. Times are the
// process's CPU time, which a machine shared with other work leaves as it is;
// on an idle machine the time that passes is about the same.
#include "benchsupport.h"
#include "editor/frmmain.h"
#include "editor/program.h"
#include "platform/text/richtextbox.h"
#include "platform/text/textfile.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

using Sci = QsciScintillaBase;
constexpr qint64 kMB = 1000LL * 1000;

void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// The process's CPU time since it was made.
class CpuTimer
{
public:
    double elapsedMs() const { return double(std::clock() - m_start) * 1000 / CLOCKS_PER_SEC; }

private:
    std::clock_t m_start = std::clock();
};

// Repeats a text to a size, cut at the start of a character.
QByteArray repeated(const QString& unit, qint64 bytes)
{
    const QByteArray piece = unit.toUtf8();
    QByteArray text;
    text.reserve(bytes + piece.size());
    while (text.size() < bytes)
        text += piece;
    qsizetype end = bytes;
    while ((text[end] & 0xC0) == 0x80)
        --end;
    return text.left(end);
}

QByteArray oneLine(qint64 bytes)
{
    return odfText(bytes).replace("\r\n", " ").left(bytes);
}

struct Shape
{
    const char* label;
    QByteArray (*make)();
};

const std::array<Shape, 9> kShapes = {{
    {"one line of 1 MB", [] { return oneLine(1 * kMB); }},
    {"one line of 4 MB", [] { return oneLine(4 * kMB); }},
    {"one line of 20 MB", [] { return oneLine(20 * kMB); }},
    {"20 MB in lines of 50,000",
     [] {
         const QByteArray line = oneLine(50000) + "\r\n";
         return line.repeated(20 * kMB / line.size());
     }},
    {"1 MB line of combining marks",
     [] { return repeated(QStringLiteral("a\u0301\u0323e\u0300\u0331o\u0302 "), kMB); }},
    {"1 MB line of CJK and emoji",
     [] {
         return repeated(
             QStringLiteral("漢字かなカナ한국어中文 \U0001F600\U0001F680\U0001F44D\U0001F3FD "),
             kMB);
     }},
    {"1 MB line of Arabic",
     [] { return repeated(QStringLiteral("مرحبا بالعالم هذا نص عربي طويل ١٢٣ "), kMB); }},
    {"20 MB of control characters",
     [] {
         QByteArray run;
         for (char c = 1; c < 32; ++c) {
             if (c != '\n' && c != '\r')
                 run += c;
         }
         return run.repeated(20 * kMB / run.size());
     }},
    {"256 MiB of ordinary lines",
     [] { return odfText(platform::kMaxTextFileSize).left(platform::kMaxTextFileSize); }},
}};

QString shapeFile(size_t shape)
{
    QString path = workDir().filePath(QStringLiteral("hostile-%1.odf").arg(shape));
    if (!QFile::exists(path)) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(kShapes.at(shape).make()) < 0)
            qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

void pressKey(QWidget* widget, Qt::Key key, const QString& text,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(widget, &release);
}

// Started as a separate process: shows the main window, opens a file in it as
// the command line does and paints it, printing the time and the peak memory.
int openProbe(int argc, char** argv)
{
    QApplication app(argc, argv);
    FixedServices services;
    Program program(services);
    program.frmMain.Show();
    for (int i = 0; i < 100 && !program.frmMain->windowHandle()->isExposed(); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    settle();
    const CpuTimer timer;
    program.frmMain->openFile(QString::fromLocal8Bit(argv[2]));
    program.frmMain->rtfBox->viewport()->repaint();
    std::printf("%.2f %.1f\n", timer.elapsedMs(), peakMemoryMiB());
    return 0;
}

void BM_HostileFile(benchmark::State& state)
{
    const auto shape = size_t(state.range(0));
    const QString path = shapeFile(shape);
    state.SetLabel(kShapes.at(shape).label);
    for ([[maybe_unused]] auto _ : state) {
        QProcess probe;
        probe.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--open-probe"), path});
        if (!probe.waitForFinished(600000) || probe.exitCode() != 0) {
            state.SkipWithError("the open probe failed");
            return;
        }
        const QList<QByteArray> answer = probe.readAllStandardOutput().trimmed().split(' ');
        state.SetIterationTime(answer.value(0).toDouble() / 1000);
        state.counters["peak_MiB"] = answer.value(1).toDouble();
    }

    FixedServices services;
    Program program(services);
    program.frmMain.Show();
    FrmMain* main = program.frmMain.get();
    main->openFile(path);
    platform::RichTextBox* box = main->rtfBox;
    box->setFocus();
    // Nothing paints before the window is on the screen.
    for (int i = 0; i < 100 && !main->windowHandle()->isExposed(); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    settle();
    // The first line is the longest; it ends at the first CR, if any.
    const long length = box->SendScintilla(Sci::SCI_GETLENGTH);
    const auto* text =
        static_cast<const char*>(box->SendScintillaPtrResult(Sci::SCI_GETCHARACTERPOINTER));
    const char* cr = static_cast<const char*>(std::memchr(text, '\r', size_t(length)));
    const long end = cr != nullptr ? long(cr - text) : length;
    long middle = end / 2;
    while ((text[middle] & 0xC0) == 0x80)
        --middle;
    const auto timed = [&](auto&& step) {
        const CpuTimer timer;
        step();
        settle();
        box->viewport()->repaint();
        return timer.elapsedMs();
    };
    const std::array<std::pair<const char*, long>, 3> places = {
        {{"start_ms", 0}, {"middle_ms", middle}, {"end_ms", end}}};
    for (const auto& [name, at] : places) {
        std::vector<double> times;
        for (int i = 0; i < 5; ++i) {
            box->SendScintilla(Sci::SCI_GOTOPOS, at);
            settle();
            times.push_back(timed([box] { pressKey(box, Qt::Key_X, QStringLiteral("x")); }));
        }
        std::sort(times.begin(), times.end());
        state.counters[name] = times[2];
        state.counters[QByteArray(name).replace("_ms", "_max_ms").toStdString()] = times.back();
    }
    box->SendScintilla(Sci::SCI_GOTOPOS, 0L);
    settle();
    box->viewport()->repaint();
    state.counters["to_end_ms"] = timed([box, end] { box->SendScintilla(Sci::SCI_GOTOPOS, end); });
    state.counters["read_only"] = box->isReadOnly() ? 1 : 0;
}
BENCHMARK(BM_HostileFile)
    ->DenseRange(0, int(kShapes.size()) - 1)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

// Ctrl+V of one line of 1 MB at the end of the first line of a two-line
// document, then a letter typed there and taken back with Backspace, five
// times, each with its repaint.
void BM_PasteLongLine(benchmark::State& state)
{
    FixedServices services;
    Program program(services);
    program.frmMain.Show();
    FrmMain* main = program.frmMain.get();
    platform::RichTextBox* box = main->rtfBox;
    box->setText(QStringLiteral("unitName = \"Hawk\"\r\nbuildTime = 2\r\n"));
    box->setFocus();
    for (int i = 0; i < 100 && !main->windowHandle()->isExposed(); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QApplication::clipboard()->setText(QString::fromLatin1(oneLine(kMB)));
    box->SendScintilla(Sci::SCI_GOTOPOS, 17L);
    settle();
    const auto timed = [box](Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text) {
        const CpuTimer timer;
        pressKey(box, key, text, modifiers);
        settle();
        box->viewport()->repaint();
        return timer.elapsedMs();
    };
    for ([[maybe_unused]] auto _ : state)
        state.SetIterationTime(timed(Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16")) /
                               1000);
    std::vector<double> keys;
    for (int i = 0; i < 5; ++i) {
        keys.push_back(timed(Qt::Key_X, Qt::NoModifier, QStringLiteral("x")));
        keys.push_back(timed(Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b")));
    }
    std::sort(keys.begin(), keys.end());
    state.counters["key_ms"] = keys[keys.size() / 2];
    state.counters["key_max_ms"] = keys.back();
    state.counters["pasted"] = box->textLength() > kMB ? 1 : 0;
}
BENCHMARK(BM_PasteLongLine)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    if (argc > 2 && std::strcmp(argv[1], "--open-probe") == 0)
        return openProbe(argc, argv);
    return runBenchmarks(argc, argv);
}
