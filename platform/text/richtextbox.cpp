#include "platform/text/richtextbox.h"

#include "platform/forms/runtimeerror.h"
#include "platform/forms/textbox.h"
#include "platform/text/richtextaccessible.h"
#include "platform/text/richtextinternal.h"
#include "platform/text/textfile.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>

#include <algorithm>
#include <utility>

namespace platform {
namespace {

int eolMode(LineEnding ending)
{
    switch (ending) {
    case LineEnding::Lf:
        return Sci::SC_EOL_LF;
    case LineEnding::Cr:
        return Sci::SC_EOL_CR;
    case LineEnding::CrLf:
        break;
    }
    return Sci::SC_EOL_CRLF;
}

} // namespace

RichTextBox::RichTextBox(QWidget* parent) : QsciScintillaBase(parent)
{
    static const bool accessible = [] {
        QAccessible::installFactory(&RichTextAccessible::create);
        return true;
    }();
    Q_UNUSED(accessible);

    newDocument();

    // Unwrapped lines; the horizontal scroll bar follows the widest line drawn.
    SendScintilla(SCI_SETWRAPMODE, long(SC_WRAP_NONE));
    SendScintilla(SCI_SETSCROLLWIDTH, 1L);
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1L);
    for (unsigned long margin = 0; margin < 5; ++margin)
        SendScintilla(SCI_SETMARGINWIDTHN, margin, 0L);
    SendScintilla(SCI_SETMARGINLEFT, 0UL, 4L);
    SendScintilla(SCI_SETPASTECONVERTENDINGS, 1L);
    SendScintilla(SCI_SETRECTANGULARSELECTIONMODIFIER, 0L);
    SendScintilla(SCI_SETMODEVENTMASK, long(kContentChanges | SC_MOD_INSERTCHECK));
    // Qt already paints through a buffer; the lines on screen keep their layout.
    SendScintilla(SCI_SETBUFFEREDDRAW, 0L);
    SendScintilla(SCI_SETLAYOUTCACHE, long(SC_CACHE_PAGE));
    clearExtraKeys();
    applyLooks();

    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char* text, int length, int, int, int, int, int,
                   int) { onModified(position, type, text, length); });
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, &RichTextBox::onUpdateUi);
    connect(this, &QsciScintillaBase::SCN_STYLENEEDED, this, &RichTextBox::onStyleNeeded);
    QAccessible::installActivationObserver(this);
    accessibilityActiveChanged(QAccessible::isActive());
}

RichTextBox::~RichTextBox()
{
    QAccessible::removeActivationObserver(this);
}

// An empty document, as the control starts with.
void RichTextBox::newDocument()
{
    // A style byte for each byte of text, for the colours a styler may give it;
    // the files read later take the same options.
    auto* doc = asPointer<void>(SendScintilla(SCI_CREATEDOCUMENT, 0UL, 0L));
    SendScintilla(SCI_SETDOCPOINTER, 0UL, doc);
    SendScintilla(SCI_RELEASEDOCUMENT, 0UL, doc);
    m_cuts.clear();
    configureDocument();
}

void RichTextBox::configureDocument()
{
    SendScintilla(SCI_SETCODEPAGE, long(SC_CP_UTF8));
    SendScintilla(SCI_SETEOLMODE, long(eolMode(m_format.lineEnding)));
    m_indexed = false;
    if (QAccessible::isActive())
        toTextPosition(0); // builds the line index before the first change
}

void RichTextBox::applyLooks()
{
    const QFont f = font();
    const QPalette& colors = palette();
    SendScintilla(SCI_STYLESETFONT, STYLE_DEFAULT, f.family().toUtf8().constData());
    SendScintilla(SCI_STYLESETSIZEFRACTIONAL, STYLE_DEFAULT,
                  long(qRound(f.pointSizeF() * SC_FONT_SIZE_MULTIPLIER)));
    SendScintilla(SCI_STYLESETWEIGHT, STYLE_DEFAULT, long(f.weight()));
    SendScintilla(SCI_STYLESETITALIC, STYLE_DEFAULT, long(f.italic()));
    SendScintilla(SCI_STYLESETFORE, STYLE_DEFAULT, colors.color(QPalette::Text));
    SendScintilla(SCI_STYLESETBACK, STYLE_DEFAULT, colors.color(QPalette::Base));
    SendScintilla(SCI_STYLECLEARALL);
    SendScintilla(SCI_SETSELFORE, 1UL, colors.color(QPalette::HighlightedText));
    SendScintilla(SCI_SETSELBACK, 1UL, colors.color(QPalette::Highlight));
    SendScintilla(SCI_SETCARETFORE, colors.color(QPalette::Text));
    emit looksChanged();
}

void RichTextBox::changeEvent(QEvent* event)
{
    QsciScintillaBase::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        applyLooks();
}

