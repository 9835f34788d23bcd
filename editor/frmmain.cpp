#include "editor/frmmain.h"

#include "companions/designtext.h"
#include "companions/frmabout.h"
#include "companions/frmexample.h"
#include "companions/frmpreview.h"
#include "companions/frmpublished.h"
#include "editor/program.h"
#include "odf/keyhelp.h"
#include "odf/odfstyler.h"
#include "platform/forms/design.h"
#include "platform/forms/filenames.h"
#include "platform/forms/forms.h"
#include "platform/forms/runtimeerror.h"
#include "platform/forms/services.h"
#include "platform/text/richtextbox.h"
#include "platform/text/textfile.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

#include <utility>

namespace {

// The height that the read-only notice takes from the top of the text area.
constexpr int kNoticeHeight = 480;

// Sets a flag for the length of a scope.
class FlagGuard
{
public:
    explicit FlagGuard(bool& flag) : m_flag(flag), m_old(flag) { m_flag = true; }
    ~FlagGuard() { m_flag = m_old; }

private:
    bool& m_flag;
    bool m_old;
};

} // namespace

using platform::MsgBox::Answer;
using platform::MsgBox::Style;

FrmMain::FrmMain(Program& program, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      cdl1(program.services(), this, QStringLiteral("cdl1")),
      cdl2(program.services(), this, QStringLiteral("cdl2")), m_program(program)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Tessmark 2.0"));
    setWindowIcon(platform::programIcon());
    cdl1.DialogTitle = QStringLiteral("Open...");
    cdl2.DialogTitle = QStringLiteral("Save As...");
    cdl2.ConfirmReplace = [this](const QString& path) {
        return m_file.mayReplace(m_program.services(), this, path);
    };

    createControls();
    createMenus();
    createSearchKeys();
    createUndoKeys();
    connectEvents();
    setAcceptDrops(true);
    platform::fixClientSize(this, 8100, 7095);
    rtfBox->setFocus();
}

void FrmMain::createControls()
{
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("frmMainClient"));
    setCentralWidget(client);

    rtfBox = new platform::RichTextBox(client);
    rtfBox->setObjectName(QStringLiteral("rtfBox"));
    rtfBox->setFont(platform::designFont(9.75));
    rtfBox->setAccessibleName(tr("Document"));
    // The document reads as ODF: its parts in colour, and F1 or the mouse
    // resting on a key shows what the blank template says of it.
    new platform::OdfStyler(rtfBox);
    new platform::KeyHelp(rtfBox, companions::designText(QStringLiteral(":/template.odf")));
    platform::place(rtfBox, 120, 120, 7815, 6015);

    cmdClear = new QPushButton(QStringLiteral("Clear"), client);
    cmdClear->setObjectName(QStringLiteral("cmdClear"));
    cmdClear->setFont(platform::designFont(8.25));
    cmdClear->setToolTip(
        QStringLiteral("Clears the ALL of the text which is currently in the Tessmark..."));
    platform::place(cmdClear, 240, 6360, 1215, 375);

    cmdMinimize = new QPushButton(QStringLiteral("Minimize"), client);
    cmdMinimize->setObjectName(QStringLiteral("cmdMinimize"));
    cmdMinimize->setFont(platform::designFont(9.75));
    platform::place(cmdMinimize, 1680, 6360, 1215, 375);

    lblReadOnly = new QLabel(client);
    lblReadOnly->setObjectName(QStringLiteral("lblReadOnly"));
    lblReadOnly->setFont(platform::designFont(8.25));
    lblReadOnly->setWordWrap(true);
    lblReadOnly->hide();
    platform::place(lblReadOnly, 120, 120, 7815, kNoticeHeight);

    for (QPushButton* button : {cmdClear, cmdMinimize})
        button->setAutoDefault(false);
    setTabOrder(rtfBox, cmdClear);
    setTabOrder(cmdClear, cmdMinimize);
}

QAction* FrmMain::addItem(QMenu* menu, const char* name, const QString& caption,
                          const QKeySequence& shortcut)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    // Menu shortcuts work wherever the focus is in this window.
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    return action;
}

