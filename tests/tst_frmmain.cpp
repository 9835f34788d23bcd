// The main window as the user meets it: its design, the Edit menu's enabled
// states, Clear, Minimize and the menu shortcuts while typing.
#include "editor/frmmain.h"
#include "editor/program.h"
#include "platform/richtextbox.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

class TestFrmMain : public QObject
{
    Q_OBJECT

private:
    ScriptedServices m_services;
    std::unique_ptr<Program> m_program;
    FrmMain* m_main = nullptr;

    void type(const QString& text) { QTest::keyClicks(m_main->rtfBox, text); }
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(m_main->rtfBox, Qt::Key(key), modifiers);
    }
    bool editItems(bool cut, bool copy, bool paste) const
    {
        return m_main->mnuCut->isEnabled() == cut && m_main->mnuCopy->isEnabled() == copy &&
               m_main->mnuPaste->isEnabled() == paste;
    }

private slots:
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }

    void init()
    {
        m_services = ScriptedServices();
        m_program = std::make_unique<Program>(m_services);
        m_program->frmMain.Show();
        m_main = m_program->frmMain.get();
        QVERIFY(QTest::qWaitForWindowActive(m_main));
    }

    void cleanup()
    {
        QVERIFY(!m_services.unexpected);
        m_program.reset();
    }

    void startsAsDesigned()
    {
        QCOMPARE(m_main->objectName(), QStringLiteral("frmMain"));
        QCOMPARE(m_main->windowTitle(), QStringLiteral("Tessmark 2.0"));
        QCOMPARE(m_main->centralWidget()->size(), QSize(540, 473));
        QCOMPARE(m_main->minimumSize(), m_main->maximumSize());
        QVERIFY(!(m_main->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!(m_main->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!m_main->windowIcon().isNull());

        QCOMPARE(m_main->rtfBox->geometry(), QRect(8, 8, 521, 401));
        QCOMPARE(m_main->cmdClear->geometry(), QRect(16, 424, 81, 25));
        QCOMPARE(m_main->cmdMinimize->geometry(), QRect(112, 424, 81, 25));
        QCOMPARE(m_main->cmdClear->text(), QStringLiteral("Clear"));
        QCOMPARE(m_main->cmdClear->font().pointSizeF(), 8.25);
        QCOMPARE(m_main->rtfBox->font().pointSizeF(), 9.75);
        QCOMPARE(
            m_main->cmdClear->toolTip(),
            QStringLiteral("Clears the ALL of the text which is currently in the Tessmark..."));
        QCOMPARE(QApplication::focusWidget(), m_main->rtfBox);
        m_main->cmdClear->setFocus();
        QTest::keyClick(m_main->cmdClear, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), m_main->cmdMinimize);
        QTest::keyClick(m_main->cmdMinimize, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), m_main->rtfBox);

        QVERIFY(m_main->rtfBox->isEmpty());
        QVERIFY(!m_main->blnChanged);
        QVERIFY(m_main->strLastopen.isEmpty() && m_main->strLastsave.isEmpty());
        QVERIFY(editItems(false, false, false));
    }

    // Every title and item of the menu bar, in order, with its caption,
    // shortcut and enabled state.
    void menuBarAsDesigned()
    {
        QStringList seen;
        const auto titles = m_main->menuBar()->actions();
        for (const QAction* title : titles) {
            seen << title->menu()->objectName() + QLatin1Char('=') + title->text();
            const auto items = title->menu()->actions();
            for (const QAction* item : items) {
                QString row = QStringLiteral("  ") + item->objectName() + QLatin1Char('=');
                row += item->isSeparator() ? QStringLiteral("-") : item->text();
                if (!item->shortcut().isEmpty())
                    row += QLatin1Char(' ') + item->shortcut().toString();
                if (!item->isEnabled())
                    row += QStringLiteral(" (off)");
                seen << row;
            }
        }
        const QStringList expected = {
            QStringLiteral("mnuFile=&File"),
            QStringLiteral("  mnuNew=&New Ctrl+N"),
            QStringLiteral("  mnuOpen=&Open... Ctrl+O"),
            QStringLiteral("  mnuSaveAs=&Save As... Ctrl+S"),
            QStringLiteral("  mnuFileSep1=-"),
            QStringLiteral("  mnuExit=&Exit"),
            QStringLiteral("mnuEdit=&Edit"),
            QStringLiteral("  mnuCut=&Cut Ctrl+X (off)"),
            QStringLiteral("  mnuCopy=&Copy Ctrl+C (off)"),
            QStringLiteral("  mnuPaste=&Paste Ctrl+P (off)"),
            QStringLiteral("  mnuEditSep1=-"),
            QStringLiteral("  mnuSelectAll=&Select All Ctrl+A"),
            QStringLiteral("mnuView=&View"),
            QStringLiteral("  mnuHardpointViewer=&Hardpoint Viewer"),
            QStringLiteral("mnuInsert=&Insert"),
            QStringLiteral("  mnuInclude=&Include Line"),
            QStringLiteral("  mnuItemSeparator=&Item Separator"),
            QStringLiteral("  mnudoubleslash=//"),
            QStringLiteral("  mnuhash=#"),
            QStringLiteral("mnuProgramExtras=&Program Extras"),
            QStringLiteral("  mnuOpenExample=&Open and Example ODF..."),
            QStringLiteral("  mnuOpenPublished=&Open a published ODF..."),
            QStringLiteral("mnuHelp=&Help"),
            QStringLiteral("  mnuAbout=&About Tessmark 2.0..."),
        };
        QCOMPARE(seen, expected);
    }

    // Cut and Copy follow the whole text, blanks and line breaks included;
    // Paste keeps its own state throughout.
    void cutAndCopyFollowTheText()
    {
        type(QStringLiteral("x"));
        QVERIFY(editItems(true, true, false));
        press(Qt::Key_Backspace);
        QVERIFY(editItems(false, false, false));
        type(QStringLiteral(" "));
        QVERIFY(editItems(true, true, false));
        press(Qt::Key_Backspace);
        press(Qt::Key_Return);
        QVERIFY(editItems(true, true, false));
        m_main->rtfBox->undo();
        QVERIFY(editItems(false, false, false));
    }

    // Clear asks nothing, keeps the caption, the flag and Paste, and one
    // Ctrl+Z brings the text back.
    void clearEmptiesAndCanBeUndone()
    {
        type(QStringLiteral("unitName = \"\""));
        press(Qt::Key_Return);
        type(QStringLiteral("race = \"\""));
        m_main->mnuCopy->trigger();
        m_main->setWindowTitle(QStringLiteral("ship.odf"));
        m_main->blnChanged = true;
        QTest::mouseClick(m_main->cmdClear, Qt::LeftButton);
        QVERIFY(m_main->rtfBox->isEmpty());
        QVERIFY(editItems(false, false, true));
        QVERIFY(m_main->blnChanged);
        QCOMPARE(m_main->windowTitle(), QStringLiteral("ship.odf"));
        QVERIFY(m_services.messages.isEmpty());

        m_main->blnChanged = false;
        QTest::mouseClick(m_main->cmdClear, Qt::LeftButton);
        QVERIFY(!m_main->blnChanged);

        m_main->rtfBox->setFocus();
        press(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(m_main->rtfBox->Text(), QStringLiteral("unitName = \"\"\r\nrace = \"\""));
        QVERIFY(editItems(true, true, true));
    }

    void minimizeAndRestoreKeepEverything()
    {
        type(QStringLiteral("abc"));
        QTest::mouseClick(m_main->cmdMinimize, Qt::LeftButton);
        QVERIFY(m_main->isMinimized());
        m_program->frmMain.Show();
        QVERIFY(!m_main->isMinimized());
        QCOMPARE(m_main->rtfBox->Text(), QStringLiteral("abc"));
        QVERIFY(editItems(true, true, false));
    }

    // The menu's shortcuts win over the text control's own keys while the
    // text has the focus, so that Copy and Cut enable Paste.
    void shortcutsRunTheMenuWhileTyping()
    {
        type(QStringLiteral("hello world"));
        press(Qt::Key_A, Qt::ControlModifier); // Select All
        QCOMPARE(m_main->rtfBox->selectedPlainText(), QStringLiteral("hello world"));
        press(Qt::Key_C, Qt::ControlModifier);
        QVERIFY(editItems(true, true, true));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("hello world"));

        press(Qt::Key_End);
        press(Qt::Key_Left, Qt::ShiftModifier);
        press(Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(m_main->rtfBox->Text(), QStringLiteral("hello worl"));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("d"));
        press(Qt::Key_P, Qt::ControlModifier);
        press(Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(m_main->rtfBox->Text(), QStringLiteral("hello worldd"));
        press(Qt::Key_V, Qt::ControlModifier); // the control's own paste
        QCOMPARE(m_main->rtfBox->Text(), QStringLiteral("hello worlddd"));
    }

    // A disabled item's shortcut does nothing of the menu's.
    void disabledShortcutsDoNothing()
    {
        QApplication::clipboard()->setText(QStringLiteral("clip"));
        press(Qt::Key_P, Qt::ControlModifier);
        QVERIFY(m_main->rtfBox->isEmpty());
        press(Qt::Key_C, Qt::ControlModifier);
        QVERIFY(editItems(false, false, false));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("clip"));
    }

    // Closing the main window unloads it at once, unsaved text and all.
    void closeBoxUnloadsWithoutAsking()
    {
        type(QStringLiteral("unsaved"));
        QVERIFY(m_main->blnChanged);
        QVERIFY(m_main->close());
        QVERIFY(!m_program->frmMain.isLoaded());
        QVERIFY(m_services.messages.isEmpty());
        m_program->frmMain.Show();
        QVERIFY(m_program->frmMain.get()->rtfBox->isEmpty());
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
