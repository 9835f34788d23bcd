// What assistive technology and the keyboard get: the names, roles and
// descriptions that a screen reader reads through QAccessible, every control
// of each window in its tab order, and every menu item by its access key.
#include "companions/frmabout.h"
#include "companions/frmexample.h"
#include "companions/frmpreview.h"
#include "companions/frmpublished.h"
#include "editor/frmmain.h"
#include "editor/program.h"
#include "platform/imagebox.h"
#include "platform/picture.h"
#include "platform/richtextbox.h"
#include "platform/runtimeerror.h"
#include "testpictures.h"
#include "testsupport.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

// Whether Tab would type a tab into the control rather than leave it.
bool typesTabs(const QWidget* control)
{
    if (qobject_cast<const platform::RichTextBox*>(control) != nullptr)
        return true;
    const auto* text = qobject_cast<const QPlainTextEdit*>(control);
    return text != nullptr && !text->isReadOnly() && !text->tabChangesFocus();
}

QString textOf(const QWidget* control)
{
    if (const auto* box = qobject_cast<const platform::RichTextBox*>(control))
        return box->Text();
    const auto* text = qobject_cast<const QPlainTextEdit*>(control);
    return text != nullptr ? text->toPlainText() : QString();
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ScriptedServices m_services;
    std::unique_ptr<Program> m_program;
    FrmMain* m_main = nullptr;

    // Opens a window as the user does, from its menu item, and waits until it
    // has the keyboard.
    QWidget* open(const QString& window)
    {
        QWidget* opened = m_main;
        if (window == QLatin1String("frmExample")) {
            m_main->mnuOpenExample->trigger();
            opened = m_program->frmExample.get();
        } else if (window == QLatin1String("frmPublished")) {
            m_main->mnuOpenPublished->trigger();
            opened = m_program->frmPublished.get();
        } else if (window == QLatin1String("frmAbout")) {
            m_main->mnuAbout->trigger();
            opened = m_program->frmAbout.get();
        } else if (window == QLatin1String("frmPreview")) {
            m_main->mnuHardpointViewer->trigger();
            opened = m_program->frmPreview.get();
        }
        if (opened == nullptr || !QTest::qWaitForWindowActive(opened))
            return nullptr;
        return opened;
    }

    // Presses Tab, or Shift+Tab backwards; in a text box that types tabs the
    // keys go with Ctrl.
    static void pressTab(bool forward)
    {
        QWidget* focus = QApplication::focusWidget();
        Qt::KeyboardModifiers modifiers = forward ? Qt::NoModifier : Qt::ShiftModifier;
        if (typesTabs(focus))
            modifiers |= Qt::ControlModifier;
        QTest::keyClick(focus, forward ? Qt::Key_Tab : Qt::Key_Backtab, modifiers);
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
        QVERIFY(QTest::qWaitForWindowActive(m_main));
    }

    void cleanup()
    {
        QVERIFY(!m_services.unexpected);
        QVERIFY(m_services.answers.empty());
        QVERIFY(m_services.fileNames.empty());
        m_program.reset();
    }

    // Controls that carry no text of their own have a short name to speak.
    void controlsHaveSpokenNames_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("role");
        QTest::addColumn<int>("readOnly"); // -1: not a text

        const struct
        {
            const char* window;
            const char* control;
            const char* name;
            QAccessible::Role role;
            int readOnly;
        } rows[] = {
            {"frmMain", "rtfBox", "Document", QAccessible::EditableText, 0},
            {"frmExample", "Text1", "Example ODF", QAccessible::EditableText, 1},
            {"frmPublished", "Text1", "Template", QAccessible::EditableText, 0},
            {"frmAbout", "Text1", "Notes", QAccessible::EditableText, 1},
            {"frmAbout", "List1", "Coders", QAccessible::List, -1},
            {"frmPreview", "Drive1", "Drives", QAccessible::ComboBox, -1},
            {"frmPreview", "Dir1", "Folders", QAccessible::Tree, -1},
            {"frmPreview", "File1", "Files", QAccessible::List, -1},
            {"frmPreview", "Image1", "Picture", QAccessible::Graphic, -1},
        };
        for (const auto& row : rows) {
            QTest::newRow(row.name)
                << QString::fromLatin1(row.window) << QString::fromLatin1(row.control)
                << QString::fromLatin1(row.name) << int(row.role) << row.readOnly;
        }
    }

    void controlsHaveSpokenNames()
    {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(QString, name);
        QFETCH(int, role);
        QFETCH(int, readOnly);

        const QWidget* w = open(window);
        QVERIFY(w);
        auto* widget = w->findChild<QWidget*>(control);
        QVERIFY(widget);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(accessible);
        QCOMPARE(accessible->text(QAccessible::Name), name);
        QCOMPARE(int(accessible->role()), role);
        if (readOnly >= 0)
            QCOMPARE(accessible->state().readOnly, readOnly == 1);

        // The control is in its window's tree, where a screen reader looks.
        const QAccessibleInterface* top = QAccessible::queryAccessibleInterface(w->window());
        const QAccessibleInterface* ancestor = accessible->parent();
        while (ancestor != nullptr && ancestor != top)
            ancestor = ancestor->parent();
        QCOMPARE(ancestor, top);
    }

    // The picture frame's description names the picture it shows; a picture
    // that cannot be read or shown leaves the description as it was.
    void pictureFrameDescribesThePictureShown()
    {
        const QString hawk = m_dir.filePath(QStringLiteral("hawk.bmp"));
        const QString kite = m_dir.filePath(QStringLiteral("kite.jpg"));
        const QString broken = m_dir.filePath(QStringLiteral("broken.gif"));
        writeBytes(hawk, testpictures::encode(testpictures::filled({40, 30}, Qt::red), "BMP"));
        writeBytes(kite, testpictures::encode(testpictures::filled({40, 30}, Qt::blue), "JPEG"));
        const QString huge = m_dir.filePath(QStringLiteral("huge.bmp"));
        writeBytes(broken, "GIF89a");
        writeBytes(huge, testpictures::rleBmp(16000, 16000));

        platform::ImageBox frame;
        frame.resize(200, 100);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&frame);
        QVERIFY(accessible);
        QCOMPARE(accessible->text(QAccessible::Description), QString());

        frame.setPicture(platform::LoadPicture(hawk));
        QCOMPARE(accessible->text(QAccessible::Description), QStringLiteral("hawk.bmp"));
        QVERIFY_THROWS_EXCEPTION(platform::RuntimeError,
                                 frame.setPicture(platform::LoadPicture(broken)));
        QCOMPARE(accessible->text(QAccessible::Description), QStringLiteral("hawk.bmp"));
        const platform::StdPicture tooLarge = platform::LoadPicture(huge);
        QVERIFY_THROWS_EXCEPTION(platform::RuntimeError, frame.setPicture(tooLarge));
        QCOMPARE(accessible->text(QAccessible::Description), QStringLiteral("hawk.bmp"));
        frame.setPicture(platform::LoadPicture(kite));
        QCOMPARE(accessible->text(QAccessible::Description), QStringLiteral("kite.jpg"));

        // The graphic also answers as an image, as screen readers ask it.
        auto* image = static_cast<QAccessibleImageInterface*>(
            accessible->interface_cast(QAccessible::ImageInterface));
        QVERIFY(image);
        QCOMPARE(image->imageDescription(), QStringLiteral("kite.jpg"));
        QCOMPARE(image->imageSize(), frame.contentsRect().size());
    }

    // Tab goes through every control that takes the focus, in the order of
    // the window's design, and round again; Shift+Tab goes back the same way.
    // A text box that types tabs is left with Ctrl+Tab and Ctrl+Shift+Tab,
    // without a tab typed into it.
    void tabOrderReachesEveryControl_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("order");
        const auto row = [](const char* name, const char* window, const char* order) {
            QTest::newRow(name) << QString::fromLatin1(window)
                                << QString::fromLatin1(order).split(QLatin1Char(' '));
        };
        row("main", "frmMain", "rtfBox cmdClear cmdMinimize");
        row("example", "frmExample", "Text1 cmdClose");
        row("template", "frmPublished", "Text1 cmdClose");
        row("about", "frmAbout", "Text1 List1 cmdClose");
        row("viewer", "frmPreview", "Drive1 Dir1 File1 cmdClose cmdHide");
    }

    void tabOrderReachesEveryControl()
    {
        QFETCH(QString, window);
        QFETCH(QStringList, order);

        QWidget* w = open(window);
        QVERIFY(w);
        QList<QWidget*> controls;
        for (const QString& name : order)
            controls << w->findChild<QWidget*>(name);
        QVERIFY(!controls.contains(nullptr));
        QList<QString> texts;
        for (QWidget* control : controls)
            texts << textOf(control);

        QCOMPARE(QApplication::focusWidget(), controls.first());
        const int n = int(controls.size());
        for (int i = 1; i <= n; ++i) {
            pressTab(true);
            QCOMPARE(QApplication::focusWidget(), controls[i % n]);
        }
        for (int i = n - 1; i >= 0; --i) {
            pressTab(false);
            QCOMPARE(QApplication::focusWidget(), controls[i]);
        }
        for (int i = 0; i < n; ++i)
            QCOMPARE(textOf(controls[i]), texts[i]);
    }

    // Alt and a menu's access key open the menu; the item's access key then
    // runs it. Where two items of a menu share a key, the key moves between
    // them and Return runs the one reached. The two items whose captions
    // have no access key are reached with the arrow keys.
    void menuItemsByAccessKey_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<int>("menuKey");
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("itemKey"); // Down: no access key

        const struct
        {
            const char* menu;
            const char* item;
            Qt::Key menuKey;
            Qt::Key itemKey;
        } rows[] = {
            {"mnuFile", "mnuNew", Qt::Key_F, Qt::Key_N},
            {"mnuFile", "mnuOpen", Qt::Key_F, Qt::Key_O},
            {"mnuFile", "mnuSaveAs", Qt::Key_F, Qt::Key_S},
            {"mnuFile", "mnuExit", Qt::Key_F, Qt::Key_E},
            {"mnuEdit", "mnuCut", Qt::Key_E, Qt::Key_C},
            {"mnuEdit", "mnuCopy", Qt::Key_E, Qt::Key_C},
            {"mnuEdit", "mnuPaste", Qt::Key_E, Qt::Key_P},
            {"mnuEdit", "mnuSelectAll", Qt::Key_E, Qt::Key_S},
            {"mnuView", "mnuHardpointViewer", Qt::Key_V, Qt::Key_H},
            {"mnuInsert", "mnuInclude", Qt::Key_I, Qt::Key_I},
            {"mnuInsert", "mnuItemSeparator", Qt::Key_I, Qt::Key_I},
            {"mnuInsert", "mnudoubleslash", Qt::Key_I, Qt::Key_Down},
            {"mnuInsert", "mnuhash", Qt::Key_I, Qt::Key_Down},
            {"mnuProgramExtras", "mnuOpenExample", Qt::Key_P, Qt::Key_O},
            {"mnuProgramExtras", "mnuOpenPublished", Qt::Key_P, Qt::Key_O},
            {"mnuHelp", "mnuAbout", Qt::Key_H, Qt::Key_A},
        };
        for (const auto& row : rows) {
            QTest::newRow(row.item) << QString::fromLatin1(row.menu) << int(row.menuKey)
                                    << QString::fromLatin1(row.item) << int(row.itemKey);
        }
    }

    void menuItemsByAccessKey()
    {
        QFETCH(QString, menu);
        QFETCH(int, menuKey);
        QFETCH(QString, item);
        QFETCH(int, itemKey);

        // Every item enabled: text to cut and copy, and Paste after a Copy.
        QTest::keyClicks(m_main->rtfBox, QStringLiteral("abc"));
        m_main->mnuCopy->trigger();
        if (item == QLatin1String("mnuOpen") || item == QLatin1String("mnuSaveAs"))
            m_services.fileNames.emplace_back(); // the dialog is cancelled
        if (item == QLatin1String("mnuExit"))
            m_services.answers.push_back(platform::MsgBox::No);
        m_main->blnChanged = false;

        auto* action = m_main->findChild<QAction*>(item);
        QVERIFY(action);
        QSignalSpy triggered(action, &QAction::triggered);

        QTest::keyClick(m_main, Qt::Key(menuKey), Qt::AltModifier);
        const QPointer<QMenu> popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(popup);
        QCOMPARE(popup->objectName(), menu);

        const auto keyOf = [](const QAction* a) {
            return QKeySequence::mnemonic(a->text())[0].key();
        };
        // The key is pressed at least once, whichever item the menu opens on.
        for (qsizetype presses = 0; triggered.isEmpty() && popup && popup->isVisible(); ++presses) {
            QVERIFY2(presses < popup->actions().size(), "the item is never reached");
            QTest::keyClick(popup, Qt::Key(itemKey));
            if (!triggered.isEmpty() || !popup || popup->activeAction() == nullptr)
                break;
            // A shared access key only moves between the items that share it.
            if (itemKey != Qt::Key_Down)
                QCOMPARE(int(keyOf(popup->activeAction())), itemKey);
            if (popup->activeAction() == action)
                QTest::keyClick(popup, Qt::Key_Return);
        }
        QCOMPARE(triggered.count(), 1);
        QVERIFY(QApplication::activePopupWidget() == nullptr);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