void FrmMain::createMenus()
{
    QMenuBar* bar = menuBar();
    const auto addMenu = [bar](const char* name, const QString& caption) {
        QMenu* menu = bar->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    const auto addSeparator = [](QMenu* menu, const char* name) {
        QAction* separator = menu->addSeparator();
        separator->setObjectName(QString::fromLatin1(name));
        return separator;
    };

    mnuFile = addMenu("mnuFile", QStringLiteral("&File"));
    mnuNew = addItem(mnuFile, "mnuNew", QStringLiteral("&New"), QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuOpen =
        addItem(mnuFile, "mnuOpen", QStringLiteral("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuSaveAs = addItem(mnuFile, "mnuSaveAs", QStringLiteral("&Save As..."),
                        QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuFileSep1 = addSeparator(mnuFile, "mnuFileSep1");
    mnuExit = addItem(mnuFile, "mnuExit", QStringLiteral("&Exit"));

    mnuEdit = addMenu("mnuEdit", QStringLiteral("&Edit"));
    mnuCut = addItem(mnuEdit, "mnuCut", QStringLiteral("&Cut"), QKeySequence(Qt::CTRL | Qt::Key_X));
    mnuCopy =
        addItem(mnuEdit, "mnuCopy", QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C));
    mnuPaste =
        addItem(mnuEdit, "mnuPaste", QStringLiteral("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuEditSep1 = addSeparator(mnuEdit, "mnuEditSep1");
    mnuSelectAll = addItem(mnuEdit, "mnuSelectAll", QStringLiteral("&Select All"),
                           QKeySequence(Qt::CTRL | Qt::Key_A));
    mnuCut->setEnabled(false);
    mnuCopy->setEnabled(false);
    mnuPaste->setEnabled(false);

    mnuView = addMenu("mnuView", QStringLiteral("&View"));
    mnuHardpointViewer =
        addItem(mnuView, "mnuHardpointViewer", QStringLiteral("&Hardpoint Viewer"));

    mnuInsert = addMenu("mnuInsert", QStringLiteral("&Insert"));
    mnuInclude = addItem(mnuInsert, "mnuInclude", QStringLiteral("&Include Line"));
    mnuItemSeparator = addItem(mnuInsert, "mnuItemSeparator", QStringLiteral("&Item Separator"));
    // These two captions have no access key; "&&" would not be wanted here.
    mnudoubleslash = addItem(mnuInsert, "mnudoubleslash", QStringLiteral("//"));
    mnuhash = addItem(mnuInsert, "mnuhash", QStringLiteral("#"));

    mnuProgramExtras = addMenu("mnuProgramExtras", QStringLiteral("&Program Extras"));
    mnuOpenExample =
        addItem(mnuProgramExtras, "mnuOpenExample", QStringLiteral("&Open and Example ODF..."));
    mnuOpenPublished =
        addItem(mnuProgramExtras, "mnuOpenPublished", QStringLiteral("&Open a published ODF..."));

    mnuHelp = addMenu("mnuHelp", QStringLiteral("&Help"));
    mnuAbout = addItem(mnuHelp, "mnuAbout", QStringLiteral("&About Tessmark 2.0..."));
}

// Undo and Redo reach the document from anywhere in the window, Clear's
// button included, as the Edit menu's do in the desktop's own editors; in the
// text they are the control's own keys.
void FrmMain::createUndoKeys()
{
    const auto addKeys = [this](const QList<QKeySequence>& keys,
                                void (platform::RichTextBox::*step)()) {
        auto* action = new QAction(this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, rtfBox, step);
        addAction(action);
    };
    addKeys({QKeySequence(Qt::CTRL | Qt::Key_Z)}, &platform::RichTextBox::undo);
    addKeys({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
            &platform::RichTextBox::redo);
}

void FrmMain::connectEvents()
{
    connect(rtfBox, &platform::RichTextBox::Change, this, &FrmMain::rtfBox_Change);
    connect(rtfBox, &platform::RichTextBox::editRefused, this, &FrmMain::refuseLongLine);
    connect(cmdClear, &QPushButton::clicked, this, &FrmMain::cmdClear_Click);
    connect(cmdMinimize, &QPushButton::clicked, this, &FrmMain::cmdMinimize_Click);
    connect(mnuNew, &QAction::triggered, this, &FrmMain::mnuNew_Click);
    connect(mnuOpen, &QAction::triggered, this, &FrmMain::mnuOpen_Click);
    connect(mnuSaveAs, &QAction::triggered, this, &FrmMain::mnuSaveAs_Click);
    connect(mnuExit, &QAction::triggered, this, &FrmMain::mnuExit_Click);
    connect(mnuCut, &QAction::triggered, this, &FrmMain::mnuCut_Click);
    connect(mnuCopy, &QAction::triggered, this, &FrmMain::mnuCopy_Click);
    connect(mnuPaste, &QAction::triggered, this, &FrmMain::mnuPaste_Click);
    connect(mnuSelectAll, &QAction::triggered, this, &FrmMain::mnuSelectAll_Click);
    connect(mnuHardpointViewer, &QAction::triggered, this, &FrmMain::mnuHardpointViewer_Click);
    connect(mnuInclude, &QAction::triggered, this, &FrmMain::mnuInclude_Click);
    connect(mnuItemSeparator, &QAction::triggered, this, &FrmMain::mnuItemSeparator_Click);
    connect(mnudoubleslash, &QAction::triggered, this, &FrmMain::mnudoubleslash_Click);
    connect(mnuhash, &QAction::triggered, this, &FrmMain::mnuhash_Click);
    connect(mnuOpenExample, &QAction::triggered, this, &FrmMain::mnuOpenExample_Click);
    connect(mnuOpenPublished, &QAction::triggered, this, &FrmMain::mnuOpenPublished_Click);
    connect(mnuAbout, &QAction::triggered, this, &FrmMain::mnuAbout_Click);
    // Drops arrive at the document's viewport; files are taken there first.
    rtfBox->viewport()->installEventFilter(this);
}

// --- The window's own events ---

void FrmMain::rtfBox_Change()
{
    const bool hasText = !rtfBox->isEmpty();
    mnuCut->setEnabled(hasText);
    mnuCopy->setEnabled(hasText);
    // Typing and undoing back to what was last opened or saved is no change.
    if (!m_writing)
        blnChanged = rtfBox->isModified();
    showReadOnlyNotice();
}

void FrmMain::showReadOnlyNotice()
{
    showNotice(rtfBox->isReadOnly()
                   ? tr("Read-only: a line of this file is longer than %1 bytes, too long to edit "
                        "here, and is shown cut into lines. Save As still writes the file back "
                        "byte for byte.")
                         .arg(platform::kMaxLineLength)
                   : QString());
}

// An edit that would have made a line too long was refused; the notice stays
// until the text changes.
void FrmMain::refuseLongLine()
{
    m_program.services().beep();
    showNotice(tr("Not changed: the edit would make a line longer than %1 bytes, too long to "
                  "edit here. Break the line first.")
                   .arg(platform::kMaxLineLength));
}

// The notice takes the top of the text area while it has something to say.
void FrmMain::showNotice(const QString& text)
{
    const int notice = text.isEmpty() ? 0 : kNoticeHeight;
    lblReadOnly->setText(text);
    lblReadOnly->setAccessibleName(text);
    lblReadOnly->setVisible(notice != 0);
    platform::place(rtfBox, 120, 120 + notice, 7815, 6015 - notice);
}

void FrmMain::cmdClear_Click()
{
    if (rtfBox->isReadOnly())
        return m_program.services().beep(); // Undo could not bring the text back
    writeText(QString());
}

void FrmMain::cmdMinimize_Click()
{
    platform::minimizeWindow(this);
}

void FrmMain::writeText(const QString& text)
{
    const FlagGuard guard(m_writing);
    rtfBox->setText(text);
}

// --- File ---

void FrmMain::mnuNew_Click()
{
    if (!settleChanges())
        return;
    writeText(QString());
    rtfBox->setFormat(platform::TextFormat());
    // A new document: no Undo may bring back text of another encoding.
    rtfBox->clearUndoHistory();
    blnChanged = false;
    m_file.clear();
}

void FrmMain::mnuOpen_Click()
{
    if (!settleChanges())
        return;
    cdl1.Flags = platform::CommonDialog::Explorer | platform::CommonDialog::FileMustExist |
                 platform::CommonDialog::PathMustExist;
    cdl1.Filter = kOdfFilter;
    cdl1.CancelError = true;
    cdl1.InitDir = strLastopen;
    if (cdl1.ShowOpen())
        openFile(cdl1.FileName);
}

void FrmMain::openFile(const QString& path)
{
    if (platform::looksBinary(path) &&
        m_program.services().msgBox(
            this,
            tr("\"%1\" does not look like a text file: it holds NUL bytes.\n\n"
               "Open it anyway? Saved without changes, it is written back exactly as it is.")
                .arg(path),
            Style::YesNo | Style::Exclamation) != Answer::Yes)
        return;
    try {
        const FlagGuard guard(m_writing);
        rtfBox->LoadFile(path);
    } catch (const platform::RuntimeError& error) {
        reportFileError(tr("open"), path, error);
        return;
    }
    setWindowTitle(QFileInfo(path).fileName());
    strLastopen = path;
    blnChanged = false;
    m_file.set(path);
}

void FrmMain::reportFileError(const QString& what, const QString& path,
                              const platform::RuntimeError& error)
{
    m_program.services().msgBox(
        this, tr("Could not %1 \"%2\".\n\n%3").arg(what, path, error.description()),
        Style::OkOnly | Style::Exclamation);
}

void FrmMain::mnuExit_Click()
{
    platform::Services& services = m_program.services();
    services.beep();
    if (services.msgBox(this, tr("Are you sure you want to Quit?"),
                        Style::YesNo | Style::Question) == Answer::Yes)
        services.end();
}

// --- Edit ---

void FrmMain::mnuCut_Click()
{
    rtfBox->Cut();
    mnuPaste->setEnabled(true);
}

// With nothing selected, what another program put on the clipboard stays.
void FrmMain::mnuCopy_Click()
{
    const QString selected = rtfBox->selectedPlainText();
    if (!selected.isEmpty()) {
        QClipboard* clipboard = QApplication::clipboard();
        clipboard->clear();
        clipboard->setText(selected);
    }
    mnuPaste->setEnabled(true);
}

void FrmMain::mnuPaste_Click()
{
    mnuPaste->setEnabled(true);
    rtfBox->Paste();
}

void FrmMain::mnuSelectAll_Click()
{
    rtfBox->selectAll();
}

// --- View ---

void FrmMain::mnuHardpointViewer_Click()
{
    m_program.frmPreview.Load();
    m_program.frmPreview.Show();
}

// --- Insert: each appends its snippet to the very end of the text ---

void FrmMain::mnuInclude_Click()
{
    strInclude = QStringLiteral("#include ") + QChar(34) + QStringLiteral(".odf") + QChar(34);
    rtfBox->appendText(strInclude);
}

void FrmMain::mnuItemSeparator_Click()
{
    strItemSeparator = QStringLiteral("//") + QString(53, QLatin1Char('*'));
    rtfBox->appendText(strItemSeparator);
}

void FrmMain::mnudoubleslash_Click()
{
    strDoubleSlash = QStringLiteral("//");
    rtfBox->appendText(strDoubleSlash);
}

void FrmMain::mnuhash_Click()
{
    strHash = QStringLiteral("#");
    rtfBox->appendText(strHash);
}

// --- Program Extras and Help: each opens its window, modeless and without an
// owner, or brings it forward if it is open ---

void FrmMain::mnuOpenExample_Click()
{
    m_program.frmExample.Load();
    m_program.frmExample.Show();
}

void FrmMain::mnuOpenPublished_Click()
{
    m_program.frmPublished.Load();
    m_program.frmPublished.Show();
}

void FrmMain::mnuAbout_Click()
{
    m_program.frmAbout.Load();
    m_program.frmAbout.Show();
}
