#include "editor/frmfind.h"
#include "editor/frmgoto.h"
#include "editor/frmmain.h"
#include "editor/program.h"
#include "platform/text/richtextbox.h"

#include <QAction>

// The main window's searches: they are on keys and on the document's context
// menu, not on the menu bar.

// Find, Replace and Go To come after the editing items of the document's
// context menu; F3 and Shift+F3 only on keys.
void FrmMain::createSearchKeys()
{
    const auto add = [this](QWidget* owner, const char* name, const QString& caption,
                            const QKeySequence& keys, auto command) {
        auto* action = new QAction(caption, owner);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        owner->addAction(action);
        connect(action, &QAction::triggered, this, command);
        return action;
    };
    mnuFind = add(rtfBox, "mnuFind", tr("Find..."), QKeySequence(Qt::CTRL | Qt::Key_F),
                  [this] { FrmFind::open(m_program, false); });
    mnuReplace = add(rtfBox, "mnuReplace", tr("Replace..."), QKeySequence(Qt::CTRL | Qt::Key_H),
                     [this] { FrmFind::open(m_program, true); });
    mnuGoTo = add(rtfBox, "mnuGoTo", tr("Go To..."), QKeySequence(Qt::CTRL | Qt::Key_G),
                  &FrmMain::mnuGoTo_Click);
    mnuFindNext = add(this, "mnuFindNext", tr("Find Next"), QKeySequence(Qt::Key_F3),
                      [this] { FrmFind::findAgain(m_program, false); });
    mnuFindPrevious =
        add(this, "mnuFindPrevious", tr("Find Previous"), QKeySequence(Qt::SHIFT | Qt::Key_F3),
            [this] { FrmFind::findAgain(m_program, true); });
}

void FrmMain::mnuGoTo_Click()
{
    (new FrmGoTo(*rtfBox, m_program.services(), this))->open();
}
