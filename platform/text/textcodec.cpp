#include "platform/text/textcodec.h"

#include <QString>

#include <algorithm>
#include <array>
#include <cstring>

namespace platform {
namespace {

// Windows-1252. The five bytes that the code page leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the C1 control characters of the same value, as
// Windows itself does, so that every byte value survives a round trip.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t cp1252ToUnicode(unsigned char b)
{
    return (b >= 0x80 && b < 0xA0) ? kHighControls[b - 0x80] : char16_t(b);
}

// Returns the byte for c, or -1 when Windows-1252 has none.
int unicodeToCp1252(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return int(c);
    const auto* found = std::find(kHighControls.begin(), kHighControls.end(), c);
    return found == kHighControls.end() ? -1 : 0x80 + int(found - kHighControls.begin());
}

// The UTF-8 form of each byte value: its length, then up to three bytes.
struct Utf8Form
{
    unsigned char length;
    std::array<char, 3> bytes;
};

const std::array<Utf8Form, 256>& utf8Forms()
{
    static const std::array<Utf8Form, 256> forms = [] {
        std::array<Utf8Form, 256> table{};
        for (int b = 0; b < 256; ++b) {
            const char16_t c = cp1252ToUnicode(static_cast<unsigned char>(b));
            Utf8Form& form = table[size_t(b)];
            if (c < 0x80) {
                form = {1, {char(c), 0, 0}};
            } else if (c < 0x800) {
                form = {2, {char(0xC0 | (c >> 6)), char(0x80 | (c & 0x3F)), 0}};
            } else {
                form = {3,
                        {char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)),
                         char(0x80 | (c & 0x3F))}};
            }
        }
        return table;
    }();
    return forms;
}

