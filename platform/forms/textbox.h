#pragma once

#include <QPlainTextEdit>

namespace platform {

// A multi-line text box. Unlike QPlainTextEdit's defaults, what goes to and
// comes from the clipboard (cut, copy, paste, drag and drop) is the raw text:
// non-breaking spaces and control characters pass unchanged, and line breaks
// become the platform's own. Ctrl+Tab and Ctrl+Shift+Tab move the focus on
// and back, also where Tab types a tab.
class TextBox : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

    // The selection as plain text with the platform's line breaks.
    QString selectedPlainText() const;

    static QString platformLineBreak();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};

} // namespace platform
