// The windows beside the editor: the reference texts and the About window,
// the hardpoint viewer and the pictures it shows, their lifetimes, and what a
// screen reader hears of them.
#include "companions/frmpreview.h"
#include "platform/dirlistbox.h"
#include "platform/drivelistbox.h"
#include "platform/filelistbox.h"
#include "platform/imagebox.h"
#include "platform/picture.h"
#include "platform/runtimeerror.h"
#include "platform/textbox.h"
#include "testsupport.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCryptographicHash>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using platform::MsgBox::Style;

namespace {

const QSize kFrame(367, 335); // the viewer's frame inside its border

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
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += char((value >> (8 * i)) & 255);
    return bytes;
}

QByteArray be16(int value)
{
    return le(value >> 8, 1) + le(value, 1);
}

// The headers and palette of an 8-bit BMP whose pixels would follow.
QByteArray bmpHeader(qint64 width, qint64 height, int bits, int compression)
{
    return "BM" + le(1080, 4) + le(0, 4) + le(1078, 4) + le(40, 4) + le(width, 4) + le(height, 4) +
           le(1, 2) + le(bits, 2) + le(compression, 4) + le(2, 4) + le(0, 16) + QByteArray(1024, 0);
}

// A GIF of 1x1 frames, one colour each from a palette of four.
QByteArray gif(const QList<QColor>& frames, int width = 1, int height = 1)
{
    QByteArray bytes = "GIF89a" + le(width, 2) + le(height, 2) + QByteArray("\xF1\0\0", 3);
    for (int i = 0; i < 4; ++i) {
        const QColor c = frames.value(i, Qt::black);
        bytes += le(c.red(), 1) + le(c.green(), 1) + le(c.blue(), 1);
    }
    for (int i = 0; i < int(frames.size()); ++i) // codes: clear, colour i, end
        bytes += "\x2C" + le(0, 4) + le(width, 2) + le(height, 2) + QByteArray("\0\x02\x02", 3) +
                 le(0x44 | i << 3, 1) + QByteArray("\x01\0", 2);
    return bytes + ';';
}

// A JPEG of flat grey blocks whose Huffman tables hold one code each: two
// bits a block, so that a huge picture is a small file.
QByteArray flatJpeg(int width, int height, bool progressive = false)
{
    QByteArray bytes = QByteArray("\xFF\xD8\xFF\xDB\0\x43\0", 7) + QByteArray(64, 1) + "\xFF" +
                       le(progressive ? 0xC2 : 0xC0, 1) + QByteArray("\0\x11\x08", 3) +
                       be16(height) + be16(width) +
                       QByteArray("\x03\x01\x11\0\x02\x11\0\x03\x11\0", 10);
    for (const int table : {0x00, 0x10})
        bytes += QByteArray("\xFF\xC4\0\x14", 4) + le(table, 1) + '\x01' + QByteArray(16, 0);
    bytes += QByteArray("\xFF\xDA\0\x0C\x03\x01\0\x02\0\x03\0\0\x3F\0", 14);
    const qint64 bits = progressive ? 0 : qint64((width + 7) / 8) * ((height + 7) / 8) * 6;
    bytes += QByteArray(bits / 8, 0) + (bits % 8 ? le(0xFF >> (bits % 8), 1) : QByteArray());
    return bytes + "\xFF\xD9";
}

bool near(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue()) < 40;
}

QColor frameColor(platform::ImageBox* frame)
{
    const QImage shown = frame->grab().toImage();
    return shown.pixelColor(shown.rect().center());
}

// A list's entries from top to bottom, each folder's subfolders after it.
QStringList entries(const QAbstractItemView* view)
{
    QStringList names;
    const QAbstractItemModel* model = view->model();
    for (const QModelIndex& i : model->match(model->index(0, 0), Qt::DisplayRole, u"*"_s, -1,
                                             Qt::MatchWildcard | Qt::MatchRecursive))
        names << i.data().toString();
    return names;
}

// The loaded and visible windows of that name.
QList<QWidget*> windows(const QString& name)
{
    QList<QWidget*> found;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name && w->isVisible() && w->testAttribute(Qt::WA_DeleteOnClose))
            found << w;
    }
    return found;
}

} // namespace

