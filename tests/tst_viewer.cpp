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
    kCyan(0, 255, 255), kMagenta(255, 0, 255), kWhite(255, 255, 255), kGrey(128, 128, 128);

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

QStringList entries(const QListWidget* list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

// The folder list's entries from top to bottom.
QStringList entries(const QTreeWidget* tree)
{
    QStringList names;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(tree)); *it; ++it)
        names << (*it)->text(0);
    return names;
}

QTreeWidgetItem* entry(QTreeWidget* tree, const QString& name)
{
    const auto found = tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    return found.value(0, nullptr);
}

QPoint centreOf(QTreeWidget* tree, const QString& name)
{
    QTreeWidgetItem* item = entry(tree, name);
    if (!item)
        return QPoint(-1, -1);
    tree->scrollToItem(item);
    return tree->visualItemRect(item).center();
}

QPoint centreOf(QListWidget* list, const QString& name)
{
    const auto found = list->findItems(name, Qt::MatchExactly);
    if (found.isEmpty())
        return QPoint(-1, -1);
    list->scrollToItem(found.constFirst());
    return list->visualItemRect(found.constFirst()).center();
}

void click(QAbstractItemView* view, const QPoint& at)
{
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
}

void doubleClick(QAbstractItemView* view, const QPoint& at)
{
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

// Everything a user can see of the viewer's controls.
struct ViewerState
{
    QString drive, folder, highlighted, files, fileName;
    QStringList listed;
    int scroll = 0;
    QImage frame;

    explicit ViewerState(const FrmPreview& w)
        : drive(w.Drive1->Drive()), folder(w.Dir1->Path()), highlighted(w.Dir1->highlightedPath()),
          files(w.File1->Path()), fileName(w.File1->FileName()), listed(entries(w.File1)),
          scroll(w.File1->verticalScrollBar()->value()), frame(w.Image1->grab().toImage())
    {
    }
    bool operator==(const ViewerState& o) const
    {
        return drive == o.drive && folder == o.folder && highlighted == o.highlighted &&
               files == o.files && fileName == o.fileName && listed == o.listed &&
               scroll == o.scroll && frame == o.frame;
    }
};

} // namespace

class TestViewer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void design_data();
    void design();
    void tabOrderStartsAtDrive1();
    void startsAtCurrentDriveAndFolder();
    void listsPicturesInNameOrder();
    void emptyFolderSelectsNothing();
    void folderListFollowsUser();
    void pathWritesRaiseChangeBeforeReturning();
    void driveListLeadsFolderAndFiles();
    void driveNotReadyKeepsListsTogether();
    void showsPicturesWithMouseAndArrows();
    void readsEachSelectionAnew();
    void showsPictureInRootFolder();
    void badPictureKeepsOldOne_data();
    void badPictureKeepsOldOne();
    void vanishedFoldersAndFiles();
    void failedChangeLeavesFolderListAsItWas();
    void fileListClicksFollowSelection();
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

    write(QStringLiteral("pics/alpha.bmp"), bmp(kRed));
    write(QStringLiteral("pics/Bravo.JPG"), encode(filled({40, 30}, kBlue), "JPEG"));
    write(QStringLiteral("pics/charlie.jpeg"), encode(filled({40, 30}, kYellow), "JPEG"));
    write(QStringLiteral("pics/delta.gif"), animatedGif({40, 30}, {kGreen, kRed}));
    write(QStringLiteral("pics/india.Gif"), animatedGif({40, 30}, {kCyan}));
    write(QStringLiteral("pics/echo.png"), encode(filled({40, 30}, kRed), "PNG"));
    write(QStringLiteral("pics/foxtrot.ico"), encode(filled({32, 32}, kRed), "ICO"));
    write(QStringLiteral("pics/golf.odf"), "unitName = \"Golf\"\r\n");
    write(QStringLiteral("pics/.juliet.bmp"), bmp(kRed));
    write(QStringLiteral("pics/sub1/kilo.bmp"), bmp(kMagenta));
    write(QStringLiteral("pics/Sub2/mike.bmp"), bmp(kWhite));
    write(QStringLiteral("drive2/lima.bmp"), bmp(kCyan));

    m_volumes = {{QStringLiteral("/"), QString()},
                 {path(QStringLiteral("drive2")), QStringLiteral("SECOND")},
                 {path(QStringLiteral("gone")), QStringLiteral("NOMEDIA")}};
    enterFolder(path(QStringLiteral("pics")));
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

