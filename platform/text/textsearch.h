#pragma once

#include <QByteArray>
#include <QRect>
#include <QString>

#include <array>
#include <functional>
#include <vector>

namespace platform {

class RichTextBox;

// What is searched for. The text is one line: whatever follows a line break
// in it is left out.
struct SearchRequest
{
    QString text;
    bool matchCase = false;
    bool wholeWord = false;
};

// A stretch of the document in the engine's byte offsets; start < 0: none.
struct TextRange
{
    qsizetype start = -1;
    qsizetype end = -1;
    bool isValid() const { return start >= 0; }
    bool operator==(const TextRange& other) const
    {
        return start == other.start && end == other.end;
    }
};

// Finds a text in the document as it is shown, character by character,
// whatever the file's encoding: without Match Case every character is folded
// (É as é, in every script), a whole word is one that no letter, digit, mark
// or "_" continues on either side, and no match starts or ends inside a
// character. The line breaks that cut the long lines of a read-only document
// are not the file's: a match goes across them, and words continue across
// them.
class TextMatcher
{
public:
    TextMatcher(const RichTextBox& box, const SearchRequest& request);

    bool isEmpty() const { return m_pattern.empty(); }
    // The first match that starts in [from, to), or none.
    TextRange findForward(qsizetype from, qsizetype to) const;
    // The last match that starts in [from, to), or none.
    TextRange findBackward(qsizetype from, qsizetype to) const;
    // The match that starts at `start`, or none.
    TextRange matchAt(qsizetype start) const;
    // How many matches, one after the other, start in [from, to).
    qsizetype count(qsizetype from, qsizetype to) const;
    // Visits the matches, one after the other, that start in [from, to),
    // until visit returns false. Returns where the next match may start (past
    // `to` when the last one goes beyond it), or -1 when visit stopped.
    using Visit = std::function<bool(const TextRange&)>;
    qsizetype forEachMatch(qsizetype from, qsizetype to, const Visit& visit) const;

private:
    struct Window;
    Window window(qsizetype from, qsizetype to) const;
    qsizetype compare(const Window& w, qsizetype start) const;
    TextRange scanBackward(const Window& w, qsizetype from, qsizetype to) const;
    qsizetype scanForward(const Window& w, qsizetype from, qsizetype to, const Visit& visit) const;

    const RichTextBox& m_box;
    std::vector<char32_t> m_pattern; // folded unless the case must match
    bool m_matchCase;
    bool m_wholeWord;
    bool m_wordAtStart = false;            // the pattern's first and last characters
    bool m_wordAtEnd = false;              // belong to words
    std::array<bool, 256> m_leads{};       // the bytes that a match may start with
    std::vector<unsigned char> m_leadList; // the same, when there are few
    qsizetype m_margin = 0;                // bytes past a match's start that a check may read
};

// The search commands on the document: each selects what it finds and
// scrolls it into view.
namespace search {

enum class Found { No, Yes, Wrapped };

// The text up to its first line break: what a search looks for.
QString firstLine(const QString& text);

// The next match after the selection, or with `backward` the one before it;
// with `wrap` the search goes on from the other end of the document.
Found findNext(RichTextBox& box, const SearchRequest& request, bool backward, bool wrap);
// Whether the selection is a match.
bool selectionMatches(const RichTextBox& box, const SearchRequest& request);
// Replaces the selection, when it is a match, with `replacement`, as one
// step that Undo takes back; false when it was not one, the document is
// read-only or the line would grow longer than kMaxLineLength (which the
// control reports).
bool replaceSelection(RichTextBox& box, const SearchRequest& request, const QString& replacement);
// Replaces every match, as one step that Undo takes back; returns how many.
// A read-only document, or one where a line would grow longer than
// kMaxLineLength (which the control reports), is left alone (-1).
qsizetype replaceAll(RichTextBox& box, const SearchRequest& request, const QString& replacement);
// The selection's place on the screen, in global coordinates (its first
// line); empty when it is not in view.
QRect selectionRect(const RichTextBox& box);

// The lines of the file, not counting the cuts of its long lines.
qsizetype lineCount(const RichTextBox& box);
// Puts the caret at the start of a line of the file, counted from 1.
void goToLine(RichTextBox& box, qsizetype line);

} // namespace search

} // namespace platform
