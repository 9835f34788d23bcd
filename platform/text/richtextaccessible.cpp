#include "platform/text/richtextaccessible.h"

#include "platform/text/richtextbox.h"

#include <algorithm>

namespace platform {
namespace {

using Sci = QsciScintillaBase;

// A few lines of the document, for Qt's own boundary search (characters,
// words, sentences, lines), which reads the whole text it is given.
class TextWindow : public QAccessibleTextInterface
{
public:
    explicit TextWindow(QString text) : m_text(std::move(text)) {}
    QString text(int startOffset, int endOffset) const override
    {
        return m_text.mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(m_text.size()); }

    void selection(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = 0;
        return {};
    }

private:
    QString m_text;
};

} // namespace

RichTextAccessible::RichTextAccessible(RichTextBox* box)
    : QAccessibleWidget(box, QAccessible::EditableText)
{
}

QAccessibleInterface* RichTextAccessible::create(const QString& className, QObject* object)
{
    if (className == QLatin1String("platform::RichTextBox") && object != nullptr &&
        object->isWidgetType())
        return new RichTextAccessible(static_cast<RichTextBox*>(object));
    return nullptr;
}

RichTextBox* RichTextAccessible::box() const
{
    return static_cast<RichTextBox*>(widget());
}

QAccessible::State RichTextAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.editable = true;
    s.multiLine = true;
    s.selectableText = true;
    s.focusable = true;
    s.readOnly = false;
    return s;
}

void* RichTextAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

void RichTextAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || selectionCount() == 0)
        return;
    const qsizetype anchor = box()->anchorPosition();
    const qsizetype caret = box()->cursorPosition();
    *startOffset = int(std::min(anchor, caret));
    *endOffset = int(std::max(anchor, caret));
}

int RichTextAccessible::selectionCount() const
{
    return box()->SendScintilla(Sci::SCI_GETSELECTIONEMPTY) ? 0 : 1;
}

void RichTextAccessible::addSelection(int startOffset, int endOffset)
{
    box()->setSelection(startOffset, endOffset);
}

void RichTextAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        box()->setCursorPosition(box()->cursorPosition());
}

void RichTextAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        box()->setSelection(startOffset, endOffset);
}

int RichTextAccessible::cursorPosition() const
{
    return int(box()->cursorPosition());
}

void RichTextAccessible::setCursorPosition(int position)
{
    box()->setCursorPosition(position);
}

QString RichTextAccessible::text(QAccessible::Text t) const
{
    return QAccessibleWidget::text(t);
}

QString RichTextAccessible::text(int startOffset, int endOffset) const
{
    return box()->textOfRange(box()->toOffset(startOffset), box()->toOffset(endOffset));
}

QString RichTextAccessible::textNear(Side side, int offset,
                                     QAccessible::TextBoundaryType boundaryType, int* startOffset,
                                     int* endOffset) const
{
    *startOffset = *endOffset = -1;
    if (boundaryType == QAccessible::NoBoundary) {
        if (side != Side::At)
            return {};
        *startOffset = 0;
        *endOffset = characterCount();
        return text(0, *endOffset);
    }
    // The offset's line with the lines before and after it.
    const RichTextBox* b = box();
    const auto lines = b->SendScintilla(Sci::SCI_GETLINECOUNT);
    const auto length = b->SendScintilla(Sci::SCI_GETLENGTH);
    const auto line = b->SendScintilla(Sci::SCI_LINEFROMPOSITION,
                                       static_cast<unsigned long>(b->toOffset(offset)));
    const auto lineStart = [b, lines, length](long n) {
        return n >= lines
                   ? length
                   : b->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(n));
    };
    const long first = lineStart(std::max(0L, line - 1));
    const long last = lineStart(line + 2);
    const int base = int(b->toTextPosition(first));
    const TextWindow window(b->textOfRange(first, last));
    QString found;
    switch (side) {
    case Side::Before:
        found = window.textBeforeOffset(offset - base, boundaryType, startOffset, endOffset);
        break;
    case Side::At:
        found = window.textAtOffset(offset - base, boundaryType, startOffset, endOffset);
        break;
    case Side::After:
        found = window.textAfterOffset(offset - base, boundaryType, startOffset, endOffset);
        break;
    }
    if (*startOffset >= 0) {
        *startOffset += base;
        *endOffset += base;
    }
    return found;
}

QString RichTextAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                             int* startOffset, int* endOffset) const
{
    return textNear(Side::Before, offset, boundaryType, startOffset, endOffset);
}

QString RichTextAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                            int* startOffset, int* endOffset) const
{
    return textNear(Side::After, offset, boundaryType, startOffset, endOffset);
}

QString RichTextAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                         int* startOffset, int* endOffset) const
{
    return textNear(Side::At, offset, boundaryType, startOffset, endOffset);
}

int RichTextAccessible::characterCount() const
{
    return int(box()->textLength());
}

QRect RichTextAccessible::characterRect(int offset) const
{
    const RichTextBox* b = box();
    const auto pos = static_cast<unsigned long>(b->toOffset(offset));
    const long x = b->SendScintilla(Sci::SCI_POINTXFROMPOSITION, 0UL, long(pos));
    const long y = b->SendScintilla(Sci::SCI_POINTYFROMPOSITION, 0UL, long(pos));
    const long line = b->SendScintilla(Sci::SCI_LINEFROMPOSITION, pos);
    const long next = b->SendScintilla(Sci::SCI_POSITIONAFTER, pos);
    long width = 1;
    if (next > long(pos) && b->SendScintilla(Sci::SCI_LINEFROMPOSITION, next) == line)
        width = std::max(1L, b->SendScintilla(Sci::SCI_POINTXFROMPOSITION, 0UL, next) - x);
    const long height = b->SendScintilla(Sci::SCI_TEXTHEIGHT, static_cast<unsigned long>(line));
    return {b->viewport()->mapToGlobal(QPoint(int(x), int(y))), QSize(int(width), int(height))};
}

int RichTextAccessible::offsetAtPoint(const QPoint& point) const
{
    const RichTextBox* b = box();
    const QPoint local = b->viewport()->mapFromGlobal(point);
    const long pos = b->SendScintilla(Sci::SCI_POSITIONFROMPOINTCLOSE,
                                      static_cast<unsigned long>(local.x()), long(local.y()));
    return pos < 0 ? -1 : int(b->toTextPosition(pos));
}

void RichTextAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    box()->SendScintilla(Sci::SCI_SCROLLRANGE,
                         static_cast<unsigned long>(box()->toOffset(endIndex)),
                         long(box()->toOffset(startIndex)));
}

QString RichTextAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    // Plain text: the same (no) attributes throughout.
    Q_UNUSED(offset);
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

} // namespace platform
