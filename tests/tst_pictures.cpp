#include "platform/imagebox.h"
#include "platform/picture.h"
#include "platform/runtimeerror.h"
#include "testpictures.h"
#include "testsupport.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace testpictures;
using platform::StdPicture;

namespace {

const QSize kFrame(367, 335); // the viewer's frame inside its border

bool near(const QColor& seen, const QColor& expected, int tolerance = 12)
{
    return qAbs(seen.red() - expected.red()) <= tolerance &&
           qAbs(seen.green() - expected.green()) <= tolerance &&
           qAbs(seen.blue() - expected.blue()) <= tolerance;
}

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, '\0');
    for (char& b : bytes)
        b = char(QRandomGenerator::global()->bounded(256));
    bytes[0] = 'X'; // not a picture's signature by chance
    return bytes;
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void loadsByContent_data();
    void loadsByContent();
    void refusesWhatItCannotShow_data();
    void refusesWhatItCannotShow();
    void doubledSeparatorsCountAsOne();
    void decodesHugeJpegAtFrameSize();
    void frameStretchesSmoothly_data();
    void frameStretchesSmoothly();

private:
    QString write(const QString& name, const QByteArray& bytes);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestPictures::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString TestPictures::write(const QString& name, const QByteArray& bytes)
{
    QString path = m_dir->filePath(name);
    writeBytes(path, bytes);
    return path;
}

void TestPictures::loadsByContent_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("format");
    QTest::addColumn<QColor>("color");

    const QSize size(30, 20);
    QTest::newRow("bmp") << "red.bmp" << encode(filled(size, Qt::red), "BMP")
                         << int(StdPicture::Bmp) << QColor(Qt::red);
    QTest::newRow("gif shows its first frame")
        << "frames.gif" << animatedGif(size, {Qt::green, Qt::blue, Qt::red}) << int(StdPicture::Gif)
        << QColor(Qt::green);
    QTest::newRow("jpg") << "blue.jpg" << encode(filled(size, Qt::blue), "JPEG")
                         << int(StdPicture::Jpeg) << QColor(Qt::blue);
    QTest::newRow("bmp named jpg") << "bmp.jpg" << encode(filled(size, Qt::cyan), "BMP")
                                   << int(StdPicture::Bmp) << QColor(Qt::cyan);
    QTest::newRow("jpeg named gif") << "jpeg.gif" << encode(filled(size, Qt::magenta), "JPEG")
                                    << int(StdPicture::Jpeg) << QColor(Qt::magenta);
}

void TestPictures::loadsByContent()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(int, format);
    QFETCH(QColor, color);

    const StdPicture picture = platform::LoadPicture(write(name, bytes));
    QCOMPARE(int(picture.format()), format);
    QCOMPARE(picture.size(), QSize(30, 20));
    const QImage image = picture.render(QSize(61, 17));
    QCOMPARE(image.size(), QSize(61, 17));
    for (const QPoint at : {QPoint(0, 0), QPoint(30, 8), QPoint(60, 16)})
        QVERIFY2(near(image.pixelColor(at), color),
                 qPrintable(image.pixelColor(at).name() + QLatin1String(" at ") +
                            QString::number(at.x())));
}

void TestPictures::refusesWhatItCannotShow_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");

    const QImage image = filled(QSize(40, 40), Qt::red);
    const QByteArray jpeg = encode(halves(QSize(400, 300), Qt::red, Qt::blue), "JPEG");
    const QByteArray bmp = encode(image, "BMP");
    const QByteArray gif = animatedGif(QSize(40, 40), {Qt::red});
    QTest::newRow("png named jpg") << "png.jpg" << encode(image, "PNG");
    QTest::newRow("ico named bmp") << "icon.bmp" << encode(image, "ICO");
    QTest::newRow("random bytes named bmp") << "noise.bmp" << randomBytes(5000);
    QTest::newRow("empty file") << "empty.gif" << QByteArray();
    QTest::newRow("truncated jpeg") << "cut.jpg" << jpeg.left(jpeg.size() / 2);
    QTest::newRow("jpeg cut in its header") << "header.jpg" << jpeg.left(40);
    // An EXIF thumbnail ends with its own end marker, before the main scan.
    const QByteArray thumbnail = encode(filled(QSize(16, 16), Qt::red), "JPEG");
    QByteArray withThumbnail = jpeg.left(2) + "\xFF\xE1";
    withThumbnail.append(char((thumbnail.size() + 2) >> 8))
        .append(char((thumbnail.size() + 2) & 255));
    withThumbnail += thumbnail + jpeg.mid(2);
    QTest::newRow("truncated jpeg with a thumbnail")
        << "thumb.jpg" << withThumbnail.left(withThumbnail.size() * 2 / 3);
    QTest::newRow("truncated bmp") << "cut.bmp" << bmp.left(bmp.size() / 2);
    // Found by fuzzing: header fields this large overflowed the size check.
    QByteArray absurd("BM");
    put(absurd, {{54, 4},
                 {0, 4},
                 {54, 4},
                 {40, 4},
                 {0x7FFFFFFF, 4},
                 {0x7FFFFFFF, 4},
                 {1, 2},
                 {0xFFFF, 2},
                 {0, 4},
                 {0, 4}});
    QTest::newRow("bmp header with absurd sizes") << "absurd.bmp" << absurd;
    QTest::newRow("truncated gif") << "cut.gif" << gif.left(gif.size() / 2);
    // Small files that claim far more pixels than the budget allows to decode;
    // a progressive decoder keeps every coefficient of the picture.
    QTest::newRow("bmp over the budget") << "huge.bmp" << rleBmp(16000, 16000);
    QTest::newRow("gif over the budget") << "huge.gif" << gifHeader(30000, 30000);
    QTest::newRow("progressive jpeg over the budget") << "huge.jpg" << flatJpeg(12000, 12000, true);
}

