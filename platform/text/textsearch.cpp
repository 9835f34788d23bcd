#include "platform/text/textsearch.h"

#include "platform/text/richtextbox.h"
#include "platform/text/textfile.h"

#include <QHash>

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

using Sci = QsciScintillaBase;

// The document is searched in stretches of this many bytes, so that no search
// moves the engine's gap across more than that.
constexpr qsizetype kChunk = qsizetype(1) << 20;
// Matches are looked for with memchr when they can start with at most this
// many bytes.
constexpr size_t kMaxLeads = 8;
// Replace All replaces so many matches at a time.
constexpr size_t kBatch = 65536;
// Every character that folds to another lies below this.
constexpr char32_t kLastCased = 0x1FFFF;

char32_t fold(char32_t c)
{
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
    return QChar::toCaseFolded(c);
}

bool isWordChar(char32_t c)
{
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_';
    return QChar::isLetterOrNumber(c) || QChar::isMark(c);
}

unsigned char leadByte(char32_t c)
{
    if (c < 0x80)
        return static_cast<unsigned char>(c);
    if (c < 0x800)
        return static_cast<unsigned char>(0xC0 | (c >> 6));
    if (c < 0x10000)
        return static_cast<unsigned char>(0xE0 | (c >> 12));
    return static_cast<unsigned char>(0xF0 | (c >> 18));
}

// The character at p, of the n bytes there; a byte that starts no UTF-8
// character counts as one of its own.
char32_t decode(const unsigned char* p, qsizetype n, int& length)
{
    const unsigned char b = p[0];
    length = 1;
    if (b < 0x80)
        return b;
    const int size = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    if (size == 1 || size > n)
        return 0xFFFD;
    char32_t c = b & (0x7F >> size);
    for (int i = 1; i < size; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0xFFFD;
        c = (c << 6) | (p[i] & 0x3F);
    }
    length = size;
    return c;
}

// The first bytes of every character that folds to c.
const std::array<bool, 256>& leadsFoldingTo(char32_t c)
{
    static QHash<char32_t, std::array<bool, 256>> known;
    auto found = known.find(c);
    if (found == known.end()) {
        std::array<bool, 256> leads{};
        for (char32_t other = 0; other <= kLastCased; ++other) {
            if (fold(other) == c)
                leads[leadByte(other)] = true;
        }
        found = known.insert(c, leads);
    }
    return *found;
}

bool isCut(const LineCuts& cuts, qsizetype offset)
{
    return !cuts.empty() && std::binary_search(cuts.begin(), cuts.end(), offset);
}

qsizetype documentLength(const RichTextBox& box)
{
    return box.SendScintilla(Sci::SCI_GETLENGTH);
}

} // namespace

// Bytes of the document from `base` to `end`, where the engine holds them.
struct TextMatcher::Window
{
    const unsigned char* bytes = nullptr;
    qsizetype base = 0;
    qsizetype end = 0;
    const LineCuts* cuts = nullptr;

    const unsigned char* at(qsizetype offset) const { return bytes + (offset - base); }
    char32_t charAt(qsizetype offset, int& length) const
    {
        return decode(at(offset), end - offset, length);
    }
    // The character that ends at offset, looking back over a cut.
    char32_t charBefore(qsizetype offset) const
    {
        if (offset > base && isCut(*cuts, offset - 1))
            --offset;
        qsizetype lead = offset - 1;
        while (lead > base && offset - lead < 4 && (*at(lead) & 0xC0) == 0x80)
            --lead;
        int length = 0;
        return lead >= base ? charAt(lead, length) : U' ';
    }
};

TextMatcher::TextMatcher(const RichTextBox& box, const SearchRequest& request)
    : m_box(box), m_matchCase(request.matchCase), m_wholeWord(request.wholeWord)
{
    const QList<uint> chars = search::firstLine(request.text).toUcs4();
    for (const uint c : chars)
        m_pattern.push_back(m_matchCase ? c : fold(c));
    if (m_pattern.empty())
        return;
    m_wordAtStart = isWordChar(m_pattern.front());
    m_wordAtEnd = isWordChar(m_pattern.back());
    if (m_matchCase)
        m_leads[leadByte(m_pattern.front())] = true;
    else
        m_leads = leadsFoldingTo(m_pattern.front());
    for (int b = 0; b < 256; ++b) {
        if (m_leads[size_t(b)])
            m_leadList.push_back(static_cast<unsigned char>(b));
    }
    if (m_leadList.size() > kMaxLeads)
        m_leadList.clear(); // each byte is looked at instead
    // Four bytes a character at most, a cut in every character at most, and
    // the character after the match.
    m_margin = 5 * qsizetype(m_pattern.size()) + 16;
}

