// The windows beside the editor: the reference texts and the About window,
// the hardpoint viewer and the pictures it shows, their lifetimes, and what a
// screen reader hears of them.
#include "companions/frmpreview.h"
#include "platform/files/dirlistbox.h"
#include "platform/files/drivelistbox.h"
#include "platform/files/filelistbox.h"
#include "platform/files/imagebox.h"
#include "platform/files/picture.h"
#include "platform/files/volumes.h"
#include "platform/forms/runtimeerror.h"
#include "platform/forms/textbox.h"
#include "testsupport.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QPointer>
#include <QPushButton>
#include <QStorageInfo>
#include <QTest>
#include <QTimer>
#include <QtEndian>
#include <algorithm>

using namespace Qt::StringLiterals;
using platform::MsgBox::Style;

namespace {

QByteArray encode(const QColor& color, const char* format, QSize size = {8, 8})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 95);
    return bytes;
}

QByteArray le(qint64 value, int count) // little-endian
{
    const qint64 little = qToLittleEndian(value);
    return QByteArray(reinterpret_cast<const char*>(&little), count);
}

// The headers and palette of a BMP whose pixels would follow.
QByteArray bmpHeader(qint64 width, qint64 height, int bits, int compression)
{
    return "BM" + le(1080, 4) + le(0, 4) + le(1078, 4) + le(40, 4) + le(width, 4) + le(height, 4) +
           le(1, 2) + le(bits, 2) + le(compression, 4) + QByteArray(1044, 0);
}

// A GIF of 1x1 frames, one colour each from a palette of four.
QByteArray gif(const QList<QColor>& frames, int width = 1, int height = 1)
{
    QByteArray bytes = "GIF89a" + le(width, 2) + le(height, 2) + QByteArray("\xF1\0\0", 3);
    for (int i = 0; i < 4; ++i)
        bytes += le(frames.value(i).rgb() >> 16, 1) + le(frames.value(i).rgb() >> 8, 1) +
                 le(frames.value(i).rgb(), 1);
    for (int i = 0; i < int(frames.size()); ++i) // codes: clear, colour i, end
        bytes += "\x2C" + le(0, 4) + le(width, 2) + le(height, 2) + QByteArray("\0\x02\x02", 3) +
                 le(0x44 | i << 3, 1) + QByteArray("\x01\0", 2);
    return bytes + ';';
}

// A JPEG of flat grey blocks whose Huffman tables hold one code each: two
// bits a block, so that a huge picture is a small file.
QByteArray flatJpeg(int size, bool progressive = false)
{
    QByteArray bytes = QByteArray("\xFF\xD8\xFF\xDB\0\x43\0", 7) + QByteArray(64, 1) + "\xFF" +
                       le(progressive ? 0xC2 : 0xC0, 1) + QByteArray("\0\x11\x08", 3) +
                       le(size >> 8, 1) + le(size, 1) + le(size >> 8, 1) + le(size, 1) +
                       QByteArray("\x03\x01\x11\0\x02\x11\0\x03\x11\0", 10);
    for (const int table : {0x00, 0x10})
        bytes += QByteArray("\xFF\xC4\0\x14", 4) + le(table, 1) + '\x01' + QByteArray(16, 0);
    bytes += QByteArray("\xFF\xDA\0\x0C\x03\x01\0\x02\0\x03\0\0\x3F\0", 14);
    const qint64 bits = progressive ? 0 : qint64((size + 7) / 8) * ((size + 7) / 8) * 6;
    return bytes + QByteArray(bits / 8, 0) + le(0xFF >> (bits % 8), bits % 8 ? 1 : 0) + "\xFF\xD9";
}

bool near(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue()) < 40;
}

// A list's entries from top to bottom, each folder's subfolders after it.
QStringList entries(const QAbstractItemView* view)
{
    QStringList names;
    const QAbstractItemModel* model = view->model();
    for (const QModelIndex& i : model->match(model->index(0, 0), Qt::DisplayRole, u""_s, -1,
                                             Qt::MatchContains | Qt::MatchRecursive))
        names << i.data().toString();
    return names;
}

} // namespace

