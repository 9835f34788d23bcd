#include "companions/frmpublished.h"

#include "companions/designtext.h"
#include "platform/design.h"
#include "platform/forms.h"
#include "platform/textbox.h"

#include <QPushButton>

FrmPublished::FrmPublished()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                           Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmPublished"));
    setWindowTitle(QStringLiteral("Published ODF..."));
    // An icon of its own that is empty, so that no other window's or the
    // application's icon stands in for it.
    setWindowIcon(QIcon());

    createControls();
    connectEvents();
    platform::resizeClient(this, 7605, 6780);
    Text1->setFocus();
}

// Fixed positions, no layout: resizing the window leaves the controls where
// they are.
void FrmPublished::createControls()
{
    Text1 = new platform::TextBox(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFont(platform::designFont(9.75));
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setPlainText(companions::designText(QStringLiteral(":/template.odf")));
    platform::place(Text1, 120, 120, 7335, 5895);

    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setFont(platform::designFont(9.75));
    cmdClose->setAutoDefault(false);
    platform::place(cmdClose, 6120, 6240, 1215, 375);

    setTabOrder(Text1, cmdClose);
}

void FrmPublished::connectEvents()
{
    connect(cmdClose, &QPushButton::clicked, this, &FrmPublished::cmdClose_Click);
}

void FrmPublished::cmdClose_Click()
{
    platform::unloadWindow(this);
}