TextMatcher::Window TextMatcher::window(qsizetype from, qsizetype to) const
{
    Window w;
    w.cuts = &m_box.lineCuts();
    w.base = std::max<qsizetype>(0, from - 8);
    w.end = std::min(documentLength(m_box), to + m_margin);
    if (w.end > w.base)
        w.bytes = reinterpret_cast<const unsigned char*>( // NOLINT(performance-no-int-to-ptr)
            m_box.SendScintilla(Sci::SCI_GETRANGEPOINTER, static_cast<unsigned long>(w.base),
                                long(w.end - w.base)));
    return w;
}

// The end of the match that starts at `start`, or -1.
qsizetype TextMatcher::compare(const Window& w, qsizetype start) const
{
    const LineCuts& cuts = *w.cuts;
    auto cut = std::lower_bound(cuts.begin(), cuts.end(), start);
    qsizetype at = start;
    for (const char32_t wanted : m_pattern) {
        if (cut != cuts.end() && *cut == at) {
            ++at;
            ++cut;
        }
        if (at >= w.end)
            return -1;
        int length = 0;
        const char32_t c = w.charAt(at, length);
        if ((m_matchCase ? c : fold(c)) != wanted)
            return -1;
        at += length;
    }
    if (m_wholeWord) {
        if (m_wordAtStart && start > 0 && isWordChar(w.charBefore(start)))
            return -1;
        const qsizetype after = isCut(cuts, at) ? at + 1 : at;
        int length = 0;
        if (m_wordAtEnd && after < w.end && isWordChar(w.charAt(after, length)))
            return -1;
    }
    return at;
}

TextRange TextMatcher::scanBackward(const Window& w, qsizetype from, qsizetype to) const
{
    for (qsizetype s = std::min(to, w.end) - 1; w.bytes != nullptr && s >= from; --s) {
        if (m_leads[*w.at(s)]) {
            const qsizetype end = compare(w, s);
            if (end >= 0)
                return {s, end};
        }
    }
    return {};
}

// Returns where the matches after `to` may start, or -1 once visit stops.
qsizetype TextMatcher::scanForward(const Window& w, qsizetype from, qsizetype to,
                                   const Visit& visit) const
{
    to = std::min(to, w.end);
    // The next place of each byte that a match may start with, found with
    // memchr, which is many times faster than a look at every byte.
    std::array<qsizetype, kMaxLeads> next{};
    next.fill(-1);
    qsizetype s = from;
    while (w.bytes != nullptr && s < to) {
        qsizetype nearest = to;
        for (size_t i = 0; i < m_leadList.size(); ++i) {
            if (next[i] < s) {
                const void* found = std::memchr(w.at(s), m_leadList[i], size_t(to - s));
                next[i] = found == nullptr
                              ? to
                              : w.base + (static_cast<const unsigned char*>(found) - w.bytes);
            }
            nearest = std::min(nearest, next[i]);
        }
        if (m_leadList.empty() ? !m_leads[*w.at(s)] : (s = nearest) >= to) {
            ++s;
            continue;
        }
        const qsizetype end = compare(w, s);
        if (end < 0) {
            ++s;
        } else if (!visit({s, end})) {
            return -1;
        } else {
            s = end;
        }
    }
    return std::max(s, to);
}

qsizetype TextMatcher::forEachMatch(qsizetype from, qsizetype to, const Visit& visit) const
{
    to = std::min(to, documentLength(m_box));
    qsizetype at = std::max<qsizetype>(from, 0);
    while (!isEmpty() && at >= 0 && at < to) {
        const qsizetype end = std::min(to, at + kChunk);
        at = scanForward(window(at, end), at, end, visit);
    }
    return at < 0 ? -1 : std::max(at, to);
}

