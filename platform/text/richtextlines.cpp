#include "platform/text/richtextbox.h"
#include "platform/text/richtextinternal.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

// No edit may make a line longer than kMaxLineLength: past it the engine lays
// the whole line out again at every key and every paint, and a line of a
// megabyte costs most of a second a key. Such an edit is refused whole before
// it changes anything: the control raises editRefused, and the document, its
// undo history and the clipboard stay as they were. Undo and Redo only go
// back and forth between texts that the document has had, so they need no
// check.

namespace platform {
namespace {

bool isLineBreak(char c)
{
    return c == '\n' || c == '\r';
}

// Blanks, as the engine's word moves skip them.
bool isBlank(char c)
{
    return c == ' ' || (c >= 0 && c < ' ' && !isLineBreak(c));
}

// Whether every line of `bytes` fits, the first one after `head` bytes of
// text and the last one before `tail` bytes.
bool linesFit(QByteArrayView bytes, qsizetype head, qsizetype tail)
{
    qsizetype lineStart = -head;
    for (qsizetype at = 0; at < bytes.size(); ++at) {
        if (!isLineBreak(bytes[at]))
            continue;
        if (at - lineStart > kMaxLineLength)
            return false;
        lineStart = at + 1;
    }
    return bytes.size() - lineStart + tail <= kMaxLineLength;
}

} // namespace

long RichTextBox::lineStartAt(long offset) const
{
    return SendScintilla(SCI_POSITIONFROMLINE,
                         SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(offset)));
}

long RichTextBox::lineEndAt(long offset) const
{
    return SendScintilla(SCI_GETLINEENDPOSITION,
                         SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(offset)));
}

bool RichTextBox::keepsLinesShort(long start, long end, QByteArrayView bytes) const
{
    return linesFit(bytes, start - lineStartAt(start), lineEndAt(end) - end);
}

bool RichTextBox::acceptsEdit(long start, long end, QByteArrayView bytes)
{
    return keepsLinesShort(start, end, bytes) || refuseEdit();
}

bool RichTextBox::refuseEdit()
{
    emit editRefused();
    return false;
}

