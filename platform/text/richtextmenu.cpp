#include "platform/text/richtextbox.h"
#include "platform/text/richtextinternal.h"

#include <QContextMenuEvent>
#include <QMenu>

// The document's context menu, from the right mouse button, Shift+F10 or the
// Menu key.

namespace platform {

// The engine's own menu would cut, paste and delete past the control's rules
// for line breaks and read-only documents; this one has the same items, in
// the same order, and runs the control's own commands.
void RichTextBox::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    const bool writable = !isReadOnly();
    const bool selected = SendScintilla(SCI_GETSELECTIONEMPTY) == 0;
    const auto add = [&menu](const QString& caption, bool enabled, auto command) {
        menu.addAction(caption, command)->setEnabled(enabled);
    };
    add(tr("Undo"), writable && SendScintilla(SCI_CANUNDO) != 0, [this] { undo(); });
    add(tr("Redo"), writable && SendScintilla(SCI_CANREDO) != 0, [this] { redo(); });
    menu.addSeparator();
    add(tr("Cut"), writable && selected, [this] { Cut(); });
    add(tr("Copy"), selected, [this] { copy(); });
    add(tr("Paste"), writable && SendScintilla(SCI_CANPASTE) != 0, [this] { Paste(); });
    add(tr("Delete"), writable && selected, [this] { replaceSelection({}); });
    menu.addSeparator();
    add(tr("Select All"), true, [this] { selectAll(); });
    if (!actions().isEmpty()) {
        menu.addSeparator();
        menu.addActions(actions());
    }
    QPoint at = event->globalPos();
    if (event->reason() != QContextMenuEvent::Mouse) { // at the caret
        const long caret = SendScintilla(SCI_GETCURRENTPOS);
        const long line = SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(caret));
        at = viewport()->mapToGlobal(
            QPoint(int(SendScintilla(SCI_POINTXFROMPOSITION, 0UL, caret)),
                   int(SendScintilla(SCI_POINTYFROMPOSITION, 0UL, caret) +
                       SendScintilla(SCI_TEXTHEIGHT, static_cast<unsigned long>(line)))));
    }
    menu.exec(at);
    event->accept();
}

} // namespace platform
