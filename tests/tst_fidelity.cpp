// The fidelity check of fuzz/fidelity.h: scripts for the faults seen in use,
// each with the bytes Save As must write after it, and pseudo-random inputs
// from a fixed seed.
#include "fuzz/fidelity.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

class TestFidelity : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void knownFaults()
    {
        // The file, the script (see fidelity.h) and the bytes saved after it.
        const char* const rows[][3] = {
            // Return at a line start, Undo, Return in a line: CR LF, the main break.
            {"one\r\ntwo\nthree\r\n", "t401\nut201\n", "on\r\ne\r\ntwo\nthree\r\n"},
            // Delete a break, Undo, Return before a lone CR: LF, the main break.
            {"one\ntwo\na\nb\rc\n", "d90ut;01\n", "one\ntwo\na\nb\n\rc\n"},
            // Clear, Undo, in a file of every break.
            {"a\r\nb\nc\rd\r\ne\r\n", "cu", "a\r\nb\nc\rd\r\ne\r\n"},
            // New leaves nothing to undo and starts a Windows-1252 text with CR LF.
            {"\xEF\xBB\xBFname = \"\xC3\xA9\"\r\n", "nut002\n€", "\r\n\x80"},
            // Include Line goes to the end, not to the caret, and one Undo takes it
            // back; pasted breaks become the main one, U+2029 stays.
            {"\xC3\xA9\nb\n", "t001Ziup908x\r\nx\rx\n\u2029",
             "Z\xC3\xA9\nb\nx\nx\nx\n\xE2\x80\xA9"},
            // Each Insert command is one Undo step, apart from what was typed before it.
            {"a", "t101Ziut201asut301=/ut4011#u", "aZa=1"},
            // Replace All folds é and keeps each line break and Windows-1252.
            {"a = 1\r\nA\xE9 = 2\n", "a01a2xé", "x\xE9 = 1\r\nx\xE9\xE9 = 2\n"},
            // Replace selects the one whole word of that case, then replaces it.
            {"a_a a A\r\n", "e31a1xe31a1x", "a_a x A\r\n"},
        };
        for (const auto& row : rows) {
            QByteArray saved;
            const QString failure =
                fidelity::run(row[0], QString::fromUtf8(row[1]), m_dir.path(), &saved);
            QVERIFY2(failure.isEmpty(), qPrintable(QString::fromUtf8(row[1]) + failure));
            QCOMPARE(saved, QByteArray(row[2]));
        }
    }

    // Files of a few lines with every mix of breaks, edited by random scripts.
    void randomScripts()
    {
        const QByteArray pieces[] = {"a", "b", " ", "=", "\r", "\n", "\r\n", "\xC3\xA9", "\x80"};
        QRandomGenerator random(11);
        for (int i = 0; i < 300; ++i) {
            QByteArray file;
            QByteArray script(random.bounded(4, 40), Qt::Uninitialized);
            for (int n = int(random.bounded(24)); n > 0; --n)
                file += pieces[random.bounded(int(std::size(pieces)))];
            for (char& c : script)
                c = char(random.bounded(256));
            const QString failure = fidelity::run(file, QString::fromLatin1(script), m_dir.path());
            QVERIFY2(failure.isEmpty(),
                     (file.toHex() + ' ' + script.toHex() + ": ") + failure.toUtf8());
        }
    }
};

QTEST_MAIN(TestFidelity)
#include "tst_fidelity.moc"
