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

// Whether every byte is below 0x80: text that reads the same in UTF-8 and in
// Windows-1252.
bool isAscii(QByteArrayView bytes);

// Finds the format of a file from its bytes, given in pieces in file order.
// UTF-8 is chosen when the bytes start with a byte-order mark or hold
// multi-byte sequences, and are valid UTF-8 throughout; anything else is
// Windows-1252, whose table here maps all 256 byte values, so any bytes at
// all convert and convert back unchanged. The main line break is the most
// frequent one, CR LF when there is none.
class FormatScanner
{
public:
    void add(QByteArrayView piece);
    // Of the bytes so far: whether all are below 0x80, and whether they can
    // still be UTF-8 (a sequence cut by the end of the last piece may end
    // well in the next).
    bool isAscii() const { return !m_highInMark && !m_highAfterMark; }
    bool mayBeUtf8() const { return m_utf8; }
    // Whether the bytes begin with a UTF-8 byte-order mark.
    bool hasByteOrderMark() const { return m_markBytes == 3; }
    // The format of all the bytes, once they are all in.
    TextFormat format() const;

private:
    void checkUtf8(QByteArrayView piece);

    qint64 m_size = 0;
    int m_markBytes = 0; // how many of the first bytes match a byte-order mark
    bool m_highInMark = false;
    bool m_highAfterMark = false;
    bool m_utf8 = true;
    QByteArray m_cut; // a UTF-8 sequence cut by the end of the last piece
    qint64 m_lf = 0;
    qint64 m_cr = 0;
    qint64 m_crlf = 0;
    bool m_endsInCr = false;
};

// The format of a whole file, as FormatScanner finds it.
TextFormat detectFormat(QByteArrayView bytes);

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
