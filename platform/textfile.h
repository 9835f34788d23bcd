#pragma once

#include "platform/textcodec.h"

#include <QByteArrayView>
#include <QString>

class QsciScintillaBase;

namespace platform {

// The document's files on disk: only regular files are read, in pieces
// straight into a new document of the text engine, finding the format on the
// way; they are written whole through a temporary file that replaces the old
// one once everything has reached the disk. Loads and saves of large files
// show the wait cursor.

// Files larger than this are refused rather than edited.
constexpr qint64 kMaxTextFileSize = 256LL * 1024 * 1024;

// Whether the start of a file holds NUL bytes, as binary files do and text
// files never do. False when the file cannot be read or is not a regular file.
bool looksBinary(const QString& path);

// Reads a whole file into a new document of the engine and finds its format.
// The document holds the file's text in UTF-8 and records no undo steps; the
// caller owns its one reference. Raises RuntimeError, with nothing created,
// when the file cannot be read, is not a regular file or is larger than
// kMaxTextFileSize.
void* loadTextFile(const QsciScintillaBase& engine, const QString& path, TextFormat& format);

// Writes UTF-8 text in a format, replacing the old file atomically; raises
// RuntimeError and leaves the old file whole on failure, also when the text
// holds a character that the format's encoding cannot store.
void saveTextFile(const QString& path, QByteArrayView text, const TextFormat& format);

} // namespace platform
