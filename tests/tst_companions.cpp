// The windows that the main window's Program Extras and Help menus open: their
// designs, one instance of each brought forward when chosen again, Close and
// the close box unloading them, what the user can change and copy, and how
// they live beside the main window.
#include "companions/frmabout.h"
#include "companions/frmexample.h"
#include "companions/frmpublished.h"
#include "editor/frmmain.h"
#include "editor/program.h"
#include "platform/design.h"
#include "platform/richtextbox.h"
#include "platform/textbox.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

// A window's text as the user sees it: its design text with one line break
// for each CR LF.
QString shownText(const QString& resource)
{
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<missing %1>").arg(resource);
    return QString::fromLatin1(file.readAll())
        .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString resourceOf(const QString& window)
{
    if (window == QLatin1String("frmExample"))
        return QStringLiteral(":/example.odf");
    if (window == QLatin1String("frmPublished"))
        return QStringLiteral(":/template.odf");
    return QStringLiteral(":/about-notes.txt");
}

QList<QWidget*> windowsNamed(const QString& name)
{
    QList<QWidget*> found;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window->objectName() == name && window->testAttribute(Qt::WA_DeleteOnClose))
            found << window;
    }
    return found;
}

QList<QRect> childGeometries(const QWidget* window)
{
    QList<QRect> geometries;
    const auto children = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (const QWidget* child : children)
        geometries << child->geometry();
    return geometries;
}

void addWindowColumn()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("example") << QStringLiteral("frmExample");
    QTest::newRow("template") << QStringLiteral("frmPublished");
    QTest::newRow("about") << QStringLiteral("frmAbout");
}

} // namespace

class TestCompanions : public QObject
{
    Q_OBJECT

private:
    ScriptedServices m_services;
    std::unique_ptr<Program> m_program;
    FrmMain* m_main = nullptr;

    QAction* menuItem(const QString& window) const
    {
        if (window == QLatin1String("frmExample"))
            return m_main->mnuOpenExample;
        if (window == QLatin1String("frmPublished"))
            return m_main->mnuOpenPublished;
        return m_main->mnuAbout;
    }

    // The loaded window of that name, or null.
    QWidget* loaded(const QString& window) const
    {
        if (window == QLatin1String("frmExample"))
            return m_program->frmExample.get();
        if (window == QLatin1String("frmPublished"))
            return m_program->frmPublished.get();
        return m_program->frmAbout.get();
    }

    // Chooses the window's menu item and waits until the window is active.
    QWidget* open(const QString& window)
    {
        menuItem(window)->trigger();
        QWidget* opened = loaded(window);
        if (!opened || !QTest::qWaitForWindowActive(opened))
            return nullptr;
        return opened;
    }

    static platform::TextBox* text1(const QWidget* window)
    {
        return window->findChild<platform::TextBox*>(QStringLiteral("Text1"));
    }
    static QPushButton* cmdClose(const QWidget* window)
    {
        return window->findChild<QPushButton*>(QStringLiteral("cmdClose"));
    }

    static void press(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(widget, key, modifiers);
    }

    bool activateMain()
    {
        m_main->activateWindow();
        return QTest::qWaitForWindowActive(m_main);
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
        QVERIFY(m_services.messages.isEmpty());
        m_program.reset();
        QApplication::setWindowIcon(QIcon());
    }

