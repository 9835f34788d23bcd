#pragma once

#include "platform/text/textcodec.h"
#include "platform/text/textfile.h"

#include <Qsci/qsciscintillabase.h>

#include <QAccessible>

#include <functional>
#include <utility>

namespace platform {

// The editing surface of the main window, on the Scintilla text engine. Its
// content is the document: there is no other copy of the text. The engine
// holds the text in UTF-8 with every line break as the characters it is, so a
// break that no edit touches never changes, and Undo and Redo restore exactly
// what was there. Files in Windows-1252 are converted on the way in and out.
//
// Positions in this interface count UTF-16 code units of Text(), as QString
// does.
class RichTextBox : public QsciScintillaBase, private QAccessible::ActivationObserver
{
    Q_OBJECT
public:
    enum FileType { RichText = 0, PlainText = 1 };

    // Files larger than this are refused rather than edited.
    static constexpr qint64 kMaxFileSize = kMaxTextFileSize;

    explicit RichTextBox(QWidget* parent = nullptr);
    ~RichTextBox() override;
    RichTextBox(const RichTextBox&) = delete;
    RichTextBox& operator=(const RichTextBox&) = delete;

    // The whole content with each line's own line break.
    QString Text() const;
    // Replaces the whole content as one step that Undo takes back; in a
    // read-only document, as a new document. The program's own write, it is
    // not held to kMaxLineLength as edits are.
    void setText(const QString& text);
    bool isEmpty() const;

    // Adds text at the very end of the document as one undoable step,
    // whatever the selection or caret.
    void appendText(const QString& text);
    // Runs a change of the engine's text that a search of this layer made, as
    // one step that Undo takes back, with one Change after it. The search
    // checks the lines it changes: when one would grow longer than
    // kMaxLineLength (`linesFit` false) nothing changes and editRefused is
    // raised.
    bool editAsOneStep(bool linesFit, const std::function<void()>& edit);

    // What the edit messages WM_CUT and WM_PASTE do.
    void Cut();
    void Paste();

    // Reads a whole file as a new document with no undo history; raises
    // RuntimeError, with the document left as it was, when it cannot be read,
    // is not a regular file or is larger than kMaxFileSize.
    void LoadFile(const QString& path);
    // Whether the document is a file with lines longer than kMaxLineLength,
    // shown cut into pieces: it cannot be edited, and still saves byte for
    // byte, until a Text write replaces it.
    bool isReadOnly() const { return !m_cuts.empty(); }
    // Where the lines too long to edit are cut for showing (see LineCuts).
    const LineCuts& lineCuts() const { return m_cuts; }
    // Writes the whole content as plain text, replacing the old file
    // atomically; raises RuntimeError and leaves the old file whole on failure.
    void SaveFile(const QString& path, FileType type = PlainText) const;

    TextFormat format() const { return m_format; }
    // Also makes the format's line break the one that Return and pasted text
    // get.
    void setFormat(const TextFormat& format);
    // Whether the text can be stored in the document's encoding.
    bool canEncodeText() const;

    // The selection as plain text with the platform's line breaks, as the
    // clipboard gets it.
    QString selectedPlainText() const;
    static QString platformLineBreak();

    // The usual editing commands.
    void undo();
    void redo();
    void copy();
    void cut() { Cut(); }
    void paste() { Paste(); }
    void selectAll();
    // Forgets every step that Undo could take back, as a new document does.
    void clearUndoHistory();
    // Whether the text differs from the save point: the last load, save or
    // new document. Undo back to it counts as no change.
    bool isModified() const { return SendScintilla(SCI_GETMODIFY) != 0; }
    void setSavePoint() { SendScintilla(SCI_SETSAVEPOINT); }

    // The length of Text(), the caret and the selection.
    qsizetype textLength() const;
    qsizetype cursorPosition() const;
    qsizetype anchorPosition() const;
    void setSelection(qsizetype anchor, qsizetype position);
    void setCursorPosition(qsizetype position) { setSelection(position, position); }

    // Conversions between positions in Text() and byte offsets in the engine.
    qsizetype toTextPosition(qsizetype offset) const;
    qsizetype toOffset(qsizetype position) const;
    // The engine's UTF-8 bytes of [start, end) as text.
    QString textOfRange(qsizetype start, qsizetype end) const;

signals:
    // Raised once after every change of the content.
    void Change();
    // Raised once the font and the palette have gone into the engine's styles.
    void looksChanged();
    // Raised when an edit is refused because it would make a line longer than
    // kMaxLineLength; the document and the clipboard are as they were.
    void editRefused();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    QByteArray fromMimeData(const QMimeData* source, bool& rectangular) const override;
    QMimeData* toMimeData(const QByteArray& text, bool rectangular) const override;
    void dropEvent(QDropEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // The editing items of a text box, then the actions added to the control.
    void contextMenuEvent(QContextMenuEvent* event) override;

private slots:
    void emitQueuedChange();

private:
    class ChangeBatch;
    class CheckedEdit;

    void accessibilityActiveChanged(bool active) override;
    void applyLooks();
    void configureDocument();
    void newDocument();
    void clearExtraKeys();
    void onContentChanged();
    void onModified(int position, int type, const char* text, int length);
    void onUpdateUi(int updated);
    void onStyleNeeded(int position);
    // Tab and Ctrl+Tab as the box takes them; false for any other key.
    bool takeTabKey(QKeyEvent* event);
    std::pair<long, long> characterAround(long position) const;
    void keepSelectionOffCharacters(long oldAnchor, long oldCaret);
    void replaceSelection(const QByteArray& bytes);
    QString fileText(qsizetype start, qsizetype end) const;
    QByteArray toDocumentText(const QString& text) const;

    // The line length guard (kMaxLineLength): whether replacing the bytes
    // [start, end) with `bytes` keeps every line it touches short enough.
    bool keepsLinesShort(long start, long end, QByteArrayView bytes) const;
    long lineStartAt(long offset) const;
    long lineEndAt(long offset) const;
    // The same, raising editRefused when it would not.
    bool acceptsEdit(long start, long end, QByteArrayView bytes);
    bool acceptsKey(const QKeyEvent* key);
    std::pair<long, long> rangeDeletedAt(long caret, bool back, bool byWord) const;
    bool acceptsDrop(const QDropEvent* drop);
    bool refuseEdit();
    void checkInsertion(int position, int length);

    TextFormat m_format;
    LineCuts m_cuts;
    int m_batchDepth = 0;
    bool m_changePending = false;
    bool m_changeQueued = false;
    bool m_checked = false;         // see CheckedEdit
    mutable bool m_indexed = false; // the UTF-16 line index is allocated
};

} // namespace platform
