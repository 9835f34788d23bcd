#pragma once

#include "platform/text/textsearch.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <vector>

namespace platform {

// Counts the matches of a search in the whole document, a slice at a time
// from the event loop, so that no key waits for the count of a large
// document; the count is started again whenever the text changes.
class MatchCounter : public QObject
{
    Q_OBJECT
public:
    MatchCounter(RichTextBox& box, QObject* parent);
    ~MatchCounter() override;
    MatchCounter(const MatchCounter&) = delete;
    MatchCounter& operator=(const MatchCounter&) = delete;

    void setRequest(const SearchRequest& request);
    // The number of matches, or -1 while they are being counted.
    qsizetype total() const { return m_done ? m_total : -1; }
    // The number, from 1, of the match that starts where the selection does,
    // or 0 while the matches are being counted.
    qsizetype indexOfSelection() const;

signals:
    // Raised once the count is known.
    void counted();

private:
    void restart();
    void countSlice();

    QPointer<RichTextBox> m_box; // may go first
    SearchRequest m_request;
    std::unique_ptr<TextMatcher> m_matcher;
    QTimer m_slices;
    qsizetype m_next = 0; // where counting goes on
    qsizetype m_total = 0;
    bool m_done = false;
    std::vector<qsizetype> m_checkpoints; // the start of every kStride-th match
};

// Marks every match in view, but the selected one, with an indicator of the
// given colour, for as long as it lives.
class SearchMarks : public QObject
{
    Q_OBJECT
public:
    SearchMarks(RichTextBox& box, QObject* parent);
    ~SearchMarks() override;
    SearchMarks(const SearchMarks&) = delete;
    SearchMarks& operator=(const SearchMarks&) = delete;

    void setRequest(const SearchRequest& request);
    void setColour(const QColor& colour);
    // The marks as the document holds them, for checking.
    std::vector<TextRange> marked() const;

private:
    void update();
    void clear();

    QPointer<RichTextBox> m_box; // may go first
    SearchRequest m_request;
};

} // namespace platform