QString RichTextBox::Text() const
{
    const auto length = SendScintilla(SCI_GETLENGTH);
    const auto* text = static_cast<const char*>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    return QString::fromUtf8(text, length);
}

void RichTextBox::setText(const QString& text)
{
    const ChangeBatch batch(*this);
    m_changePending = true; // a write that keeps the content still counts
    if (isReadOnly())
        newDocument(); // no Undo may bring the cut lines back as text
    const QByteArray bytes = text.toUtf8();
    const CheckedEdit checked(*this);
    SendScintilla(SCI_BEGINUNDOACTION);
    SendScintilla(SCI_CLEARALL);
    SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>(bytes.size()), bytes.constData());
    SendScintilla(SCI_ENDUNDOACTION);
}

bool RichTextBox::isEmpty() const
{
    return SendScintilla(SCI_GETLENGTH) == 0;
}

void RichTextBox::appendText(const QString& text)
{
    const ChangeBatch batch(*this);
    const QByteArray bytes = text.toUtf8();
    const long length = SendScintilla(SCI_GETLENGTH);
    if (!acceptsEdit(length, length, bytes))
        return;
    const CheckedEdit checked(*this);
    SendScintilla(SCI_BEGINUNDOACTION);
    SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>(bytes.size()), bytes.constData());
    SendScintilla(SCI_ENDUNDOACTION);
}

bool RichTextBox::editAsOneStep(bool linesFit, const std::function<void()>& edit)
{
    if (!linesFit)
        return refuseEdit();
    const ChangeBatch batch(*this);
    const CheckedEdit checked(*this);
    SendScintilla(SCI_BEGINUNDOACTION);
    edit();
    SendScintilla(SCI_ENDUNDOACTION);
    return true;
}

void RichTextBox::replaceSelection(const QByteArray& bytes)
{
    const long start = SendScintilla(SCI_GETSELECTIONSTART);
    const long end = SendScintilla(SCI_GETSELECTIONEND);
    if ((start == end && bytes.isEmpty()) || isReadOnly() || !acceptsEdit(start, end, bytes))
        return;
    const CheckedEdit checked(*this);
    SendScintilla(SCI_BEGINUNDOACTION);
    SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(start), end);
    SendScintilla(SCI_REPLACETARGET, static_cast<uintptr_t>(bytes.size()), bytes.constData());
    SendScintilla(SCI_ENDUNDOACTION);
    SendScintilla(SCI_GOTOPOS, start + long(bytes.size()));
}

QByteArray RichTextBox::toDocumentText(const QString& text) const
{
    return withLineBreaks(text, lineEndingText(m_format.lineEnding)).toUtf8();
}

void RichTextBox::Cut()
{
    const ChangeBatch batch(*this);
    if (SendScintilla(SCI_GETSELECTIONEMPTY) || isReadOnly() ||
        !acceptsEdit(SendScintilla(SCI_GETSELECTIONSTART), SendScintilla(SCI_GETSELECTIONEND), {}))
        return; // the clipboard keeps what it had
    copy();
    replaceSelection({});
}

void RichTextBox::copy()
{
    if (!SendScintilla(SCI_GETSELECTIONEMPTY))
        QApplication::clipboard()->setText(selectedPlainText());
}

void RichTextBox::Paste()
{
    const ChangeBatch batch(*this);
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (data == nullptr || !data->hasText())
        return;
    replaceSelection(toDocumentText(data->text()));
}

void RichTextBox::undo()
{
    const ChangeBatch batch(*this);
    SendScintilla(SCI_UNDO);
}

void RichTextBox::redo()
{
    const ChangeBatch batch(*this);
    SendScintilla(SCI_REDO);
}

// As in a text box: the caret goes to the end, so that Shift with an arrow
// and End act from there.
void RichTextBox::selectAll()
{
    SendScintilla(SCI_SETSEL, 0UL, SendScintilla(SCI_GETLENGTH));
}

void RichTextBox::clearUndoHistory()
{
    SendScintilla(SCI_EMPTYUNDOBUFFER);
}

QString RichTextBox::platformLineBreak()
{
    return TextBox::platformLineBreak();
}

QString RichTextBox::selectedPlainText() const
{
    const QString text =
        fileText(SendScintilla(SCI_GETSELECTIONSTART), SendScintilla(SCI_GETSELECTIONEND));
    return withLineBreaks(text, platformLineBreak());
}

// The text of [start, end) as the file has it, without the cuts.
QString RichTextBox::fileText(qsizetype start, qsizetype end) const
{
    QString text;
    for (auto cut = std::lower_bound(m_cuts.begin(), m_cuts.end(), start);
         cut != m_cuts.end() && *cut < end; ++cut) {
        text += textOfRange(start, *cut);
        start = *cut + 1;
    }
    return text + textOfRange(start, end);
}

