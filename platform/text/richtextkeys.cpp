#include "platform/text/richtextbox.h"
#include "platform/text/richtextinternal.h"

#include <QContextMenuEvent>
#include <QKeyEvent>

#include <algorithm>

// The control's key rules: the keys of a plain text box and no more, Tab and
// Ctrl+Tab, the clipboard keys through the control's own commands, and a
// caret that never stops inside a character.

namespace platform {
namespace {

// The engine's key codes for keys that a plain text box does not have: line
// cut, copy, delete, transpose and duplicate, case changes, un-indent, the
// overtype toggle, undo on Alt+Backspace, deletion to the line's ends, zoom,
// paragraph and word-part moves, rectangular selection and line scrolling.
constexpr int kCtrl = Sci::SCMOD_CTRL << 16;
constexpr int kShift = Sci::SCMOD_SHIFT << 16;
constexpr int kAlt = Sci::SCMOD_ALT << 16;
constexpr int kExtraKeys[] = {'L' | kCtrl,
                              'L' | kCtrl | kShift,
                              'T' | kCtrl,
                              'T' | kCtrl | kShift,
                              'D' | kCtrl,
                              'U' | kCtrl,
                              'U' | kCtrl | kShift,
                              Sci::SCK_TAB,
                              Sci::SCK_TAB | kShift,
                              Sci::SCK_INSERT,
                              Sci::SCK_BACK | kAlt,
                              Sci::SCK_BACK | kAlt | kShift,
                              Sci::SCK_BACK | kCtrl | kShift,
                              Sci::SCK_DELETE | kCtrl | kShift,
                              Sci::SCK_ADD | kCtrl,
                              Sci::SCK_SUBTRACT | kCtrl,
                              Sci::SCK_DIVIDE | kCtrl,
                              '[' | kCtrl,
                              '[' | kCtrl | kShift,
                              ']' | kCtrl,
                              ']' | kCtrl | kShift,
                              '/' | kCtrl,
                              '/' | kCtrl | kShift,
                              '\\' | kCtrl,
                              '\\' | kCtrl | kShift,
                              Sci::SCK_UP | kAlt | kShift,
                              Sci::SCK_DOWN | kAlt | kShift,
                              Sci::SCK_LEFT | kAlt | kShift,
                              Sci::SCK_RIGHT | kAlt | kShift,
                              Sci::SCK_HOME | kAlt | kShift,
                              Sci::SCK_END | kAlt | kShift,
                              Sci::SCK_PRIOR | kAlt | kShift,
                              Sci::SCK_NEXT | kAlt | kShift,
                              Sci::SCK_UP | kCtrl,
                              Sci::SCK_DOWN | kCtrl,
                              Sci::SCK_HOME | kAlt,
                              Sci::SCK_END | kAlt,
                              Sci::SCK_HOME | kAlt | kShift};

// A character typed with AltGr, which Windows reports as Ctrl+Alt.
bool isAltGr(const QKeyEvent* key)
{
    const Qt::KeyboardModifiers modifiers =
        key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    return modifiers == (Qt::ControlModifier | Qt::AltModifier) && !key->text().isEmpty() &&
           key->text().front().isPrint();
}

} // namespace

void RichTextBox::clearExtraKeys()
{
    for (const int key : kExtraKeys)
        SendScintilla(SCI_CLEARCMDKEY, long(key));
    // Home goes to the start of the line, not to its first non-blank.
    SendScintilla(SCI_ASSIGNCMDKEY, long(SCK_HOME), long(SCI_HOME));
    SendScintilla(SCI_ASSIGNCMDKEY, long(SCK_HOME | kShift), long(SCI_HOMEEXTEND));
    SendScintilla(SCI_ASSIGNCMDKEY, long('Z' | kCtrl | kShift), long(SCI_REDO));
}

bool RichTextBox::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Drop:
    case QEvent::ContextMenu: {
        const ChangeBatch batch(*this);
        const long anchor = SendScintilla(SCI_GETANCHOR);
        const long caret = SendScintilla(SCI_GETCURRENTPOS);
        const bool done = QsciScintillaBase::event(event);
        keepSelectionOffCharacters(anchor, caret);
        return done;
    }
    default:
        return QsciScintillaBase::event(event);
    }
}

