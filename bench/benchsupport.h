#pragma once

#include "platform/forms/services.h"

#include <QByteArray>
#include <QString>
#include <benchmark/benchmark.h>

// Answers every file dialog with a fixed path and every question with Yes.
class FixedServices : public platform::Services
{
public:
    QString path;
    int msgBox(QWidget*, const QString&, int) override { return platform::MsgBox::Yes; }
    std::optional<QString> fileDialog(QWidget*, const platform::FileDialogRequest&) override
    {
        return path;
    }
    void beep() override {}
    void end() override {}
};

class QTemporaryDir;

// A folder for the files of this run.
QTemporaryDir& workDir();

// ODF-like text with CR LF line breaks, about the given size.
QByteArray odfText(qint64 bytes);

// Short lines, "hp01 = 1" and the like, with LF line breaks: about ten bytes
// a line.
QByteArray shortLinesText(qint64 bytes);

// Writes a file of ODF-like text (or of short lines) once per run; returns
// its path.
QString odfFile(qint64 bytes, bool shortLines = false);

// The process's peak resident memory in MiB (0 where it cannot be read).
double peakMemoryMiB();

// Runs the benchmarks with a QApplication; without a display, on the
// offscreen platform.
int runBenchmarks(int argc, char** argv);
