#include "companions/frmpreview.h"
#include "editor/frmmain.h"
#include "editor/program.h"
#include "platform/dirlistbox.h"
#include "platform/drivelistbox.h"
#include "platform/filelistbox.h"
#include "platform/imagebox.h"
#include "platform/runtimeerror.h"
#include "testpictures.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <memory>

using namespace testpictures;
using namespace Qt::StringLiterals;

namespace {

const QColor kRed(255, 0, 0), kBlue(0, 0, 255), kYellow(255, 255, 0), kGreen(0, 255, 0),
    kCyan(0, 255, 255), kMagenta(255, 0, 255);

bool near(const QColor& seen, const QColor& expected)
{
    return qAbs(seen.red() - expected.red()) <= 16 && qAbs(seen.green() - expected.green()) <= 16 &&
           qAbs(seen.blue() - expected.blue()) <= 16;
}

QByteArray bmp(const QColor& color)
{
    return encode(filled(QSize(40, 30), color), "BMP");
}

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QColor frameColor(const FrmPreview& window)
{
    const QImage shown = window.Image1->grab().toImage();
    return shown.pixelColor(shown.rect().center());
}

// A list's entries from top to bottom, each folder's subfolders after it.
QStringList entries(const QAbstractItemView* view)
{
    QStringList names;
    QList<QModelIndex> pending{QModelIndex()};
    while (!pending.isEmpty()) {
        const QModelIndex parent = pending.takeLast();
        if (parent.isValid())
            names << parent.data().toString();
        for (int row = view->model()->rowCount(parent) - 1; row >= 0; --row)
            pending << view->model()->index(row, 0, parent);
    }
    return names;
}

// Clicks the entry of that name, twice for a double-click.
void click(QAbstractItemView* view, const QString& name, bool twice = false)
{
    const QModelIndexList found =
        view->model()->match(view->model()->index(0, 0), Qt::DisplayRole, name, 1,
                             Qt::MatchExactly | Qt::MatchRecursive);
    QPoint at(-1, -1);
    if (!found.isEmpty()) {
        view->scrollTo(found.constFirst());
        at = view->visualRect(found.constFirst()).center();
    }
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    if (twice)
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

// Everything a user can see of the viewer's controls.
QVariantList stateOf(const FrmPreview& w)
{
    return {w.Drive1->Drive(),
            w.Dir1->Path(),
            w.Dir1->highlightedPath(),
            w.File1->Path(),
            w.File1->FileName(),
            entries(w.File1),
            w.File1->verticalScrollBar()->value(),
            w.Image1->grab().toImage()};
}

} // namespace

class TestViewer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void design();
    void startsAtCurrentDriveAndFolder();
    void listsPicturesInNameOrder();
    void folderListFollowsUser();
    void pathWritesRaiseChangeBeforeReturning();
    void driveListLeadsFolderAndFiles();
    void showsPicturesWithMouseAndArrows();
    void showsPictureInRootFolder();
    void badPictureSaysWhyInFrame_data();
    void badPictureSaysWhyInFrame();
    void vanishedFoldersAndFiles();
    void failedChangeLeavesFolderListAsItWas();
    void hideKeepsEveryControlsState();
    void closeDestroysAndReopeningStartsFresh_data();
    void closeDestroysAndReopeningStartsFresh();

private:
    FrmPreview& openWindow();
    QString path(const QString& relative) const { return m_dir->filePath(relative); }
    void write(const QString& relative, const QByteArray& bytes)
    {
        writeBytes(path(relative), bytes);
    }
    void enterFolder(const QString& folder);
    void expectWarning(qsizetype count, const QString& file);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedServices> m_services;
    std::unique_ptr<FrmPreview> m_window;
    QList<platform::Volume> m_volumes;
    QString m_current; // the process's current folder, which nothing may change
    QString m_previous;
};