void TestViewer::design_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<qreal>("points");
    QTest::newRow("Drive1") << "Drive1" << QRect(120, 120, 2295, 315) << 8.25;
    QTest::newRow("Dir1") << "Dir1" << QRect(120, 720, 2295, 1890) << 8.25;
    QTest::newRow("File1") << "File1" << QRect(120, 2880, 2295, 2820) << 8.25;
    QTest::newRow("Image1") << "Image1" << QRect(2640, 120, 5535, 5055) << 0.0;
    QTest::newRow("cmdClose") << "cmdClose" << QRect(6960, 5400, 1215, 375) << 9.75;
    QTest::newRow("cmdHide") << "cmdHide" << QRect(2640, 5400, 1215, 375) << 9.75;
}

void TestViewer::design()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QFETCH(qreal, points);

    const FrmPreview& window = openWindow();
    QCOMPARE(window.objectName(), QStringLiteral("frmPreview"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Hardpoint Preview."));
    QVERIFY(!window.windowIcon().isNull());
    QVERIFY(!window.parentWidget());
    QCOMPARE(window.minimumSize(), QSize(555, 396));
    QCOMPARE(window.maximumSize(), QSize(555, 396));
    const Qt::WindowFlags flags = window.windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

    const auto* control = window.findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(),
             QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
    if (points > 0) {
        QCOMPARE(control->font().family(), QStringLiteral("Verdana"));
        QCOMPARE(control->font().pointSizeF(), points);
        QCOMPARE(control->font().bold(), false);
    } else {
        QCOMPARE(control->focusPolicy(), Qt::NoFocus);
        QVERIFY(!window.Image1->hasPicture());
    }
    if (const auto* button = qobject_cast<const QPushButton*>(control)) {
        QVERIFY(!button->isDefault());
        QVERIFY(!button->autoDefault());
        QCOMPARE(button->text(), name.mid(3));
    }
    QCOMPARE(window.File1->Pattern(), QStringLiteral("*.bmp;*.gif;*.jpg;*.jpeg"));
    QCOMPARE(window.File1->selectionMode(), QAbstractItemView::SingleSelection);
}

void TestViewer::tabOrderStartsAtDrive1()
{
    FrmPreview& window = openWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(QApplication::focusWidget(), window.Drive1);
    const QList<QWidget*> order = {window.Dir1, window.File1, window.cmdClose, window.cmdHide,
                                   window.Drive1};
    for (QWidget* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
}

void TestViewer::startsAtCurrentDriveAndFolder()
{
    {
        const FrmPreview& window = openWindow();
        QCOMPARE(window.Drive1->Drive(), QStringLiteral("/"));
        QCOMPARE(window.Drive1->currentText(), window.Drive1->Drive());
        QCOMPARE(window.Dir1->Path(), native(m_current));
        QCOMPARE(window.Dir1->highlightedPath(), native(m_current));
        QCOMPARE(window.File1->Path(), native(m_current));
        QCOMPARE(window.File1->FileName(), QString());
        QVERIFY(window.File1->selectedItems().isEmpty());
        QVERIFY(!window.Image1->hasPicture());
    }
    // The drive is the one that holds the current folder.
    enterFolder(path(QStringLiteral("drive2/docs")));
    const FrmPreview& window = openWindow();
    QCOMPARE(window.Drive1->Drive(), native(path(u"drive2"_s)) + u" [SECOND]"_s);
    QCOMPARE(window.Dir1->Path(), native(m_current));
    QCOMPARE(window.File1->Path(), native(m_current));
}

void TestViewer::listsPicturesInNameOrder()
{
    const FrmPreview& window = openWindow();
    // Case does not matter to the pattern nor to the order; hidden files,
    // other formats and folders are not listed.
    QCOMPARE(entries(window.File1), QStringList({u"alpha.bmp"_s, u"Bravo.JPG"_s, u"charlie.jpeg"_s,
                                                 u"delta.gif"_s, u"india.Gif"_s}));

    QStringList expected = m_current.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    expected.prepend(QStringLiteral("/"));
    expected << u"hotel.jpg"_s << u"sub1"_s << u"Sub2"_s;
    QCOMPARE(entries(window.Dir1), expected);
}

void TestViewer::emptyFolderSelectsNothing()
{
    FrmPreview& window = openWindow();
    window.Dir1->setPath(path(QStringLiteral("empty")));
    QCOMPARE(window.File1->count(), 0);
    window.File1->setFocus();
    QTest::keyClick(window.File1, Qt::Key_Down);
    click(window.File1, QPoint(10, 10));
    QCOMPARE(window.File1->FileName(), QString());
    QVERIFY(!window.Image1->hasPicture());
    QVERIFY(m_services->messages.isEmpty());
}

void TestViewer::folderListFollowsUser()
{
    FrmPreview& window = openWindow();
    click(window.File1, centreOf(window.File1, u"alpha.bmp"_s));
    QVERIFY(near(frameColor(window), kRed));

    // A click only highlights.
    click(window.Dir1, centreOf(window.Dir1, u"sub1"_s));
    QCOMPARE(window.Dir1->highlightedPath(), native(path(u"pics/sub1"_s)));
    QCOMPARE(window.Dir1->Path(), native(m_current));
    QCOMPARE(window.File1->Path(), native(m_current));

    // A double-click opens, and the file list follows; the picture stays.
    doubleClick(window.Dir1, centreOf(window.Dir1, u"sub1"_s));
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

void TestViewer::pathWritesRaiseChangeBeforeReturning()
{
    FrmPreview& window = openWindow();
    QString filesWhenChanged;
    window.Dir1->Change.handle([&] {
        window.Dir1_Change();
        filesWhenChanged = window.File1->Path();
    });
    window.Dir1->setPath(native(path(u"empty"_s)));
    QCOMPARE(filesWhenChanged, native(path(u"empty"_s)));
    QCOMPARE(window.File1->count(), 0);

    // A drive text names its root.
    window.Dir1->setPath(native(path(u"drive2"_s)) + u" [SECOND]"_s);
    QCOMPARE(window.Dir1->Path(), native(path(u"drive2"_s)));
    QCOMPARE(filesWhenChanged, native(path(u"drive2"_s)));

    // Writing the current folder again raises nothing but re-reads it.
    filesWhenChanged.clear();
    QVERIFY(QDir(path(u"drive2"_s)).mkdir(u"new"_s));
    window.Dir1->setPath(path(u"drive2"_s) + u"/docs/.."_s);
    QVERIFY(filesWhenChanged.isEmpty());
    QVERIFY(entries(window.Dir1).contains(u"new"_s));

    // The root keeps its separator.
    window.Dir1->setPath(QDir::rootPath());
    QCOMPARE(window.Dir1->Path(), native(QDir::rootPath()));
    QCOMPARE(window.File1->Path(), native(QDir::rootPath()));
}

void TestViewer::driveListLeadsFolderAndFiles()
{
    FrmPreview& window = openWindow();
    click(window.File1, centreOf(window.File1, u"Bravo.JPG"_s));
    window.Drive1->setFocus();
    QTest::keyClick(window.Drive1, Qt::Key_Down);
    QCOMPARE(window.Drive1->Drive(), native(path(u"drive2"_s)) + u" [SECOND]"_s);
    QCOMPARE(window.Dir1->Path(), native(path(u"drive2"_s)));
    QCOMPARE(window.File1->Path(), native(path(u"drive2"_s)));
    QCOMPARE(entries(window.File1), QStringList({u"lima.bmp"_s}));
    QVERIFY(near(frameColor(window), kBlue));
    QVERIFY(m_services->messages.isEmpty());
}

// A drive without a medium: the user is told, and the drive list goes back to
// the drive that the folder and file lists still show.
void TestViewer::driveNotReadyKeepsListsTogether()
{
    FrmPreview& window = openWindow();
    window.Drive1->setFocus();
    QTest::keyClick(window.Drive1, Qt::Key_Down);
    const QString drive2 = window.Drive1->Drive();
    QTest::keyClick(window.Drive1, Qt::Key_Down);

    QCOMPARE(m_services->messages.size(), 1);
    QCOMPARE(m_services->messages[0].style,
             int(platform::MsgBox::OkOnly | platform::MsgBox::Exclamation));
    QVERIFY(m_services->messages[0].prompt.contains(native(path(u"gone"_s))));
    QCOMPARE(window.Drive1->Drive(), drive2);
    QCOMPARE(window.Drive1->currentText(), drive2);
    QCOMPARE(window.Dir1->Path(), native(path(u"drive2"_s)));
    QCOMPARE(window.File1->Path(), native(path(u"drive2"_s)));
    QCOMPARE(entries(window.File1), QStringList({u"lima.bmp"_s}));
}

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
    click(window.File1, centreOf(window.File1, u"Bravo.JPG"_s));
    QCOMPARE(window.File1->FileName(), QStringLiteral("Bravo.JPG"));
    QVERIFY(near(frameColor(window), kBlue));
    QVERIFY(m_services->messages.isEmpty());
    QCOMPARE(window.size(), QSize(555, 396));
}

void TestViewer::readsEachSelectionAnew()
{
    FrmPreview& window = openWindow();
    click(window.File1, centreOf(window.File1, u"alpha.bmp"_s));
    QVERIFY(near(frameColor(window), kRed));
    write(u"pics/alpha.bmp"_s, bmp(kMagenta));
    click(window.File1, centreOf(window.File1, u"Bravo.JPG"_s));
    click(window.File1, centreOf(window.File1, u"alpha.bmp"_s));
    QVERIFY(near(frameColor(window), kMagenta));
}

// The folder of a root ends in a separator, so the joined path holds two.
void TestViewer::showsPictureInRootFolder()
{
    const QString name =
        QStringLiteral("tessmark-%1.bmp").arg(QUuid::createUuid().toString(QUuid::Id128));
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
    click(window.File1, centreOf(window.File1, name));
    QCOMPARE(window.File1->FileName(), name);
    QVERIFY(m_services->messages.isEmpty());
    QVERIFY(near(frameColor(window), kGreen));
}

void TestViewer::badPictureKeepsOldOne_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("deleteAfterListing");
    const QByteArray jpeg = encode(halves({300, 200}, kBlue, kGreen), "JPEG");
    QTest::newRow("png named jpg") << "b.jpg" << encode(filled({40, 30}, kBlue), "PNG") << false;
    QTest::newRow("ico named bmp") << "b.bmp" << encode(filled({32, 32}, kBlue), "ICO") << false;
    QTest::newRow("random bytes") << "b.bmp" << QByteArray(3000, 'x') << false;
    QTest::newRow("truncated jpeg") << "b.jpeg" << jpeg.left(jpeg.size() / 2) << false;
    QTest::newRow("over the budget") << "b.gif" << gifHeader(30000, 30000) << false;
    QTest::newRow("deleted after listing") << "b.jpg" << jpeg << true;
}

void TestViewer::badPictureKeepsOldOne()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, deleteAfterListing);

    QVERIFY(QDir(m_dir->path()).mkdir(u"bad"_s));
    write(u"bad/a.bmp"_s, bmp(kRed));
    write(u"bad/"_s + name, bytes);
    FrmPreview& window = openWindow();
    window.Dir1->setPath(path(u"bad"_s));
    click(window.File1, centreOf(window.File1, u"a.bmp"_s));
    QVERIFY(near(frameColor(window), kRed));
    const QImage before = window.Image1->grab().toImage();
    if (deleteAfterListing)
        QVERIFY(QFile::remove(path(u"bad/"_s + name)));

    window.File1->setFocus();
    QTest::keyClick(window.File1, Qt::Key_Down);
    QCOMPARE(window.File1->FileName(), name);
    QCOMPARE(m_services->messages.size(), 1);
    QCOMPARE(m_services->messages[0].style,
             int(platform::MsgBox::OkOnly | platform::MsgBox::Exclamation));
    QVERIFY2(m_services->messages[0].prompt.contains(native(path(u"bad/"_s + name))),
             qPrintable(m_services->messages[0].prompt));
    QCOMPARE(window.Image1->grab().toImage(), before);
    QVERIFY(window.isVisible());
}

