#pragma once

#include "platform/text/textcodec.h"

#include <QByteArrayView>
#include <QString>

#include <vector>

class QsciScintillaBase;

namespace platform {

// The document's files on disk: only regular files are read, in pieces
// straight into a new document of the text engine, finding the format on the
// way; they are written whole through a temporary file that replaces the old
// one once everything has reached the disk. Loads and saves of large files
// show the wait cursor.

// Files larger than this are refused rather than edited.
constexpr qint64 kMaxTextFileSize = 256LL * 1024 * 1024;

// The longest line, in bytes of UTF-8, that the text engine can lay out again
// at every key and every scroll within the time of a keystroke: it measures a
// whole line to show or edit any part of it. A file with a longer line is read
// with such lines cut into pieces of this length, for showing only.
constexpr qsizetype kMaxLineLength = 2048;

// The document offsets of the line breaks that the reader put in to cut long
// lines; they are not the file's, and writing the file leaves them out.
using LineCuts = std::vector<qsizetype>;

// Whether the start of a file holds NUL bytes, as binary files do and text
// files never do. False when the file cannot be read or is not a regular file.
bool looksBinary(const QString& path);

// Reads a whole file into a new document of the engine and finds its format.
// The document holds the file's text in UTF-8, with lines longer than
// kMaxLineLength cut where `cuts` says, has the options of the engine's
// present document and records no undo steps; the caller owns its one
// reference. Raises RuntimeError, with nothing created, when the file cannot
// be read, is not a regular file or is larger than
// kMaxTextFileSize.
void* loadTextFile(const QsciScintillaBase& engine, const QString& path, TextFormat& format,
                   LineCuts& cuts);

// Writes UTF-8 text in a format, without the bytes at `cuts`, replacing the
// old file atomically; raises RuntimeError and leaves the old file whole on
// failure, also when the text holds a character that the format's encoding
// cannot store.
void saveTextFile(const QString& path, QByteArrayView text, const TextFormat& format,
                  const LineCuts& cuts = {});

} // namespace platform
