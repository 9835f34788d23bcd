#include "platform/text/richtextbox.h"
#include "platform/text/richtextinternal.h"

// When the control raises Change, and what it tells a screen reader of each
// change of its text, caret and selection.

namespace platform {

// Change follows the operation that changes the content. A change outside
// any operation of this class or event of the control (a message sent to the
// engine directly) is reported once control returns to the event loop.
void RichTextBox::onContentChanged()
{
    if (m_batchDepth > 0) {
        m_changePending = true;
    } else if (!m_changeQueued) {
        m_changeQueued = true;
        QMetaObject::invokeMethod(this, "emitQueuedChange", Qt::QueuedConnection);
    }
}

void RichTextBox::emitQueuedChange()
{
    m_changeQueued = false;
    emit Change();
}

// --- Screen readers ---

void RichTextBox::accessibilityActiveChanged(bool active)
{
    if (active)
        toTextPosition(0); // builds the line index before the first change
}

// Called just before each insertion and deletion.
void RichTextBox::onModified(int position, int type, const char* text, int length)
{
    if (type & SC_MOD_INSERTCHECK)
        return checkInsertion(position, length);
    if (!(type & kContentChanges) || length <= 0)
        return; // an insertion the guard emptied changes nothing
    onContentChanged();
    if (!QAccessible::isActive())
        return;
    const int at = int(toTextPosition(position));
    if (type & SC_MOD_BEFOREINSERT) {
        QAccessibleTextInsertEvent inserted(
            this, at, text != nullptr ? QString::fromUtf8(text, length) : QString());
        QAccessible::updateAccessibility(&inserted);
    } else {
        QAccessibleTextRemoveEvent removed(this, at, textOfRange(position, position + length));
        QAccessible::updateAccessibility(&removed);
    }
}

void RichTextBox::onUpdateUi(int updated)
{
    if (!(updated & SC_UPDATE_SELECTION) || !QAccessible::isActive())
        return;
    const long start = SendScintilla(SCI_GETSELECTIONSTART);
    const long end = SendScintilla(SCI_GETSELECTIONEND);
    if (start != end) {
        QAccessibleTextSelectionEvent selected(this, int(toTextPosition(start)),
                                               int(toTextPosition(end)));
        selected.setCursorPosition(int(cursorPosition()));
        QAccessible::updateAccessibility(&selected);
    } else {
        QAccessibleTextCursorEvent moved(this, int(cursorPosition()));
        QAccessible::updateAccessibility(&moved);
    }
}

} // namespace platform