// Folders and files that go from the disk while shown: the user is told when
// using them, and the lists stay with what is there.
void TestViewer::vanishedFoldersAndFiles()
{
    FrmPreview& window = openWindow();
    QVERIFY(QDir(path(u"pics/sub1"_s)).removeRecursively());
    doubleClick(window.Dir1, centreOf(window.Dir1, u"sub1"_s));
    QCOMPARE(m_services->messages.size(), 1);
    QVERIFY(m_services->messages[0].prompt.contains(native(path(u"pics/sub1"_s))));
    QCOMPARE(window.Dir1->Path(), native(m_current));
    QCOMPARE(window.File1->Path(), native(m_current));
    QVERIFY(!entries(window.Dir1).contains(u"sub1"_s));
    QVERIFY(entries(window.Dir1).contains(u"Sub2"_s));

    // The shown folder itself goes, with its file.
    doubleClick(window.Dir1, centreOf(window.Dir1, u"Sub2"_s));
    QCOMPARE(entries(window.File1), QStringList({u"mike.bmp"_s}));
    QVERIFY(QDir(path(u"pics/Sub2"_s)).removeRecursively());
    click(window.File1, centreOf(window.File1, u"mike.bmp"_s));
    QCOMPARE(m_services->messages.size(), 2);
    QVERIFY(m_services->messages[1].prompt.contains(native(path(u"pics/Sub2/mike.bmp"_s))));
    QVERIFY(!window.Image1->hasPicture());
    window.Dir1->setFocus();
    QTest::keyClick(window.Dir1, Qt::Key_Return);
    QCOMPARE(m_services->messages.size(), 3);
    QCOMPARE(window.Dir1->Path(), native(path(u"pics/Sub2"_s)));

    // Its parent is still there.
    doubleClick(window.Dir1, centreOf(window.Dir1, u"pics"_s));
    QCOMPARE(window.Dir1->Path(), native(m_current));
    QCOMPARE(window.File1->count(), 5);
    QCOMPARE(m_services->messages.size(), 3);
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
        throw platform::RuntimeError(QStringLiteral("no"));
    });
    click(&list, centreOf(&list, u"Sub2"_s));
    const QStringList before = entries(&list);

    bool thrown = false;
    try {
        list.setPath(path(u"pics/sub1"_s));
    } catch (const platform::RuntimeError&) {
        thrown = true;
    }
    QVERIFY(thrown);
    QCOMPARE(changes, 1);
    QCOMPARE(list.Path(), native(m_current));
    QCOMPARE(list.highlightedPath(), native(path(u"pics/Sub2"_s)));
    QCOMPARE(entries(&list), before);

    doubleClick(&list, centreOf(&list, u"sub1"_s));
    QCOMPARE(changes, 2);
    QCOMPARE(m_services->messages.size(), 1);
    QCOMPARE(m_services->messages[0].prompt, QStringLiteral("no"));
    QCOMPARE(list.Path(), native(m_current));
}

