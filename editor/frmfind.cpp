#include "editor/frmfind.h"

#include "editor/frmmain.h"
#include "editor/program.h"
#include "odf/odfstyler.h"
#include "platform/forms/design.h"
#include "platform/forms/forms.h"
#include "platform/forms/services.h"
#include "platform/text/richtextbox.h"
#include "platform/text/searchmarks.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

using platform::search::Found;

namespace {

// The marks' colour: the palette's highlight, taken toward the text colour as
// far as it needs to stand 3:1 against the background.
QColor markColour(const QPalette& palette)
{
    const QColor base = palette.color(QPalette::Base);
    const QColor from = palette.color(QPalette::Highlight);
    const QColor to = palette.color(QPalette::Text);
    for (int step = 0; step <= 20; ++step) {
        const double t = step / 20.0;
        const QColor mixed =
            QColor::fromRgbF(float(from.redF() + (to.redF() - from.redF()) * t),
                             float(from.greenF() + (to.greenF() - from.greenF()) * t),
                             float(from.blueF() + (to.blueF() - from.blueF()) * t));
        if (platform::OdfStyler::contrast(mixed, base) >= 3.0)
            return mixed;
    }
    return to;
}

} // namespace

FrmFind::FrmFind(Program& program)
    : QDialog(program.frmMain.get(),
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_program(program)
{
    setObjectName(QStringLiteral("frmFind"));
    setModal(false);
    createControls();
    connectEvents();
    platform::RichTextBox* box = document();
    m_counter = new platform::MatchCounter(*box, this);
    m_marks = new platform::SearchMarks(*box, this);
    m_marks->setColour(markColour(box->palette()));
    connect(m_counter, &platform::MatchCounter::counted, this, &FrmFind::showCount);
}

FrmFind::~FrmFind() = default;

void FrmFind::createControls()
{
    const auto add = [](auto* control, const char* name, int left, int top, int width, int height) {
        control->setObjectName(QString::fromLatin1(name));
        control->setFont(platform::designFont(9.75));
        platform::place(control, left, top, width, height);
        return control;
    };
    Label1 = add(new QLabel(QStringLiteral("Fi&nd what:"), this), "Label1", 120, 180, 1335, 255);
    txtFind = add(new QLineEdit(this), "txtFind", 1500, 120, 3000, 330);
    Label2 = add(new QLabel(QStringLiteral("Re&place with:"), this), "Label2", 120, 600, 1335, 255);
    txtReplace = add(new QLineEdit(this), "txtReplace", 1500, 540, 3000, 330);
    Label1->setBuddy(txtFind);
    Label2->setBuddy(txtReplace);
    chkMatchCase = add(new QCheckBox(QStringLiteral("Match &case"), this), "chkMatchCase", 120,
                       1020, 2760, 285);
    chkWholeWord = add(new QCheckBox(QStringLiteral("Match &whole word only"), this),
                       "chkWholeWord", 120, 1320, 2760, 285);
    chkWrap =
        add(new QCheckBox(QStringLiteral("Wrap ar&ound"), this), "chkWrap", 120, 1620, 2760, 285);
    chkWrap->setChecked(true);
    optUp = add(new QRadioButton(QStringLiteral("&Up"), this), "optUp", 3000, 1020, 735, 285);
    optDown = add(new QRadioButton(QStringLiteral("&Down"), this), "optDown", 3750, 1020, 855, 285);
    optDown->setChecked(true);
    cmdFindNext = add(new QPushButton(QStringLiteral("&Find Next"), this), "cmdFindNext", 4680, 120,
                      1335, 375);
    cmdReplace =
        add(new QPushButton(QStringLiteral("&Replace"), this), "cmdReplace", 4680, 540, 1335, 375);
    cmdReplaceAll = add(new QPushButton(QStringLiteral("Replace &All"), this), "cmdReplaceAll",
                        4680, 960, 1335, 375);
    cmdCancel =
        add(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel", 4680, 1380, 1335, 375);
    lblStatus = add(new QLabel(this), "lblStatus", 120, 2010, 5895, 255);
    for (QPushButton* button : {cmdFindNext, cmdReplace, cmdReplaceAll, cmdCancel})
        button->setAutoDefault(false);
    // Enter anywhere but on another button finds the next match.
    cmdFindNext->setDefault(true);
    QWidget* const order[] = {txtFind, txtReplace,  chkMatchCase, chkWholeWord,  chkWrap,  optUp,
                              optDown, cmdFindNext, cmdReplace,   cmdReplaceAll, cmdCancel};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void FrmFind::connectEvents()
{
    connect(cmdFindNext, &QPushButton::clicked, this, &FrmFind::cmdFindNext_Click);
    connect(cmdReplace, &QPushButton::clicked, this, &FrmFind::cmdReplace_Click);
    connect(cmdReplaceAll, &QPushButton::clicked, this, &FrmFind::cmdReplaceAll_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &FrmFind::cmdCancel_Click);
    // The field holds one line: of text pasted into it, the first.
    connect(txtFind, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (platform::search::firstLine(text) != text)
            txtFind->setText(platform::search::firstLine(text));
        requestChanged();
    });
    for (const bool backward : {false, true}) { // F3 and Shift+F3, as in the document
        auto* key = new QAction(this);
        key->setShortcut(backward ? QKeySequence(Qt::SHIFT | Qt::Key_F3)
                                  : QKeySequence(Qt::Key_F3));
        connect(key, &QAction::triggered, this, [this, backward] { find(backward); });
        addAction(key);
    }
    for (QCheckBox* box : {chkMatchCase, chkWholeWord})
        connect(box, &QCheckBox::toggled, this, &FrmFind::requestChanged);
}

void FrmFind::open(Program& program, bool replace)
{
    FrmMain* main = program.frmMain.get();
    const QString selected = main->rtfBox->selectedPlainText();
    FrmFind* window = program.frmFind.Load();
    window->setMode(replace);
    const bool oneLine = !selected.isEmpty() && platform::search::firstLine(selected) == selected;
    window->txtFind->setText(oneLine ? selected : program.lastSearch.text);
    window->txtFind->selectAll();
    window->requestChanged();
    program.frmFind.Show();
    window->txtFind->setFocus();
}

void FrmFind::findAgain(Program& program, bool backward)
{
    if (program.frmFind.isLoaded())
        return program.frmFind->find(backward);
    if (program.lastSearch.text.isEmpty())
        return open(program, false);
    if (platform::search::findNext(*program.frmMain->rtfBox, program.lastSearch, backward,
                                   program.lastWrap) == Found::No)
        program.services().beep();
}

void FrmFind::setMode(bool replace)
{
    setWindowTitle(replace ? QStringLiteral("Replace") : QStringLiteral("Find"));
    for (QWidget* control :
         std::initializer_list<QWidget*>{Label2, txtReplace, cmdReplace, cmdReplaceAll})
        control->setVisible(replace);
    optUp->setVisible(!replace);
    optDown->setVisible(!replace);
    platform::resizeClient(this, 6135, 2385);
    lblStatus->clear();
}

platform::RichTextBox* FrmFind::document() const
{
    return m_program.frmMain->rtfBox;
}

platform::SearchRequest FrmFind::request() const
{
    return {txtFind->text(), chkMatchCase->isChecked(), chkWholeWord->isChecked()};
}

// What is searched for changed: the marks and the count follow it.
void FrmFind::requestChanged()
{
    if (m_marks == nullptr)
        return;
    m_marks->setRequest(request());
    m_counter->setRequest(request());
    m_showsMatch = false;
    lblStatus->clear();
}

void FrmFind::find(bool backward)
{
    if (txtFind->text().isEmpty())
        return notFound();
    m_program.lastSearch = request();
    m_program.lastWrap = chkWrap->isChecked();
    showFound(platform::search::findNext(*document(), request(), backward, chkWrap->isChecked()));
}

void FrmFind::cmdFindNext_Click()
{
    find(optUp->isVisible() && optUp->isChecked());
}

void FrmFind::cmdReplace_Click()
{
    if (document()->isReadOnly())
        return m_program.services().beep();
    platform::search::replaceSelection(*document(), request(), txtReplace->text());
    find(false);
}

void FrmFind::cmdReplaceAll_Click()
{
    if (document()->isReadOnly())
        return m_program.services().beep();
    m_program.lastSearch = request();
    const qsizetype replaced =
        platform::search::replaceAll(*document(), request(), txtReplace->text());
    if (replaced < 0) // refused, and the main window says why
        return lblStatus->clear();
    if (replaced == 0)
        return notFound();
    m_showsMatch = false;
    lblStatus->setText(replaced == 1 ? tr("1 match replaced.")
                                     : tr("%1 matches replaced.").arg(replaced));
}

void FrmFind::cmdCancel_Click()
{
    reject();
}

// Escape, Cancel and the close box hide the window and unload it.
void FrmFind::reject()
{
    QDialog::reject();
    platform::unloadWindow(this);
}

void FrmFind::showFound(Found found)
{
    if (found == Found::No)
        return notFound();
    m_showsMatch = true;
    showCount();
    moveAside();
}

// "3 of 12" for the match shown, once the count is known.
void FrmFind::showCount()
{
    if (!m_showsMatch)
        return;
    const qsizetype total = m_counter->total();
    const qsizetype index = m_counter->indexOfSelection();
    lblStatus->setText(total < 0 || index == 0 ? QString() : tr("%1 of %2").arg(index).arg(total));
}

void FrmFind::notFound()
{
    m_showsMatch = false;
    lblStatus->setText(tr("\"%1\" was not found.").arg(txtFind->text()));
    m_program.services().beep();
}

// Above the match if there is room on the screen, else below it.
void FrmFind::moveAside()
{
    const QRect match = platform::search::selectionRect(*document());
    const QRect frame = frameGeometry();
    if (match.isEmpty() || !frame.intersects(match))
        return;
    const QRect screen = this->screen()->availableGeometry();
    const int above = match.top() - frame.height() - 8;
    move(frame.left(), above >= screen.top() ? above : match.bottom() + 8);
}
