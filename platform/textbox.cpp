#include "platform/textbox.h"

#include <QMimeData>
#include <QTextCursor>

namespace platform {

TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(false);
}

QString TextBox::platformLineBreak()
{
#ifdef Q_OS_WIN
    return QStringLiteral("\r\n");
#else
    return QStringLiteral("\n");
#endif
}

QString TextBox::selectedPlainText() const
{
    // selectedText() keeps the characters as stored and marks block
    // boundaries with U+2029, which the document never holds otherwise.
    QString text = textCursor().selectedText();
    return text.replace(QChar::ParagraphSeparator, platformLineBreak());
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
