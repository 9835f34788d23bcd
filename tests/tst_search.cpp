// Find, Replace and Go To on the main window's document: what is found as a
// user sees it (folding in every script, whole words, Windows-1252 files, the
// cuts of a read-only long line), the replacements refused, the marks of the
// other matches and the line a number reaches. What Replace All leaves on disk
// and what Undo gives back are checked by the end-to-end search scenario and
// against the model of tst_fidelity.
#include "editor/frmfind.h"
#include "editor/frmgoto.h"
#include "odf/odfstyler.h"
#include "platform/text/richtextbox.h"
#include "platform/text/searchmarks.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using platform::MsgBox::Style;

namespace {

// A line of 2,045 x: the file's first cut falls three bytes after it.
const QByteArray kLong(2045, 'x');

} // namespace

class TestSearch : public QObject, Fixture
{
    Q_OBJECT

    platform::RichTextBox* box() const { return main->rtfBox; }
    FrmFind* window() const { return program->frmFind.get(); }

    void openBytes(const QByteArray& bytes) { main->openFile(write(u"in.odf"_s, bytes)); }
    FrmFind* findWindow(const QString& text, bool replace = false, bool matchCase = false,
                        bool wholeWord = false)
    {
        FrmFind::open(*program, replace);
        window()->txtFind->setText(text);
        window()->chkMatchCase->setChecked(matchCase);
        window()->chkWholeWord->setChecked(wholeWord);
        return window();
    }
    // Find Next until nothing more is found; the matches as the clipboard
    // would get them, joined by "|".
    QString everyMatch(FrmFind* find)
    {
        find->chkWrap->setChecked(false);
        QStringList found;
        for (int beeps = script.beeps; script.beeps == beeps && found.size() < 20;) {
            find->cmdFindNext->click();
            if (script.beeps == beeps)
                found << box()->selectedPlainText();
        }
        return found.join(u'|');
    }

private slots:
    void init() { start(); }
    void cleanup() { QVERIFY(finish()); }

