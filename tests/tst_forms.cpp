// Window instances reached by name, and the application's last line of
// defence against an error escaping an event handler.
#include "platform/application.h"
#include "platform/forms.h"
#include "platform/runtimeerror.h"
#include "testsupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class TestForms : public QObject
{
    Q_OBJECT
public:
    explicit TestForms(ScriptedServices& services) : m_services(services) {}

private:
    ScriptedServices& m_services;
    int m_built = 0;

    QLineEdit* build()
    {
        ++m_built;
        auto* window = new QLineEdit;
        window->setObjectName(QStringLiteral("frmTest"));
        return window;
    }

private slots:
    void init() { m_built = 0; }

    // Load builds once; Show brings the same window back with its state;
    // Hide keeps it; Unload destroys it and the next Load starts afresh.
    void oneInstanceWithItsLifecycle()
    {
        platform::FormInstance<QLineEdit> form([this] { return build(); });
        QVERIFY(!form.isLoaded());
        QCOMPARE(form.get(), nullptr);

        QLineEdit* first = form.Load();
        QCOMPARE(form.Load(), first);
        QCOMPARE(m_built, 1);
        QVERIFY(!first->isVisible());

        form.Show();
        QVERIFY(first->isVisible());
        first->setText(QStringLiteral("typed"));
        form.Hide();
        QVERIFY(!first->isVisible());
        QVERIFY(form.isLoaded());
        form.Show();
        QCOMPARE(form.get(), first);
        QCOMPARE(first->text(), QStringLiteral("typed"));

        QPointer<QLineEdit> watch(first);
        form.Unload();
        QVERIFY(!form.isLoaded());
        QCOMPARE(form.get(), nullptr);
        QTRY_VERIFY(watch.isNull());

        form.Show();
        QCOMPARE(m_built, 2);
        QVERIFY(form.get()->text().isEmpty());
    }

    // The close box unloads, as Unload does; a minimized window comes back.
    void closeBoxUnloadsAndShowRestores()
    {
        platform::FormInstance<QLineEdit> form([this] { return build(); });
        form.Show();
        platform::minimizeWindow(form.get());
        QVERIFY(form.get()->isMinimized());
        form.Show();
        QVERIFY(!form.get()->isMinimized());
        QVERIFY(form.get()->close());
        QVERIFY(!form.isLoaded());
        form.Load();
        QCOMPARE(m_built, 2);
    }

    // An error escaping an event handler is shown to the user; the program
    // goes on and the next event is handled.
    void escapedErrorIsShownAndTheProgramGoesOn()
    {
        QPushButton button;
        int clicks = 0;
        connect(&button, &QPushButton::clicked, [&clicks] {
            ++clicks;
            throw platform::RuntimeError(QStringLiteral("Drive not ready"));
        });
        button.show();
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicks, 1);
        QCOMPARE(m_services.messages.size(), 1);
        QCOMPARE(m_services.messages.last().prompt, QStringLiteral("Drive not ready"));
        QCOMPARE(m_services.messages.last().style,
                 platform::MsgBox::OkOnly | platform::MsgBox::Exclamation);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicks, 2);
    }
};

int main(int argc, char** argv)
{
    ScriptedServices services;
    platform::Application app(argc, argv, services);
    QGuiApplication::setQuitOnLastWindowClosed(false);
    TestForms test(services);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_forms.moc"
