// The main window and its document: files come back byte for byte, keys do
// what they do in a plain text box, the File commands ask what they must and
// nothing more, the Edit menu follows the text, dropped files open, and Find,
// Replace and Go To find what a user sees (typing, Clear, Insert, Replace and
// Replace All are checked against a model in tst_fidelity).
#include "editor/frmfind.h"
#include "editor/frmgoto.h"
#include "odf/odfstyler.h"
#include "platform/forms/runtimeerror.h"
#include "platform/text/richtextbox.h"
#include "platform/text/searchmarks.h"
#include "testsupport.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
#ifndef Q_OS_WIN
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;
using platform::OdfStyler;
using platform::MsgBox::Answer;
using platform::MsgBox::Style;

namespace {

enum Gesture { DropOnDocument, DropOnButton, DropTwice, DragAway };

struct Case
{
    const char* name;
    const char* before; // the document's text, unsaved when `changed`
    bool changed;
    Gesture gesture;
    const char* files; // dropped, in this order
    int answer;        // to the one question asked; 0: none is
    const char* after;
    const char* opened; // the file opened last; "": none
};

using platform::MsgBox::Cancel;
using platform::MsgBox::No;
const Case cases[] = {
    {"a file dropped on the document opens", "", false, DropOnDocument, "a", 0, "alpha\r\n", "a"},
    {"of two files on a button the first opens", "", false, DropOnButton, "b a", 0, "bravo", "b"},
    {"unsaved text, No: the file opens", "abc", true, DropOnDocument, "b a", No, "bravo", "b"},
    {"unsaved text, Cancel: nothing changes", "abc", true, DropOnButton, "a", Cancel, "abc", ""},
    {"two drops before the open: the later, once", "abc", false, DropTwice, "a nulls", No, "abc",
     ""},
    {"a drag that moves on and leaves opens nothing", "abc", false, DragAway, "a", 0, "abc", ""},
};

// Text of that many bytes in lines short enough to edit.
QByteArray lines(qsizetype size)
{
    QByteArray filler(size, 'a');
    for (qsizetype at = 99; at < size; at += 100)
        filler[at] = '\n';
    return filler;
}

// A line of 2,045 x: the file's first cut falls three bytes after it.
const QByteArray kLong(2045, 'x');

} // namespace

class TestEditor : public QObject, Fixture
{
    Q_OBJECT

    platform::RichTextBox* box() const { return main->rtfBox; }
    QString text() const { return main->rtfBox->Text(); }
    void type(const QString& keys) const { QTest::keyClicks(main->rtfBox, keys); }
    // Drags data onto a widget and drops it there, as a drag from another
    // program arrives; returns the action the drop was answered with.
    static Qt::DropAction drop(QWidget* target, const QMimeData& data, QPoint at = {})
    {
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(at, actions, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &drop);
        return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    }
    // Runs Open or Save As; the dialog answers with the file.
    void choose(QAction* item, const QString& file)
    {
        script.files.push_back(file);
        item->trigger();
    }
    void open(const QString& file) { choose(main->mnuOpen, file); }
    void saveAs(const QString& file) { choose(main->mnuSaveAs, file); }
    // Steps, split at blanks: at:N puts the caret before character N,
    // sel:A-B selects, type:TEXT types where the focus is, ime:TEXT commits
    // TEXT from an input method, drop:N:TEXT drops TEXT before character N,
    // insert runs Insert > //, all:A/B replaces every A by B with Replace All
    // and one:A/B presses Replace once; anything else is a key pressed in the
    // document, such as Ctrl+C.
    void play(const QString& steps)
    {
        for (const QString& step : steps.split(u' ')) {
            const QString arg = step.section(u':', 1);
            if (step.startsWith(u"at:"_s)) {
                box()->setCursorPosition(arg.toInt());
            } else if (step.startsWith(u"sel:"_s)) {
                box()->setSelection(arg.section(u'-', 0, 0).toInt(), arg.section(u'-', 1).toInt());
            } else if (step.startsWith(u"type:"_s)) {
                QTest::keyClicks(QApplication::focusWidget(), arg);
            } else if (step.startsWith(u"ime:"_s)) {
                QInputMethodEvent commit;
                commit.setCommitString(arg);
                QApplication::sendEvent(box(), &commit);
            } else if (step.startsWith(u"drop:"_s)) {
                const long at = long(box()->toOffset(arg.section(u':', 0, 0).toInt()));
                const auto point = [this, at](unsigned int message) {
                    return int(box()->SendScintilla(message, 0UL, at));
                };
                QMimeData data;
                data.setText(arg.section(u':', 1));
                drop(box()->viewport(), data,
                     {point(QsciScintillaBase::SCI_POINTXFROMPOSITION),
                      point(QsciScintillaBase::SCI_POINTYFROMPOSITION) + 2});
            } else if (step.startsWith(u"all:"_s) || step.startsWith(u"one:"_s)) {
                FrmFind* find = findWindow(arg.section(u'/', 0, 0), true);
                find->txtReplace->setText(arg.section(u'/', 1));
                (step.startsWith(u"all:"_s) ? find->cmdReplaceAll : find->cmdReplace)->click();
            } else if (step == u"insert"_s) {
                main->mnudoubleslash->trigger();
            } else {
                QTest::keySequence(box(), QKeySequence(step));
            }
        }
    }
    QString format() const
    {
        const platform::TextFormat f = box()->format();
        const QString endings[] = {u"crlf"_s, u"lf"_s, u"cr"_s};
        return (f.encoding == platform::Encoding::Utf8 ? u"utf-8 "_s : u"cp1252 "_s) +
               (f.byteOrderMark ? u"bom "_s : QString()) + endings[int(f.lineEnding)] +
               (main->lblReadOnly->isVisible() ? u" read-only"_s : QString());
    }
    // The Find or Replace window, while it is open.
    FrmFind* window() const { return program->frmFind.get(); }
    // Opens the bytes as the command line does, with no question about the
    // document before.
    void openBytes(const QByteArray& bytes) { main->openFile(write(u"in.odf"_s, bytes)); }
    // Opens Find or Replace with the text to find and its options.
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