void TestViewer::init()
{
    m_previous = QDir::currentPath();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_services = std::make_unique<ScriptedServices>();
    const QDir root(m_dir->path());
    for (const char* folder :
         {"pics/sub1", "pics/Sub2", "pics/.hidden", "pics/hotel.jpg", "empty", "drive2/docs"})
        QVERIFY(root.mkpath(QString::fromLatin1(folder)));

    write(u"pics/alpha.bmp"_s, bmp(kRed));
    write(u"pics/Bravo.JPG"_s, encode(filled({40, 30}, kBlue), "JPEG"));
    write(u"pics/charlie.jpeg"_s, encode(filled({40, 30}, kYellow), "JPEG"));
    write(u"pics/delta.gif"_s, animatedGif({40, 30}, {kGreen, kRed}));
    write(u"pics/india.Gif"_s, animatedGif({40, 30}, {kCyan}));
    write(u"pics/echo.png"_s, encode(filled({40, 30}, kRed), "PNG"));
    write(u"pics/foxtrot.ico"_s, encode(filled({32, 32}, kRed), "ICO"));
    write(u"pics/.juliet.bmp"_s, bmp(kRed));
    write(u"pics/sub1/kilo.bmp"_s, bmp(kMagenta));
    write(u"pics/Sub2/mike.bmp"_s, bmp(kRed));
    write(u"drive2/lima.bmp"_s, bmp(kCyan));

    m_volumes = {
        {u"/"_s, QString()}, {path(u"drive2"_s), u"SECOND"_s}, {path(u"gone"_s), u"NOMEDIA"_s}};
    enterFolder(path(u"pics"_s));
}

void TestViewer::cleanup()
{
    const bool unexpected = m_services->unexpected;
    m_window.reset();
    QCOMPARE(QDir::currentPath(), m_current);
    QDir::setCurrent(m_previous);
    m_dir.reset();
    QVERIFY(!unexpected);
}

void TestViewer::enterFolder(const QString& folder)
{
    QVERIFY(QDir::setCurrent(folder));
    m_current = QDir::currentPath();
}

FrmPreview& TestViewer::openWindow()
{
    m_window = std::make_unique<FrmPreview>(*m_services, m_volumes);
    m_window->show();
    m_window->activateWindow();
    if (!QTest::qWaitForWindowExposed(m_window.get()))
        qWarning("the viewer was not exposed");
    return *m_window;
}

// The messages so far number `count`, the last a warning that names the file.
void TestViewer::expectWarning(qsizetype count, const QString& file)
{
    QCOMPARE(m_services->messages.size(), count);
    const ScriptedServices::Message& last = m_services->messages.constLast();
    QCOMPARE(last.style, int(platform::MsgBox::OkOnly | platform::MsgBox::Exclamation));
    QVERIFY2(last.prompt.contains(native(file)), qPrintable(last.prompt));
}

