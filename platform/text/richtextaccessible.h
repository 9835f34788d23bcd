#pragma once

#include <QAccessibleWidget>

namespace platform {

class RichTextBox;

// What a screen reader sees of a RichTextBox: an editable multi-line text
// whose offsets count UTF-16 code units. Every offset is found through the
// engine's line index, so no call counts characters from the start of the
// document.
class RichTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit RichTextAccessible(RichTextBox* box);

    // Creates the interface for RichTextBox objects, for QAccessible.
    static QAccessibleInterface* create(const QString& className, QObject* object);

    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(QAccessible::Text t) const override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                             int* startOffset, int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                            int* startOffset, int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    enum class Side { Before, At, After };
    RichTextBox* box() const;
    QString textNear(Side side, int offset, QAccessible::TextBoundaryType boundaryType,
                     int* startOffset, int* endOffset) const;
};

} // namespace platform
