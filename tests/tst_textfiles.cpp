// Files through the text control: whatever is read and written back unchanged
// comes back byte for byte, and a failed write never harms the old file.
#include "platform/richtextbox.h"
#include "platform/runtimeerror.h"
#include "testsupport.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using platform::Encoding;
using platform::LineEnding;
using platform::RichTextBox;

class TestTextFiles : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

    // Loads bytes into a fresh control and saves them under another name.
    QByteArray roundTrip(const QByteArray& bytes, RichTextBox& box)
    {
        writeBytes(path(QStringLiteral("in.odf")), bytes);
        box.LoadFile(path(QStringLiteral("in.odf")));
        box.SaveFile(path(QStringLiteral("out.odf")));
        return readBytes(path(QStringLiteral("out.odf")));
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void roundTripIsExact_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<int>("ending");

        const int cp = int(Encoding::Windows1252);
        const int u8 = int(Encoding::Utf8);
        const int crlf = int(LineEnding::CrLf);
        const int lf = int(LineEnding::Lf);
        const int cr = int(LineEnding::Cr);

        QByteArray all;
        for (int i = 0; i < 256; ++i)
            all.append(char(i));
        QTest::newRow("every byte value") << all << cp << -1;
        QByteArray reversed = all;
        std::reverse(reversed.begin(), reversed.end());
        QTest::newRow("every byte value, then reversed") << all + reversed << cp << -1;
        QTest::newRow("empty") << QByteArray() << cp << crlf;
        QTest::newRow("crlf, final break") << QByteArray("a = 1\r\nb = 2\r\n") << cp << crlf;
        QTest::newRow("crlf, no final break") << QByteArray("a = 1\r\nb = 2") << cp << crlf;
        QTest::newRow("lf") << QByteArray("a\nb\n\n") << cp << lf;
        QTest::newRow("cr") << QByteArray("a\rb\r") << cp << cr;
        QTest::newRow("mixed") << QByteArray("a\r\nb\nc\rd\r\n\n\r\r\ne") << cp << crlf;
        QTest::newRow("lone line breaks") << QByteArray("\n") << cp << lf;
        QTest::newRow("tabs and trailing blanks")
            << QByteArray("buildTime = \r\n\t\"\" \"\"  \t\r\n   ") << cp << crlf;
        QTest::newRow("windows-1252 letters")
            << QByteArray("caf\xE9 \x80 \xA0 \x81\x8D\x8F\x90\x9D") << cp << crlf;
        QTest::newRow("nul bytes") << QByteArray("a\0b\0\r\n\0", 7) << cp << crlf;
        QTest::newRow("utf-8") << QByteArray("caf\xC3\xA9 \xC2\xA0 \xE2\x80\xA8 \xF0\x9F\x9A\x80\n")
                               << u8 << lf;
        QTest::newRow("utf-8 with bom") << QByteArray("\xEF\xBB\xBFplain\r\n") << u8 << crlf;
        QTest::newRow("bom alone") << QByteArray("\xEF\xBB\xBF") << u8 << crlf;
        QTest::newRow("two boms") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx") << u8 << crlf;
        QTest::newRow("utf-8 with paragraph separator")
            << QByteArray("a\xE2\x80\xA9z") << u8 << crlf;
        QTest::newRow("utf-8 with frame marker") << QByteArray("\xEF\xB7\x90") << u8 << crlf;
        QTest::newRow("overlong utf-8") << QByteArray("\xC0\x80 \xC3\xA9") << cp << crlf;
        QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80 \xC3\xA9") << cp << crlf;
        QTest::newRow("truncated utf-8") << QByteArray("\xC3\xA9\xE2\x82") << cp << crlf;
        QTest::newRow("bom then invalid") << QByteArray("\xEF\xBB\xBF\xFF") << cp << crlf;

        auto* random = QRandomGenerator::global();
        for (int i = 0; i < 8; ++i) {
            QByteArray noise(1 + int(random->bounded(4096)), Qt::Uninitialized);
            for (char& c : noise)
                c = char(random->bounded(256));
            QTest::addRow("random bytes %d", i) << noise << -1 << -1;
        }
    }

    void roundTripIsExact()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, encoding);
        QFETCH(int, ending);
        RichTextBox box;
        QCOMPARE(roundTrip(bytes, box), bytes);
        if (encoding >= 0)
            QCOMPARE(int(box.format().encoding), encoding);
        if (ending >= 0)
            QCOMPARE(int(box.format().lineEnding), ending);
    }

    // What the user sees: lines split at every line break, each character as
    // stored (no blank in place of a non-breaking space, no lost control byte).
    void loadShowsTheCharactersAsStored()
    {
        RichTextBox box;
        writeBytes(path(QStringLiteral("shown.odf")), QByteArray("x\xA0y\0z\r\n\ttab\n\x80", 13));
        box.LoadFile(path(QStringLiteral("shown.odf")));
        QCOMPARE(box.SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT), 3);
        QCOMPARE(box.Text(),
                 QStringLiteral("x\u00A0y") + QChar(0) + QStringLiteral("z\r\n\ttab\n\u20AC"));
    }

    // A typed line break is the document's main one; the breaks already there
    // stay as they are.
    void editsKeepEachLineItsOwnBreak()
    {
        RichTextBox box;
        writeBytes(path(QStringLiteral("mixed.odf")), "one\r\ntwo\nthree\r\n");
        box.LoadFile(path(QStringLiteral("mixed.odf")));
        QCOMPARE(box.format().lineEnding, LineEnding::CrLf);

        box.setCursorPosition(8); // the end of "two"
        QTest::keyClick(&box, Qt::Key_Return);
        QTest::keyClicks(&box, QStringLiteral("new"));
        QTest::keyClick(&box, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(&box, QStringLiteral("soft"));

        box.SaveFile(path(QStringLiteral("mixed-out.odf")));
        QCOMPARE(readBytes(path(QStringLiteral("mixed-out.odf"))),
                 QByteArray("one\r\ntwo\r\nnew\r\nsoft\nthree\r\n"));
    }

    void typedCharacterIsSavedInTheFilesEncoding()
    {
        RichTextBox box;
        writeBytes(path(QStringLiteral("ascii.odf")), "race = \"\"\r\n");
        box.LoadFile(path(QStringLiteral("ascii.odf")));
        box.setCursorPosition(8);
        typeText(&box, QStringLiteral("\u00E9\u20AC"));
        box.SaveFile(path(QStringLiteral("ascii.odf")));
        QCOMPARE(readBytes(path(QStringLiteral("ascii.odf"))),
                 QByteArray("race = \"\xE9\x80\"\r\n"));
    }

    void newDocumentIsWindows1252WithCrLf()
    {
        RichTextBox box;
        box.setText(QStringLiteral("a\nb\r\nc"));
        QCOMPARE(box.format(), platform::TextFormat());
        QCOMPARE(box.Text(), QStringLiteral("a\nb\r\nc"));
        box.appendText(QStringLiteral("\r\n"));
        QTest::keyClick(&box, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(&box, QStringLiteral("d"));
        QTest::keyClick(&box, Qt::Key_Return);
        box.SaveFile(path(QStringLiteral("new.odf")));
        QCOMPARE(readBytes(path(QStringLiteral("new.odf"))), QByteArray("a\nb\r\nc\r\nd\r\n"));
    }

    void unencodableTextIsRefusedAndNothingIsWritten()
    {
        RichTextBox box;
        box.setText(QStringLiteral("\u03A9mega"));
        QVERIFY(!box.canEncodeText());
        writeBytes(path(QStringLiteral("keep.odf")), "old");
        QVERIFY_THROWS_EXCEPTION(platform::RuntimeError,
                                 box.SaveFile(path(QStringLiteral("keep.odf"))));
        QCOMPARE(readBytes(path(QStringLiteral("keep.odf"))), QByteArray("old"));

        platform::TextFormat utf8;
        utf8.encoding = Encoding::Utf8;
        box.setFormat(utf8);
        QVERIFY(box.canEncodeText());
        box.SaveFile(path(QStringLiteral("keep.odf")));
        QCOMPARE(readBytes(path(QStringLiteral("keep.odf"))), QByteArray("\xCE\xA9mega"));
    }

    void unreadableFilesRaiseAndKeepTheDocument()
    {
        RichTextBox box;
        box.setText(QStringLiteral("keep me"));
        QSignalSpy changes(&box, &RichTextBox::Change);
        QVERIFY_THROWS_EXCEPTION(platform::RuntimeError,
                                 box.LoadFile(path(QStringLiteral("missing.odf"))));
        QVERIFY_THROWS_EXCEPTION(platform::RuntimeError, box.LoadFile(m_dir.path()));

        QFile huge(path(QStringLiteral("huge.odf")));
        QVERIFY(huge.open(QIODevice::WriteOnly));
        QVERIFY(huge.resize(RichTextBox::kMaxFileSize + 1)); // sparse: costs no disk
        huge.close();
        try {
            box.LoadFile(huge.fileName());
            QFAIL("a file over the limit was loaded");
        } catch (const platform::RuntimeError& e) {
            QVERIFY2(e.description().contains(QStringLiteral("too large")),
                     qPrintable(e.description()));
        }
        QCOMPARE(box.Text(), QStringLiteral("keep me"));
        QCOMPARE(changes.count(), 0);
    }

    void saveIntoMissingFolderRaises()
    {
        RichTextBox box;
        box.setText(QStringLiteral("x"));
        QVERIFY_THROWS_EXCEPTION(platform::RuntimeError,
                                 box.SaveFile(path(QStringLiteral("no/such/folder/x.odf"))));
    }

#ifdef Q_OS_UNIX
    // A write that runs out of room half-way (here: a file size limit, which
    // holds even for root) leaves the old file whole and no stray files.
    void failedSaveLeavesTheOldFileWhole()
    {
        const QString target = path(QStringLiteral("atomic/target.odf"));
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("atomic")));
        const QByteArray old("the old file\r\n");
        writeBytes(target, old);

        RichTextBox box;
        box.setText(QString(200000, QLatin1Char('x')));

        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        bool raised = false;
        try {
            box.SaveFile(target);
        } catch (const platform::RuntimeError&) {
            raised = true;
        }
        const int restored = setrlimit(RLIMIT_FSIZE, &saved);
        const auto handler = std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(restored, 0);
        QVERIFY(handler != SIG_ERR);
        QVERIFY(raised);
        QCOMPARE(readBytes(target), old);
        QCOMPARE(QDir(m_dir.filePath(QStringLiteral("atomic"))).entryList(QDir::Files),
                 QStringList{QStringLiteral("target.odf")});
    }