    // Opened and saved again, any file comes back byte for byte; the encoding
    // and the main line break found decide how typed text is written.
    void roundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("format");
        QByteArray all(512, 0);
        for (int i = 0; i < 256; ++i)
            all[i] = all[511 - i] = char(i);
        QTest::newRow("every byte, forth and back") << all << u"cp1252 lf"_s;
        QTest::newRow("empty") << QByteArray() << u"cp1252 crlf"_s;
        QTest::newRow("one lf") << QByteArray("a\nb") << u"cp1252 lf"_s;
        QTest::newRow("cr") << QByteArray("a\rb\r") << u"cp1252 cr"_s;
        QTest::newRow("mixed") << QByteArray("a\r\nb\nc\rd\r\n\n\r\r\ne").repeated(5)
                               << u"cp1252 crlf"_s;
        QTest::newRow("utf-8") << QByteArray("caf\xC3\xA9 \xE2\x80\xA8 \xF0\x9F\x9A\x80\n")
                               << u"utf-8 lf"_s;
        QTest::newRow("utf-8, bom") << QByteArray("\xEF\xBB\xBFok\r\n") << u"utf-8 bom crlf"_s;
        QTest::newRow("two boms") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx") << u"utf-8 bom crlf"_s;
        QTest::newRow("paragraph separator") << QByteArray("a\xE2\x80\xA9z") << u"utf-8 crlf"_s;
        QTest::newRow("frame marker") << QByteArray("\xEF\xB7\x90") << u"utf-8 crlf"_s;
        QTest::newRow("overlong") << QByteArray("\xC0\x80 \xC3\xA9") << u"cp1252 crlf"_s;
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80 \xC3\xA9") << u"cp1252 crlf"_s;
        QTest::newRow("truncated") << QByteArray("\xC3\xA9\xE2\x82") << u"cp1252 crlf"_s;
        QTest::newRow("bom, invalid") << QByteArray("\xEF\xBB\xBF\xFF") << u"cp1252 crlf"_s;
        // Lines longer than the engine can edit are shown cut, read-only.
        const QByteArray line(platform::kMaxLineLength, 'x');
        QTest::newRow("longest line") << line + "\r\n" + line << u"cp1252 crlf"_s;
        QTest::newRow("é across a cut")
            << line.chopped(1) + "\xC3\xA9" << u"utf-8 crlf read-only"_s;
        // Files are read, and saved in Windows-1252, in pieces of 4 MiB: a
        // character, and another right after it, cut after each of its bytes
        // by the end of the first and of the second piece, in UTF-8 (read;
        // once after a byte-order mark) and in Windows-1252 (saved, as the
        // document holds it in UTF-8), in lines short enough to edit; a CR LF
        // across the end of a piece, and Windows-1252 that shows only in the
        // second, in one long line.
        const qsizetype piece = qsizetype(4) * 1024 * 1024;
        for (const QByteArray c :
             {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x9A\x80", "\xE9", "\x80"}) {
            const bool utf8 = c.size() > 1;
            const qsizetype length = utf8 ? c.size() : c == "\x80" ? 3 : 2;
            const QByteArray mark = length == 4 ? "\xEF\xBB\xBF" : "";
            for (qsizetype cut = 1; cut < length; ++cut)
                QTest::addRow("%s cut after %d of %d", utf8 ? "utf-8" : "cp1252", int(cut),
                              int(length))
                    << mark + lines(piece - cut - mark.size()) + c + c +
                           lines(piece - (utf8 ? length : cut) - length) + c + c + "\n"
                    << (utf8 ? mark.isEmpty() ? u"utf-8 lf"_s : u"utf-8 bom lf"_s : u"cp1252 lf"_s);
        }
        const QString ro = u"cp1252 crlf read-only"_s;
        QTest::newRow("cr lf cut") << QByteArray(piece - 1, 'a') + "\r\n\r\n\n" << ro;
        QTest::newRow("cp1252 after utf-8") << "\xC3\xA9" + QByteArray(piece, 'a') + "\xFF!" << ro;
        QTest::newRow("cp1252 after ascii") << QByteArray(piece, 'a') + "\xE9!" << ro;
        QTest::newRow("long line across pieces")
            << lines(piece - 1000) + QByteArray(3000, 'x') + "\n"
            << u"cp1252 lf read-only"_s;
        QTest::newRow("nul after a kib") << lines(5000) + '\0' << u"cp1252 lf"_s;
    }

