// The fidelity check of fuzz/fidelity.h: scripts for the faults seen in use,
// each with the bytes Save As must write after it, and pseudo-random inputs
// from a fixed seed.
#include "fuzz/fidelity.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using fidelity::Op;
using fidelity::Step;

Q_DECLARE_METATYPE(fidelity::Input)

class TestFidelity : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    static Step step(Op op, int at = 0, const QString& text = QString())
    {
        Step made;
        made.op = op;
        made.at = at;
        made.text = text;
        return made;
    }

private slots:
    void knownFaults_data()
    {
        QTest::addColumn<fidelity::Input>("input");
        QTest::addColumn<QByteArray>("expected");
        const auto row = [](const char* name, const QByteArray& file, std::vector<Step> steps,
                            const QByteArray& expected) {
            QTest::newRow(name) << fidelity::Input{file, std::move(steps)} << expected;
        };
        const Step undo = step(Op::Undo);
        const QString enter = QStringLiteral("\n");
        const QByteArray scout("unitName = \"Scout\"\r\nbuildTime = 10\nScaleSOD = 1.5\r\n");
        row("Return in a line, Undo", scout, {step(Op::Type, 24, enter), undo}, scout);
        row("Return before a CR line, Undo", "one\ntwo\nab\rc\n", {step(Op::Type, 9, enter), undo},
            "one\ntwo\nab\rc\n");
        row("Delete a break, Undo", "one\ntwo\na\nb\rc\n", {step(Op::Delete, 9), undo},
            "one\ntwo\na\nb\rc\n");
        row("Clear, Undo", "a\r\nb\nc\rd\r\ne\r\n", {step(Op::Clear), undo},
            "a\r\nb\nc\rd\r\ne\r\n");
        row("Select All, Delete, Undo", "a\nb\r\nc\rd\n", {step(Op::SelectAllDelete), undo},
            "a\nb\r\nc\rd\n");
        row("Return at a line start", "one\r\ntwo\nthree\r\n", {step(Op::Type, 4, enter)},
            "one\r\n\r\ntwo\nthree\r\n");
        row("Return before a lone CR", "1\n2\n3\na\rb\n", {step(Op::Type, 7, enter)},
            "1\n2\n3\na\n\rb\n");
        row("New, Undo", "\xEF\xBB\xBFname = \"\xC3\xA9\"\r\n", {step(Op::New), undo}, "");
        row("U+2029 and U+FDD0 pasted", "\xC3\xA9\n",
            {step(Op::Paste, -1, QStringLiteral("x\u2029y\uFDD0z"))},
            "\xC3\xA9\nx\xE2\x80\xA9y\xEF\xB7\x90z");
        row("Pasted breaks", "a\nb\n", {step(Op::Paste, -1, QStringLiteral("1\r\n2\r3\n"))},
            "a\nb\n1\n2\n3\n");
    }

    void knownFaults()
    {
        QFETCH(fidelity::Input, input);
        QFETCH(QByteArray, expected);
        const fidelity::Outcome outcome = fidelity::run(input, m_dir.path());
        QVERIFY2(outcome.failure.isEmpty(), qPrintable(outcome.failure));
        QCOMPARE(outcome.saved, expected);
    }

    // Files of a few lines with every mix of breaks, edited by random steps.
    void randomScripts()
    {
        const QByteArray pieces[] = {"a", "b", " ", "=", "\r", "\n", "\r\n", "\xC3\xA9", "\x80"};
        QRandomGenerator random(11);
        for (int i = 0; i < 300; ++i) {
            QByteArray file;
            for (int n = int(random.bounded(24)); n > 0; --n)
                file += pieces[random.bounded(int(std::size(pieces)))];
            QByteArray script(4 * qsizetype(random.bounded(1, 10)), Qt::Uninitialized);
            random.fillRange(reinterpret_cast<quint32*>(script.data()), script.size() / 4);
            const QByteArray data = QByteArray(1, char(file.size())) + '\0' + file + script;
            const fidelity::Outcome outcome = fidelity::run(fidelity::decode(data), m_dir.path());
            QVERIFY2(outcome.failure.isEmpty(), qPrintable(QString::fromLatin1(data.toHex()) +
                                                           QStringLiteral(": ") + outcome.failure));
        }
    }
};

QTEST_MAIN(TestFidelity)
#include "tst_fidelity.moc"
