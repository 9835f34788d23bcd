// The hardpoint viewer: listing a large folder, showing a large JPEG from the
// selection to the picture set, and the peak memory of showing a huge one.
#include "benchsupport.h"
#include "companions/frmpreview.h"
#include "platform/files/dirlistbox.h"
#include "platform/files/filelistbox.h"
#include "platform/files/imagebox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <map>

namespace {

const QString kPattern = QStringLiteral("*.bmp;*.gif;*.jpg;*.jpeg");

void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

void touch(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
}

// 20,000 empty files; every fourth matches the viewer's pattern, in both cases.
QString crowdedFolder()
{
    static const QString folder = [] {
        QString path = workDir().filePath(QStringLiteral("crowded"));
        QDir().mkpath(path);
        static const char* const kinds[] = {".bmp",  ".odf", ".png", ".txt", ".JPG", ".odf",
                                            ".ico",  ".txt", ".gif", ".odf", ".png", ".txt",
                                            ".jpeg", ".odf", ".tga", ".txt"};
        for (int i = 0; i < 20000; ++i)
            touch(QStringLiteral("%1/ship%2%3")
                      .arg(path)
                      .arg(i, 5, 10, QLatin1Char('0'))
                      .arg(QLatin1String(kinds[i % 16])));
        return path;
    }();
    return folder;
}

// A chart-like picture: smooth gradients with some noise, so that it neither
// compresses to nothing nor decodes unusually fast.
QString jpegFile(int width, int height, const QString& name)
{
    const QString folder = workDir().filePath(QStringLiteral("jpeg-%1x%2").arg(width).arg(height));
    QString path = folder + QLatin1Char('/') + name;
    if (QFile::exists(path))
        return path;
    QDir().mkpath(folder);
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int noise = int(random.bounded(16));
            line[x] = qRgb((x * 255 / width + noise) & 255, (y * 255 / height + noise) & 255,
                           ((x + y) / 16 + noise) & 255);
        }
    }
    if (!image.save(path, "JPEG", 90))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void press(QWidget* widget, Qt::Key key)
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &up);
}

// Writing the file list's Path: reading the folder, matching, sorting, filling.
void BM_ListFolder20000Files(benchmark::State& state)
{
    FixedServices services;
    platform::FileListBox list(services, kPattern);
    const QString folder = crowdedFolder();
    for ([[maybe_unused]] auto _ : state)
        list.setPath(folder);
    if (list.count() != 5000)
        state.SkipWithError("the folder did not list 5,000 pictures");
    state.counters["listed"] = list.count();
}
BENCHMARK(BM_ListFolder20000Files)->Unit(benchmark::kMillisecond);

// An arrow key in the file list: Click, LoadPicture, decoding and stretching
// into the frame. Two copies of the picture take turns.
void BM_ShowJpeg6000x4000(benchmark::State& state)
{
    const QString first = jpegFile(6000, 4000, QStringLiteral("a.jpg"));
    QFile::copy(first, QFileInfo(first).path() + QStringLiteral("/b.jpg"));
    FixedServices services;
    FrmPreview window(services);
    window.show();
    window.Dir1->setPath(QFileInfo(first).path());
    press(window.File1, Qt::Key_Down);
    settle();
    bool down = true;
    for ([[maybe_unused]] auto _ : state) {
        press(window.File1, down ? Qt::Key_Down : Qt::Key_Up);
        down = !down;
    }
    if (!window.Image1->hasPicture() || window.File1->count() != 2)
        state.SkipWithError("no picture was shown");
    state.counters["file_MB"] = double(QFileInfo(first).size()) / 1e6;
}
BENCHMARK(BM_ShowJpeg6000x4000)->Unit(benchmark::kMillisecond);

// Started as a separate process: opens the viewer in the folder given and, if
// there is a file to select, shows it; prints the peak resident memory.
int peakProbe(int argc, char** argv)
{
    const QString folder = QString::fromLocal8Bit(argv[2]);
    QApplication app(argc, argv);
    FixedServices services;
    FrmPreview window(services);
    window.show();
    window.Dir1->setPath(folder);
    settle();
    if (window.File1->count() > 0) {
        press(window.File1, Qt::Key_Down);
        settle();
        if (!window.Image1->hasPicture())
            return 2;
    }
    std::printf("%.1f\n", peakMemoryMiB());
    return 0;
}

double probePeak(const QString& folder)
{
    QProcess probe;
    probe.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--peak-probe"), folder});
    if (!probe.waitForFinished(60000) || probe.exitCode() != 0)
        return -1;
    return probe.readAllStandardOutput().trimmed().toDouble();
}

// The whole process's peak while it shows a 12000 x 12000 JPEG, beside the
// same process showing nothing.
void BM_PeakMemoryJpeg12000x12000(benchmark::State& state)
{
    const QString picture = jpegFile(12000, 12000, QStringLiteral("huge.jpg"));
    const QString empty = workDir().filePath(QStringLiteral("empty"));
    QDir().mkpath(empty);
    double peak = 0;
    double idle = 0;
    for ([[maybe_unused]] auto _ : state) {
        peak = probePeak(QFileInfo(picture).path());
        idle = probePeak(empty);
    }
    if (peak < 0 || idle < 0)
        state.SkipWithError("the memory probe failed");
    state.counters["peak_MiB"] = peak;
    state.counters["idle_MiB"] = idle;
    state.counters["file_MB"] = double(QFileInfo(picture).size()) / 1e6;
}
BENCHMARK(BM_PeakMemoryJpeg12000x12000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    if (argc > 2 && std::strcmp(argv[1], "--peak-probe") == 0) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return peakProbe(argc, argv);
    }
    return runBenchmarks(argc, argv);
}
