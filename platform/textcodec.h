#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace platform {

// How a document's text is stored on disk. Kept with the document so that a
// file is written back exactly as it was read.
enum class Encoding { Windows1252, Utf8 };
enum class LineEnding { CrLf, Lf, Cr };

struct TextFormat
{
    Encoding encoding = Encoding::Windows1252;
    bool byteOrderMark = false;
    LineEnding lineEnding = LineEnding::CrLf;

    bool operator==(const TextFormat& o) const
    {
        return encoding == o.encoding && byteOrderMark == o.byteOrderMark &&
               lineEnding == o.lineEnding;
    }
};

struct DecodedText
{
    QString text; // line breaks as they stand in the file
    TextFormat format;
};

// Decodes a whole file. UTF-8 is chosen when the bytes start with a byte-order
// mark or hold multi-byte sequences, and are valid UTF-8 throughout; anything
// else is Windows-1252, whose table here maps all 256 byte values, so any
// bytes at all decode and encode back unchanged.
DecodedText decodeText(const QByteArray& bytes);

// The most frequent line break of the text; CR LF when it has none.
LineEnding dominantLineEnding(QStringView text);

QStringView lineEndingText(LineEnding ending);

// Appends the encoded text to out. Returns false, and leaves out as it was,
// when the text holds a character that the encoding cannot store.
bool encodeText(QStringView text, Encoding encoding, QByteArray& out);
bool canEncode(QStringView text, Encoding encoding);

// Characters that the document model would turn into block separators or drop;
// a UTF-8 file holding them is read as Windows-1252 so that no byte is lost.
bool isUnsafeForDocument(char16_t c);

} // namespace platform
