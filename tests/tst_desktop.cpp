// Files dropped on the main window open as File > Open opens them. The drops
// are Qt's own drag events sent to the real window, as a drag from a file
// manager arrives (the keys are tried in the end-to-end desktop scenario).
#include "platform/richtextbox.h"
#include "testsupport.h"

#include <QApplication>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

namespace {

enum Gesture { DropOnDocument, DropOnButton, DropText };

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
    {"NUL bytes, No: nothing changes", "abc", false, DropOnDocument, "nul", No, "abc", ""},
    {"text dropped on the document goes in", "", false, DropText, "", 0, "hello", ""},
};

} // namespace

class TestDesktop : public QObject, Fixture
{
    Q_OBJECT

private slots:
    void init() { start(); }
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
        write(QStringLiteral("a.odf"), "alpha\r\n");
        write(QStringLiteral("b.odf"), "bravo");
        write(QStringLiteral("nul.odf"), QByteArray("x\0y", 3));
        main->rtfBox->setText(QString::fromLatin1(c.before));
        main->blnChanged = c.changed;
        if (c.answer != 0)
            script.answers.push_back(c.answer);
        QList<QUrl> urls;
        for (const QString& file : QString::fromLatin1(c.files).split(u' ', Qt::SkipEmptyParts))
            urls << QUrl::fromLocalFile(path(file + QStringLiteral(".odf")));
        QMimeData data;
        if (c.gesture == DropText)
            data.setText(QStringLiteral("hello"));
        else
            data.setUrls(urls);
        QWidget* target = c.gesture == DropOnButton ? main->cmdMinimize : main->rtfBox->viewport();
        const QPoint at = target->rect().center();
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(at, actions, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &drop);
        QVERIFY(drop.isAccepted());
        // A dropped file is copied, never moved away from where it lies.
        QVERIFY(c.gesture == DropText || drop.dropAction() == Qt::CopyAction);
        QCoreApplication::processEvents();
        QCOMPARE(main->rtfBox->Text(), QString::fromLatin1(c.after));
        const QString opened = path(QString::fromLatin1(c.opened) + QStringLiteral(".odf"));
        QCOMPARE(main->strLastopen, *c.opened ? QDir::toNativeSeparators(opened) : QString());
        script.messages.clear(); // the questions' answers are checked by what happened
        QVERIFY(finish());
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