// Whatever the engine itself takes from the clipboard or a drop gets the
// document's line break; whatever it gives gets the platform's.
QByteArray RichTextBox::fromMimeData(const QMimeData* source, bool& rectangular) const
{
    rectangular = false;
    return source->hasText() ? toDocumentText(source->text()) : QByteArray();
}

QMimeData* RichTextBox::toMimeData(const QByteArray& text, bool) const
{
    auto* data = new QMimeData;
    // The engine gives the selection; the pieces of a cut line go out whole.
    data->setText(isReadOnly() ? selectedPlainText()
                               : withLineBreaks(QString::fromUtf8(text), platformLineBreak()));
    return data;
}

qsizetype RichTextBox::textLength() const
{
    return toTextPosition(SendScintilla(SCI_GETLENGTH));
}

qsizetype RichTextBox::cursorPosition() const
{
    return toTextPosition(SendScintilla(SCI_GETCURRENTPOS));
}

qsizetype RichTextBox::anchorPosition() const
{
    return toTextPosition(SendScintilla(SCI_GETANCHOR));
}

void RichTextBox::setSelection(qsizetype anchor, qsizetype position)
{
    SendScintilla(SCI_SETSEL, static_cast<unsigned long>(toOffset(anchor)),
                  long(toOffset(position)));
}

qsizetype RichTextBox::toTextPosition(qsizetype offset) const
{
    if (!m_indexed) {
        SendScintilla(SCI_ALLOCATELINECHARACTERINDEX, long(SC_LINECHARACTERINDEX_UTF16));
        m_indexed = true;
    }
    const long line = SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(offset));
    const long lineStart = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    return SendScintilla(SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(line),
                         long(SC_LINECHARACTERINDEX_UTF16)) +
           SendScintilla(SCI_COUNTCODEUNITS, static_cast<unsigned long>(lineStart), long(offset));
}

qsizetype RichTextBox::toOffset(qsizetype position) const
{
    if (!m_indexed)
        toTextPosition(0);
    const long line = SendScintilla(SCI_LINEFROMINDEXPOSITION, static_cast<unsigned long>(position),
                                    long(SC_LINECHARACTERINDEX_UTF16));
    const long lineStart16 =
        SendScintilla(SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(line),
                      long(SC_LINECHARACTERINDEX_UTF16));
    const long lineStart = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    return SendScintilla(SCI_POSITIONRELATIVECODEUNITS, static_cast<unsigned long>(lineStart),
                         long(position - lineStart16));
}

QString RichTextBox::textOfRange(qsizetype start, qsizetype end) const
{
    if (end <= start)
        return {};
    const auto* text = asPointer<const char>(
        SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), long(end - start)));
    return QString::fromUtf8(text, end - start);
}

void RichTextBox::setFormat(const TextFormat& format)
{
    m_format = format;
    SendScintilla(SCI_SETEOLMODE, long(eolMode(format.lineEnding)));
}

void RichTextBox::LoadFile(const QString& path)
{
    TextFormat format;
    LineCuts cuts;
    void* doc = loadTextFile(*this, path, format, cuts);

    const ChangeBatch batch(*this);
    m_changePending = true;
    SendScintilla(SCI_SETDOCPOINTER, 0UL, doc);
    SendScintilla(SCI_RELEASEDOCUMENT, 0UL, doc);
    m_format = format;
    configureDocument();
    m_cuts = std::move(cuts);
    SendScintilla(SCI_SETREADONLY, long(isReadOnly()));
    // The loader's document records no undo steps; this one starts afresh.
    SendScintilla(SCI_SETUNDOCOLLECTION, 1L);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETSCROLLWIDTH, 1L);
    // The engine keeps the view's place across documents: a file opens at
    // its start, whatever the document before it showed. The caret goes
    // there, and the view follows it.
    SendScintilla(SCI_GOTOPOS, 0L);
}

bool RichTextBox::canEncodeText() const
{
    if (m_format.encoding == Encoding::Utf8)
        return true; // the engine holds nothing but valid UTF-8
    const auto length = SendScintilla(SCI_GETLENGTH);
    const auto* text = static_cast<const char*>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    return fitsCp1252(QByteArrayView(text, length));
}

void RichTextBox::SaveFile(const QString& path, FileType type) const
{
    Q_UNUSED(type); // plain text is the only format this control writes
    const auto length = SendScintilla(SCI_GETLENGTH);
    const auto* text = static_cast<const char*>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    saveTextFile(path, QByteArrayView(text, length), m_format, m_cuts);
}

// Unless a styler answers instead, nothing styles this
// plain text, yet the engine asks before each paint and, while the text is not
// marked styled as far as it paints, takes the asking for a change of styles:
// each paint then compares every line it lays out with the document again,
// byte by byte, which for a line of megabytes is the work of the whole paint,
// at every blink of the caret. The style bytes of plain text stay as the
// engine made them, plain, so marking the text styled only moves the mark.
void RichTextBox::onStyleNeeded(int position)
{
    SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(position));
}

} // namespace platform