TextRange TextMatcher::findForward(qsizetype from, qsizetype to) const
{
    TextRange first;
    forEachMatch(from, to, [&first](const TextRange& found) {
        first = found;
        return false;
    });
    return first;
}

TextRange TextMatcher::findBackward(qsizetype from, qsizetype to) const
{
    from = std::max<qsizetype>(from, 0);
    for (qsizetype chunk = std::min(to, documentLength(m_box)); !isEmpty() && chunk > from;
         chunk -= kChunk) {
        const qsizetype start = std::max(from, chunk - kChunk);
        const TextRange found = scanBackward(window(start, chunk), start, chunk);
        if (found.isValid())
            return found;
    }
    return {};
}

TextRange TextMatcher::matchAt(qsizetype start) const
{
    if (isEmpty() || start < 0 || start >= documentLength(m_box))
        return {};
    const Window w = window(start, start + 1);
    const qsizetype end = w.bytes != nullptr && m_leads[*w.at(start)] ? compare(w, start) : -1;
    return end >= 0 ? TextRange{start, end} : TextRange{};
}

qsizetype TextMatcher::count(qsizetype from, qsizetype to) const
{
    qsizetype found = 0;
    forEachMatch(from, to, [&found](const TextRange&) { return ++found > 0; });
    return found;
}

namespace search {
namespace {

void select(RichTextBox& box, const TextRange& range)
{
    box.SendScintilla(Sci::SCI_SETSEL, static_cast<unsigned long>(range.start), long(range.end));
    box.SendScintilla(Sci::SCI_SCROLLRANGE, static_cast<unsigned long>(range.end),
                      long(range.start));
}

TextRange selection(const RichTextBox& box)
{
    return {box.SendScintilla(Sci::SCI_GETSELECTIONSTART),
            box.SendScintilla(Sci::SCI_GETSELECTIONEND)};
}

void replaceRange(RichTextBox& box, const TextRange& range, const QByteArray& bytes)
{
    box.SendScintilla(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(range.start),
                      long(range.end));
    box.SendScintilla(Sci::SCI_REPLACETARGET, static_cast<uintptr_t>(bytes.size()),
                      bytes.constData());
}

qsizetype lineLength(const RichTextBox& box, qsizetype offset)
{
    const long line =
        box.SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(offset));
    return box.SendScintilla(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line)) -
           box.SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
}

// Whether no line grows past kMaxLineLength when every match is replaced by
// `length` bytes: the lines of an edit are checked before it is made.
bool linesFit(const RichTextBox& box, const TextMatcher& matcher, qsizetype length)
{
    qsizetype lineEnd = -1;
    qsizetype size = 0; // the line's length with the replacements so far
    bool fits = true;
    matcher.forEachMatch(0, documentLength(box), [&](const TextRange& found) {
        if (found.start > lineEnd) {
            const long line = box.SendScintilla(Sci::SCI_LINEFROMPOSITION,
                                                static_cast<unsigned long>(found.start));
            lineEnd =
                box.SendScintilla(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
            size = lineLength(box, found.start);
        }
        const qsizetype growth = length - (found.end - found.start);
        size += growth;
        fits = growth <= 0 || size <= kMaxLineLength;
        return fits;
    });
    return fits;
}

// The replacement as the engine holds it: one line, like the searched text.
QByteArray replacementBytes(const QString& replacement)
{
    return firstLine(replacement).toUtf8();
}

} // namespace

QString firstLine(const QString& text)
{
    const auto* end =
        std::find_if(text.begin(), text.end(), [](QChar c) { return c == u'\r' || c == u'\n'; });
    return text.left(end - text.begin());
}

Found findNext(RichTextBox& box, const SearchRequest& request, bool backward, bool wrap)
{
    const TextMatcher matcher(box, request);
    const TextRange selected = selection(box);
    const qsizetype length = documentLength(box);
    TextRange found = backward ? matcher.findBackward(0, selected.start)
                               : matcher.findForward(selected.end, length);
    Found result = Found::Yes;
    if (!found.isValid() && wrap) {
        found = backward ? matcher.findBackward(selected.start, length)
                         : matcher.findForward(0, selected.end);
        result = Found::Wrapped;
    }
    if (!found.isValid())
        return Found::No;
    select(box, found);
    return result;
}