void TestViewer::fileListClicksFollowSelection()
{
    platform::FileListBox list(*m_services, QStringLiteral("*.BMP; *.jpg"));
    list.resize(200, 300);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QStringList clicked;
    list.Click.handle([&] { clicked << list.FileName(); });
    QCOMPARE(entries(&list), QStringList({u"alpha.bmp"_s, u"Bravo.JPG"_s}));

    click(&list, centreOf(&list, u"Bravo.JPG"_s));
    click(&list, centreOf(&list, u"Bravo.JPG"_s));
    QCOMPARE(clicked, QStringList({u"Bravo.JPG"_s}));
    // The second click of a double-click selects nothing new.
    doubleClick(&list, centreOf(&list, u"alpha.bmp"_s));
    QCOMPARE(clicked, QStringList({u"Bravo.JPG"_s, u"alpha.bmp"_s}));
    QTest::keyClick(&list, Qt::Key_Up); // already at the top
    QTest::keyClick(&list, Qt::Key_Down);
    QCOMPARE(clicked, QStringList({u"Bravo.JPG"_s, u"alpha.bmp"_s, u"Bravo.JPG"_s}));

    // Writing Path refills the list and clears the selection, raising nothing.
    list.setPath(path(u"pics/sub1"_s));
    QCOMPARE(entries(&list), QStringList({u"kilo.bmp"_s}));
    QCOMPARE(list.FileName(), QString());
    QCOMPARE(clicked.size(), 3);
    QCOMPARE(list.Path(), native(path(u"pics/sub1"_s)));
}

