#include "platform/text/searchmarks.h"

#include "platform/text/richtextbox.h"

#include <algorithm>

namespace platform {
namespace {

using Sci = QsciScintillaBase;

// Counting goes on for this many bytes of the document at each turn of the
// event loop: a millisecond or two.
constexpr qsizetype kSlice = qsizetype(256) << 10;
// Every so many matches the counter notes where one starts.
constexpr qsizetype kStride = 1024;
// The indicator of the marks: the first that the engine leaves to its host.
constexpr unsigned long kIndicator = Sci::INDIC_CONTAINER;
// Of a line longer than this, only its start is looked at for marks.
constexpr qsizetype kMarkedLength = qsizetype(64) * 1024;

qsizetype documentLength(const RichTextBox& box)
{
    return box.SendScintilla(Sci::SCI_GETLENGTH);
}

} // namespace

MatchCounter::MatchCounter(RichTextBox& box, QObject* parent) : QObject(parent), m_box(&box)
{
    m_slices.setInterval(0);
    connect(&m_slices, &QTimer::timeout, this, &MatchCounter::countSlice);
    connect(m_box, &RichTextBox::Change, this, &MatchCounter::restart);
}

MatchCounter::~MatchCounter() = default;

void MatchCounter::setRequest(const SearchRequest& request)
{
    m_request = request;
    restart();
}

void MatchCounter::restart()
{
    m_matcher = std::make_unique<TextMatcher>(*m_box, m_request);
    m_next = 0;
    m_total = 0;
    m_checkpoints.clear();
    m_done = false;
    m_slices.start();
}

void MatchCounter::countSlice()
{
    if (m_box == nullptr)
        return m_slices.stop();
    m_next = m_matcher->forEachMatch(m_next, m_next + kSlice, [this](const TextRange& found) {
        if (m_total % kStride == 0)
            m_checkpoints.push_back(found.start);
        ++m_total;
        return true;
    });
    if (m_next < documentLength(*m_box) && !m_matcher->isEmpty())
        return;
    m_slices.stop();
    m_done = true;
    emit counted();
}

qsizetype MatchCounter::indexOfSelection() const
{
    if (!m_done)
        return 0;
    const qsizetype start = m_box->SendScintilla(Sci::SCI_GETSELECTIONSTART);
    const auto after = std::upper_bound(m_checkpoints.begin(), m_checkpoints.end(), start);
    if (after == m_checkpoints.begin())
        return 0;
    const qsizetype passed = after - m_checkpoints.begin() - 1;
    return passed * kStride + m_matcher->count(m_checkpoints[size_t(passed)], start + 1);
}

SearchMarks::SearchMarks(RichTextBox& box, QObject* parent) : QObject(parent), m_box(&box)
{
    m_box->SendScintilla(Sci::SCI_INDICSETSTYLE, kIndicator, long(Sci::INDIC_ROUNDBOX));
    m_box->SendScintilla(Sci::SCI_INDICSETALPHA, kIndicator, 40L);
    m_box->SendScintilla(Sci::SCI_INDICSETOUTLINEALPHA, kIndicator, 255L);
    m_box->SendScintilla(Sci::SCI_INDICSETUNDER, kIndicator, 1L);
    connect(m_box, &Sci::SCN_UPDATEUI, this, &SearchMarks::update);
}

SearchMarks::~SearchMarks()
{
    if (m_box != nullptr)
        clear();
}

void SearchMarks::setRequest(const SearchRequest& request)
{
    m_request = request;
    update();
}

void SearchMarks::setColour(const QColor& colour)
{
    m_box->SendScintilla(Sci::SCI_INDICSETFORE, kIndicator, colour);
}

void SearchMarks::clear()
{
    m_box->SendScintilla(Sci::SCI_SETINDICATORCURRENT, long(kIndicator));
    m_box->SendScintilla(Sci::SCI_INDICATORCLEARRANGE, 0UL, long(documentLength(*m_box)));
}

// The lines in view are looked at as one stretch, so that a match across the
// cut of a long line is marked as well.
void SearchMarks::update()
{
    clear();
    const TextMatcher matcher(*m_box, m_request);
    if (matcher.isEmpty())
        return;
    const long first = m_box->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE);
    const long last = first + m_box->SendScintilla(Sci::SCI_LINESONSCREEN);
    const qsizetype start =
        m_box->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(first));
    const qsizetype end = std::min<qsizetype>(
        m_box->SendScintilla(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(last)),
        start + (last - first + 1) * kMarkedLength);
    const qsizetype selected = m_box->SendScintilla(Sci::SCI_GETSELECTIONSTART);
    matcher.forEachMatch(start, end, [this, selected](const TextRange& found) {
        if (found.start != selected)
            m_box->SendScintilla(Sci::SCI_INDICATORFILLRANGE,
                                 static_cast<unsigned long>(found.start),
                                 long(found.end - found.start));
        return true;
    });
}

std::vector<TextRange> SearchMarks::marked() const
{
    std::vector<TextRange> ranges;
    const long length = long(documentLength(*m_box));
    for (long at = 0; at < length;) {
        const long end = m_box->SendScintilla(Sci::SCI_INDICATOREND, kIndicator, at);
        if (m_box->SendScintilla(Sci::SCI_INDICATORVALUEAT, kIndicator, at) != 0)
            ranges.push_back({at, end});
        at = end > at ? end : length;
    }
    return ranges;
}

} // namespace platform