// Tab types a tab, replacing any selection; Shift+Tab does nothing. Ctrl+Tab
// and Ctrl+Shift+Tab go on to the next or the previous control, so that the
// keyboard can always leave the box. Cut, copy and paste keys go through the
// same code as the menu's commands.
bool RichTextBox::takeTabKey(QKeyEvent* event)
{
    const bool isTab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool back = event->key() == Qt::Key_Backtab || modifiers.testFlag(Qt::ShiftModifier);
    if (isTab && modifiers.testFlag(Qt::ControlModifier)) {
        // Past QsciScintillaBase's own, which keeps the focus in the text.
        QWidget::focusNextPrevChild(!back); // NOLINT(bugprone-parent-virtual-call)
    } else if (isTab && (modifiers & (Qt::AltModifier | Qt::MetaModifier)) == 0) {
        if (!back)
            replaceSelection(QByteArrayLiteral("\t"));
    } else {
        return false;
    }
    event->accept();
    return true;
}

void RichTextBox::keyPressEvent(QKeyEvent* event)
{
    if (takeTabKey(event))
        return;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (event->key() == Qt::Key_Backspace && !isReadOnly() &&
        (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0 &&
        SendScintilla(SCI_GETSELECTIONEMPTY) != 0) {
        // The engine would take one byte of a noncharacter back.
        const long caret = SendScintilla(SCI_GETCURRENTPOS);
        const auto [start, end] = characterAround(caret - 1);
        if (end == caret &&
            SendScintilla(SCI_POSITIONBEFORE, static_cast<unsigned long>(caret)) > start) {
            SendScintilla(SCI_SETSEL, static_cast<unsigned long>(start), caret);
            replaceSelection({});
            event->accept();
            return;
        }
    }
    if (event->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier) {
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(), QCursor::pos());
        contextMenuEvent(&menu);
        return;
    }
    if (!isReadOnly() && !event->matches(QKeySequence::Cut) && !acceptsKey(event)) {
        event->accept(); // refused: a line would grow too long
        return;
    }
    const CheckedEdit checked(*this);
    const bool command =
        !isAltGr(event) &&
        (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
    if (event->matches(QKeySequence::Copy)) {
        copy();
    } else if (event->matches(QKeySequence::Cut)) {
        Cut();
    } else if (event->matches(QKeySequence::Paste)) {
        Paste();
    } else if (command) {
        // A command key or nothing: a shortcut that no one took types no text.
        QKeyEvent command(event->type(), event->key(), modifiers, QString(), event->isAutoRepeat(),
                          ushort(event->count()));
        QsciScintillaBase::keyPressEvent(&command);
        event->setAccepted(command.isAccepted());
        return;
    } else if (isAltGr(event) || event->text().toUcs4().size() > 1) {
        // Several characters in one key press (an input method's or a
        // compose sequence's), of which the engine's key handling takes only
        // one, or AltGr's, which the engine takes for a command.
        replaceSelection(toDocumentText(event->text()));
    } else {
        QsciScintillaBase::keyPressEvent(event);
        return;
    }
    event->accept();
}

// The engine takes the Unicode noncharacters (U+FDD0 to U+FDEF, and U+FFFE and
// U+FFFF of every plane) for invalid bytes, one position each, and lets the
// caret stop between their bytes, where typing would split them. Returns the
// bytes of the UTF-8 character that a position falls strictly inside, or an
// empty range at the position.
std::pair<long, long> RichTextBox::characterAround(long position) const
{
    const long length = SendScintilla(SCI_GETLENGTH);
    const auto byteAt = [this](long at) {
        return static_cast<unsigned char>(
            SendScintilla(SCI_GETCHARAT, static_cast<unsigned long>(at)));
    };
    if (position <= 0 || position >= length || (byteAt(position) & 0xC0) != 0x80)
        return {position, position};
    for (long lead = position - 1; lead >= std::max(0L, position - 3); --lead) {
        const unsigned char b = byteAt(lead);
        if ((b & 0xC0) == 0x80)
            continue;
        const long end = lead + (b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2);
        if (b < 0xC0 || end <= position || end > length)
            break;
        const QByteArrayView bytes(
            asPointer<const char>(
                SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(lead), end - lead)),
            end - lead);
        if (bytes.isValidUtf8())
            return {lead, end};
        break;
    }
    return {position, position};
}

// Moves the caret and the anchor past a character that they stopped inside,
// in the direction that each went.
void RichTextBox::keepSelectionOffCharacters(long oldAnchor, long oldCaret)
{
    const long anchor = SendScintilla(SCI_GETANCHOR);
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    const auto outside = [this](long position, bool forward) {
        const auto [start, end] = characterAround(position);
        return forward ? end : start;
    };
    const long newAnchor = outside(anchor, anchor > oldAnchor);
    const long newCaret = outside(caret, caret > oldCaret);
    if (newAnchor != anchor || newCaret != caret)
        SendScintilla(SCI_SETSEL, static_cast<unsigned long>(newAnchor), newCaret);
}

} // namespace platform
