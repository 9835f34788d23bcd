// The File, Edit and Insert commands of the main window, with the dialogs and
// message boxes answered by the test.
#include "editor/frmmain.h"
#include "editor/program.h"
#include "platform/richtextbox.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using platform::MsgBox::Answer;
using platform::MsgBox::Style;

class TestCommands : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ScriptedServices m_services;
    std::unique_ptr<Program> m_program;
    FrmMain* m_main = nullptr;

    QString path(const QString& name) const { return m_dir.filePath(name); }
    void type(const QString& text) { QTest::keyClicks(m_main->rtfBox, text); }
    QString text() const { return m_main->rtfBox->Text(); }

    void openFile(const QString& file)
    {
        m_services.fileNames.push_back(file);
        m_main->mnuOpen->trigger();
    }

    // Checks the last message box and forgets the messages.
    void expectMessage(const QString& contains, int style)
    {
        QVERIFY(!m_services.messages.isEmpty());
        const auto last = m_services.messages.last();
        QVERIFY2(last.prompt.contains(contains), qPrintable(last.prompt));
        QCOMPARE(last.style, style);
        m_services.messages.clear();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QGuiApplication::setQuitOnLastWindowClosed(false);
    }

    void init()
    {
        m_services = ScriptedServices();
        m_program = std::make_unique<Program>(m_services);
        m_program->frmMain.Show();
        m_main = m_program->frmMain.get();
    }

    void cleanup()
    {
        QVERIFY(!m_services.unexpected);
        QVERIFY(m_services.answers.empty());
        QVERIFY(m_services.fileNames.empty());
        m_program.reset();
    }

    void openShowsTheFileAndItsName()
    {
        writeBytes(path(QStringLiteral("ship.odf")), "unitName = \"Hawk\"\r\n");
        openFile(path(QStringLiteral("ship.odf")));

        const platform::FileDialogRequest& dialog = m_services.dialogs.last();
        QCOMPARE(dialog.kind, platform::FileDialogRequest::Open);
        QCOMPARE(dialog.title, QStringLiteral("Open..."));
        QCOMPARE(dialog.filter, QStringLiteral("ODF files (.odf)|*.odf"));
        QVERIFY(dialog.fileMustExist);
        QVERIFY(dialog.initialFolder.isEmpty());
        QCOMPARE(m_main->cdl1.Flags, 0x81800);

        QCOMPARE(text(), QStringLiteral("unitName = \"Hawk\"\r\n"));
        QCOMPARE(m_main->windowTitle(), QStringLiteral("ship.odf"));
        QCOMPARE(m_main->strLastopen, path(QStringLiteral("ship.odf")));
        QVERIFY(!m_main->blnChanged);
        QVERIFY(m_main->mnuCut->isEnabled() && m_main->mnuCopy->isEnabled());

        // The next Open starts in the folder of the last one.
        m_services.fileNames.emplace_back();
        m_main->mnuOpen->trigger();
        QCOMPARE(QDir(m_services.dialogs.last().initialFolder), QDir(m_dir.path()));
    }

    void cancelledDialogsChangeNothing()
    {
        type(QStringLiteral("text"));
        m_main->blnChanged = false;
        m_services.fileNames = {QString(), QString()};
        m_main->mnuOpen->trigger();
        m_main->mnuSaveAs->trigger();
        QCOMPARE(m_services.dialogs.size(), 2);
        QCOMPARE(text(), QStringLiteral("text"));
        QCOMPARE(m_main->windowTitle(), QStringLiteral("Tessmark 2.0"));
        QVERIFY(m_main->strLastopen.isEmpty() && m_main->strLastsave.isEmpty());
        QVERIFY(!m_main->blnChanged);
        QVERIFY(m_services.messages.isEmpty());
    }

    // A failed load names the file and the reason, and the caption, the text
    // and the stored path stay as they were.
    void failedOpenSaysSoAndChangesNothing()
    {
        type(QStringLiteral("mine"));
        m_main->blnChanged = false;
        openFile(path(QStringLiteral("gone.odf")));
        expectMessage(QStringLiteral("gone.odf"), Style::OkOnly | Style::Exclamation);
        openFile(m_dir.path());
        expectMessage(m_dir.path(), Style::OkOnly | Style::Exclamation);
        QCOMPARE(m_main->windowTitle(), QStringLiteral("Tessmark 2.0"));
        QCOMPARE(text(), QStringLiteral("mine"));
        QVERIFY(m_main->strLastopen.isEmpty());
    }

    void saveAsWritesTheTextAndShowsThePath()
    {
        type(QStringLiteral("race = \"fed\""));
        QTest::keyClick(m_main->rtfBox, Qt::Key_Return);
        QVERIFY(m_main->blnChanged);
        const QString target = path(QStringLiteral("saved.odf"));
        writeBytes(target, "older content that is longer than the new one");
        m_services.fileNames.push_back(target);
        m_main->mnuSaveAs->trigger();

        const platform::FileDialogRequest& dialog = m_services.dialogs.last();
        QCOMPARE(dialog.kind, platform::FileDialogRequest::Save);
        QCOMPARE(dialog.title, QStringLiteral("Save As..."));
        QCOMPARE(dialog.filter, QStringLiteral("ODF files (.odf)|*.odf"));
        QVERIFY(dialog.initialFolder.isEmpty());

        QCOMPARE(readBytes(target), QByteArray("race = \"fed\"\r\n"));
        QCOMPARE(m_main->windowTitle(), target);
        QCOMPARE(m_main->strLastsave, target);
        QVERIFY(!m_main->blnChanged);
        QVERIFY(m_services.messages.isEmpty());
    }

    // Opened and saved unchanged, any file comes back byte for byte.
    void openThenSaveKeepsEveryByte()
    {
        QByteArray bytes("#include \"cruise3.odf\"\r\n\tx\xA0\x81\0 \n\r\r\ntrailing  ", 40);
        writeBytes(path(QStringLiteral("odd.odf")), bytes);

        // A NUL byte marks a binary file: the user is asked first.
        m_services.answers.push_back(Answer::No);
        openFile(path(QStringLiteral("odd.odf")));
        expectMessage(QStringLiteral("NUL"), Style::YesNo | Style::Exclamation);
        QVERIFY(m_main->rtfBox->isEmpty());
        QCOMPARE(m_main->windowTitle(), QStringLiteral("Tessmark 2.0"));

        m_services.answers.push_back(Answer::Yes);
        openFile(path(QStringLiteral("odd.odf")));
        QCOMPARE(m_main->windowTitle(), QStringLiteral("odd.odf"));
        m_services.fileNames.push_back(path(QStringLiteral("odd-copy.odf")));
        m_main->mnuSaveAs->trigger();
        QCOMPARE(readBytes(path(QStringLiteral("odd-copy.odf"))), bytes);
    }

    void failedSaveSaysSoAndChangesNothing()
    {
        type(QStringLiteral("x"));
        const QString target = path(QStringLiteral("no/folder/x.odf"));
        m_services.fileNames.push_back(target);
        m_main->mnuSaveAs->trigger();
        expectMessage(target, Style::OkOnly | Style::Exclamation);
        QCOMPARE(m_main->windowTitle(), QStringLiteral("Tessmark 2.0"));
        QVERIFY(m_main->strLastsave.isEmpty());
        QVERIFY(m_main->blnChanged);
    }

    // A character the file's encoding cannot hold is never written as '?':
    // the user is asked whether to save as UTF-8.
    void unencodableTextAsksForUtf8()
    {
        writeBytes(path(QStringLiteral("plain.odf")), "a\r\n");
        openFile(path(QStringLiteral("plain.odf")));
        typeText(m_main->rtfBox, QStringLiteral("\u03A9"));

        m_services.fileNames.push_back(path(QStringLiteral("plain.odf")));
        m_services.answers.push_back(Answer::No);
        m_main->mnuSaveAs->trigger();
        expectMessage(QStringLiteral("UTF-8"), Style::YesNo | Style::Question);
        QCOMPARE(readBytes(path(QStringLiteral("plain.odf"))), QByteArray("a\r\n"));
        QVERIFY(m_main->blnChanged);
        QCOMPARE(m_main->windowTitle(), QStringLiteral("plain.odf"));

        m_services.fileNames.push_back(path(QStringLiteral("plain.odf")));
        m_services.answers.push_back(Answer::Yes);
        m_main->mnuSaveAs->trigger();
        QCOMPARE(readBytes(path(QStringLiteral("plain.odf"))), QByteArray("\xCE\xA9"
                                                                          "a\r\n"));
        QCOMPARE(m_main->rtfBox->format().encoding, platform::Encoding::Utf8);
        QVERIFY(!m_main->blnChanged);
    }

    void newEmptiesAndKeepsTheCaption()
    {
        writeBytes(path(QStringLiteral("n.odf")), "abc");
        openFile(path(QStringLiteral("n.odf")));
        m_main->mnuNew->trigger();
        QVERIFY(m_main->rtfBox->isEmpty());
        QCOMPARE(m_main->windowTitle(), QStringLiteral("n.odf"));
        QCOMPARE(m_main->strLastopen, path(QStringLiteral("n.odf")));
        QVERIFY(!m_main->mnuCut->isEnabled());
        QVERIFY(m_services.messages.isEmpty());
    }

    // With unsaved changes New and Open ask first: Cancel stops, No goes on
    // without saving, Yes saves and goes on only if the save completed.
    void unsavedChangesAreOfferedASave()
    {
        type(QStringLiteral("draft"));
        m_services.answers.push_back(Answer::Cancel);
        m_main->mnuNew->trigger();
        expectMessage(QStringLiteral("Save Changes?"), Style::YesNoCancel | Style::Question);
        QCOMPARE(text(), QStringLiteral("draft"));

        m_services.answers.push_back(Answer::Yes);
        m_services.fileNames.emplace_back(); // the save is cancelled
        m_main->mnuNew->trigger();
        QCOMPARE(text(), QStringLiteral("draft"));
        QVERIFY(m_main->blnChanged);

        m_services.answers.push_back(Answer::Yes);
        m_services.fileNames.push_back(path(QStringLiteral("draft.odf")));
        m_main->mnuNew->trigger();
        QCOMPARE(readBytes(path(QStringLiteral("draft.odf"))), QByteArray("draft"));
        QVERIFY(m_main->rtfBox->isEmpty());
        QVERIFY(!m_main->blnChanged);
        m_services.messages.clear();

        type(QStringLiteral("second"));
        writeBytes(path(QStringLiteral("other.odf")), "other");
        m_services.answers.push_back(Answer::No);
        openFile(path(QStringLiteral("other.odf")));
        QCOMPARE(text(), QStringLiteral("other"));
        QCOMPARE(readBytes(path(QStringLiteral("draft.odf"))), QByteArray("draft"));
        QVERIFY(!m_main->blnChanged);
    }

    void exitAsksAndEndsOnlyOnYes()
    {
        type(QStringLiteral("unsaved"));
        m_services.answers = {Answer::No, Answer::Yes};
        m_main->mnuExit->trigger();
        QCOMPARE(m_services.beeps, 1);
        QCOMPARE(m_services.ends, 0);
        expectMessage(QStringLiteral("Are you sure you want to Quit?"),
                      Style::YesNo | Style::Question);
        QCOMPARE(text(), QStringLiteral("unsaved"));
        m_main->mnuExit->trigger();
        QCOMPARE(m_services.beeps, 2);
        QCOMPARE(m_services.ends, 1);
        QCOMPARE(m_services.messages.size(), 1);
    }

    // Paste is off until the first Cut or Copy and then stays on; Copy with
    // nothing selected leaves empty text on the clipboard.
    void pasteFollowsTheFirstCutOrCopy()
    {
        type(QStringLiteral("abc"));
        QVERIFY(!m_main->mnuPaste->isEnabled());
        QApplication::clipboard()->setText(QStringLiteral("stale"));
        m_main->mnuCopy->trigger();
        QVERIFY(m_main->mnuPaste->isEnabled());
        QCOMPARE(QApplication::clipboard()->text(), QString());

        m_main->rtfBox->selectAll();
        m_main->mnuCut->trigger();
        QVERIFY(m_main->rtfBox->isEmpty());
        QVERIFY(!m_main->mnuCut->isEnabled());
        QVERIFY(m_main->mnuPaste->isEnabled());
        m_main->mnuPaste->trigger();
        m_main->mnuPaste->trigger();
        QCOMPARE(text(), QStringLiteral("abcabc"));

        QApplication::clipboard()->clear();
        m_main->mnuPaste->trigger();
        QCOMPARE(text(), QStringLiteral("abcabc"));
        QVERIFY(m_main->mnuPaste->isEnabled());

        // Cut with nothing selected changes nothing.
        m_main->mnuCut->trigger();
        QCOMPARE(text(), QStringLiteral("abcabc"));
    }

    void pastedTextMarksTheDocumentChanged()
    {
        m_main->blnChanged = false;
        QApplication::clipboard()->setText(QStringLiteral("pasted"));
        QTest::keyClick(m_main->rtfBox, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(text(), QStringLiteral("pasted"));
        QVERIFY(m_main->blnChanged);
    }

    void insertAppendsSnippets_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("snippet");
        QTest::newRow("include") << QStringLiteral("mnuInclude")
                                 << QStringLiteral("#include \".odf\"");
        QTest::newRow("separator") << QStringLiteral("mnuItemSeparator")
                                   << QStringLiteral("//") + QString(53, QLatin1Char('*'));
        QTest::newRow("double slash") << QStringLiteral("mnudoubleslash") << QStringLiteral("//");
        QTest::newRow("hash") << QStringLiteral("mnuhash") << QStringLiteral("#");
    }

    // Each snippet goes to the very end with no line break added, wherever the
    // caret is, as one change that one Undo takes back.
    void insertAppendsSnippets()
    {
        QFETCH(QString, item);
        QFETCH(QString, snippet);
        auto* action = m_main->findChild<QAction*>(item);
        QVERIFY(action);
        QSignalSpy changes(m_main->rtfBox, &platform::RichTextBox::Change);

        action->trigger();
        QCOMPARE(text(), snippet);
        QCOMPARE(changes.count(), 1);
        QVERIFY(m_main->blnChanged);
        QVERIFY(m_main->mnuCut->isEnabled());

        action->trigger();
        QCOMPARE(text(), snippet + snippet);

        m_main->rtfBox->setText(QStringLiteral("line one\r\nline two\r\n"));
        m_main->rtfBox->setSelection(0, 3);
        action->trigger();
        QCOMPARE(text(), QStringLiteral("line one\r\nline two\r\n") + snippet);
        m_main->rtfBox->undo();
        QCOMPARE(text(), QStringLiteral("line one\r\nline two\r\n"));
    }

    void itemSeparatorTwiceMakesOneLine()
    {
        m_main->mnuItemSeparator->trigger();
        m_main->mnuItemSeparator->trigger();
        QCOMPARE(m_main->rtfBox->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT), 1);
        QCOMPARE(text().size(), 110);
        QCOMPARE(m_main->strItemSeparator.size(), 55);
        QCOMPARE(m_main->strInclude.size(), 0);
        m_main->mnuInclude->trigger();
        QCOMPARE(m_main->strInclude.size(), 15);
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
