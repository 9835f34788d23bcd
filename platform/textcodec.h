#pragma once

#include <QByteArray>
#include <QByteArrayView>
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

// The format of a whole file. UTF-8 is chosen when the bytes start with a
// byte-order mark or hold multi-byte sequences, and are valid UTF-8
// throughout; anything else is Windows-1252, whose table here maps all 256
// byte values, so any bytes at all convert and convert back unchanged.
TextFormat detectFormat(QByteArrayView bytes);

// Whether every byte is below 0x80: text that reads the same in UTF-8 and in
// Windows-1252.
bool isAscii(QByteArrayView bytes);

// The bytes after a UTF-8 byte-order mark, if the format has one.
QByteArrayView withoutByteOrderMark(QByteArrayView bytes, const TextFormat& format);

// The most frequent line break of the text (ASCII-compatible bytes); CR LF
// when it has none.
LineEnding dominantLineEnding(QByteArrayView bytes);

QStringView lineEndingText(LineEnding ending);

// Every CR LF, CR and LF of the text replaced by the given line break.
QString withLineBreaks(QStringView text, QStringView lineBreak);

// Windows-1252 bytes appended to out as UTF-8.
void appendCp1252AsUtf8(QByteArrayView bytes, QByteArray& out);
// Valid UTF-8 appended to out as Windows-1252. Returns false, with out left
// as it was, when the text holds a character that Windows-1252 cannot store.
bool appendUtf8AsCp1252(QByteArrayView utf8, QByteArray& out);
bool fitsCp1252(QByteArrayView utf8);

} // namespace platform
