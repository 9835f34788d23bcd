#pragma once

#include "platform/textbox.h"
#include "platform/textcodec.h"

class QTextDocument;

namespace platform {

// The editing surface of the main window. Its content is the document: there
// is no other copy of the text. Each line remembers its own line break, so a
// file is written back exactly as it was read.
class RichTextBox : public TextBox
{
    Q_OBJECT
public:
    enum FileType { RichText = 0, PlainText = 1 };

    // Files larger than this are refused rather than edited.
    static constexpr qint64 kMaxFileSize = 256LL * 1024 * 1024;

    explicit RichTextBox(QWidget* parent = nullptr);

    // The whole content with each line's own line break.
    QString Text() const;
    // Replaces the whole content as one step that Undo takes back.
    void setText(const QString& text);
    bool isEmpty() const;

    // Adds text at the very end of the document as one undoable step,
    // whatever the selection or caret.
    void appendText(const QString& text);

    // What the edit messages WM_CUT and WM_PASTE do.
    void Cut();
    void Paste();

    // Whether the start of a file holds NUL bytes, as binary files do and
    // text files never do. False when the file cannot be read.
    static bool looksBinary(const QString& path);

    // Reads a whole file; raises RuntimeError when it cannot be read.
    void LoadFile(const QString& path);
    // Writes the whole content as plain text, replacing the old file
    // atomically; raises RuntimeError and leaves the old file whole on failure.
    void SaveFile(const QString& path, FileType type = PlainText) const;

    TextFormat format() const { return m_format; }
    void setFormat(const TextFormat& format) { m_format = format; }
    // Whether the text can be stored in the document's encoding.
    bool canEncodeText() const;

signals:
    // Raised once after every change of the content.
    void Change();

private:
    void markLineEndings(QTextDocument* doc, int firstBlock, QStringView text) const;
    static QByteArray readWholeFile(const QString& path);

    TextFormat m_format;
};

} // namespace platform
