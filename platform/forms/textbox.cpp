#include "platform/forms/textbox.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>

namespace platform {

TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(false);
}

QString TextBox::selectedPlainText() const
{
    // selectedText() keeps the characters as stored and marks block
    // boundaries with U+2029, which the document never holds otherwise.
    QString text = textCursor().selectedText();
    return text.replace(QChar::ParagraphSeparator, platformLineBreak());
}

// Shift+Return would put a line separator inside the line; here it starts a
// new line like Return, so that the file gets a real line break. Where Tab
// types a tab, Ctrl+Tab and Ctrl+Shift+Tab go on to the next or the previous
// control, so that the keyboard can always leave the box.
void TextBox::keyPressEvent(QKeyEvent* event)
{
    const bool isTab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (isTab && event->modifiers().testFlag(Qt::ControlModifier)) {
        const bool back =
            event->key() == Qt::Key_Backtab || event->modifiers().testFlag(Qt::ShiftModifier);
        // Past QPlainTextEdit's own, which keeps the focus in an editable box.
        QWidget::focusNextPrevChild(!back); // NOLINT(bugprone-parent-virtual-call)
        event->accept();
        return;
    }
    const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (isReturn && event->modifiers().testFlag(Qt::ShiftModifier)) {
        QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                        event->text(), event->isAutoRepeat(), ushort(event->count()));
        QPlainTextEdit::keyPressEvent(&plain);
        event->setAccepted(plain.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

QMimeData* TextBox::createMimeDataFromSelection() const
{
    auto* data = new QMimeData;
    data->setText(selectedPlainText());
    return data;
}

bool TextBox::canInsertFromMimeData(const QMimeData* source) const
{
    return source->hasText();
}

void TextBox::insertFromMimeData(const QMimeData* source)
{
    if (isReadOnly() || !source->hasText())
        return;
    QTextCursor cursor = textCursor();
    cursor.insertText(source->text());
    setTextCursor(cursor);
    ensureCursorVisible();
}

} // namespace platform
