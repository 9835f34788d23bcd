#include "platform/richtextbox.h"

#include "platform/runtimeerror.h"

#include <QFile>
#include <QPlainTextDocumentLayout>
#include <QPointer>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace platform {
namespace {

constexpr qint64 kMiB = 1024LL * 1024;

// A block's user state records its line break when it differs from the
// document's main one; the default state (-1) means the main line break.
int stateFor(LineEnding ending)
{
    return int(ending) + 1;
}

LineEnding endingOf(const QTextBlock& block, LineEnding main)
{
    const int state = block.userState();
    if (state >= 1 && state <= 3)
        return LineEnding(state - 1);
    return main;
}

QString describe(const QFileDevice& file)
{
    return file.errorString().isEmpty() ? QObject::tr("Unknown error") : file.errorString();
}

} // namespace

RichTextBox::RichTextBox(QWidget* parent) : TextBox(parent)
{
    // A scroll bar that came and went with the length of the text would change
    // the width of the text and make the control lay out every line again.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(this, &QPlainTextEdit::textChanged, this, &RichTextBox::Change);
}

QString RichTextBox::Text() const
{
    QString text;
    text.reserve(document()->characterCount());
    for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next()) {
        text += block.text();
        if (block.next().isValid())
            text += lineEndingText(endingOf(block, m_format.lineEnding));
    }
    return text;
}

void RichTextBox::setText(const QString& text)
{
    const int revision = document()->revision();
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(text);
    markLineEndings(document(), 0, text);
    cursor.endEditBlock();
    // A write that leaves the content as it was still counts as a change.
    if (document()->revision() == revision)
        emit Change();
}

bool RichTextBox::isEmpty() const
{
    return document()->isEmpty();
}

void RichTextBox::appendText(const QString& text)
{
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    const int firstBlock = cursor.blockNumber();
    cursor.beginEditBlock();
    cursor.insertText(text);
    markLineEndings(document(), firstBlock, text);
    cursor.endEditBlock();
}

void RichTextBox::Cut()
{
    cut();
}

void RichTextBox::Paste()
{
    paste();
}

void RichTextBox::markLineEndings(QTextDocument* doc, int firstBlock, QStringView text) const
{
    const char16_t* s = text.utf16();
    const qsizetype n = text.size();
    int line = firstBlock;
    for (qsizetype i = 0; i < n; ++i) {
        LineEnding ending;
        if (s[i] == u'\n') {
            ending = LineEnding::Lf;
        } else if (s[i] == u'\r') {
            ending = (i + 1 < n && s[i + 1] == u'\n') ? LineEnding::CrLf : LineEnding::Cr;
            if (ending == LineEnding::CrLf)
                ++i;
        } else {
            continue;
        }
        if (ending != m_format.lineEnding)
            doc->findBlockByNumber(line).setUserState(stateFor(ending));
        ++line;
    }
}

void RichTextBox::LoadFile(const QString& path)
{
    DecodedText decoded = decodeText(readWholeFile(path));

    // The new text goes into a document of its own, which then replaces the
    // old one. Filling the document the control shows would make the control
    // forget the width of its text, and the first edit of a line would then
    // look at every line of the file to find the widest one.
    auto* doc = new QTextDocument(this);
    doc->setDocumentLayout(new QPlainTextDocumentLayout(doc));
    doc->setDefaultFont(font());
    doc->setDefaultTextOption(document()->defaultTextOption());
    doc->setPlainText(decoded.text);
    m_format = decoded.format;
    markLineEndings(doc, 0, decoded.text);
    decoded.text = QString();

    const QPointer<QTextDocument> old = document();
    {
        const QSignalBlocker blocker(this); // one Change for the whole load
        setDocument(doc);
    }
    if (old && old->parent() == this)
        delete old;
    emit Change();
}

bool RichTextBox::looksBinary(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return file.read(qint64(64) * 1024).contains('\0');
}

QByteArray RichTextBox::readWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(describe(file));
    if (file.size() > kMaxFileSize) {
        throw RuntimeError(tr("The file is too large to edit (%1 MB; the limit is %2 MB).")
                               .arg(file.size() / kMiB)
                               .arg(kMaxFileSize / kMiB));
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw RuntimeError(describe(file));
    return bytes;
}

bool RichTextBox::canEncodeText() const
{
    for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next()) {
        if (!canEncode(block.text(), m_format.encoding))
            return false;
    }
    return true;
}

void RichTextBox::SaveFile(const QString& path, FileType type) const
{
    Q_UNUSED(type); // plain text is the only format this control writes
    QByteArray bytes;
    bytes.reserve(document()->characterCount() + 16);
    if (m_format.encoding == Encoding::Utf8 && m_format.byteOrderMark)
        bytes += "\xEF\xBB\xBF";
    if (!encodeText(Text(), m_format.encoding, bytes)) {
        throw RuntimeError(
            tr("The text holds characters that cannot be stored in this file's encoding."));
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw RuntimeError(describe(file));
    // A write that fits the file's buffer only reaches the disk when flushed,
    // and commit() does not report a flush that fails (a full disk): the
    // flush is checked here, or a truncated file would replace the old one.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = describe(file);
        file.cancelWriting();
        throw RuntimeError(reason);
    }
    if (!file.commit())
        throw RuntimeError(describe(file));
}

} // namespace platform
