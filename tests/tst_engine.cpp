// Every byte survives editing: each row opens a file in the editor, runs a
// script of real keys and commands on it, saves it and compares the bytes.
#include "platform/richtextbox.h"
#include "testsupport.h"

#include <QApplication>
#include <QTest>

class TestEngine : public QObject, Fixture
{
    Q_OBJECT

private slots:
    void init() { start(); }

    // Script steps, split at blanks: at:N puts the caret before character N,
    // sel:A-B selects, type:TEXT types; anything else is a key.
    void editsKeepEveryByte_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QByteArray>("saved");
        const auto row = [](const char* name, const QByteArray& file, const char* script,
                            const QByteArray& saved) {
            QTest::newRow(name) << file << QString::fromUtf8(script) << saved;
        };
        // Return and Shift+Return type the file's main line break, as found.
        row("return, cr", "a\rb\r\nc\r", "at:1 Return", "a\r\rb\r\nc\r");
        row("shift+return, lf", "a\nb\r\nc\n", "at:1 Shift+Return", "a\n\nb\r\nc\n");
        // Keys do what they do in a plain text box, and nothing more.
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
    }

    void editsKeepEveryByte()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, steps);
        QFETCH(QByteArray, saved);

        platform::RichTextBox* box = main->rtfBox;
        script.files.push_back(write(QStringLiteral("in.odf"), file));
        main->mnuOpen->trigger();

        for (const QString& step : steps.split(QLatin1Char(' '))) {
            const QString arg = step.section(QLatin1Char(':'), 1);
            if (step.startsWith(QLatin1String("at:"))) {
                box->setCursorPosition(arg.toInt());
            } else if (step.startsWith(QLatin1String("sel:"))) {
                box->setSelection(arg.section(QLatin1Char('-'), 0, 0).toInt(),
                                  arg.section(QLatin1Char('-'), 1).toInt());
            } else if (step.startsWith(QLatin1String("type:"))) {
                QTest::keyClicks(QApplication::focusWidget(), arg);
            } else {
                const QKeyCombination key = QKeySequence::fromString(step)[0];
                QTest::keyClick(box, key.key(), key.keyboardModifiers());
            }
        }
        script.files.push_back(path(QStringLiteral("out.odf")));
        main->mnuSaveAs->trigger();
        QCOMPARE(read(path(QStringLiteral("out.odf"))), saved);
        QVERIFY(finish());
    }
};

QTEST_MAIN(TestEngine)
#include "tst_engine.moc"