    void referenceWindowsAsDesigned_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("textBox");
        QTest::addColumn<bool>("locked");
        QTest::newRow("example") << QStringLiteral("frmExample")
                                 << QStringLiteral("Example of an ODF...") << QRect(8, 16, 489, 385)
                                 << true;
        QTest::newRow("template") << QStringLiteral("frmPublished")
                                  << QStringLiteral("Published ODF...") << QRect(8, 8, 489, 393)
                                  << false;
    }

    void referenceWindowsAsDesigned()
    {
        QFETCH(QString, window);
        QFETCH(QString, caption);
        QFETCH(QRect, textBox);
        QFETCH(bool, locked);
        // Even an application-wide icon must not show on these windows.
        QApplication::setWindowIcon(platform::programIcon());
        QWidget* w = open(window);
        QVERIFY(w);

        QCOMPARE(w->objectName(), window);
        QCOMPARE(w->windowTitle(), caption);
        QCOMPARE(w->size(), QSize(507, 452));
        QCOMPARE(w->windowType(), Qt::Window);
        QVERIFY(
            w->windowFlags().testFlags(Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint));
        QVERIFY(w->minimumSize() != w->maximumSize());
        QVERIFY(w->windowIcon().isNull());

        platform::TextBox* text = text1(w);
        QVERIFY(text);
        QCOMPARE(text->geometry(), textBox);
        QCOMPARE(text->font().family(), QStringLiteral("Verdana"));
        QCOMPARE(text->font().pointSizeF(), 9.75);
        QCOMPARE(text->isReadOnly(), locked);
        QCOMPARE(text->toPlainText(), shownText(resourceOf(window)));
        // Long lines are not wrapped; they are reached by scrolling sideways.
        QCOMPARE(text->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(text->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(text->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QVERIFY(text->horizontalScrollBar()->maximum() > 0);
        QCOMPARE(QApplication::focusWidget(), text);

        QPushButton* close = cmdClose(w);
        QVERIFY(close);
        QCOMPARE(close->text(), QStringLiteral("Close"));
        QCOMPARE(close->geometry(), QRect(408, 416, 81, 25));
        QCOMPARE(close->font().pointSizeF(), 9.75);
        // The Tab key reaches Close from the example's text; in the template
        // it types a tab instead.
        press(text, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), locked ? static_cast<QWidget*>(close) : text);
    }

    void aboutWindowAsDesigned()
    {
        QWidget* w = open(QStringLiteral("frmAbout"));
        QVERIFY(w);
        QCOMPARE(w->objectName(), QStringLiteral("frmAbout"));
        QCOMPARE(w->windowTitle(), QStringLiteral("About Tessmark 2.0..."));
        QCOMPARE(w->size(), QSize(400, 183));
        QCOMPARE(w->windowType(), Qt::Tool);
        QVERIFY(w->windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!(w->windowFlags() & Qt::WindowMinMaxButtonsHint));
        QVERIFY(w->minimumSize() != w->maximumSize());
        const QImage icon = w->windowIcon().pixmap(48, 48).toImage();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon, m_main->windowIcon().pixmap(48, 48).toImage());

        platform::TextBox* text = text1(w);
        QVERIFY(text);
        QCOMPARE(text->geometry(), QRect(32, 8, 329, 105));
        QCOMPARE(text->toolTip(), QStringLiteral("Coders notes..."));
        QCOMPARE(text->font().pointSizeF(), 9.75);
        QVERIFY(text->isReadOnly());
        QCOMPARE(text->toPlainText(), shownText(resourceOf(QStringLiteral("frmAbout"))));
        QCOMPARE(text->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(text->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(text->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

        auto* label = w->findChild<QLabel*>(QStringLiteral("Label1"));
        QVERIFY(label);
        QCOMPARE(label->text(), QStringLiteral("Coders:"));
        QVERIFY(label->font().bold());
        QCOMPARE(label->geometry(), QRect(56, 128, 65, 17));

        auto* list = w->findChild<QListWidget*>(QStringLiteral("List1"));
        QVERIFY(list);
        QCOMPARE(list->geometry(), QRect(144, 128, 113, 34));
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), QStringLiteral("Corvane"));
        QCOMPARE(list->item(1)->text(), QStringLiteral("Weylan"));
        QVERIFY(!list->font().bold());

        QPushButton* close = cmdClose(w);
        QVERIFY(close);
        QCOMPARE(close->geometry(), QRect(304, 144, 81, 25));

        // The notes have the focus; Tab goes on to the list and to Close.
        QCOMPARE(QApplication::focusWidget(), text);
        press(text, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), list);
        press(list, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), close);
    }

    // Choosing an entry of the coders' list highlights it and nothing else.
    void selectingACoderChangesNothingElse()
    {
        QWidget* w = open(QStringLiteral("frmAbout"));
        QVERIFY(w);
        auto* list = w->findChild<QListWidget*>(QStringLiteral("List1"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(1)).center());
        QCOMPARE(list->currentRow(), 1);
        QVERIFY(list->item(1)->isSelected());
        QCOMPARE(list->count(), 2);
        QVERIFY(w->isVisible());
        QVERIFY(m_program->frmAbout.get() == w);
    }

    void resizingLeavesTheControlsInPlace_data() { addWindowColumn(); }

    void resizingLeavesTheControlsInPlace()
    {
        QFETCH(QString, window);
        QWidget* w = open(window);
        QVERIFY(w);
        const QList<QRect> designed = childGeometries(w);
        QCOMPARE(designed.size(), window == QLatin1String("frmAbout") ? 4 : 2);

        w->resize(w->width() * 2, w->height() + 200);
        QCOMPARE(childGeometries(w), designed);
        w->resize(w->width() / 3, w->height() / 3);
        QCOMPARE(childGeometries(w), designed);
        if (w->windowFlags().testFlag(Qt::WindowMaximizeButtonHint)) {
            w->showMaximized();
            QVERIFY(w->isMaximized());
            QCOMPARE(childGeometries(w), designed);
        }
    }

    // Choosing the item of an open window brings that same window forward,
    // with its text, caret and scroll position as the user left them.
    void choosingAgainBringsTheSameWindowForward_data() { addWindowColumn(); }

    void choosingAgainBringsTheSameWindowForward()
    {
        QFETCH(QString, window);
        QPointer<QWidget> first = open(window);
        QVERIFY(first);
        platform::TextBox* text = text1(first);
        for (int i = 0; i < 3; ++i)
            press(text, Qt::Key_Down);
        press(text, Qt::Key_Right, Qt::ShiftModifier);
        if (!text->isReadOnly())
            QTest::keyClicks(text, QStringLiteral("edited"));
        text->verticalScrollBar()->setValue(text->verticalScrollBar()->maximum());
        const QString typed = text->toPlainText();
        const QTextCursor caret = text->textCursor();
        const int scrolled = text->verticalScrollBar()->value();
        QVERIFY(caret.position() > 0);
        QVERIFY(scrolled > 0);

        QVERIFY(activateMain());
        QWidget* again = open(window);
        QVERIFY(first && again == first);
        QCOMPARE(windowsNamed(window).size(), 1);
        QVERIFY(first->isActiveWindow());
        QCOMPARE(text->toPlainText(), typed);
        QCOMPARE(text->textCursor().position(), caret.position());
        QCOMPARE(text->textCursor().anchor(), caret.anchor());
        QCOMPARE(text->verticalScrollBar()->value(), scrolled);

        // Also when the window was minimized in between.
        first->showMinimized();
        QVERIFY(activateMain());
        again = open(window);
        QVERIFY(first && again == first);
        QVERIFY(!first->isMinimized());
        QCOMPARE(text->toPlainText(), typed);
    }

    // Close and the close box unload the window; the next opening builds it
    // afresh from its design, so what was typed into the template is gone.
    void closingUnloadsAndReopeningStartsAfresh_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("byButton");
        for (const char* window : {"frmExample", "frmPublished", "frmAbout"}) {
            QTest::addRow("%s, Close", window) << QString::fromLatin1(window) << true;
            QTest::addRow("%s, close box", window) << QString::fromLatin1(window) << false;
        }
    }

    void closingUnloadsAndReopeningStartsAfresh()
    {
        QFETCH(QString, window);
        QFETCH(bool, byButton);
        QPointer<QWidget> first = open(window);
        QVERIFY(first);
        platform::TextBox* text = text1(first);
        press(text, Qt::Key_End, Qt::ControlModifier);
        if (!text->isReadOnly())
            QTest::keyClicks(text, QStringLiteral("unitName = \"Kite\""));

        if (byButton)
            QTest::mouseClick(cmdClose(first), Qt::LeftButton);
        else
            QVERIFY(first->close());
        QVERIFY(!loaded(window));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(first.isNull());
        QVERIFY(windowsNamed(window).isEmpty());
        QVERIFY(m_main->isVisible());

        QWidget* second = open(window);
        QVERIFY(second);
        QCOMPARE(text1(second)->toPlainText(), shownText(resourceOf(window)));
        QCOMPARE(text1(second)->textCursor().position(), 0);
        QCOMPARE(windowsNamed(window).size(), 1);
    }

    // The example and the notes are locked: keys that would change them do
    // nothing, while selecting and the copy key work. The template takes
    // the same keys as edits. The clipboard gets the platform's line breaks.
    void lockedTextsCopyButDoNotChange_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("locked");
        QTest::newRow("example") << QStringLiteral("frmExample") << true;
        QTest::newRow("template") << QStringLiteral("frmPublished") << false;
        QTest::newRow("about") << QStringLiteral("frmAbout") << true;
    }

    void lockedTextsCopyButDoNotChange()
    {
        QFETCH(QString, window);
        QFETCH(bool, locked);
        QWidget* w = open(window);
        QVERIFY(w);
        platform::TextBox* text = text1(w);
        const QString design = shownText(resourceOf(window));
        QApplication::clipboard()->setText(QStringLiteral("clip"));

        QTest::keyClicks(text, QStringLiteral("ab"));
        press(text, Qt::Key_Return);
        press(text, Qt::Key_V, Qt::ControlModifier);
        press(text, Qt::Key_Delete);
        if (locked) {
            QCOMPARE(text->toPlainText(), design);
        } else {
            QCOMPARE(text->toPlainText(), QStringLiteral("ab\nclip") + design.mid(1));
            text->setPlainText(design);
        }

        press(text, Qt::Key_A, Qt::ControlModifier);
        press(text, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), design);
        press(text, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(text->toPlainText(), locked ? design : QString());
        QCOMPARE(QApplication::clipboard()->text(), design);
    }

    // Only what is selected is copied, tabs and trailing blanks included.
    void copyingASelectionKeepsEveryCharacter()
    {
        QWidget* w = open(QStringLiteral("frmExample"));
        QVERIFY(w);
        platform::TextBox* text = text1(w);
        const QString design = shownText(resourceOf(QStringLiteral("frmExample")));
        const int from = int(design.indexOf(QStringLiteral("possibleCraftNames")));
        const int to = int(design.indexOf(QStringLiteral("\n\n"), from)) + 1;
        QTextCursor cursor = text->textCursor();
        cursor.setPosition(from);
        text->setTextCursor(cursor);
        for (int i = 0; i < 6; ++i)
            press(text, Qt::Key_Down, Qt::ShiftModifier);
        press(text, Qt::Key_C, Qt::ControlModifier);
        const QString copied = QApplication::clipboard()->text();
        QCOMPARE(copied, design.mid(from, to - from));
        QVERIFY(copied.startsWith(QStringLiteral("possibleCraftNames = \n\t\"")));
    }

    // The windows are modeless and have no owner: the main window stays
    // usable with all three open.
    void theMainWindowStaysUsable()
    {
        QList<QWidget*> windows;
        for (const char* name : {"frmExample", "frmPublished", "frmAbout"}) {
            QWidget* w = open(QString::fromLatin1(name));
            QVERIFY(w);
            windows << w;
        }
        for (QWidget* w : windows) {
            QVERIFY(w->isVisible());
            QVERIFY(!w->isModal());
            QVERIFY(!w->parentWidget());
        }
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(activateMain());
        QTest::keyClicks(m_main->rtfBox, QStringLiteral("ok"));
        QCOMPARE(m_main->rtfBox->Text(), QStringLiteral("ok"));
        QVERIFY(m_main->mnuCut->isEnabled());
    }

    // Closing the main window leaves an open companion window on the screen;
    // the program ends when that window is closed too.
    void theProgramEndsWithTheLastWindow_data() { addWindowColumn(); }

    void theProgramEndsWithTheLastWindow()
    {
        QFETCH(QString, window);
        QPointer<QWidget> w = open(window);
        QVERIFY(w);
        QGuiApplication::setQuitOnLastWindowClosed(true);
        QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
        int afterMain = -1;
        int afterCompanion = -1;
        bool stillShown = false;

        // The program ends only from its event loop; these steps run there,
        // and the last one ends the loop in any case.
        QObject steps;
        QTimer::singleShot(0, &steps, [&] {
            m_main->close();
            afterMain = int(lastClosed.count());
            stillShown = !w.isNull() && w->isVisible();
            QTimer::singleShot(0, &steps, [&] {
                if (w)
                    QTest::mouseClick(cmdClose(w), Qt::LeftButton);
                afterCompanion = int(lastClosed.count());
                QTimer::singleShot(0, &steps, [] { QCoreApplication::exit(0); });
            });
        });
        QApplication::exec();
        QGuiApplication::setQuitOnLastWindowClosed(false);

        QCOMPARE(afterMain, 0);
        QVERIFY(stillShown);
        QCOMPARE(afterCompanion, 1);
    }
};

QTEST_MAIN(TestCompanions)
#include "tst_companions.moc"