    void roundTrip()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, format);
        if (bytes.contains('\0'))
            script.answers.push_back(Answer::Yes);
        open(write(u"in.odf"_s, bytes));
        QVERIFY(!bytes.contains('\0') || script.said(Style::YesNo | Style::Exclamation, u"NUL"_s));
        QCOMPARE(this->format(), format);
        saveAs(path(u"out.odf"_s));
        QCOMPARE(read(path(u"out.odf"_s)), bytes);
        QVERIFY(!main->blnChanged);
        QVERIFY(!QApplication::overrideCursor());
    }

    // Keys do what they do in a plain text box, and nothing more. No edit
    // makes a line longer than the engine can lay out at a key's pace
    // (kMaxLineLength): one that would is refused whole, with a beep and the
    // strip saying why, and the document, Undo and the clipboard stay as they
    // were; up to that length edits go. Steps as play() takes them.
    void edits_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<int>("refused"); // edits, each with a beep
        const auto row = [](const char* name, const QByteArray& file, const char* steps,
                            const QByteArray& saved, int refused = 0) {
            QTest::newRow(name) << file << QString::fromUtf8(steps) << saved << refused;
        };
        // Return and Shift+Return type the file's main line break, as found.
        row("shift+return, cr", "a\rb\r\nc\r", "at:1 Shift+Return", "a\r\rb\r\nc\r");
        const QByteArray tabs("\tONE\r\n\ttwo\r\nthree");
        for (const char* key : {"Ctrl+L", "Ctrl+Shift+L", "Ctrl+T", "Ctrl+D",
                                "Ctrl+Shift+Backspace", "Ctrl+Shift+Del", "Ctrl+Tab type:x"})
            row(key, tabs, (std::string("at:7 ") + key).c_str(), tabs);
        for (const char* key : {"Ctrl+U", "Ctrl+Shift+U", "Shift+Tab"})
            row(key, tabs, (std::string("sel:2-9 ") + key).c_str(), tabs);
        row("alt+backspace", tabs, "at:7 type:y Alt+Backspace", "\tONE\r\n\tytwo\r\nthree");
        row("tab", tabs, "at:0 Tab", "\t" + tabs);
        row("tab over lines", tabs, "sel:2-9 Tab", "\tO\to\r\nthree");
        row("insert, type", tabs, "at:7 Insert type:x", "\tONE\r\n\txtwo\r\nthree");
        row("home", tabs, "at:8 Home type:x", "\tONE\r\nx\ttwo\r\nthree");
        // Paste is off until the first Cut (or Copy).
        row("ctrl+p after a first ctrl+x", tabs, "sel:1-4 Ctrl+X Ctrl+End Ctrl+P",
            "\t\r\n\ttwo\r\nthreeONE");
        // The engine lets the caret stop inside the noncharacters.
        const QByteArray odd("a\xEF\xB7\x90\xF0\x9F\xBF\xBE"
                             "b");
        const QByteArray line(3000, 'x'); // too long: read-only until New, copied without cuts
        row("too long a line", line,
            "at:2500 type:y Tab Backspace sel:2000-2101 Ctrl+C Ctrl+N Ctrl+P",
            QByteArray(100, 'x'));
        row("right over noncharacters", odd, "Home Right Right type:x Right type:y",
            "a\xEF\xB7\x90x\xF0\x9F\xBF\xBEyb");
        row("left over noncharacters", odd, "End Left Left Left type:x",
            "ax\xEF\xB7\x90\xF0\x9F\xBF\xBE"
            "b");
        row("backspace over noncharacters", odd, "End Left Backspace Backspace", "ab");
        // Dropped text takes the file's main line break, as pasted text does.
        row("drop", "a\r\nb", "drop:1:p\np", "ap\r\np\r\nb");
        // Lines of 1024 and 1025 bytes, then a full one.
        const QByteArray full = QByteArray(1024, 'a') + "\r\n" + QByteArray(1025, 'b') + "\r\n" +
                                QByteArray(platform::kMaxLineLength, 'f');
        for (const char* steps :
             {"Ctrl+End type:x", "Ctrl+End Tab", "at:2060 Ctrl+V", "at:2060 ime:x", "drop:2060:pp",
              "insert", "at:1026 Backspace", "at:1024 Del", "at:1026 Ctrl+Backspace",
              "at:1024 Ctrl+Del", "sel:1024-1026 Ctrl+X", "sel:1024-1026 type:z", "all:b/bb"})
            row(steps, full, steps, full, 1);
        // Undo takes back the last edit that went in.
        row("undo", full, "at:0 type:y Ctrl+End type:x Ctrl+Z Ctrl+End type:x", full, 2);
        row("a line just full", full, "at:2051 Backspace at:1026 Backspace",
            QByteArray(1024, 'a') + QByteArray(1024, 'b') + "\r\n" +
                QByteArray(platform::kMaxLineLength, 'f'));
        row("replaced up to just full", full, "all:a/aa", QByteArray(2048, 'a') + full.mid(1024));
        // A read-only document is searched but never changed.
        row("replace, read-only", kLong + "abc abc", "all:abc/z one:abc/z", kLong + "abc abc", 2);
    }

    void edits()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, steps);
        QFETCH(QByteArray, saved);
        QFETCH(int, refused);
        open(write(u"in.odf"_s, file));
        QApplication::clipboard()->setText(u"pp"_s);
        play(steps);
        QCoreApplication::processEvents();
        QCOMPARE(script.beeps, refused);
        QCOMPARE(main->lblReadOnly->isVisible(), refused > 0);
        QVERIFY(!refused || main->lblReadOnly->accessibleName().contains(u"longer than 2048"_s));
        QVERIFY(!refused || QApplication::clipboard()->text() == u"pp"_s);
        saveAs(path(u"out.odf"_s));
        QCOMPARE(read(path(u"out.odf"_s)), saved);
    }

    // With unsaved changes New and Open ask first: Cancel stops, Yes goes on
    // only once the save is done, No goes on without saving. New leaves an
    // unchanged document, which is not asked about. Exit beeps and asks
    // Quit?, and No keeps the program; the close box asks nothing, unsaved
    // changes or not. (The end-to-end editor scenario answers Quit? with the
    // keys: Escape keeps the program, Yes ends it.)
    void fileCommandsAsk()
    {
        open(write(u"c.odf"_s, "kept on disk"));
        main->cmdClear->click(); // a program write marks nothing changed: New asks nothing
        main->mnuNew->trigger();
        type(u"draft"_s);
        script.answers = {Answer::Cancel, Answer::Yes, Answer::Yes, Answer::No, Answer::No};
        script.files = {QString(), path(u"d.odf"_s)};
        main->mnuNew->trigger();
        main->mnuNew->trigger(); // the save is cancelled
        QCOMPARE(text(), u"draft"_s);
        main->mnuNew->trigger();
        QVERIFY(box()->isEmpty());
        type(u"second"_s);
        main->mnuNew->trigger();
        QVERIFY(box()->isEmpty() && !main->blnChanged);
        type(u"third"_s);
        open(write(u"o.odf"_s, "other"));
        QCOMPARE(text(), u"other"_s);
        QCOMPARE(read(path(u"d.odf"_s)), QByteArray("draft"));
        main->mnuNew->trigger();
        // Each Insert command is a change, as typing is.
        for (QAction* insert : main->mnuInsert->actions()) {
            insert->trigger();
            QVERIFY(main->mnuCut->isEnabled() && main->mnuCopy->isEnabled());
            script.answers.push_back(Answer::No);
            main->mnuNew->trigger();
        }
        // Undo and Redo back to the last New, Open or Save As is no change;
        // typing something away again is one.
        type(u"x"_s);
        saveAs(path(u"x.odf"_s));
        play(u"Ctrl+Z Ctrl+Y"_s);
        main->mnuNew->trigger();
        play(u"type:x Backspace"_s);
        script.answers.push_back(Answer::No);
        main->mnuNew->trigger();
        for (int i = 0; i < 10; ++i)
            QVERIFY(script.said(Style::YesNoCancel | Style::Question, u"Save Changes?"_s));
        type(u"unsaved"_s);
        script.answers.push_back(Answer::No);
        main->mnuExit->trigger();
        QVERIFY(script.said(Style::YesNo | Style::Question, u"Quit?"_s));
        QVERIFY(script.ends == 0 && script.beeps == 1);
        QVERIFY(main->close() && !program->frmMain.isLoaded());
    }

    // Failures (a missing file, a folder, a file too large or not regular, a
    // name that Qt could not read, a file another program holds open) name the file and why, and
    // leave the document, its caption and its folder as they were; so does a cancelled dialog,
    // without a word.
    void failuresChangeNothing()
    {
        open(write(u"m.odf"_s, "mine"));
        QFile huge(path(u"huge.odf"_s));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(300 << 20));
        huge.close();
        script.answers = {Answer::No, Answer::Yes};
        open(write(u"binary.odf"_s, QByteArray("\0", 1)));
        QVERIFY(script.said(Style::YesNo | Style::Exclamation, u"NUL"_s));
        QList<std::pair<QString, QString>> bads = {
            {path(u"gone.odf"_s), {}}, {dir->path(), {}}, {huge.fileName(), u"(300 MB;"_s}};
