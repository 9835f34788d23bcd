#include "editor/frmgoto.h"

#include "platform/forms/design.h"
#include "platform/forms/services.h"
#include "platform/text/richtextbox.h"
#include "platform/text/textsearch.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

FrmGoTo::FrmGoTo(platform::RichTextBox& document, platform::Services& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_document(document), m_services(services)
{
    setObjectName(QStringLiteral("frmGoTo"));
    setWindowTitle(QStringLiteral("Go To Line"));
    setAttribute(Qt::WA_DeleteOnClose);

    const auto add = [](auto* control, const char* name, int left, int top, int width, int height) {
        control->setObjectName(QString::fromLatin1(name));
        control->setFont(platform::designFont(9.75));
        platform::place(control, left, top, width, height);
        return control;
    };
    Label1 = add(new QLabel(QStringLiteral("&Line number:"), this), "Label1", 120, 150, 1440, 255);
    txtLine = add(new QLineEdit(this), "txtLine", 1620, 120, 1455, 330);
    txtLine->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,12}")), this));
    Label1->setBuddy(txtLine);
    lblCount = add(new QLabel(tr("of %1").arg(platform::search::lineCount(document)), this),
                   "lblCount", 3195, 150, 1500, 255);
    cmdGoTo = add(new QPushButton(tr("&Go To"), this), "cmdGoTo", 1620, 600, 1215, 375);
    cmdCancel = add(new QPushButton(tr("Cancel"), this), "cmdCancel", 2955, 600, 1215, 375);
    cmdCancel->setAutoDefault(false);
    cmdGoTo->setAutoDefault(false);
    cmdGoTo->setDefault(true); // Enter in the field
    connect(cmdGoTo, &QPushButton::clicked, this, &FrmGoTo::cmdGoTo_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    platform::resizeClient(this, 4815, 1095);
    txtLine->setFocus();
}

// A number out of range, or none, is answered with a message, and the caret
// stays where it was.
void FrmGoTo::cmdGoTo_Click()
{
    const qsizetype lines = platform::search::lineCount(m_document);
    bool number = false;
    const qlonglong line = txtLine->text().toLongLong(&number);
    if (!number || line < 1 || line > lines) {
        m_services.msgBox(this, tr("Type a line number from 1 to %1.").arg(lines),
                          platform::MsgBox::OkOnly | platform::MsgBox::Exclamation);
        txtLine->selectAll();
        return;
    }
    platform::search::goToLine(m_document, line);
    accept();
}