// Calls put with the Windows-1252 byte of each character of valid UTF-8;
// false as soon as a character has none.
template <typename Put> bool convertToCp1252(QByteArrayView utf8, Put put)
{
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    while (p < end) {
        const unsigned char b = *p;
        if (b < 0x80) {
            put(char(b));
            ++p;
            continue;
        }
        char32_t c = 0;
        if (b >= 0xC2 && b <= 0xDF && end - p >= 2) {
            c = (char32_t(b & 0x1F) << 6) | (p[1] & 0x3F);
            p += 2;
        } else if (b >= 0xE0 && b <= 0xEF && end - p >= 3) {
            c = (char32_t(b & 0x0F) << 12) | (char32_t(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
            p += 3;
        } else {
            return false; // beyond the Basic Multilingual Plane, or not UTF-8
        }
        const int byte = unicodeToCp1252(c);
        if (byte < 0)
            return false;
        put(char(byte));
    }
    return true;
}

} // namespace

bool isAscii(QByteArrayView bytes)
{
    // Eight bytes at a time: the compiler turns the loop into vector code.
    const char* p = bytes.data();
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    for (; i + 64 <= n; i += 64) {
        quint64 high = 0;
        for (int k = 0; k < 64; k += 8) {
            quint64 word = 0;
            std::memcpy(&word, p + i + k, 8);
            high |= word;
        }
        if (high & 0x8080808080808080ULL)
            return false;
    }
    for (; i < n; ++i) {
        if (p[i] & 0x80)
            return false;
    }
    return true;
}

void FormatScanner::add(QByteArrayView piece)
{
    const qsizetype n = piece.size();
    if (n == 0)
        return;
    const auto* p = reinterpret_cast<const unsigned char*>(piece.data());
    // The first three bytes of the file: a byte-order mark, or text.
    static constexpr unsigned char kMark[] = {0xEF, 0xBB, 0xBF};
    const qsizetype inMark = std::min<qint64>(std::max<qint64>(3 - m_size, 0), n);
    for (qsizetype i = 0; i < inMark; ++i) {
        if (m_markBytes == m_size + i && p[i] == kMark[m_markBytes])
            ++m_markBytes;
        m_highInMark = m_highInMark || p[i] >= 0x80;
    }
    m_highAfterMark = m_highAfterMark || !platform::isAscii(piece.sliced(inMark));
    // Line breaks, 64 bytes at a time: the compiler turns the inner loop into
    // vector code. A CR LF may span two pieces.
    if (m_endsInCr && p[0] == '\n')
        ++m_crlf;
    qsizetype i = 0;
    for (; i + 65 <= n; i += 64) {
        unsigned lf = 0;
        unsigned cr = 0;
        unsigned crlf = 0;
        for (int k = 0; k < 64; ++k) {
            lf += unsigned(p[i + k] == '\n');
            cr += unsigned(p[i + k] == '\r');
            crlf += unsigned(p[i + k] == '\r') & unsigned(p[i + k + 1] == '\n');
        }
        m_lf += lf;
        m_cr += cr;
        m_crlf += crlf;
    }
    for (; i < n; ++i) {
        m_lf += qint64(p[i] == '\n');
        m_cr += qint64(p[i] == '\r');
        m_crlf += qint64(p[i] == '\r' && i + 1 < n && p[i + 1] == '\n');
    }
    m_endsInCr = p[n - 1] == '\r';
    if (m_utf8)
        checkUtf8(piece);
    m_size += n;
}

namespace {

// The length of the UTF-8 sequence that a byte begins (1 for a byte that
// begins none: the check finds it).
qsizetype sequenceLength(unsigned char lead)
{
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// How many bytes at the end of the text begin a sequence that they do not
// complete.
qsizetype cutLength(QByteArrayView text)
{
    for (qsizetype k = 1; k <= std::min<qsizetype>(3, text.size()); ++k) {
        const auto b = static_cast<unsigned char>(text[text.size() - k]);
        if ((b & 0xC0) != 0x80)
            return b >= 0xC0 && sequenceLength(b) > k ? k : 0;
    }
    return 0;
}

LineEnding dominantLineEnding(qint64 lfs, qint64 crs, qint64 crlf)
{
    const qint64 lf = lfs - crlf;
    const qint64 cr = crs - crlf;
    if (lf > crlf && lf >= cr)
        return LineEnding::Lf;
    if (cr > crlf && cr > lf)
        return LineEnding::Cr;
    return LineEnding::CrLf;
}

} // namespace

// Pieces are checked up to a sequence that their end cuts; that sequence is
// checked once the next piece completes it.
void FormatScanner::checkUtf8(QByteArrayView piece)
{
    if (!m_cut.isEmpty()) {
        const qsizetype length = sequenceLength(static_cast<unsigned char>(m_cut[0]));
        const qsizetype taken = std::min(length - m_cut.size(), piece.size());
        m_cut += piece.first(taken);
        piece = piece.sliced(taken);
        if (m_cut.size() < length)
            return;
        m_utf8 = QByteArrayView(m_cut).isValidUtf8();
        m_cut.clear();
        if (!m_utf8)
            return;
    }
    const qsizetype cut = cutLength(piece);
    m_utf8 = piece.chopped(cut).isValidUtf8();
    m_cut = piece.last(cut).toByteArray();
}

TextFormat FormatScanner::format() const
{
    TextFormat format;
    const bool bom = hasByteOrderMark();
    const bool asciiText = !m_highAfterMark && (bom || !m_highInMark);
    if ((bom || !asciiText) && m_utf8 && m_cut.isEmpty()) {
        format.encoding = Encoding::Utf8;
        format.byteOrderMark = bom;
    }
    format.lineEnding = dominantLineEnding(m_lf, m_cr, m_crlf);
    return format;
}

TextFormat detectFormat(QByteArrayView bytes)
{
    FormatScanner scanner;
    scanner.add(bytes);
    return scanner.format();
}

QStringView lineEndingText(LineEnding ending)
{
    switch (ending) {
    case LineEnding::Lf:
        return u"\n";
    case LineEnding::Cr:
        return u"\r";
    case LineEnding::CrLf:
        break;
    }
    return u"\r\n";
}

QString withLineBreaks(QStringView text, QStringView lineBreak)
{
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            out += lineBreak;
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

void appendCp1252AsUtf8(QByteArrayView bytes, QByteArray& out)
{
    const auto& forms = utf8Forms();
    const qsizetype start = out.size();
    out.resize(start + 3 * bytes.size());
    char* dst = out.data() + start;
    for (const char c : bytes) {
        const Utf8Form& form = forms[static_cast<unsigned char>(c)];
        dst[0] = form.bytes[0];
        dst[1] = form.bytes[1];
        dst[2] = form.bytes[2];
        dst += form.length;
    }
    out.resize(dst - out.constData());
}

bool appendUtf8AsCp1252(QByteArrayView utf8, QByteArray& out)
{
    const qsizetype start = out.size();
    out.resize(start + utf8.size()); // never longer than its UTF-8 form
    char* dst = out.data() + start;
    if (!convertToCp1252(utf8, [&dst](char c) { *dst++ = c; })) {
        out.resize(start);
        return false;
    }
    out.resize(dst - out.constData());
    return true;
}

bool fitsCp1252(QByteArrayView utf8)
{
    return isAscii(utf8) || convertToCp1252(utf8, [](char) {});
}

} // namespace platform
