#include "platform/textcodec.h"

#include <QStringDecoder>

#include <array>

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
int unicodeToCp1252(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == c)
            return 0x80 + i;
    }
    return -1;
}

constexpr std::array<unsigned char, 3> kBom = {0xEF, 0xBB, 0xBF};

bool startsWithBom(const QByteArray& bytes)
{
    return bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == kBom[0] &&
           static_cast<unsigned char>(bytes[1]) == kBom[1] &&
           static_cast<unsigned char>(bytes[2]) == kBom[2];
}

// The length of the multi-byte UTF-8 sequence that starts at p, or 0 when it
// is not a clean one: truncated, overlong, a surrogate, above U+10FFFF, or a
// character that the document model cannot hold as it is.
int cleanSequenceLength(const unsigned char* p, const unsigned char* end)
{
    const unsigned char b = *p;
    int len = 0;
    char32_t cp = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2;
        cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3;
        cp = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4;
        cp = b & 0x07;
    } else {
        return 0;
    }
    if (end - p < len)
        return 0;
    for (int i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    const bool overlong = (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000);
    if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    if (cp < 0x10000 && isUnsafeForDocument(char16_t(cp)))
        return 0;
    return len;
}

// Strict UTF-8 check (see cleanSequenceLength). Reports whether any
// multi-byte sequence occurs.
bool isCleanUtf8(const unsigned char* p, const unsigned char* end, bool& multiByte)
{
    multiByte = false;
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const int len = cleanSequenceLength(p, end);
        if (len == 0)
            return false;
        multiByte = true;
        p += len;
    }
    return true;
}

QString decodeCp1252(const char* data, qsizetype size)
{
    QString out(size, Qt::Uninitialized);
    auto* dst = reinterpret_cast<char16_t*>(out.data());
    const auto* src = reinterpret_cast<const unsigned char*>(data);
    for (qsizetype i = 0; i < size; ++i)
        dst[i] = cp1252ToUnicode(src[i]);
    return out;
}

} // namespace

bool isUnsafeForDocument(char16_t c)
{
    // Paragraph separator and the two frame markers are block boundaries
    // inside the document model.
    return c == 0x2029 || c == 0xFDD0 || c == 0xFDD1;
}

DecodedText decodeText(const QByteArray& bytes)
{
    DecodedText result;
    const auto* begin = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto* end = begin + bytes.size();
    const bool bom = startsWithBom(bytes);
    bool multiByte = false;
    if (isCleanUtf8(begin + (bom ? 3 : 0), end, multiByte) && (bom || multiByte)) {
        result.format.encoding = Encoding::Utf8;
        result.format.byteOrderMark = bom;
        // A second byte-order mark right after the first is text, not a mark.
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        const qsizetype skip = bom ? 3 : 0;
        result.text = decoder(QByteArrayView(bytes).sliced(skip));
    } else {
        result.format.encoding = Encoding::Windows1252;
        result.text = decodeCp1252(bytes.constData(), bytes.size());
    }
    result.format.lineEnding = dominantLineEnding(result.text);
    return result;
}

LineEnding dominantLineEnding(QStringView text)
{
    qsizetype crlf = 0;
    qsizetype lf = 0;
    qsizetype cr = 0;
    const qsizetype n = text.size();
    const char16_t* s = text.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        if (s[i] == u'\n') {
            ++lf;
        } else if (s[i] == u'\r') {
            if (i + 1 < n && s[i + 1] == u'\n') {
                ++crlf;
                ++i;
            } else {
                ++cr;
            }
        }
    }
    if (lf > crlf && lf >= cr)
        return LineEnding::Lf;
    if (cr > crlf && cr > lf)
        return LineEnding::Cr;
    return LineEnding::CrLf;
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

bool canEncode(QStringView text, Encoding encoding)
{
    if (encoding == Encoding::Utf8) {
        // Only an unpaired surrogate has no UTF-8 form.
        const char16_t* s = text.utf16();
        const qsizetype n = text.size();
        for (qsizetype i = 0; i < n; ++i) {
            if (QChar::isHighSurrogate(s[i])) {
                if (i + 1 < n && QChar::isLowSurrogate(s[i + 1])) {
                    ++i;
                    continue;
                }
                return false;
            }
            if (QChar::isLowSurrogate(s[i]))
                return false;
        }
        return true;
    }
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c >= 0x80 && unicodeToCp1252(c) < 0)
            return false;
    }
    return true;
}

bool encodeText(QStringView text, Encoding encoding, QByteArray& out)
{
    if (!canEncode(text, encoding))
        return false;
    if (encoding == Encoding::Utf8) {
        out += text.toUtf8();
        return true;
    }
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char* dst = out.data() + start;
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        *dst++ = char(c < 0x80 ? c : unicodeToCp1252(c));
    }
    return true;
}

} // namespace platform