void TestViewer::design()
{
    FrmPreview& window = openWindow();
    QCOMPARE(window.windowTitle(), u"Hardpoint Preview."_s);
    QVERIFY(!window.windowIcon().isNull());
    QVERIFY(!window.parentWidget());
    QCOMPARE(window.minimumSize(), QSize(555, 396));
    QCOMPARE(window.maximumSize(), QSize(555, 396));
    QVERIFY(window.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(
        !(window.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

    // Positions and sizes in twips; list fonts 8.25 points, buttons 9.75.
    const QList<std::tuple<QWidget*, QRect, qreal>> controls = {
        {window.Drive1, {120, 120, 2295, 315}, 8.25},
        {window.Dir1, {120, 720, 2295, 1890}, 8.25},
        {window.File1, {120, 2880, 2295, 2820}, 8.25},
        {window.Image1, {2640, 120, 5535, 5055}, 0},
        {window.cmdClose, {6960, 5400, 1215, 375}, 9.75},
        {window.cmdHide, {2640, 5400, 1215, 375}, 9.75}};
    for (const auto& [control, twips, points] : controls) {
        QCOMPARE(control->geometry(), QRect(twips.topLeft() / 15, twips.size() / 15));
        if (points > 0) {
            QCOMPARE(control->font().family(), u"Verdana"_s);
            QCOMPARE(control->font().pointSizeF(), points);
        }
        QVERIFY(!control->font().bold());
    }
    for (QPushButton* button : {window.cmdClose, window.cmdHide}) {
        QVERIFY(!button->isDefault() && !button->autoDefault());
        QCOMPARE(button->text(), button->objectName().mid(3));
    }

    // Focus starts on the drive list and Tab goes round the controls.
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(QApplication::focusWidget(), window.Drive1);
    for (QWidget* next : QList<QWidget*>{window.Dir1, window.File1, window.cmdClose, window.cmdHide,
                                         window.Drive1}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
}

// The drive is the one that holds the current folder.
void TestViewer::startsAtCurrentDriveAndFolder()
{
    const QString drive2 = native(path(u"drive2"_s)) + u" [SECOND]"_s;
    for (const auto& [folder, drive] :
         {std::pair(u"pics"_s, u"/"_s), std::pair(u"drive2/docs"_s, drive2)}) {
        enterFolder(path(folder));
        const FrmPreview& window = openWindow();
        QCOMPARE(window.Drive1->Drive(), drive);
        QCOMPARE(window.Dir1->Path(), native(m_current));
        QCOMPARE(window.Dir1->highlightedPath(), native(m_current));
        QCOMPARE(window.File1->Path(), native(m_current));
        QCOMPARE(window.File1->FileName(), QString());
        QVERIFY(!window.Image1->hasPicture());
    }
}

void TestViewer::listsPicturesInNameOrder()
{
    const FrmPreview& window = openWindow();
    // Case does not matter to the pattern nor to the order; hidden files,
    // other formats and folders are not listed.
    QCOMPARE(entries(window.File1), QStringList({u"alpha.bmp"_s, u"Bravo.JPG"_s, u"charlie.jpeg"_s,
                                                 u"delta.gif"_s, u"india.Gif"_s}));

    QStringList expected = m_current.split(u'/', Qt::SkipEmptyParts);
    expected.prepend(u"/"_s);
    expected << u"hotel.jpg"_s << u"sub1"_s << u"Sub2"_s;
    QCOMPARE(entries(window.Dir1), expected);
}

void TestViewer::folderListFollowsUser()
{
    FrmPreview& window = openWindow();
    click(window.File1, u"alpha.bmp"_s);
    QVERIFY(near(frameColor(window), kRed));

    // A click only highlights.
    click(window.Dir1, u"sub1"_s);
    QCOMPARE(window.Dir1->highlightedPath(), native(path(u"pics/sub1"_s)));
    QCOMPARE(window.Dir1->Path(), native(m_current));
    QCOMPARE(window.File1->Path(), native(m_current));

    // A double-click opens, and the file list follows; the picture stays.
    click(window.Dir1, u"sub1"_s, true);
    QCOMPARE(window.Dir1->Path(), native(path(u"pics/sub1"_s)));
    QCOMPARE(window.File1->Path(), native(path(u"pics/sub1"_s)));
    QCOMPARE(entries(window.File1), QStringList({u"kilo.bmp"_s}));
    QCOMPARE(window.File1->FileName(), QString());
    QVERIFY(near(frameColor(window), kRed));

    // Up to the parent, which Enter opens.
    window.Dir1->setFocus();
    QTest::keyClick(window.Dir1, Qt::Key_Up);
    QCOMPARE(window.Dir1->Path(), native(path(u"pics/sub1"_s)));
    QTest::keyClick(window.Dir1, Qt::Key_Return);
    QCOMPARE(window.Dir1->Path(), native(path(u"pics"_s)));
    QCOMPARE(window.File1->Path(), native(path(u"pics"_s)));
    QCOMPARE(window.File1->count(), 5);
    QVERIFY(m_services->messages.isEmpty());
}

// The file list has followed by the time a Path write returns.
void TestViewer::pathWritesRaiseChangeBeforeReturning()
{
    FrmPreview& window = openWindow();
    window.Dir1->setPath(native(path(u"empty"_s)));
    QCOMPARE(window.File1->Path(), native(path(u"empty"_s)));
    QCOMPARE(window.File1->count(), 0);
    // An empty list selects nothing.
    window.File1->setFocus();
    QTest::keyClick(window.File1, Qt::Key_Down);
    QTest::mouseClick(window.File1->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(window.File1->FileName(), QString());
    QVERIFY(m_services->messages.isEmpty());

    // A drive text names its root.
    window.Dir1->setPath(native(path(u"drive2"_s)) + u" [SECOND]"_s);
    QCOMPARE(window.Dir1->Path(), native(path(u"drive2"_s)));
    QCOMPARE(window.File1->Path(), native(path(u"drive2"_s)));

    // Writing the current folder again re-reads it.
    QVERIFY(QDir(path(u"drive2"_s)).mkdir(u"new"_s));
    window.Dir1->setPath(path(u"drive2"_s) + u"/docs/.."_s);
    QVERIFY(entries(window.Dir1).contains(u"new"_s));

    // The root keeps its separator.
    window.Dir1->setPath(QDir::rootPath());
    QCOMPARE(window.Dir1->Path(), native(QDir::rootPath()));
    QCOMPARE(window.File1->Path(), native(QDir::rootPath()));
}

// Another drive leads the folder and file lists; one without a medium is told
// to the user, and the drive list goes back to the drive the others show.
void TestViewer::driveListLeadsFolderAndFiles()
{
    FrmPreview& window = openWindow();
    click(window.File1, u"Bravo.JPG"_s);
    const QString drive2 = native(path(u"drive2"_s));
    window.Drive1->setFocus();
    QTest::keyClick(window.Drive1, Qt::Key_Down);
    QCOMPARE(window.Drive1->Drive(), drive2 + u" [SECOND]"_s);
    QVERIFY(m_services->messages.isEmpty());
    QTest::keyClick(window.Drive1, Qt::Key_Down);

    expectWarning(1, path(u"gone"_s));
    QCOMPARE(window.Drive1->Drive(), drive2 + u" [SECOND]"_s);
    QCOMPARE(window.Drive1->currentText(), drive2 + u" [SECOND]"_s);
    QCOMPARE(window.Dir1->Path(), drive2);
    QCOMPARE(window.File1->Path(), drive2);
    QCOMPARE(entries(window.File1), QStringList({u"lima.bmp"_s}));
    QVERIFY(near(frameColor(window), kBlue));
}

// Each selection reads its file anew; the frame never changes size.
void TestViewer::showsPicturesWithMouseAndArrows()
{
    FrmPreview& window = openWindow();
    window.File1->setFocus();
    const QList<std::pair<QString, QColor>> steps = {
        {u"alpha.bmp"_s, kRed},   {u"Bravo.JPG"_s, kBlue}, {u"charlie.jpeg"_s, kYellow},
        {u"delta.gif"_s, kGreen}, {u"india.Gif"_s, kCyan},
    };
    for (const auto& [name, color] : steps) {
        QTest::keyClick(window.File1, Qt::Key_Down);
        QCOMPARE(window.File1->FileName(), name);
        QVERIFY2(near(frameColor(window), color), qPrintable(name));
    }
    QTest::keyClick(window.File1, Qt::Key_Up);
    QVERIFY(near(frameColor(window), kGreen));
    write(u"pics/alpha.bmp"_s, bmp(kMagenta));
    click(window.File1, u"alpha.bmp"_s);
    QCOMPARE(window.File1->FileName(), u"alpha.bmp"_s);
    QVERIFY(near(frameColor(window), kMagenta));
    QVERIFY(m_services->messages.isEmpty());
    QCOMPARE(window.size(), QSize(555, 396));
}

// The folder of a root ends in a separator, so the joined path holds two.
void TestViewer::showsPictureInRootFolder()
{
    const QString name = u"tessmark-%1.bmp"_s.arg(QUuid::createUuid().toString(QUuid::Id128));
    const QString file = QDir::rootPath() + name;
    {
        QFile probe(file);
        if (!probe.open(QIODevice::WriteOnly))
            QSKIP("the root folder cannot be written here");
        probe.write(bmp(kGreen));
    }
    const auto removeFile = qScopeGuard([&] { QFile::remove(file); });

    FrmPreview& window = openWindow();
    window.Dir1->setPath(QDir::rootPath());
    QVERIFY(window.File1->Path().endsWith(QDir::separator()));
    click(window.File1, name);
    QCOMPARE(window.File1->FileName(), name);
    QVERIFY(m_services->messages.isEmpty());
    QVERIFY(near(frameColor(window), kGreen));
}

// Failing when read, when decoded, over the budget, or gone from the disk.
void TestViewer::badPictureSaysWhyInFrame_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("deleteAfterListing");
    const QByteArray jpeg = encode(halves({300, 200}, kBlue, kGreen), "JPEG");
    QTest::newRow("png named jpg") << "b.jpg" << encode(filled({40, 30}, kBlue), "PNG") << false;
    QTest::newRow("truncated jpeg") << "b.jpeg" << jpeg.left(jpeg.size() / 2) << false;
    QTest::newRow("over the budget") << "b.gif" << gifHeader(30000, 30000) << false;
    QTest::newRow("deleted after listing") << "b.jpg" << jpeg << true;
}

void TestViewer::badPictureSaysWhyInFrame()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, deleteAfterListing);

    QVERIFY(QDir(m_dir->path()).mkdir(u"bad"_s));
    write(u"bad/a.bmp"_s, bmp(kRed));
    write(u"bad/"_s + name, bytes);
    FrmPreview& window = openWindow();
    window.Dir1->setPath(path(u"bad"_s));
    click(window.File1, u"a.bmp"_s);
    QVERIFY(near(frameColor(window), kRed));
    const QImage before = window.Image1->grab().toImage();
    if (deleteAfterListing)
        QVERIFY(QFile::remove(path(u"bad/"_s + name)));

    window.File1->setFocus();
    QTest::keyClick(window.File1, Qt::Key_Down);
    QCOMPARE(window.File1->FileName(), name);
    // Clicking the selected entry again selects nothing new.
    click(window.File1, name);
    click(window.File1, name, true);
    // The frame says why, without the old picture; the keys go on browsing.
    QVERIFY(m_services->messages.isEmpty());
    QVERIFY(!window.Image1->hasPicture());
    QVERIFY(window.Image1->grab().toImage() != before);
    QVERIFY(window.Image1->accessibleDescription().contains(native(path(u"bad/"_s + name))));
    QCOMPARE(QApplication::focusWidget(), window.File1);
    QTest::keyClick(window.File1, Qt::Key_Up);
    QVERIFY(near(frameColor(window), kRed));
}

// Folders and files that go from the disk while shown: the user is told when
// using them, and the lists stay with what is there.
void TestViewer::vanishedFoldersAndFiles()
{
    FrmPreview& window = openWindow();
    QVERIFY(QDir(path(u"pics/sub1"_s)).removeRecursively());
    click(window.Dir1, u"sub1"_s, true);
    expectWarning(1, path(u"pics/sub1"_s));
    QCOMPARE(window.Dir1->Path(), native(m_current));
    QCOMPARE(window.File1->Path(), native(m_current));
    QVERIFY(!entries(window.Dir1).contains(u"sub1"_s));
    QVERIFY(entries(window.Dir1).contains(u"Sub2"_s));

    // The shown folder itself goes, with its file.
    click(window.Dir1, u"Sub2"_s, true);
    QCOMPARE(entries(window.File1), QStringList({u"mike.bmp"_s}));
    QVERIFY(QDir(path(u"pics/Sub2"_s)).removeRecursively());
    click(window.File1, u"mike.bmp"_s);
    QVERIFY(window.Image1->accessibleDescription().contains(native(path(u"pics/Sub2/mike.bmp"_s))));
    window.Dir1->setFocus();
    QTest::keyClick(window.Dir1, Qt::Key_Return);
    expectWarning(2, path(u"pics/Sub2"_s));
    QCOMPARE(window.Dir1->Path(), native(path(u"pics/Sub2"_s)));

    // Its parent is still there.
    click(window.Dir1, u"pics"_s, true);
    QCOMPARE(window.Dir1->Path(), native(m_current));
    QCOMPARE(window.File1->count(), 5);
    QCOMPARE(m_services->messages.size(), 2);
}

// When Change's procedure fails, the folder list shows what it showed before
// and the error reaches the writer; for the user it ends in a message.
void TestViewer::failedChangeLeavesFolderListAsItWas()
{
    platform::DirListBox list(*m_services);
    list.resize(200, 300);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    int changes = 0;
    list.Change.handle([&] {
        ++changes;
        throw platform::RuntimeError(u"no"_s);
    });
    click(&list, u"Sub2"_s);
    const QStringList before = entries(&list);

    QVERIFY_THROWS_EXCEPTION(platform::RuntimeError, list.setPath(path(u"pics/sub1"_s)));
    QCOMPARE(changes, 1);
    QCOMPARE(list.Path(), native(m_current));
    QCOMPARE(list.highlightedPath(), native(path(u"pics/Sub2"_s)));
    QCOMPARE(entries(&list), before);

    click(&list, u"sub1"_s, true);
    QCOMPARE(changes, 2);
    QCOMPARE(m_services->messages.size(), 1);
    QCOMPARE(list.Path(), native(m_current));
}

void TestViewer::hideKeepsEveryControlsState()
{
    QVERIFY(QDir(m_dir->path()).mkdir(u"many"_s));
    for (int i = 0; i < 60; ++i)
        write(u"many/p%1.bmp"_s.arg(i, 2, 10, QLatin1Char('0')),
              bmp(QColor::fromHsv(i * 6, 255, 255)));
    Program program(*m_services);
    program.frmMain.Load()->show();
    program.frmMain->mnuHardpointViewer->trigger();
    const QPointer<FrmPreview> window = program.frmPreview.get();
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowExposed(window));

    window->Dir1->setPath(path(u"many"_s));
    click(window->File1, u"p45.bmp"_s);
    click(window->Dir1, u"/"_s);
    QVERIFY(window->File1->verticalScrollBar()->value() > 0);
    QVERIFY(window->Image1->hasPicture());
    const QVariantList before = stateOf(*window);

    // The menu while shown brings the same window forward, unchanged.
    program.frmMain->mnuHardpointViewer->trigger();
    QCOMPARE(program.frmPreview.get(), window.data());
    QCOMPARE(stateOf(*window), before);

    QTest::mouseClick(window->cmdHide, Qt::LeftButton);
    QVERIFY(!window->isVisible());
    QVERIFY(program.frmPreview.isLoaded());
    QVERIFY(program.frmMain->isVisible());

    program.frmMain->mnuHardpointViewer->trigger();
    QCOMPARE(program.frmPreview.get(), window.data());
    QVERIFY(window->isVisible());
    QCOMPARE(stateOf(*window), before);
}

void TestViewer::closeDestroysAndReopeningStartsFresh_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("Close button") << false;
    QTest::newRow("close box") << true;
}

void TestViewer::closeDestroysAndReopeningStartsFresh()
{
    QFETCH(bool, closeBox);
    Program program(*m_services);
    program.frmMain.Load()->show();
    program.frmMain->mnuHardpointViewer->trigger();
    QPointer<FrmPreview> window = program.frmPreview.get();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTRY_COMPARE(QApplication::focusWidget(), window->Drive1);
    click(window->Dir1, u"sub1"_s, true);
    click(window->File1, u"kilo.bmp"_s);
    QVERIFY(window->Image1->hasPicture());

    if (closeBox)
        window->close();
    else
        QTest::mouseClick(window->cmdClose, Qt::LeftButton);
    QVERIFY(!program.frmPreview.isLoaded());
    QTRY_VERIFY(!window);

    program.frmMain->mnuHardpointViewer->trigger();
    window = program.frmPreview.get();
    QVERIFY(window);
    QCOMPARE(window->Dir1->Path(), native(m_current));
    QCOMPARE(window->File1->Path(), native(m_current));
    QCOMPARE(window->File1->FileName(), QString());
    QVERIFY(!window->Image1->hasPicture());
    QVERIFY(m_services->messages.isEmpty());
}

QTEST_MAIN(TestViewer)
#include "tst_viewer.moc"