class TestWindows : public QObject, Fixture
{
    Q_OBJECT

    // Opens a window from its menu item, the one loaded and visible of that
    // name, and waits until it has the keyboard.
    static QWidget* open(QAction* item, const QString& name)
    {
        item->trigger();
        QList<QWidget*> found;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == name && w->isVisible() && !w->isMinimized() &&
                w->testAttribute(Qt::WA_DeleteOnClose))
                found << w;
        }
        return found.size() == 1 && QTest::qWaitForWindowActive(found[0]) ? found[0] : nullptr;
    }

private slots:
    void init() { start(); }
    void cleanup() { QVERIFY(finish()); }

    // Each comes forward unchanged when chosen again, also from behind the
    // main window or minimized, and starts afresh after Close or the close
    // box. Only the template can be changed, and only it is said to be
    // editable; Tab types a tab there and Ctrl+Tab leaves the text for the
    // next control. (The end-to-end companions scenario checks the texts shown.)
    void referenceWindows_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("next"); // where Ctrl+Tab goes from the text
        QTest::newRow("example") << u"mnuOpenExample"_s << u"frmExample"_s << u"cmdClose"_s;
        QTest::newRow("template") << u"mnuOpenPublished"_s << u"frmPublished"_s << u"cmdClose"_s;
        QTest::newRow("about") << u"mnuAbout"_s << u"frmAbout"_s << u"List1"_s;
    }

    void referenceWindows()
    {
        QFETCH(QString, item);
        QFETCH(QString, window);
        QFETCH(QString, next);
        const bool locked = window != QLatin1String("frmPublished");
        auto* action = main->findChild<QAction*>(item);
        for (const bool closeBox : {false, true}) {
            QPointer<QWidget> w = open(action, window);
            QVERIFY(w);
            auto* text = w->findChild<platform::TextBox*>(u"Text1"_s);
            const QString shown = text->toPlainText();
            // Locked as a screen reader hears it, not only to the keys.
            QCOMPARE(QAccessible::queryAccessibleInterface(text)->state().readOnly, locked);
            QTest::keyClicks(text, u"a\tb"_s);
            // AltGr, which Windows reports as Ctrl+Alt, types its character.
            QKeyEvent altGr(QEvent::KeyPress, Qt::Key_E, Qt::ControlModifier | Qt::AltModifier,
                            u"\u20AC"_s);
            QApplication::sendEvent(text, &altGr);
            main->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(main));
            w->setWindowState(closeBox ? Qt::WindowMinimized : Qt::WindowNoState);
            QCOMPARE(open(action, window), w.data());
            QCOMPARE(text->toPlainText(), locked ? shown : u"a\tb\u20AC"_s + shown);
            text->setFocus();
            QTest::keyClick(text, Qt::Key_Tab, Qt::ControlModifier);
            QCOMPARE(QApplication::focusWidget()->objectName(), next);
            if (closeBox) // Enter on the keypad presses the focused button, as Return does
                w->close();
            else if (next == u"cmdClose"_s)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
            else
                QTest::mouseClick(w->findChild<QPushButton*>(u"cmdClose"_s), Qt::LeftButton);
            // Loaded again at once, before the closed one is gone, it comes back fresh.
            QWidget* again = open(action, window);
            QVERIFY(again != nullptr && again != w);
            QCOMPARE(again->findChild<platform::TextBox*>(u"Text1"_s)->toPlainText(), shown);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(w.isNull());
            QVERIFY(script.beeps == 0);
        }
    }

    // The viewer lists the drives, the folders from the root down and the
    // pictures of the current folder in name order, any case; shows the one
    // picked with the keys or the mouse, filling the frame, and names it for a
    // screen reader; writes why it cannot show one in place of the old;
    // refuses a folder gone from the disk and follows the folder opened; keeps
    // everything while hidden and starts afresh once closed. The drive list
    // starts at the current folder's drive; picking a drive opens its root,
    // and one that cannot be read is reported and left.
    void viewer()
    {
        for (const char* folder : {"pics/sub1", "pics/Sub2", "pics/hotel.jpg"})
            QVERIFY(QDir(dir->path()).mkpath(QLatin1String(folder)));
        const QByteArray jpeg = encode(Qt::blue, "JPEG");
        write(u"pics/echo.png"_s, encode(Qt::red, "PNG"));
        write(u"pics/delta.gif"_s, gif({Qt::green}));
        write(u"pics/charlie.jpeg"_s, jpeg.left(jpeg.size() / 2));
        write(u"pics/Bravo.JPG"_s, jpeg);
        write(u"pics/alpha.bmp"_s, encode(Qt::red, "BMP"));
        hide(write(u"pics/hidden.bmp"_s, encode(Qt::red, "BMP")));
        write(u"pics/sub1/kilo.bmp"_s, encode(Qt::red, "BMP"));
        QVERIFY(QDir::setCurrent(path(u"pics"_s)));
        // Drives as the list shows them: a root and, if it has one, its label.
#ifdef Q_OS_WIN // drive letters: a second drive (Z: under Wine), and B:, which none has
        QList<platform::Volume> drives = {{}, {path(u"pics"_s).left(3), {}}, { u"B:/"_s, {} }};
        for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
            if (volume.isReady() && drives[0].root.isEmpty() && volume.rootPath() != drives[1].root)
                drives[0] = {volume.rootPath(), u"ROOT"_s};
        if (drives[0].root.isEmpty() || QStorageInfo(drives[2].root).isValid())
            QSKIP("The drive list needs a second drive, and B: free.");
#else // any folder can stand for a drive
        const QList<platform::Volume> drives = {
            {u"/"_s, u"ROOT"_s}, {path(u"pics"_s), {}}, {path(u"0"_s), {}}};
#endif
        FrmPreview stick(script, drives);
        QCOMPARE(stick.Drive1->currentText(), platform::driveText(drives[1]));
        QTest::keyClick(stick.Drive1, Qt::Key_Down); // cannot be read: a box, and no move
        QVERIFY(script.said(Style::OkOnly | Style::Exclamation,
                            QDir::toNativeSeparators(drives[2].root)));
        QTest::keyClick(stick.Drive1, Qt::Key_Up);
        const QString root = QDir::toNativeSeparators(drives[0].root);
        QVERIFY(stick.Dir1->Path() == root && stick.File1->Path() == root);
        // The drive shown, chosen again, leaves the folder as it is.
        stick.Dir1->setPath(path(u"pics"_s));
        emit stick.Drive1->activated(stick.Drive1->currentIndex());
        QCOMPARE(stick.Dir1->Path(), QDir::toNativeSeparators(path(u"pics"_s)));

        QPointer<FrmPreview> v =
            static_cast<FrmPreview*>(open(main->mnuHardpointViewer, u"frmPreview"_s));
        QVERIFY(v);
        const auto shows = [&v](const QColor& color) { // how many of the frame's pixels
            QImage shown = v->Image1->grab(v->Image1->contentsRect()).toImage();
            shown.convertTo(QImage::Format_RGB32);
            const auto* pixels = reinterpret_cast<const QRgb*>(shown.constBits());
            return std::count_if(pixels, pixels + shown.sizeInBytes() / 4,
                                 [&color](QRgb pixel) { return near(QColor(pixel), color); });
        };
        // The drives as the program finds them: the root first, each the root
        // of a mounted volume, the current folder's shown.
        QCOMPARE(platform::driveRoot(v->Drive1->itemText(0)), QDir::rootPath());
        for (int i = 0; i < v->Drive1->count(); ++i) {
            const QString drive = platform::driveRoot(v->Drive1->itemText(i));
            QCOMPARE(QStorageInfo(drive).rootPath(), drive);
        }
        QVERIFY(path(u"pics"_s).startsWith(platform::driveRoot(v->Drive1->currentText())));
        QCOMPARE(entries(v->File1),
                 QStringList({u"alpha.bmp"_s, u"Bravo.JPG"_s, u"charlie.jpeg"_s, u"delta.gif"_s}));
        // The folders from the root, which shows as the system writes it.
        const QString folder = path(u"pics/hotel.jpg/sub1/Sub2"_s);
        const qsizetype top = folder.indexOf(u'/') + 1;
        QCOMPARE(entries(v->Dir1).join(u'/'),
                 QDir::toNativeSeparators(folder.left(top)) + u'/' + folder.mid(top));
        QTest::keyClick(v->File1, Qt::Key_Down);
        const QSize frame = v->Image1->contentsRect().size();
        QCOMPARE(shows(Qt::red), frame.width() * frame.height());
        const auto described = [&v] {
            return QAccessible::queryAccessibleInterface(v->Image1)->text(QAccessible::Description);
        };
        QTest::mouseClick(v->File1->viewport(), Qt::LeftButton, {},
                          v->File1->visualItemRect(v->File1->item(1)).center());
        QVERIFY(shows(Qt::blue) > 0 && described() == u"Bravo.JPG"_s);
        // A picture that cannot be shown says why in the frame, in writing (dark
        // pixels), with no box and no old picture, and the arrow keys go on.
        QTest::keyClick(v->File1, Qt::Key_Down);
        QVERIFY(described().contains(u"charlie.jpeg"_s) && !shows(Qt::blue) &&
                shows(Qt::black) > 100);

        QVERIFY(QDir(path(u"pics/Sub2"_s)).removeRecursively());
        v->Dir1->setCurrentItem(v->Dir1->findItems(u"Sub2"_s, Qt::MatchRecursive).value(0));
        QTest::keyClick(v->Dir1, Qt::Key_Return);
        const QRect sub1 =
            v->Dir1->visualItemRect(v->Dir1->findItems(u"sub1"_s, Qt::MatchRecursive)[0]);
        QTest::mouseDClick(v->Dir1->viewport(), Qt::LeftButton, {}, sub1.center());
        QVERIFY(script.said(Style::OkOnly | Style::Exclamation, u"Sub2"_s));
        QCOMPARE(entries(v->File1), QStringList(u"kilo.bmp"_s));

        QTest::mouseClick(v->cmdHide, Qt::LeftButton);
        QVERIFY(!v->isVisible() && program->frmPreview.isLoaded());
        QCOMPARE(open(main->mnuHardpointViewer, u"frmPreview"_s), v.data());
        QVERIFY(described().contains(u"charlie.jpeg"_s));
        QTest::mouseClick(v->cmdClose, Qt::LeftButton);
        QTRY_VERIFY(v.isNull());
        v = static_cast<FrmPreview*>(open(main->mnuHardpointViewer, u"frmPreview"_s));
        QVERIFY(v->File1->Path() == QDir::toNativeSeparators(path(u"pics"_s)) &&
                !v->Image1->hasPicture());
    }

    // The program ends when its last visible window is hidden or closed, and
    // not while another one is still open.
    void endsWithTheLastWindow()
    {
        struct Quits : QObject
        {
            int count = 0;
            bool eventFilter(QObject*, QEvent* event) override
            {
                count += int(event->type() == QEvent::Quit);
                return event->type() == QEvent::Quit;
            }
        } quits;
        QCoreApplication::instance()->installEventFilter(&quits);
        QGuiApplication::setQuitOnLastWindowClosed(true);
        QPointer<QWidget> about = open(main->mnuAbout, u"frmAbout"_s);
        auto* viewer = static_cast<FrmPreview*>(open(main->mnuHardpointViewer, u"frmPreview"_s));
        QVERIFY(about && viewer);
        // Within the event loop, which is what the program asks to leave.
        QList<int> counts;
        QTimer::singleShot(0, this, [&] {
            main->close();
            QTest::mouseClick(viewer->cmdHide, Qt::LeftButton);
            counts << quits.count; // About is still open
            program->frmPreview.Show();
            about->close();
            counts << quits.count;
            QTest::mouseClick(viewer->cmdHide, Qt::LeftButton);
            counts << quits.count;
            QCoreApplication::exit();
        });
        QCoreApplication::exec();
        QCOMPARE(counts, QList({0, 0, 1}));
        QGuiApplication::setQuitOnLastWindowClosed(false);
    }

    // Pictures are told by their content, not their name: a whole BMP, GIF
    // (its first frame) or JPEG within the memory budget is shown at the
    // frame's size, a huge JPEG decoded no larger; anything else names the
    // file and the reason.
    void pictures_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QColor>("color"); // invalid: refused for the reason
        QTest::addColumn<QString>("reason");
        const QByteArray jpeg = encode(Qt::blue, "JPEG", {300, 200});
        const QByteArray bmp = encode(Qt::red, "BMP", {30, 20});
        const QByteArray anim = gif({Qt::green, Qt::blue});
        const auto add = [](const char* row, const QByteArray& bytes, const QColor& color,
                            const char* reason = "") {
            QTest::newRow(row) << bytes << color << QString::fromLatin1(reason);
        };
        // Two rows of red over blue, stored bottom row first or, with a
        // negative height, top row first; the colour is the top's.
        const QByteArray rows = le(0xFF000000FF, 8) + le(0xFF000000FF0000, 8); // blue, red
        add("bmp", bmpHeader(2, 2, 32, 0) + rows, Qt::red);
        add("bmp top-down", bmpHeader(2, -2, 32, 0) + rows.sliced(8) + rows.first(8), Qt::red);
        add("gif, first frame", anim, Qt::green);
        add("jpeg", jpeg, Qt::blue);
        add("huge jpeg", flatJpeg(12000), QColor(128, 128, 128));
        add("png", encode(Qt::red, "PNG"), {}, "not a BMP, GIF or JPEG");
        add("empty", QByteArray(), {}, "not a BMP, GIF or JPEG");
        add("truncated jpeg", jpeg.left(jpeg.size() / 2), {}, "truncated");
        add("truncated bmp", bmp.left(bmp.size() / 2), {}, "truncated");
        add("truncated gif", anim.left(anim.size() / 2), {}, "truncated");
        add("absurd bmp", bmpHeader(0x7FFFFFFF, 0x7FFFFFFF, 0xFFFF, 0), {}, "truncated");
        add("bmp over budget", bmpHeader(16000, 16000, 8, 1) + QByteArray("\0\1", 2), {},
            "too large");
        // Narrow rows are padded, and the conversion to 32 bits copies them.
        add("narrow bmp over budget", bmpHeader(7, 12779525, 8, 1) + QByteArray("\0\1", 2), {},
            "too large");
        add("gif over budget", gif({Qt::red}, 30000, 30000), {}, "too large");
        add("progressive jpeg over budget", flatJpeg(12000, true), {}, "too large");
    }

    void pictures()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QColor, color);
        QFETCH(QString, reason);
        const QSize frame(200, 150);
        for (const char* name : {"p.bmp", "p.gif", "p.jpg"}) {
            const QString file = write(QLatin1String(name), bytes);
            try {
                const QImage image = platform::LoadPicture(file).render(frame);
                QVERIFY2(color.isValid() && image.size() == frame &&
                             near(image.pixelColor(100, 10), color),
                         name);
            } catch (const platform::RuntimeError& error) {
                const QString message = error.description();
                QVERIFY2(!color.isValid() && message.contains(QDir::toNativeSeparators(file)) &&
                             message.contains(reason),
                         qPrintable(message));
            }
        }
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