#ifdef Q_OS_WIN // a device, and a file another program holds open
        const auto held = holdOpen(write(u"held.odf"_s, "x"));
        bads += {{path(u"held.odf"_s), {}}, { u"\\\\.\\NUL"_s, u"not a regular file"_s }};
#else // a pipe, a device, and a name that Qt could not read
        QCOMPARE(mkfifo(qPrintable(path(u"pipe.odf"_s)), 0600), 0);
        bads += {{path(u"pipe.odf"_s), {}},
                 {u"/dev/zero"_s, {}},
                 {path(u"caf\uFFFD.odf"_s), u"name cannot be read"_s}};
#endif
        for (const auto& [bad, why] : bads) {
            open(bad);
            if (bad == huge.fileName())
                QVERIFY(script.said(Style::YesNo | Style::Exclamation, u"NUL"_s));
            QVERIFY(script.said(Style::OkOnly | Style::Exclamation, bad, why));
        }
        script.files = {QString(), QString()};
        main->mnuSaveAs->trigger();
        main->mnuOpen->trigger();
        QCOMPARE(text(), u"mine"_s);
        QCOMPARE(main->windowTitle(), u"m.odf"_s);
        // Open starts in the folder of the file opened last; Save As offers
        // the document's own file, the last one opened, in its folder; both
        // dialogs show ODF files.
        const platform::FileDialogRequest& save = script.dialogs.at(script.dialogs.size() - 2);
        QVERIFY(save.initialName == path(u"m.odf"_s) && save.initialFolder == dir->path());
        QCOMPARE(QDir(script.dialogs.last().initialFolder), QDir(dir->path()));
        for (const auto& d : std::as_const(script.dialogs))
            QVERIFY(d.filter == u"ODF files (.odf)|*.odf"_s &&
                    d.fileMustExist == (d.kind == d.Open));
    }

    // A save that fails (on Unix it runs out of room, a file size limit,
    // which holds even for root, writing or committing; on Windows the file
    // is read-only or held open by another program), or that meets a character
    // its encoding cannot hold after a whole piece, says so, leaves the old
    // file whole and no stray file, and the document unsaved, in the encoding
    // it had before the offer to save it as UTF-8 was accepted. That offer
    // comes instead of writing a character that Windows-1252 cannot hold as
    // '?'; No saves nothing, Yes saves UTF-8.
    void failedSaveLeavesTheOldFileWhole()
    {
        const QString target = write(u"t.odf"_s, "old\r\n");
        open(target); // the document's own file: replaced without a question
#ifndef Q_OS_WIN
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = 4096;
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
#endif
        for (const int size : {10000, 200000}) {
            box()->setText(QString(size, u'x') + u'\u03A9');
            script.answers.push_back(Answer::Yes);
#ifdef Q_OS_WIN // read-only, then held open by another program: replacing it fails
            const bool readOnly = size == 10000;
            const auto held = readOnly ? nullptr : holdOpen(target);
            QVERIFY(!readOnly || QFile::setPermissions(target, QFile::ReadOwner));
            saveAs(target);
            QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner));