bool selectionMatches(const RichTextBox& box, const SearchRequest& request)
{
    const TextRange selected = selection(box);
    return selected.end > selected.start &&
           TextMatcher(box, request).matchAt(selected.start) == selected;
}

bool replaceSelection(RichTextBox& box, const SearchRequest& request, const QString& replacement)
{
    if (box.isReadOnly() || !selectionMatches(box, request))
        return false;
    const TextRange selected = selection(box);
    const QByteArray bytes = replacementBytes(replacement);
    const qsizetype growth = bytes.size() - (selected.end - selected.start);
    if (!box.editAsOneStep(growth <= 0 ||
                               lineLength(box, selected.start) + growth <= kMaxLineLength,
                           [&] { replaceRange(box, selected, bytes); }))
        return false;
    box.SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(selected.start + bytes.size()));
    return true;
}

// The matches are those of the text before any replacement; they are taken
// in batches, each replaced from its end back, so that the offsets of those
// before stay right and the engine's gap only moves across the batch.
qsizetype replaceAll(RichTextBox& box, const SearchRequest& request, const QString& replacement)
{
    if (box.isReadOnly())
        return -1;
    const TextMatcher matcher(box, request);
    const QByteArray bytes = replacementBytes(replacement);
    qsizetype replaced = 0;
    std::vector<TextRange> batch;
    const bool fits = linesFit(box, matcher, bytes.size());
    box.editAsOneStep(fits, [&] {
        for (qsizetype at = 0; at >= 0;) {
            batch.clear();
            at = matcher.forEachMatch(at, documentLength(box), [&batch](const TextRange& found) {
                batch.push_back(found);
                return batch.size() < kBatch;
            });
            for (auto found = batch.rbegin(); found != batch.rend(); ++found)
                replaceRange(box, *found, bytes);
            replaced += qsizetype(batch.size());
            if (at < 0) // the batch is full: on after its last replacement
                at = batch.back().start + bytes.size();
            else
                break;
        }
    });
    return fits ? replaced : -1;
}

QRect selectionRect(const RichTextBox& box)
{
    const TextRange selected = selection(box);
    const auto pointOf = [&box](qsizetype offset) {
        return QPoint(int(box.SendScintilla(Sci::SCI_POINTXFROMPOSITION, 0UL, long(offset))),
                      int(box.SendScintilla(Sci::SCI_POINTYFROMPOSITION, 0UL, long(offset))));
    };
    const long line =
        box.SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(selected.start));
    const QPoint start = pointOf(selected.start);
    const QPoint end = pointOf(selected.end);
    const int height =
        int(box.SendScintilla(Sci::SCI_TEXTHEIGHT, static_cast<unsigned long>(line)));
    QRect rect(start,
               QSize(end.y() == start.y() ? end.x() - start.x() : box.viewport()->width(), height));
    rect = rect.intersected(box.viewport()->rect());
    return rect.isEmpty() ? QRect()
                          : QRect(box.viewport()->mapToGlobal(rect.topLeft()), rect.size());
}

qsizetype lineCount(const RichTextBox& box)
{
    return box.SendScintilla(Sci::SCI_GETLINECOUNT) - qsizetype(box.lineCuts().size());
}

// The engine's first line of the file's line: the first whose number, less
// the cuts before it, reaches the line's.
void goToLine(RichTextBox& box, qsizetype line)
{
    const LineCuts& cuts = box.lineCuts();
    const auto startOf = [&box](qsizetype engineLine) {
        return qsizetype(
            box.SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(engineLine)));
    };
    qsizetype low = line - 1;
    qsizetype high = box.SendScintilla(Sci::SCI_GETLINECOUNT) - 1;
    while (low < high) {
        const qsizetype middle = low + (high - low) / 2;
        const auto before = std::lower_bound(cuts.begin(), cuts.end(), startOf(middle));
        if (middle - (before - cuts.begin()) >= line - 1)
            high = middle;
        else
            low = middle + 1;
    }
    box.SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(startOf(low)));
}

} // namespace search

} // namespace platform
