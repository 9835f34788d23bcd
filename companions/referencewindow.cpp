#include "companions/referencewindow.h"

#include "companions/designtext.h"
#include "platform/forms/design.h"
#include "platform/forms/forms.h"
#include "platform/forms/textbox.h"

#include <QPushButton>

ReferenceWindow::ReferenceWindow(const Design& design)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                           Qt::WindowCloseButtonHint)
{
    setObjectName(QString::fromLatin1(design.objectName));
    setWindowTitle(design.caption);
    // An icon of its own that is empty, so that no other window's or the
    // application's icon stands in for it.
    setWindowIcon(QIcon());

    createControls(design);
    connectEvents();
    platform::resizeClient(this, 7605, 6780);
    Text1->setFocus();
}

// Fixed positions, no layout: resizing the window leaves the controls where
// they are.
void ReferenceWindow::createControls(const Design& design)
{
    Text1 = new platform::TextBox(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFont(platform::designFont(9.75));
    Text1->setAccessibleName(design.textName);
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setPlainText(companions::designText(design.textResource));
    if (design.locked) {
        // The caret moves and the text can be selected and copied, by mouse
        // and by keys, but not changed.
        Text1->setReadOnly(true);
        Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
    platform::place(Text1, design.textLeft, design.textTop, design.textWidth, design.textHeight);

    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setFont(platform::designFont(9.75));
    cmdClose->setAutoDefault(false);
    platform::place(cmdClose, 6120, 6240, 1215, 375);

    setTabOrder(Text1, cmdClose);
}

void ReferenceWindow::connectEvents()
{
    connect(cmdClose, &QPushButton::clicked, this, &ReferenceWindow::cmdClose_Click);
}

void ReferenceWindow::cmdClose_Click()
{
    platform::unloadWindow(this);
}