// What a key would type over the selection, or take away with Backspace and
// Delete.
bool RichTextBox::acceptsKey(const QKeyEvent* key)
{
    const long start = SendScintilla(SCI_GETSELECTIONSTART);
    const long end = SendScintilla(SCI_GETSELECTIONEND);
    const bool back = key->key() == Qt::Key_Backspace;
    if (!back && key->key() != Qt::Key_Delete) {
        const QString text = key->text();
        const bool typing =
            (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0 &&
            !text.isEmpty() && text[0] >= u' ' && text[0] != u'\x7F';
        return !typing || acceptsEdit(start, end, text.toUtf8());
    }
    if ((key->modifiers() & (Qt::AltModifier | Qt::MetaModifier)) != 0)
        return true; // no deletion
    if (start != end)
        return acceptsEdit(start, end, {});
    const auto [from, to] =
        rangeDeletedAt(start, back, key->modifiers().testFlag(Qt::ControlModifier));
    return acceptsEdit(from, to, {});
}

// The bytes that Backspace (back) or Delete take away at the caret, alone or
// with Ctrl, by words: those reach across a line break from the blanks next
// to it.
std::pair<long, long> RichTextBox::rangeDeletedAt(long caret, bool back, bool byWord) const
{
    if (!byWord) {
        const long next = SendScintilla(back ? SCI_POSITIONBEFORE : SCI_POSITIONAFTER,
                                        static_cast<unsigned long>(caret));
        return back ? std::pair(next, caret) : std::pair(caret, next);
    }
    const long length = SendScintilla(SCI_GETLENGTH);
    const auto at = [this](long position) {
        return char(SendScintilla(SCI_GETCHARAT, static_cast<unsigned long>(position)));
    };
    long from = caret;
    long to = caret;
    if (back) {
        while (from > 0 && isBlank(at(from - 1)))
            --from;
        if (from > 0 && !isLineBreak(at(from - 1)))
            from = caret; // a word of this line
        while (from > 0 && isLineBreak(at(from - 1)))
            --from;
    } else if (to < length && isLineBreak(at(to))) {
        while (to < length && isLineBreak(at(to)))
            ++to;
        while (to < length && isBlank(at(to)))
            ++to;
    }
    return {from, to};
}

// A drop inserts where it lands; one that moves text from this control also
// takes it away where it was.
bool RichTextBox::acceptsDrop(const QDropEvent* drop)
{
    bool rectangular = false;
    const QByteArray bytes = fromMimeData(drop->mimeData(), rectangular);
    const QPoint point = drop->position().toPoint();
    const long at = SendScintilla(SCI_POSITIONFROMPOINT, static_cast<unsigned long>(point.x()),
                                  long(point.y()));
    const long start = SendScintilla(SCI_GETSELECTIONSTART);
    const long end = SendScintilla(SCI_GETSELECTIONEND);
    const bool moving = (drop->source() == this || drop->source() == viewport()) &&
                        drop->dropAction() == Qt::MoveAction && start != end;
    if (!moving)
        return acceptsEdit(at, at, bytes);
    if (at >= start && at <= end)
        return true; // dropped onto itself: nothing moves
    const long first = lineStartAt(start);
    const long last = lineEndAt(end);
    if (at < first || at > last) {
        return (keepsLinesShort(start, end, {}) && keepsLinesShort(at, at, bytes)) || refuseEdit();
    }
    // Into the line that the move joins: the lines as they would be.
    QByteArray lines = textOfRange(first, last).toUtf8();
    lines.remove(start - first, end - start);
    lines.insert(at < start ? at - first : at - first - (end - start), bytes);
    return linesFit(lines, 0, 0) || refuseEdit();
}

// The last guard, for an insertion that the engine would make past the
// checks above: as it is told only the insertion's length, it counts it all
// as one line, and empties it when that would be too long.
void RichTextBox::checkInsertion(int position, int length)
{
    if (m_checked || lineEndAt(position) - lineStartAt(position) + length <= kMaxLineLength)
        return;
    SendScintilla(SCI_CHANGEINSERTION, uintptr_t{0}, "");
    QMetaObject::invokeMethod(this, "editRefused", Qt::QueuedConnection);
}

void RichTextBox::dropEvent(QDropEvent* event)
{
    if (isReadOnly() || acceptsDrop(event)) {
        const CheckedEdit checked(*this);
        return QsciScintillaBase::dropEvent(event);
    }
    event->ignore();
    QDragLeaveEvent leave; // takes the drop's caret away
    QsciScintillaBase::dragLeaveEvent(&leave);
}

// What an input method commits replaces the selection.
void RichTextBox::inputMethodEvent(QInputMethodEvent* event)
{
    if (!isReadOnly() && !event->commitString().isEmpty() &&
        !acceptsEdit(SendScintilla(SCI_GETSELECTIONSTART), SendScintilla(SCI_GETSELECTIONEND),
                     event->commitString().toUtf8())) {
        event->accept();
        return;
    }
    const CheckedEdit checked(*this);
    QsciScintillaBase::inputMethodEvent(event);
}

// The middle button pastes the X selection where it is pressed.
void RichTextBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton && !isReadOnly()) {
        const QPoint point = event->position().toPoint();
        const long at = SendScintilla(SCI_POSITIONFROMPOINT, static_cast<unsigned long>(point.x()),
                                      long(point.y()));
        const QString text = QApplication::clipboard()->text(QClipboard::Selection);
        if (!acceptsEdit(at, at, toDocumentText(text))) {
            event->accept();
            return;
        }
    }
    const CheckedEdit checked(*this);
    QsciScintillaBase::mousePressEvent(event);
}

// The engine's own menu would cut, paste and delete past the checks; this one
// runs the control's commands.
void RichTextBox::contextMenuEvent(QContextMenuEvent* event)
{
    const bool editable = !isReadOnly();
    const bool selected = SendScintilla(SCI_GETSELECTIONEMPTY) == 0;
    QMenu menu(this);
    menu.addAction(tr("Undo"), this, &RichTextBox::undo)
        ->setEnabled(editable && SendScintilla(SCI_CANUNDO) != 0);
    menu.addAction(tr("Redo"), this, &RichTextBox::redo)
        ->setEnabled(editable && SendScintilla(SCI_CANREDO) != 0);
    menu.addSeparator();
    menu.addAction(tr("Cut"), this, &RichTextBox::Cut)->setEnabled(editable && selected);
    menu.addAction(tr("Copy"), this, &RichTextBox::copy)->setEnabled(selected);
    menu.addAction(tr("Paste"), this, &RichTextBox::Paste)->setEnabled(editable);
    QAction* remove = menu.addAction(tr("Delete"), this, [this] {
        const ChangeBatch batch(*this);
        replaceSelection({});
    });
    remove->setEnabled(editable && selected);
    menu.addSeparator();
    menu.addAction(tr("Select All"), this, &RichTextBox::selectAll);
    if (!actions().isEmpty()) {
        menu.addSeparator();
        menu.addActions(actions());
    }
    QPoint at = event->globalPos();
    if (event->reason() != QContextMenuEvent::Mouse) { // below the caret
        const long caret = SendScintilla(SCI_GETCURRENTPOS);
        const long line = SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(caret));
        at = viewport()->mapToGlobal(
            QPoint(int(SendScintilla(SCI_POINTXFROMPOSITION, 0UL, caret)),
                   int(SendScintilla(SCI_POINTYFROMPOSITION, 0UL, caret) +
                       SendScintilla(SCI_TEXTHEIGHT, static_cast<unsigned long>(line)))));
    }
    menu.exec(at);
}

} // namespace platform