class TestWindows : public QObject, Fixture
{
    Q_OBJECT

    QString m_folder; // the process's current folder before the test

    // Opens a window from its menu item and waits until it has the keyboard.
    QWidget* open(QAction* item, const QString& name) const
    {
        item->trigger();
        const QList<QWidget*> found = windows(name);
        return found.size() == 1 && QTest::qWaitForWindowActive(found[0]) ? found[0] : nullptr;
    }

private slots:
    void init()
    {
        m_folder = QDir::currentPath();
        start();
    }
    void cleanup()
    {
        QDir::setCurrent(m_folder);
        QVERIFY(finish());
    }

    // Each opens with its text, comes forward unchanged when chosen again,
    // and starts afresh after Close or the close box. Only the template can
    // be changed.
    void referenceWindows_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QByteArray>("md5");
        QTest::addColumn<bool>("locked");
        QTest::newRow("example") << u"mnuOpenExample"_s << u"frmExample"_s
                                 << QByteArray("46a0df19d8bb0988e82daf97e3dd0f62") << true;
        QTest::newRow("template") << u"mnuOpenPublished"_s << u"frmPublished"_s
                                  << QByteArray("802a299eb53e21fae1560e7c28093d49") << false;
        QTest::newRow("about") << u"mnuAbout"_s << u"frmAbout"_s
                               << QByteArray("25bc15118a6713edfc176c47113dfd0e") << true;
    }

    void referenceWindows()
    {
        QFETCH(QString, item);
        QFETCH(QString, window);
        QFETCH(QByteArray, md5);
        QFETCH(bool, locked);
        auto* action = main->findChild<QAction*>(item);
        for (const bool closeBox : {false, true}) {
            QPointer<QWidget> w = open(action, window);
            QVERIFY(w);
            auto* text = w->findChild<platform::TextBox*>(u"Text1"_s);
            const QString shown = text->toPlainText();
            QCOMPARE(QCryptographicHash::hash(shown.toUtf8(), QCryptographicHash::Md5).toHex(),
                     md5);
            QCOMPARE(QAccessible::queryAccessibleInterface(text)->state().readOnly, locked);
            QTest::keyClicks(text, u"ab"_s);
            QCOMPARE(open(action, window), w.data());
            QCOMPARE(text->toPlainText(), locked ? shown : u"ab"_s + shown);
            if (closeBox)
                w->close();
            else
                QTest::mouseClick(w->findChild<QPushButton*>(u"cmdClose"_s), Qt::LeftButton);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(w.isNull());
        }
    }

    // Controls without a caption of their own have a name to speak.
    void screenReaderNames()
    {
        main->mnuOpenExample->trigger();
        main->mnuOpenPublished->trigger();
        main->mnuAbout->trigger();
        main->mnuHardpointViewer->trigger();
        const char* const rows[][4] = {
            {"frmMain", "rtfBox", "Document", "EditableText"},
            {"frmExample", "Text1", "Example ODF", "EditableText"},
            {"frmPublished", "Text1", "Template", "EditableText"},
            {"frmAbout", "Text1", "Notes", "EditableText"},
            {"frmAbout", "List1", "Coders", "List"},
            {"frmPreview", "Drive1", "Drives", "ComboBox"},
            {"frmPreview", "Dir1", "Folders", "Tree"},
            {"frmPreview", "File1", "Files", "List"},
            {"frmPreview", "Image1", "Picture", "Graphic"},
        };
        const QMetaEnum roles = QMetaEnum::fromType<QAccessible::Role>();
        for (const auto& [window, control, name, role] : rows) {
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(
                windows(QLatin1String(window))
                    .value(0)
                    ->findChild<QWidget*>(QLatin1String(control)));
            QCOMPARE(accessible->text(QAccessible::Name), QLatin1String(name));
            QCOMPARE(roles.valueToKey(accessible->role()), role);
        }
    }

    // The viewer lists the pictures of the current folder in name order, any
    // case; shows the one picked, says why it cannot show one and keeps the
    // old; follows the folder opened; keeps everything while hidden and
    // starts afresh once closed.
    void viewer()
    {
        for (const char* folder : {"pics/sub1", "pics/Sub2", "pics/hotel.jpg"})
            QVERIFY(QDir(dir->path()).mkpath(QLatin1String(folder)));
        const QByteArray jpeg = encode(Qt::blue, "JPEG", {300, 200});
        write(u"pics/echo.png"_s, encode(Qt::red, "PNG"));
        write(u"pics/delta.gif"_s, gif({Qt::green}));
        write(u"pics/charlie.jpeg"_s, jpeg.left(jpeg.size() / 2));
        write(u"pics/Bravo.JPG"_s, jpeg);
        write(u"pics/alpha.bmp"_s, encode(Qt::red, "BMP"));
        write(u"pics/.hidden.bmp"_s, encode(Qt::red, "BMP"));
        write(u"pics/sub1/kilo.bmp"_s, encode(Qt::red, "BMP"));
        QVERIFY(QDir::setCurrent(path(u"pics"_s)));

        QPointer<FrmPreview> v =
            static_cast<FrmPreview*>(open(main->mnuHardpointViewer, u"frmPreview"_s));
        QVERIFY(v);
        QCOMPARE(entries(v->File1),
                 QStringList({u"alpha.bmp"_s, u"Bravo.JPG"_s, u"charlie.jpeg"_s, u"delta.gif"_s}));
        QCOMPARE(entries(v->Dir1).last(3), QStringList({u"hotel.jpg"_s, u"sub1"_s, u"Sub2"_s}));
        v->File1->setFocus();
        QTest::keyClick(v->File1, Qt::Key_Down);
        QVERIFY(near(frameColor(v->Image1), Qt::red));
        QTest::keyClick(v->File1, Qt::Key_Down);
        QVERIFY(near(frameColor(v->Image1), Qt::blue));
        QCOMPARE(QAccessible::queryAccessibleInterface(v->Image1)->text(QAccessible::Description),
                 u"Bravo.JPG"_s);
        QTest::keyClick(v->File1, Qt::Key_Down);
        QVERIFY(script.said(Style::OkOnly | Style::Exclamation, u"charlie.jpeg"_s));
        QVERIFY(near(frameColor(v->Image1), Qt::blue));

        // A folder gone from the disk is refused; the next one opens.
        QVERIFY(QDir(path(u"pics/Sub2"_s)).removeRecursively());
        for (const QString& folder : {u"Sub2"_s, u"sub1"_s}) {
            v->Dir1->setCurrentItem(v->Dir1->findItems(folder, Qt::MatchRecursive).value(0));
            QTest::keyClick(v->Dir1, Qt::Key_Return);
        }
        QVERIFY(script.said(Style::OkOnly | Style::Exclamation, u"Sub2"_s));
        QCOMPARE(v->Dir1->Path(), path(u"pics/sub1"_s));
        QCOMPARE(entries(v->File1), QStringList(u"kilo.bmp"_s));

        QTest::mouseClick(v->cmdHide, Qt::LeftButton);
        QVERIFY(!v->isVisible() && program->frmPreview.isLoaded());
        QCOMPARE(open(main->mnuHardpointViewer, u"frmPreview"_s), v.data());
        QCOMPARE(entries(v->File1), QStringList(u"kilo.bmp"_s));
        QVERIFY(near(frameColor(v->Image1), Qt::blue));

        QTest::mouseClick(v->cmdClose, Qt::LeftButton);
        QTRY_VERIFY(v.isNull());
        v = static_cast<FrmPreview*>(open(main->mnuHardpointViewer, u"frmPreview"_s));
        QCOMPARE(v->File1->Path(), path(u"pics"_s));
        QVERIFY(!v->Image1->hasPicture());
    }

    // The drive list leads the folder and file lists; a drive that cannot be
    // read is told and the list goes back to the drive shown.
    void driveList()
    {
        QVERIFY(QDir(dir->path()).mkpath(u"drive2/docs"_s));
        FrmPreview v(script, {{u"/"_s, QString()},
                              {path(u"drive2"_s), u"SECOND"_s},
                              {path(u"gone"_s), u"NOMEDIA"_s}});
        v.show();
        QTest::keyClick(v.Drive1, Qt::Key_Down);
        QTest::keyClick(v.Drive1, Qt::Key_Down);
        QVERIFY(script.said(Style::OkOnly | Style::Exclamation, path(u"gone"_s)));
        QCOMPARE(v.Drive1->currentText(), path(u"drive2"_s) + u" [SECOND]"_s);
        QCOMPARE(v.Dir1->Path(), path(u"drive2"_s));
        QCOMPARE(v.File1->Path(), path(u"drive2"_s));
    }

    // Pictures are told by their content, not their name; the frame shows a
    // whole BMP, GIF (its first frame) or JPEG within the memory budget, a
    // huge JPEG decoded at the frame's size; anything else names the file and
    // the reason.
    void pictures_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QColor>("color");
        QTest::addColumn<QString>("reason");
        const QByteArray jpeg = encode(Qt::blue, "JPEG", {300, 200});
        const QByteArray bmp = encode(Qt::red, "BMP", {30, 20});
        const QByteArray anim = gif({Qt::green, Qt::blue}, 1, 1);
        const auto add = [](const char* name, const QByteArray& bytes, const QColor& color,
                            const char* reason = "") {
            QTest::newRow(name) << bytes << color << QString::fromLatin1(reason);
        };
        add("bmp", bmp, Qt::red);
        add("gif, first frame", anim, Qt::green);
        add("jpeg", jpeg, Qt::blue);
        add("huge jpeg", flatJpeg(12000, 12000), QColor(128, 128, 128));
        add("png", encode(Qt::red, "PNG"), {}, "not a BMP, GIF or JPEG");
        add("empty", QByteArray(), {}, "not a BMP, GIF or JPEG");
        add("truncated jpeg", jpeg.left(jpeg.size() / 2), {}, "truncated");
        add("truncated bmp", bmp.left(bmp.size() / 2), {}, "truncated");
        add("truncated gif", anim.left(anim.size() / 2), {}, "truncated");
        add("absurd bmp", bmpHeader(0x7FFFFFFF, 0x7FFFFFFF, 0xFFFF, 0), {}, "truncated");
        add("bmp over budget", bmpHeader(16000, 16000, 8, 1) + "\0\1", {}, "too large");
        add("gif over budget", gif({Qt::red}, 30000, 30000), {}, "too large");
        add("progressive jpeg over budget", flatJpeg(12000, 12000, true), {}, "too large");
    }

    void pictures()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QColor, color);
        QFETCH(QString, reason);
        for (const char* name : {"p.bmp", "p.gif", "p.jpg"}) {
            const QString file = write(QLatin1String(name), bytes);
            try {
                const QImage image = platform::LoadPicture(file).render(kFrame);
                QVERIFY2(color.isValid() && image.size() == kFrame &&
                             near(image.pixelColor(183, 167), color),
                         name);
            } catch (const platform::RuntimeError& error) {
                const QString message = error.description();
                QVERIFY2(!color.isValid() && message.contains(file) && message.contains(reason),
                         qPrintable(message));
            }
        }
    }

    // The picture is stretched smoothly to fill the frame, which keeps its size.
    void frameStretchesThePicture()
    {
        QImage halves(2, 1, QImage::Format_RGB32);
        halves.setPixelColor(0, 0, Qt::red);
        halves.setPixelColor(1, 0, Qt::blue);
        QVERIFY(halves.save(path(u"h.bmp"_s)));
        platform::ImageBox frame;
        frame.resize(kFrame + QSize(2, 2));
        frame.setPicture(platform::LoadPicture(path(u"h.bmp"_s)));
        const QImage shown = frame.grab().toImage();
        QVERIFY(near(shown.pixelColor(1, 1), Qt::red));
        QVERIFY(near(shown.pixelColor(kFrame.width(), kFrame.height()), Qt::blue));
        const QColor middle = shown.pixelColor(184, 168);
        QVERIFY2(middle.red() > 60 && middle.blue() > 60, qPrintable(middle.name()));
        QCOMPARE(frame.size(), kFrame + QSize(2, 2));
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