    void finds_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<QString>("found");
        const auto row = [](const char* name, const QByteArray& file, const char* text,
                            const char* found, bool matchCase = false, bool wholeWord = false) {
            QTest::newRow(name) << file << QString::fromUtf8(text) << matchCase << wholeWord
                                << QString::fromUtf8(found);
        };
        row("é folds to É", "caf\xC3\xA9 CAF\xC3\x89 cafe", "CAFÉ", "café|CAFÉ");
        row("case kept", "caf\xC3\xA9 CAF\xC3\x89", "CAFÉ", "CAFÉ", true);
        row("Windows-1252 file", "caf\xE9 CAF\xC9 \x80", "é", "é|É");
        row("Greek final sigma", "ΣΊΣΥΦΟΣ σίσυφος", "σίσυφοσ", "ΣΊΣΥΦΟΣ|σίσυφος");
        row("Cyrillic folded", "Жук жук", "жУК", "Жук|жук");
        row("a three-byte K folds to k", "\xE2\x84\xAA\xC3\xA9 k", "K", "\u212A|k");
        row("after a multi-byte character", "€€a", "€a", "€a");
        row("words: _ and digits continue them", "hp max_hp hp2 2hp hp_ (hp) hp", "hp", "hp|hp|hp",
            false, true);
        row("words: accented letters continue them", "éhp hpé hp", "hp", "hp", false, true);
        row("words: a pattern's blank edge", "ahp hp", " hp", " hp", false, true);
        row("across a cut of a long line", kLong + "needle ne", "needle", "needle");
        row("no word ends at a cut", kLong + " abcd ab", "ab", "ab", false, true);
        row("no word starts after a cut", kLong + "abccd cd", "cd", "cd", false, true);
    }

    // Each match once, in order, from the start of the document.
    void finds()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, text);
        QFETCH(bool, matchCase);
        QFETCH(bool, wholeWord);
        QFETCH(QString, found);
        openBytes(file);
        box()->setCursorPosition(0);
        QCOMPARE(everyMatch(findWindow(text, false, matchCase, wholeWord)), found);
    }

    // Up and Down, Wrap Around, the count, and F3 and Shift+F3 from the
    // document once the window is closed.
    void directionsAndCount()
    {
        openBytes("one two one three one"_ba);
        box()->setCursorPosition(5);
        FrmFind* find = findWindow(u"one"_s);
        find->cmdFindNext->click();
        QCOMPARE(box()->anchorPosition(), 8);
        QTRY_COMPARE(find->lblStatus->text(), u"2 of 3"_s);
        find->optUp->setChecked(true);
        find->cmdFindNext->click();
        find->cmdFindNext->click(); // round to the last
        QCOMPARE(box()->anchorPosition(), 18);
        QTRY_COMPARE(find->lblStatus->text(), u"3 of 3"_s);
        find->chkWrap->setChecked(false);
        find->optDown->setChecked(true);
        find->cmdFindNext->click();
        QCOMPARE(script.beeps, 1);
        find->cmdCancel->click();
        QTRY_VERIFY(!program->frmFind.isLoaded());
        main->activateWindow(); // which the window manager does
        QVERIFY(QTest::qWaitForWindowActive(main));
        box()->setCursorPosition(0);
        QTest::keySequence(box(), QKeySequence(u"Shift+F3"_s)); // without wrapping
        QCOMPARE(script.beeps, 2);
        QTest::keySequence(box(), QKeySequence(u"F3"_s));
        QCOMPARE(box()->selectedPlainText(), u"one"_s);
        QCOMPARE(box()->cursorPosition(), 3);
    }

    // A read-only document is searched but never changed; no replacement
    // makes a line longer than the engine can edit.
    void refusals()
    {
        openBytes(QByteArray(2000, 'x') + " hp hp\r\n");
        FrmFind* replace = findWindow(u"hp"_s, true);
        replace->txtReplace->setText(QString(28, u'h'));
        replace->cmdReplaceAll->click();
        QCOMPARE(script.beeps, 1);
        QVERIFY(main->lblReadOnly->isVisible());
        QVERIFY(!main->blnChanged);
        replace->txtReplace->setText(QString(23, u'h')); // to the limit exactly
        replace->cmdReplaceAll->click();
        QCOMPARE(box()->textLength(), 2050);
        script.beeps = 0;
        openBytes(kLong + "abc abc"_ba);
        FrmFind* find = findWindow(u"abc"_s, true);
        find->txtReplace->setText(u"z"_s);
        find->cmdReplaceAll->click();
        find->cmdFindNext->click();
        find->cmdReplace->click();
        QCOMPARE(script.beeps, 2);
        QCOMPARE(box()->selectedPlainText(), u"abc"_s);
        QVERIFY(!main->blnChanged);
    }

    // The other matches in view are marked while the window is open, and
    // stand 3:1 against the background of a light and a dark palette whose
    // highlight alone would not.
    void marks()
    {
        openBytes("ab ab\r\nab"_ba);
        const std::pair<QColor, QColor> palettes[] = {
            {Qt::white, QColor(0xA0, 0xC8, 0xF0)},
            {QColor(0x1E, 0x1E, 0x1E), QColor(0x2A, 0x3A, 0x5A)}};
        for (const auto& [base, highlight] : palettes) {
            QPalette palette = box()->palette();
            palette.setColor(QPalette::Base, base);
            palette.setColor(QPalette::Text, base.lightness() > 128 ? Qt::black : Qt::white);
            palette.setColor(QPalette::Highlight, highlight);
            box()->setPalette(palette);
            box()->setCursorPosition(0);
            findWindow(u"AB"_s)->cmdFindNext->click();
            auto* marks = main->findChild<platform::SearchMarks*>();
            QVERIFY(marks != nullptr);
            QTRY_COMPARE(marks->marked().size(), size_t(2));
            QCOMPARE(marks->marked().front().start, 3);
            QCOMPARE(marks->marked().back().start, 7);
            const long bgr = box()->SendScintilla(platform::RichTextBox::SCI_INDICGETFORE,
                                                  platform::RichTextBox::INDIC_CONTAINER);
            const QColor mark(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
            QVERIFY2(platform::OdfStyler::contrast(mark, base) >= 3.0, qPrintable(mark.name()));
            window()->cmdCancel->click();
            QTRY_VERIFY(!program->frmFind.isLoaded() &&
                        main->findChild<platform::SearchMarks*>() == nullptr);
        }
        QVERIFY(platform::SearchMarks(*box(), nullptr).marked().empty());
    }

    // Ctrl+F takes a selection within one line, Replace from the context menu
    // (after its editing items) the text last looked for when the selection
    // spans lines. (The end-to-end search scenario presses Ctrl+H and Ctrl+G.)
    void keysAndMenu()
    {
        openBytes("alpha beta\r\nalpha"_ba);
        box()->setSelection(0, 5);
        QTest::keySequence(box(), QKeySequence(u"Ctrl+F"_s));
        QCOMPARE(window()->txtFind->text(), u"alpha"_s);
        QVERIFY(window()->txtReplace->isHidden());
        window()->cmdFindNext->click();
        QCOMPARE(box()->anchorPosition(), 12);
        QTest::keyClick(window()->txtFind, Qt::Key_Escape);
        QTRY_VERIFY(!program->frmFind.isLoaded());
        box()->setSelection(0, 14); // over two lines: Replace keeps the text last looked for
        QStringList items;
        QTimer::singleShot(0, this, [&items] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            for (QAction* item : menu->actions())
                items << item->text() + u' ' + item->shortcut().toString();
            menu->actions().at(11)->trigger(); // Replace...
            menu->close();
        });
        QTest::keySequence(box(), QKeySequence(u"Shift+F10"_s));
        QCOMPARE(items.join(u'|'), u"Undo |Redo | |Cut |Copy |Paste |Delete | |Select All | |"
                                   u"Find... Ctrl+F|Replace... Ctrl+H|Go To... Ctrl+G"_s);
        QVERIFY(!window()->txtReplace->isHidden());
        QCOMPARE(window()->txtFind->text(), u"alpha"_s);
    }

    // Go To Line: the file's lines, the cuts of a long line not counted.
    void goToLine()
    {
        openBytes("a\r\n" + kLong + "abcdef\nb\n"_ba);
        const std::pair<const char*, int> rows[] = {
            {"3", 2056}, {"", -1}, {"0", -1}, {"5", -1}, {"4", 2058}};
        for (const auto& [typed, caret] : rows) {
            box()->setCursorPosition(1);
            auto* dialog = new FrmGoTo(*box(), script, main);
            QCOMPARE(dialog->lblCount->text(), u"of 4"_s);
            dialog->open();
            QTest::keyClicks(dialog->txtLine, QString::fromLatin1(typed));
            QTest::keyClick(dialog->txtLine, Qt::Key_Return);
            if (caret < 0)
                QVERIFY(script.said(Style::OkOnly | Style::Exclamation, u"from 1 to 4"_s));
            QCOMPARE(box()->cursorPosition(), caret < 0 ? 1 : caret);
            delete dialog;
        }
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
