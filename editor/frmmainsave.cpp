#include "editor/frmmain.h"

#include "editor/program.h"
#include "platform/forms/runtimeerror.h"
#include "platform/forms/services.h"
#include "platform/text/richtextbox.h"

// Save As, and the Save Changes? question that runs it.

using platform::MsgBox::Answer;
using platform::MsgBox::Style;

void FrmMain::mnuSaveAs_Click()
{
    saveAs();
}

bool FrmMain::saveAs()
{
    cdl2.Filter = kOdfFilter;
    cdl2.CancelError = true;
    cdl2.InitDir = strLastsave;
    cdl2.FileName = m_file.path(); // Enter saves in place
    cdl2.DefaultExt = QStringLiteral("odf");
    if (!cdl2.ShowSave())
        return false;

    const platform::TextFormat format = rtfBox->format();
    if (!rtfBox->canEncodeText()) {
        const int answer = m_program.services().msgBox(
            this,
            tr("The text holds characters that cannot be stored in the file's encoding "
               "(Windows-1252).\n\nSave it as UTF-8 instead?"),
            Style::YesNo | Style::Question);
        if (answer != Answer::Yes)
            return false;
        platform::TextFormat utf8 = format;
        utf8.encoding = platform::Encoding::Utf8;
        rtfBox->setFormat(utf8);
    }
    try {
        rtfBox->SaveFile(cdl2.FileName, platform::RichTextBox::PlainText);
    } catch (const platform::RuntimeError& error) {
        rtfBox->setFormat(format);
        reportFileError(tr("save"), cdl2.FileName, error);
        return false;
    }
    setWindowTitle(cdl2.FileName);
    rtfBox->setSavePoint();
    blnChanged = false;
    strLastsave = cdl2.FileName;
    m_file.set(cdl2.FileName);
    return true;
}

bool FrmMain::settleChanges()
{
    if (!blnChanged)
        return true;
    switch (m_program.services().msgBox(this, tr("Save Changes?"),
                                        Style::YesNoCancel | Style::Question)) {
    case Answer::Yes:
        return saveAs();
    case Answer::No:
        return true;
    default:
        return false;
    }
}