// Nothing that is not a whole BMP, GIF or JPEG within the budget gets shown;
// the error names the file and gives a reason.
void TestPictures::refusesWhatItCannotShow()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);

    const QString path = write(name, bytes);
    try {
        platform::LoadPicture(path).render(kFrame);
        QFAIL("the picture was shown");
    } catch (const platform::RuntimeError& error) {
        const QStringList parts = error.description().split(QStringLiteral("\n\n"));
        QCOMPARE(parts.size(), 2);
        QVERIFY2(parts[0].contains(QDir::toNativeSeparators(path)), qPrintable(parts[0]));
        QVERIFY(!parts[1].trimmed().isEmpty());
    }
}

void TestPictures::doubledSeparatorsCountAsOne()
{
    const QString path = write(QStringLiteral("red.bmp"), encode(filled({8, 8}, Qt::red), "BMP"));
    const QString doubled = m_dir->path() + QStringLiteral("//red.bmp");
    QCOMPARE(platform::LoadPicture(doubled).size(), QSize(8, 8));
    QCOMPARE(platform::LoadPicture(QDir::toNativeSeparators(doubled)).path(),
             QDir::toNativeSeparators(path));
}

// 12000 by 12000 pixels would take 576 MB decoded whole, more than the budget
// and the decoder's allocation limit; at the frame's size it is cheap.
void TestPictures::decodesHugeJpegAtFrameSize()
{
    const StdPicture picture =
        platform::LoadPicture(write(QStringLiteral("huge.jpg"), flatJpeg(12000, 12000)));
    QCOMPARE(picture.size(), QSize(12000, 12000));
    QVERIFY(picture.renderCost(kFrame) < 64LL * 1024 * 1024);
    const QImage image = picture.render(kFrame);
    QCOMPARE(image.size(), kFrame);
    QVERIFY(near(image.pixelColor(183, 167), QColor(128, 128, 128), 2));
}

void TestPictures::frameStretchesSmoothly_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("smaller than the frame") << QSize(2, 1);
    QTest::newRow("wider than the frame") << QSize(1000, 20);
    QTest::newRow("taller than the frame") << QSize(20, 1000);
}

// Left half red, right half blue: after stretching, each half of the frame,
// top to bottom, holds its colour, and where they meet the colours blend. The
// frame keeps its size.
void TestPictures::frameStretchesSmoothly()
{
    QFETCH(QSize, size);
    platform::ImageBox frame;
    frame.setGeometry(0, 0, 369, 337);
    QVERIFY(!frame.hasPicture());
    QVERIFY(frame.Stretch());
    QCOMPARE(frame.focusPolicy(), Qt::NoFocus);
    QCOMPARE(frame.contentsRect().size(), kFrame);
    frame.setPicture(platform::LoadPicture(
        write(QStringLiteral("halves.bmp"), encode(halves(size, Qt::red, Qt::blue), "BMP"))));

    const QImage shown = frame.grab().toImage();
    const QRect inside = frame.contentsRect();
    for (const int y : {inside.top(), inside.center().y(), inside.bottom()}) {
        QVERIFY(near(shown.pixelColor(inside.left(), y), Qt::red));
        QVERIFY(near(shown.pixelColor(inside.left() + inside.width() / 4, y), Qt::red));
        QVERIFY(near(shown.pixelColor(inside.right() - inside.width() / 4, y), Qt::blue));
        QVERIFY(near(shown.pixelColor(inside.right(), y), Qt::blue));
    }
    if (size.width() == 2) {
        // Two pixels stretched smoothly over 367 blend in the middle.
        const QColor middle = shown.pixelColor(inside.center().x(), inside.center().y());
        QVERIFY2(middle.red() > 60 && middle.blue() > 60, qPrintable(middle.name()));
    }
    QCOMPARE(frame.size(), QSize(369, 337));
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