#endif

    // Change is raised once per change of the content, by every kind of change.
    void changeIsRaisedOncePerChange()
    {
        RichTextBox box;
        QSignalSpy changes(&box, &RichTextBox::Change);
        box.setText(QString());
        QCOMPARE(changes.count(), 1);
        box.setText(QStringLiteral("line one\r\nline two"));
        QCOMPARE(changes.count(), 2);
        box.appendText(QStringLiteral("//"));
        QCOMPARE(changes.count(), 3);
        writeBytes(path(QStringLiteral("c.odf")), "a\r\nb\r\nc");
        box.LoadFile(path(QStringLiteral("c.odf")));
        QCOMPARE(changes.count(), 4);
        box.selectAll();
        box.Cut();
        QCOMPARE(changes.count(), 5);
        box.Paste();
        QCOMPARE(changes.count(), 6);
        QTest::keyClick(&box, Qt::Key_Z);
        QCOMPARE(changes.count(), 7);
    }

    // The clipboard carries the raw text with the platform's line breaks; a
    // paste of it restores the very same characters.
    void clipboardKeepsTheRawText()
    {
        RichTextBox box;
        const QString text =
            QStringLiteral("a\u00A0b\u2028c") + QChar(0x01) + QStringLiteral("\r\n\td\r\n");
        box.setText(text);
        box.selectAll();
        box.copy();
        QCOMPARE(QApplication::clipboard()->text(),
                 QString(text).replace(QStringLiteral("\r\n"), RichTextBox::platformLineBreak()));
        box.Cut();
        QVERIFY(box.isEmpty());
        box.Paste();
        QCOMPARE(box.Text(), text);
    }

    // The appended text goes to the very end, wherever the caret is, and one
    // Undo takes it back.
    void appendGoesToTheEndAndUndoes()
    {
        RichTextBox box;
        box.setText(QStringLiteral("first\r\nsecond"));
        box.setSelection(2, 4);
        box.appendText(QStringLiteral("#include \".odf\""));
        QCOMPARE(box.Text(), QStringLiteral("first\r\nsecond#include \".odf\""));
        QCOMPARE(box.selectedPlainText(), QStringLiteral("rs"));
        box.undo();
        QCOMPARE(box.Text(), QStringLiteral("first\r\nsecond"));
    }
};

QTEST_MAIN(TestTextFiles)
#include "tst_textfiles.moc"