void TestViewer::hideKeepsEveryControlsState()
{
    QVERIFY(QDir(m_dir->path()).mkdir(u"many"_s));
    for (int i = 0; i < 60; ++i)
        write(QStringLiteral("many/p%1.bmp").arg(i, 2, 10, QLatin1Char('0')),
              bmp(QColor::fromHsv(i * 6, 255, 255)));
    Program program(*m_services);
    program.frmMain.Load()->show();
    program.frmMain->mnuHardpointViewer->trigger();
    const QPointer<FrmPreview> window = program.frmPreview.get();
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowExposed(window));

    window->Dir1->setPath(path(u"many"_s));
    click(window->File1, centreOf(window->File1, u"p45.bmp"_s));
    click(window->Dir1, centreOf(window->Dir1, u"/"_s));
    QVERIFY(window->File1->verticalScrollBar()->value() > 0);
    QVERIFY(window->Image1->hasPicture());
    const ViewerState before(*window);

    // The menu while shown brings the same window forward, unchanged.
    program.frmMain->mnuHardpointViewer->trigger();
    QCOMPARE(program.frmPreview.get(), window.data());
    QVERIFY(ViewerState(*window) == before);

    QTest::mouseClick(window->cmdHide, Qt::LeftButton);
    QVERIFY(!window->isVisible());
    QVERIFY(program.frmPreview.isLoaded());
    QVERIFY(program.frmMain->isVisible());

    program.frmMain->mnuHardpointViewer->trigger();
    QCOMPARE(program.frmPreview.get(), window.data());
    QVERIFY(window->isVisible());
    QVERIFY(ViewerState(*window) == before);
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
    doubleClick(window->Dir1, centreOf(window->Dir1, u"sub1"_s));
    click(window->File1, centreOf(window->File1, u"kilo.bmp"_s));
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