#else
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
            saveAs(target);
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &saved), 0);
#endif
            QVERIFY(script.said(Style::YesNo | Style::Question, u"UTF-8"_s));
            QVERIFY(script.said(Style::OkOnly | Style::Exclamation, target));
        }
#ifndef Q_OS_WIN
        QVERIFY(std::signal(SIGXFSZ, handler) != SIG_ERR);
#endif
        box()->setText(QString(4 << 20, u'x') + u"\u03A9"_s);
        QVERIFY_THROWS_EXCEPTION(platform::RuntimeError, box()->SaveFile(target));
        script.answers = {Answer::No, Answer::Yes};
        saveAs(target);
        QCOMPARE(read(target), QByteArray("old\r\n"));
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList(u"t.odf"_s));
        QVERIFY(main->blnChanged && format() == u"cp1252 crlf"_s);
        saveAs(target);
        QCOMPARE(read(target), QByteArray(4 << 20, 'x') + "\xCE\xA9");
        QCOMPARE(format(), u"utf-8 crlf"_s); // and so it stays
        for (int i = 0; i < 2; ++i)
            QVERIFY(script.said(Style::YesNo | Style::Question, u"UTF-8"_s));
        // A hidden file, hidden the system's way, stays hidden once saved over.
        const QString hidden = hide(write(u"h.odf"_s, "h"));
        script.answers.push_back(Answer::Yes);
        saveAs(hidden);
        QVERIFY(
            script.said(Style::YesNo | Style::Exclamation | Style::DefaultButton2, u"exists"_s));
        QVERIFY(read(hidden).endsWith("\xCE\xA9"));
        QVERIFY(QFileInfo(hidden).isHidden());
    }

    // Save As replaces the document's own file (the last one opened or
    // saved; none after New) without a word, and offers it. Once another
    // program has changed its size or its time, it asks first, No focused, and
    // No keeps the dialog open. A name without an extension gets ".odf". (The
    // end-to-end editor scenario saves over another file: the question, No
    // focused, keeps the file and the dialog, Yes replaces it.)
    void saveAsAsksBeforeReplacing()
    {
        const QString own = path(u"tank_new.odf"_s);
        const int asks = Style::YesNo | Style::Exclamation | Style::DefaultButton2;
        type(u"hello"_s);
        saveAs(path(u"tank_new"_s));
        type(u"!"_s);
        saveAs(own);
        QVERIFY(script.dialogs.last().initialName == own && read(own) == "hello!");
        const QDateTime saved = QFileInfo(own).lastModified();
        for (const auto& [elsewhere, shift] : {std::pair("size\n"_ba, 0), {"time!\n"_ba, -60}}) {
            QFile file(write(u"tank_new.odf"_s, elsewhere));
            QVERIFY(file.open(QIODevice::Append) &&
                    file.setFileTime(saved.addSecs(shift), QFileDevice::FileModificationTime));
            script.answers.push_back(Answer::No);
            script.files = {own, QString()};
            main->mnuSaveAs->trigger();
            QVERIFY(script.said(asks, u"tank_new.odf has been changed by another program"_s));
            QCOMPARE(read(own), elsewhere);
        }
        main->mnuNew->trigger();
        saveAs(QString());
        QVERIFY(script.dialogs.last().initialName.isEmpty() &&
                script.dialogs.last().initialFolder == dir->path());
    }

    // Every load shows the file from its first line, the caret at its start,
    // whatever the document before it showed: after File > Open, and after a
    // drop, which lands where the mouse is.
    void loadShowsTheTop()
    {
        const QString file = write(u"a.odf"_s, lines(20000) + QByteArray(300, 'x'));
        const auto shown = [this] {
            return box()->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE) +
                   box()->SendScintilla(QsciScintillaBase::SCI_GETXOFFSET) +
                   box()->cursorPosition();
        };
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        for (const bool dropped : {false, true}) {
            open(file);
            play(u"Ctrl+End"_s);
            QVERIFY(shown() > 20000);
            if (dropped)
                drop(box()->viewport(), data, box()->viewport()->rect().center());
            else
                open(file);
            QCoreApplication::processEvents();
            QCOMPARE(shown(), 0);
        }
    }

    // Cut and Copy follow the text, Paste is off until the first Cut or Copy;
    // the menu's shortcuts beat the text control's own while their item is
    // enabled; the clipboard gets the platform's line breaks.
    void editMenuFollowsTheText()
    {
        const auto states = [this] {
            QString enabled;
            for (const QAction* item : {main->mnuCut, main->mnuCopy, main->mnuPaste})
                enabled += item->isEnabled() ? u'1' : u'0';
            return enabled;
        };
        QCOMPARE(states(), u"000"_s);
        QApplication::clipboard()->setText(u"clip"_s);
        play(u"Ctrl+P"_s);
        QVERIFY(box()->isEmpty());
        type(u" "_s);
        QCOMPARE(states(), u"110"_s);
        play(u"Backspace"_s);
        QCOMPARE(states(), u"000"_s);
        // A change made past the control's own operations is reported too.
        box()->SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, uintptr_t{1}, "x");
        QCoreApplication::processEvents();
        QCOMPARE(states(), u"110"_s);
        box()->SendScintilla(QsciScintillaBase::SCI_CLEARALL);
        // Alt with a letter that no menu takes beeps and types nothing.
        play(u"Alt+Z"_s);
        QVERIFY(box()->isEmpty() && script.beeps == 1);
        // AltGr, which Windows reports as Ctrl+Alt, types its character.
        QKeyEvent altGr(QEvent::KeyPress, Qt::Key_E, Qt::ControlModifier | Qt::AltModifier,
                        u"\u20AC"_s);
        QApplication::sendEvent(box(), &altGr);
        QVERIFY(text() == u"\u20AC"_s && script.beeps == 1);
        play(u"Backspace type:hello Return type:world"_s);
        play(u"Ctrl+C"_s); // nothing selected: the clipboard keeps what it had
        QCOMPARE(states(), u"111"_s);
        QCOMPARE(QApplication::clipboard()->text(), u"clip"_s);
        play(u"Ctrl+A Ctrl+C"_s);
        QCOMPARE(QApplication::clipboard()->text(),
                 u"hello"_s + platform::RichTextBox::platformLineBreak() + u"world"_s);
        play(u"End Shift+Left Ctrl+X Ctrl+P Ctrl+P Ctrl+V"_s);
        QCOMPARE(text(), u"hello\r\nworlddd"_s);
        // Ctrl+Shift+Tab leaves the text, as Ctrl+Tab does (the desktop
        // scenario presses it), where Tab types a tab.
        play(u"Ctrl+Shift+Backtab"_s);
        QCOMPARE(main->focusWidget(), main->cmdMinimize);
        // Clear keeps the focus on its button; Undo and Redo reach the text
        // from there.
        main->cmdClear->setFocus();
        for (const QString& key :
             {u"Space"_s, u"Ctrl+Z"_s, u"Ctrl+Shift+Z"_s, u"Ctrl+Z"_s, u"Ctrl+Y"_s}) {
            QTest::keySequence(main->cmdClear, QKeySequence(key));
            QCOMPARE(text(), key == u"Ctrl+Z"_s ? u"hello\r\nworlddd"_s : QString());
        }
        QCOMPARE(main->focusWidget(), main->cmdClear);
    }

    // What the document shows of each Windows-1252 byte from 0x80 to 0x9F:
    // the curly quotes, the euro sign and the rest; the five bytes that the
    // code page leaves undefined stay the C1 controls of the same number.
    void showsWindows1252()
    {
        QByteArray bytes;
        for (int b = 0x80; b < 0xA0; ++b)
            bytes += char(b);
        open(write(u"c.odf"_s, bytes));
        QCOMPARE(text(), u"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160"
                         "\u2039\u0152\u008D\u017D\u008F\u0090\u2018\u2019\u201C\u201D\u2022"
                         "\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178"_s);
    }

    // A screen reader counts in UTF-16 code units, as Qt does: over accented
    // letters and characters outside the BMP its text ranges, the caret and a
    // selection made backwards are where the user sees them.
    void screenReaderOffsets()
    {
        box()->setText(u"\u00E9\U0001F600 x\r\nz\u00E9\U0001F600"_s);
        QAccessibleTextInterface* reader =
            QAccessible::queryAccessibleInterface(box())->textInterface();
        QCOMPARE(reader->characterCount(), 11);
        QCOMPARE(reader->text(1, 3), u"\U0001F600"_s);
        QCOMPARE(reader->text(7, 11), u"z\u00E9\U0001F600"_s);
        play(u"Ctrl+End Shift+Left Shift+Left"_s);
        int start = -1;
        int end = -1;
        reader->selection(0, &start, &end);
        QCOMPARE(QList({start, end, reader->cursorPosition()}), QList({8, 11, 8}));
        play(u"Ctrl+Home Right Right"_s);
        QCOMPARE(reader->cursorPosition(), 3);
    }

    // The document reads as ODF. Its colours on screen, a letter a byte (.
    // plain, c comment or banner, i include, s section, k key, n number, q
    // quoted string; blanks take the colour around them), with each line break, on palettes where
    // each keeps a contrast of 4.5:1 to the base; typing // before a key line makes it a comment,
    // Backspace takes it back. F1 in a key shows what the blank template says above the key or its
    // group, as a screen reader hears it; nothing for a key it lacks or writes in another case;
    // Escape and typing hide it; so does the mouse moving on from the tip that resting in a key
    // showed.
    void readsAsOdf()
    {
        const QPalette palette = QApplication::palette();
        const QByteArray text =
            "#include \"a.odf\" // x|//***| [Ships] 2|buildTime = 2.5f|n = "
            "\"a // b\" // c|\t\"hp1\" \"\" x1 -3|bad = \"open // x| = 5 #x|a b = 1|";
        const QByteArray styles =
            "iiiiiiiiiiiiiiii.cccc|ccccc|ssssssss.n|kkkkkkkkk...nnnn|k...qqqqqq"
            "qq.cccc|qqqqqqqqq....nn|kkk...qqqqqqqqqq|...n...|......n|";
        const auto shown = [this] {
            box()->viewport()->repaint();
            QByteArray letters;
            for (long at = 0; at < box()->SendScintilla(QsciScintillaBase::SCI_GETLENGTH); ++at)
                letters += ".cisknq"[box()->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, at)];
            return letters;
        };
        for (const auto& [lineBreak, base] : {std::pair("\r\n"_ba, QColor(Qt::white)),
                                              {"\n"_ba, QColor(32, 33, 36)},
                                              {"\r"_ba, QColor(255, 255, 220)}}) {
            const QColor fore = QColor::fromHsl(0, 0, base.lightness() > 128 ? 0 : 225);
            // A change of the desktop's theme while the program runs.
            QApplication::setPalette(
                QPalette(fore, base, base, base, base, fore, fore, base, base));
            QCoreApplication::processEvents(); // which reaches the widgets from the event loop
            for (unsigned long style = 0; style < 7; ++style) {
                const int c = int(box()->SendScintilla(QsciScintillaBase::SCI_STYLEGETFORE, style));
                const QColor colour(c & 255, c >> 8 & 255, c >> 16);
                QVERIFY(OdfStyler::contrast(colour, base) >= 4.5);
                QCOMPARE(colour.rgb() == fore.rgb(), style == 0);
            }
            box()->LoadFile(write(u"c.odf"_s, QByteArray(text).replace("|", lineBreak)));
            const QByteArray expected =
                QByteArray(styles).replace("|", QByteArray(lineBreak.size(), '.'));
            QCOMPARE(shown(), expected);
            box()->setCursorPosition(box()->Text().indexOf(u"build"_s));
            type(u"//"_s);
            QCOMPARE(shown(),
                     QByteArray(expected).replace("kkkkkkkkk...nnnn", QByteArray(18, 'c')));
            play(u"Backspace Backspace"_s);
            QCOMPARE(shown(), expected);
        }
        QApplication::setPalette(palette);
        // Lines, each with the start of its help ("": none).
        const QStringList rows = u" lifeSupportHitPoints =|Hitpoints|weaponYellow =|The multiplier|"
                                 "intrinsicValue =|The normalized intrinsic value of a target.  "
                                 "High value craft make good\nattack|BuildTime =|"_s.split(u'|');
        for (qsizetype row = 0; row < rows.size(); row += 2) {
            const QString& help = rows[row + 1];
            const auto described = [this, &help] {
                return box()->accessibleDescription().left(help.size() + int(help.isEmpty()));
            };
            box()->setText(rows[row]);
            emit box()->SCN_DWELLSTART(2, 0, 0); // the mouse rests in the key, then moves on
            QCOMPARE(described(), help);
            emit box()->SCN_DWELLEND(2, 0, 0);
            QVERIFY(box()->accessibleDescription().isEmpty());
            play(u"End Left Left Left F1"_s);
            emit box()->SCN_DWELLEND(0, 0, 0); // which leaves F1's tip alone
            QCOMPARE(described(), help);
            if (row % 4 == 0)
                play(u"Escape"_s);
            else
                type(u"x"_s); // in the key: the caret stays in it
            QVERIFY(box()->accessibleDescription().isEmpty());
        }
    }

    // Files dropped on the main window open as File > Open opens them. The
    // drops are Qt's own drag events sent to the real window, as a drag from
    // a file manager arrives (the keys are tried in the end-to-end desktop
    // scenario).
    void gestures_data()
    {
        QTest::addColumn<int>("row");
        for (int row = 0; row < int(std::size(cases)); ++row)
            QTest::newRow(cases[row].name) << row;
    }
    void gestures()
    {
        QFETCH(int, row);
        const Case& c = cases[row];
        write(u"a.odf"_s, "alpha\r\n");
        write(u"b.odf"_s, "bravo");
        write(u"nulls.odf"_s, QByteArray("x\0y", 3));
        box()->setText(QString::fromLatin1(c.before));
        main->blnChanged = c.changed;
        if (c.answer != 0)
            script.answers.push_back(c.answer);
        QList<QUrl> urls;
        for (const QString& file : QString::fromLatin1(c.files).split(u' ', Qt::SkipEmptyParts))
            urls << QUrl::fromLocalFile(path(file + u".odf"_s));
        QMimeData data;
        data.setUrls(urls);
        QWidget* target = c.gesture == DropOnButton ? main->cmdMinimize : box()->viewport();
        const QPoint at = target->rect().center();
        if (c.gesture == DragAway) {
            QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
            QDragMoveEvent move(at + QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QDragLeaveEvent leave;
            for (QEvent* event : std::initializer_list<QEvent*>{&enter, &move, &leave})
                QApplication::sendEvent(target, event);
        }
        const int drops = c.gesture == DragAway ? 0 : c.gesture == DropTwice ? 2 : 1;
        for (int i = 0; i < drops; ++i) {
            if (i == 1) // a second drag, of the last file, before the first one's opens
                data.setUrls({urls.constLast()});
            // A dropped file is copied, never moved away from where it lies.
            QCOMPARE(drop(target, data, at), Qt::CopyAction);
        }
        QCoreApplication::processEvents();
        QCOMPARE(text(), QString::fromLatin1(c.after));
        const QString opened = path(QString::fromLatin1(c.opened) + u".odf"_s);
        QCOMPARE(main->strLastopen, *c.opened ? QDir::toNativeSeparators(opened) : QString());
        // The questions' answers are checked by what happened; no open failed.
        for (const auto& [style, prompt] : std::exchange(script.messages, {}))
            QVERIFY(style != (Style::OkOnly | Style::Exclamation));
    }

    // Find, Replace and Go To on the document: what is found as a user sees
    // it (folding in every script, whole words, Windows-1252 files, the cuts
    // of a read-only long line), the marks of the other matches and the line
    // a number reaches; the replacements refused are rows of edits(). What Replace All leaves on
    // disk and what Undo gives back are checked by the end-to-end search
    // scenario and against the model of tst_fidelity.
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
        play(u"at:0 Shift+F3"_s); // without wrapping
        QCOMPARE(script.beeps, 2);
        play(u"F3"_s);
        QCOMPARE(box()->selectedPlainText(), u"one"_s);
        QCOMPARE(box()->cursorPosition(), 3);
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
        play(u"sel:0-5 Ctrl+F"_s);
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
        play(u"Shift+F10"_s);
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

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
