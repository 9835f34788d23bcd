// Find, the count of matches, Replace All and its Undo, and typing into the
// Find field, on a 20 MB document.
#include "benchsupport.h"
#include "editor/frmfind.h"
#include "editor/frmmain.h"
#include "editor/program.h"
#include "platform/text/richtextbox.h"
#include "platform/text/searchmarks.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>

namespace {

constexpr qint64 kMB = 1000LL * 1000;

double elapsedMs(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// 20 MB of ODF text with "Kestrel" 100,000 times (the later ones changed to
// "Kestrix") and one "needle" at its very end.
QString searchFile()
{
    static QString path;
    if (!path.isEmpty())
        return path;
    QByteArray text = odfText(20 * kMB);
    qsizetype at = 0;
    for (int n = 0; n < 100000; ++n)
        at = text.indexOf("Kestrel", at) + 7;
    while ((at = text.indexOf("Kestrel", at)) >= 0)
        text[at + 6] = 'x';
    text += "needle = 1\r\n";
    path = workDir().filePath(QStringLiteral("search.odf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// The main window with the search file, shown.
struct Editor
{
    FixedServices services;
    Program program{services};
    FrmMain* main = nullptr;

    Editor()
    {
        program.frmMain.Show();
        main = program.frmMain.get();
        main->rtfBox->LoadFile(searchFile());
        settle();
    }
    FrmFind* openFind(const QString& text, bool replace)
    {
        (replace ? main->mnuReplace : main->mnuFind)->trigger();
        FrmFind* find = program.frmFind.get();
        find->txtFind->setText(text);
        settle();
        return find;
    }
    void paint() { main->rtfBox->viewport()->repaint(); }
};

// F3 from the start of the document to the one match at its end, with the
// repaint: without and with Match Case.
void BM_FindNext20MBAway(benchmark::State& state)
{
    Editor e;
    e.program.lastSearch = {QStringLiteral("needle"), state.range(0) != 0, false};
    for ([[maybe_unused]] auto _ : state) {
        e.main->rtfBox->setCursorPosition(0);
        QElapsedTimer timer;
        timer.start();
        e.main->mnuFindNext->trigger();
        e.paint();
        state.SetIterationTime(elapsedMs(timer) / 1000);
    }
    if (e.main->rtfBox->selectedPlainText() != QLatin1String("needle"))
        state.SkipWithError("the match was not found");
    state.SetLabel(state.range(0) != 0 ? "match case" : "any case");
}
BENCHMARK(BM_FindNext20MBAway)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(20);

// The count of "Kestrel" in the whole document, from the event loop: until
// it is shown, and the longest turn of the event loop meanwhile, which is as
// long as a key may have to wait.
void BM_Count20MB(benchmark::State& state)
{
    Editor e;
    FrmFind* find = e.openFind(QString(), false);
    double longest = 0;
    for ([[maybe_unused]] auto _ : state) {
        e.main->rtfBox->setCursorPosition(0);
        QElapsedTimer timer;
        timer.start();
        find->txtFind->setText(QStringLiteral("kestrel"));
        find->cmdFindNext->click();
        while (find->lblStatus->text().isEmpty()) {
            QElapsedTimer turn;
            turn.start();
            QCoreApplication::processEvents();
            longest = std::max(longest, elapsedMs(turn));
        }
        state.SetIterationTime(elapsedMs(timer) / 1000);
        find->txtFind->clear();
    }
    state.SetLabel(find->lblStatus->text().toStdString());
    state.counters["longest_turn_ms"] = longest;
}
BENCHMARK(BM_Count20MB)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

// Replace All of 100,000 matches, then Ctrl+Z, each with its repaint, and the
// peak memory that they add.
void BM_ReplaceAll100k(benchmark::State& state)
{
    Editor e;
    FrmFind* find = e.openFind(QStringLiteral("Kestrel"), true);
    find->chkMatchCase->setChecked(true);
    find->txtReplace->setText(QStringLiteral("Harrier Mk2"));
    const double before = peakMemoryMiB();
    std::vector<double> undo;
    for ([[maybe_unused]] auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        find->cmdReplaceAll->click();
        e.paint();
        state.SetIterationTime(elapsedMs(timer) / 1000);
        timer.restart();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier);
        QApplication::sendEvent(e.main->rtfBox, &press);
        e.paint();
        undo.push_back(elapsedMs(timer));
    }
    state.SetLabel(find->lblStatus->text().toStdString());
    state.counters["undo_ms"] = median(undo);
    state.counters["added_peak_MiB"] = peakMemoryMiB() - before;
}
BENCHMARK(BM_ReplaceAll100k)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// A key typed into the Find field over the 20 MB document, until the event
// loop is idle again but for the count's slices: median and 99th percentile.
void BM_KeyInFindField20MB(benchmark::State& state)
{
    Editor e;
    FrmFind* find = e.openFind(QString(), false);
    const QString typed = QStringLiteral("Kestrel Lancer");
    std::vector<double> times;
    for ([[maybe_unused]] auto _ : state) {
        const bool erase = find->txtFind->text().size() == typed.size();
        const QString text = erase ? QString() : typed.mid(find->txtFind->text().size(), 1);
        QElapsedTimer timer;
        timer.start();
        QKeyEvent press(QEvent::KeyPress, erase ? Qt::Key_Backspace : Qt::Key_A, Qt::NoModifier,
                        text);
        QApplication::sendEvent(find->txtFind, &press);
        if (erase)
            find->txtFind->clear();
        settle();
        find->repaint();
        e.paint();
        times.push_back(elapsedMs(timer));
        state.SetIterationTime(times.back() / 1000);
    }
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = times[times.size() / 2];
    state.counters["p99_ms"] = times[std::min(times.size() - 1, times.size() * 99 / 100)];
}
BENCHMARK(BM_KeyInFindField20MB)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(300);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv);
}
