#include "companions/frmabout.h"

#include "companions/designtext.h"
#include "platform/forms/design.h"
#include "platform/forms/forms.h"
#include "platform/forms/textbox.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

FrmAbout::FrmAbout()
    : QWidget(nullptr,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Tessmark 2.0..."));
    setWindowIcon(platform::programIcon());
    // Qt lets a tool window without a parent die with the last ordinary
    // window; this one keeps the program running until it is closed itself.
    setAttribute(Qt::WA_QuitOnClose, true);

    createControls();
    connectEvents();
    platform::resizeClient(this, 6000, 2745);
    Text1->setFocus();
}

// Fixed positions, no layout: resizing the window leaves the controls where
// they are.
void FrmAbout::createControls()
{
    Text1 = new platform::TextBox(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFont(platform::designFont(9.75));
    Text1->setToolTip(QStringLiteral("Coders notes..."));
    Text1->setAccessibleName(tr("Notes"));
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setPlainText(companions::designText(QStringLiteral(":/about-notes.txt")));
    Text1->setReadOnly(true);
    Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    platform::place(Text1, 480, 120, 4935, 1575);

    Label1 = new QLabel(QStringLiteral("Coders:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(platform::designFont(9.75, true));
    platform::place(Label1, 840, 1920, 975, 255);

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setFont(platform::designFont(9.75));
    List1->setAccessibleName(tr("Coders"));
    Label1->setBuddy(List1);
    List1->addItems({QStringLiteral("Corvane"), QStringLiteral("Weylan")});
    platform::place(List1, 2160, 1920, 1695, 510);

    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setFont(platform::designFont(9.75));
    cmdClose->setAutoDefault(false);
    platform::place(cmdClose, 4560, 2160, 1215, 375);

    setTabOrder(Text1, List1);
    setTabOrder(List1, cmdClose);
}

void FrmAbout::connectEvents()
{
    connect(cmdClose, &QPushButton::clicked, this, &FrmAbout::cmdClose_Click);
}

void FrmAbout::cmdClose_Click()
{
    platform::unloadWindow(this);
}
