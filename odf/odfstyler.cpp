#include "odf/odfstyler.h"

#include "platform/text/richtextbox.h"

#include <QColor>
#include <QPalette>

#include <algorithm>
#include <cmath>

namespace platform {
namespace {

using Sci = QsciScintillaBase;

// Lines are coloured in runs of up to about this many bytes.
constexpr long kRun = 1024L * 1024;

// Each colour's hue, saturation and lightness on a light and on a dark base.
struct Tint
{
    int hue;
    double saturation;
};
constexpr Tint kTints[OdfStyler::StyleCount] = {
    {0, 0},      // Plain: the text colour itself
    {120, 0.7},  // Comment: green
    {285, 0.6},  // Include: violet
    {175, 0.8},  // Section: teal
    {220, 0.8},  // Key: blue
    {28, 0.85},  // Number: brown, orange on dark
    {350, 0.75}, // String: red
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isWordChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool startsComment(const char* s, qsizetype at, qsizetype n)
{
    return at + 1 < n && s[at] == '/' && s[at + 1] == '/';
}

qsizetype skipBlanks(const char* s, qsizetype at, qsizetype n)
{
    while (at < n && isBlank(s[at]))
        ++at;
    return at;
}

// 8, -3, 25.0, .5, 0.25f: digits with at most one point, an optional sign
// before them and an optional f after them.
bool isNumber(const char* s, qsizetype n)
{
    qsizetype at = (n > 0 && (s[0] == '-' || s[0] == '+')) ? 1 : 0;
    if (n > at && (s[n - 1] == 'f' || s[n - 1] == 'F'))
        --n;
    bool digits = false;
    bool point = false;
    for (; at < n; ++at) {
        if (s[at] >= '0' && s[at] <= '9')
            digits = true;
        else if (s[at] == '.' && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

// Colours the start of a line: an include keyword, a [Section] header or a
// key name. Returns where the values start; quoted is the style that their
// quoted strings take.
qsizetype styleHead(QByteArrayView line, char* out, char& quoted)
{
    const char* s = line.data();
    const qsizetype n = line.size();
    const qsizetype at = skipBlanks(s, 0, n);
    if (line.sliced(at).startsWith("#include") &&
        (at + 8 == n || isBlank(s[at + 8]) || s[at + 8] == '"')) {
        std::fill(out + at, out + at + 8, char(OdfStyler::Include));
        quoted = OdfStyler::Include; // the file name
        return at + 8;
    }
    if (at < n && s[at] == '[') {
        const qsizetype close = line.indexOf(']', at);
        const qsizetype end = close < 0 ? n : close + 1;
        std::fill(out + at, out + end, char(OdfStyler::Section));
        return end;
    }
    const QByteArrayView key = OdfStyler::keyOf(line);
    if (key.isEmpty())
        return at;
    const qsizetype start = key.data() - s;
    std::fill(out + start, out + start + key.size(), char(OdfStyler::Key));
    return start + key.size();
}

// Blanks take the colour of the tokens beside them where that is one colour,
// or of the one token beside them at the start or the end of a line: a blank
// looks the same in any colour, and the engine draws each run of one style
// in one piece, so fewer runs paint faster.
void joinBlanks(const char* s, qsizetype n, char* out)
{
    for (qsizetype at = 0; at < n;) {
        qsizetype end = at;
        while (end < n && isBlank(s[end]))
            ++end;
        if (end > at && (at > 0 || end < n)) {
            const char before = at > 0 ? out[at - 1] : out[end];
            const char after = end < n ? out[end] : before;
            if (before == after)
                std::fill(out + at, out + end, before);
        }
        at = std::max(end, at + 1);
    }
}

// Colours one line, without its line break: after its start come values,
// quoted strings, numbers and other words; a // outside quotes makes the rest
// of the line a comment.
void styleLine(const char* s, qsizetype n, char* out)
{
    std::fill(out, out + n, char(OdfStyler::Plain));
    const QByteArrayView line(s, n);
    char quoted = OdfStyler::String;
    for (qsizetype at = styleHead(line, out, quoted); at < n;) {
        if (isBlank(s[at]) || s[at] == '=') {
            ++at;
        } else if (startsComment(s, at, n)) {
            std::fill(out + at, out + n, char(OdfStyler::Comment));
            break;
        } else if (s[at] == '"') {
            const qsizetype close = line.indexOf('"', at + 1);
            const qsizetype end = close < 0 ? n : close + 1; // unterminated: to the line's end
            std::fill(out + at, out + end, quoted);
            at = end;
        } else {
            qsizetype end = at;
            while (end < n && !isBlank(s[end]) && s[end] != '"' && s[end] != '=' &&
                   !startsComment(s, end, n))
                ++end;
            if (isNumber(s + at, end - at))
                std::fill(out + at, out + end, char(OdfStyler::Number));
            at = end;
        }
    }
    joinBlanks(s, n, out);
}

// The WCAG relative luminance of a colour.
double luminance(const QColor& colour)
{
    const auto linear = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

QColor mix(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

} // namespace

OdfStyler::OdfStyler(RichTextBox* box) : QObject(box), m_box(box)
{
    m_box->SendScintilla(Sci::SCI_SETLEXER, long(Sci::SCLEX_CONTAINER));
    m_box->SendScintilla(Sci::SCI_SETIDLESTYLING, long(Sci::SC_IDLESTYLING_TOVISIBLE));
    applyColours();
    // The box marks its text plain whenever the engine asks; this answers instead.
    disconnect(m_box, &Sci::SCN_STYLENEEDED, m_box, nullptr);
    connect(m_box, &RichTextBox::looksChanged, this, &OdfStyler::applyColours);
    connect(m_box, &Sci::SCN_STYLENEEDED, this, &OdfStyler::styleNeeded);
    connect(m_box, &Sci::SCN_MODIFIED, this,
            [this](int position, int type, const char*, int length, int, int, int, int, int, int) {
                beforeChange(position, type, length);
            });
}

QByteArrayView OdfStyler::keyOf(QByteArrayView line)
{
    const char* s = line.data();
    const qsizetype n = line.size();
    const qsizetype start = skipBlanks(s, 0, n);
    qsizetype end = start;
    while (end < n && isWordChar(s[end]))
        ++end;
    const bool word = end > start && !(s[start] >= '0' && s[start] <= '9');
    const qsizetype equals = skipBlanks(s, end, n);
    if (!word || equals >= n || s[equals] != '=')
        return {};
    return line.sliced(start, end - start);
}

void OdfStyler::style(QByteArrayView text, char* styles)
{
    const char* s = text.data();
    const qsizetype n = text.size();
    for (qsizetype at = 0; at < n;) {
        qsizetype end = at;
        while (end < n && s[end] != '\r' && s[end] != '\n')
            ++end;
        const qsizetype shown = std::min(end - at, kLongLine);
        styleLine(s + at, shown, styles + at);
        std::fill(styles + at + shown, styles + end, char(Plain));
        for (at = end; at < n && (s[at] == '\r' || s[at] == '\n'); ++at)
            styles[at] = Plain;
    }
}

double OdfStyler::contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor OdfStyler::colour(Style style, const QPalette& palette)
{
    const QColor base = palette.color(QPalette::Base);
    QColor text = palette.color(QPalette::Text);
    const bool darkBase = luminance(base) < 0.18;
    if (contrast(text, base) < 4.5)
        text = darkBase ? QColor(Qt::white) : QColor(Qt::black);
    if (style == Plain)
        return palette.color(QPalette::Text);
    const Tint tint = kTints[style];
    const QColor hue =
        QColor::fromHslF(float(tint.hue / 360.0), float(tint.saturation), darkBase ? 0.72F : 0.33F);
    for (int step = 0; step < 20; ++step) {
        const QColor candidate = mix(hue, text, step / 20.0);
        if (contrast(candidate, base) >= 4.5)
            return candidate;
    }
    return text;
}

void OdfStyler::applyColours()
{
    const QPalette& palette = m_box->palette();
    for (int style = Comment; style < StyleCount; ++style)
        m_box->SendScintilla(Sci::SCI_STYLESETFORE, static_cast<unsigned long>(style),
                             colour(Style(style), palette));
}

// The engine asks for the lines from the first one it holds as changed (the
// start of its styling) to the end of what it paints, and keeps each paint
// to what it can colour in a few milliseconds: a jump far down the text is
// painted at once and coloured in the idle time after it.
void OdfStyler::styleNeeded(long position)
{
    RichTextBox& box = *m_box;
    const long endStyled = box.SendScintilla(Sci::SCI_GETENDSTYLED);
    position = std::min(position, box.SendScintilla(Sci::SCI_GETLENGTH));
    if (position <= endStyled)
        return;
    if (box.isReadOnly()) { // lines cut for showing only stay plain, as read
        box.SendScintilla(Sci::SCI_STARTSTYLING, static_cast<unsigned long>(position), 0L);
        return;
    }
    const long first =
        box.SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(endStyled));
    const long last =
        box.SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(position - 1));
    styleLines(first, last);
    box.SendScintilla(Sci::SCI_STARTSTYLING,
                      static_cast<unsigned long>(box.SendScintilla(
                          Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(last + 1))),
                      0L);
}

// Colours whole lines, in runs of short lines read straight from the engine's
// buffer; of a long line, its first kLongLine bytes.
void OdfStyler::styleLines(long first, long last)
{
    RichTextBox& box = *m_box;
    const auto lineStart = [&box](long line) {
        return box.SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    };
    for (long line = first; line <= last;) {
        const long start = lineStart(line);
        long end = start;
        for (; line <= last && end - start < kRun; ++line) {
            const long lineEnd =
                box.SendScintilla(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
            if (lineEnd - end > kLongLine) {
                if (end == start) { // the long line alone
                    end = start + kLongLine;
                    ++line;
                }
                break;
            }
            end = lineStart(line + 1);
        }
        const auto* text = reinterpret_cast<const char*>( // NOLINT(performance-no-int-to-ptr)
            box.SendScintilla(Sci::SCI_GETRANGEPOINTER, static_cast<unsigned long>(start),
                              end - start));
        m_styles.resize(end - start);
        style(QByteArrayView(text, end - start), m_styles.data());
        box.SendScintilla(Sci::SCI_STARTSTYLING, static_cast<unsigned long>(start), 0L);
        box.SendScintilla(Sci::SCI_SETSTYLINGEX, static_cast<uintptr_t>(end - start),
                          m_styles.constData());
    }
}

// Colours are only ever set on the first kLongLine bytes of a line. An edit
// that makes or keeps a line longer than that could move coloured bytes
// beyond them, where no later paint would reach them: those bytes are made
// plain before it, at a cost bounded by kLongLine. What then stays in the
// first kLongLine bytes is coloured afresh when painted.
void OdfStyler::beforeChange(long position, int type, long length)
{
    RichTextBox& box = *m_box;
    const auto lineOf = [&box](long at) {
        return box.SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(at));
    };
    const auto lineStart = [&box](long line) {
        return box.SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    };
    const auto lineEnd = [&box](long line) {
        return box.SendScintilla(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
    };
    if (type & Sci::SC_MOD_BEFOREINSERT) {
        const long line = lineOf(position);
        if (lineEnd(line) - lineStart(line) + length > kLongLine)
            setPlain(position, std::min<long>(lineEnd(line), lineStart(line) + kLongLine));
    } else if (type & Sci::SC_MOD_BEFOREDELETE) {
        // Joining lines: what follows the deletion comes after the first line's head.
        const long end = position + length;
        const long line = lineOf(end);
        if (line != lineOf(position) &&
            position - lineStart(lineOf(position)) + lineEnd(line) - end > kLongLine)
            setPlain(end, std::min<long>(lineEnd(line), lineStart(line) + kLongLine));
    }
}

void OdfStyler::setPlain(long start, long end)
{
    if (end <= start)
        return;
    const long endStyled = m_box->SendScintilla(Sci::SCI_GETENDSTYLED);
    m_box->SendScintilla(Sci::SCI_STARTSTYLING, static_cast<unsigned long>(start), 0L);
    m_box->SendScintilla(Sci::SCI_SETSTYLING, static_cast<unsigned long>(end - start), long(Plain));
    m_box->SendScintilla(Sci::SCI_STARTSTYLING, static_cast<unsigned long>(endStyled), 0L);
}

} // namespace platform
