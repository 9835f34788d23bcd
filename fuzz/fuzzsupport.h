#pragma once

#include <QByteArray>
#include <QString>

// What the fuzz targets share: one offscreen application for the whole run
// (made by the LLVMFuzzerInitialize of fuzzsupport.cpp), a private folder for
// the files of each input, and a loud end on a finding.
namespace fuzz {

// A path in this run's private folder.
QString workPath(const QString& name);

void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

// Reports a finding and aborts, which libFuzzer records as a crash together
// with the input that caused it.
[[noreturn]] void fail(const char* what, const QString& detail = QString());

} // namespace fuzz
