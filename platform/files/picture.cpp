#include "platform/files/picture.h"

#include "platform/forms/runtimeerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <optional>

namespace platform {
namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("platform::Picture", text);
}

[[noreturn]] void fail(const QString& path, const QString& reason)
{
    throw RuntimeError(tr("Cannot show the picture \"%1\".\n\n%2").arg(path, reason));
}

constexpr qint64 megabytes(qint64 bytes)
{
    return (bytes + (1 << 20) - 1) >> 20;
}

// Parts of a file, read when asked for. A picture is never read whole into
// memory of its own: the decoder reads the file in small pieces, so a large
// picture costs nothing before it is decoded, and fresh memory is slow to
// touch.
class FileBytes
{
public:
    explicit FileBytes(QFile& file) : m_file(file), m_size(file.size()) {}

    qint64 size() const { return m_size; }
    // Up to count bytes from an offset; fewer at the end of the file.
    QByteArray at(qint64 offset, qint64 count)
    {
        return m_file.seek(offset) ? m_file.read(count) : QByteArray();
    }
    int byte(qint64 offset)
    {
        const QByteArray one = at(offset, 1);
        return one.isEmpty() ? -1 : uchar(one.at(0));
    }

private:
    QFile& m_file;
    qint64 m_size;
};

StdPicture::Format formatOf(const QByteArray& bytes)
{
    if (bytes.startsWith("BM"))
        return StdPicture::Bmp;
    if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a"))
        return StdPicture::Gif;
    if (bytes.startsWith("\xFF\xD8\xFF"))
        return StdPicture::Jpeg;
    return StdPicture::None;
}

const char* readerFormat(StdPicture::Format format)
{
    switch (format) {
    case StdPicture::Bmp:
        return "bmp";
    case StdPicture::Gif:
        return "gif";
    default:
        return "jpeg";
    }
}

// What the JPEG markers before the first scan tell.
struct JpegHeader
{
    QSize size;
    qint64 scanBuffers = 0; // bytes of coefficients a progressive decoder keeps
    bool complete = false;  // the end-of-image marker follows the scan data
};

bool isFrameMarker(uchar marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool isProgressive(uchar marker)
{
    return marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
}

// A progressive decoder keeps every block's 64 coefficients of 2 bytes for the
// whole picture.
qint64 coefficientBytes(const uchar* frame, int components, const QSize& size)
{
    int hMax = 1;
    int vMax = 1;
    for (int c = 0; c < components; ++c) {
        hMax = std::max(hMax, frame[7 + 3 * c] >> 4);
        vMax = std::max(vMax, frame[7 + 3 * c] & 15);
    }
    const qint64 mcuColumns = (size.width() + 8 * hMax - 1) / (8 * hMax);
    const qint64 mcuRows = (size.height() + 8 * vMax - 1) / (8 * vMax);
    qint64 blocks = 0;
    for (int c = 0; c < components; ++c)
        blocks += mcuColumns * (frame[7 + 3 * c] >> 4) * mcuRows * (frame[7 + 3 * c] & 15);
    return blocks * 64 * 2;
}

// Whether an end-of-image marker follows the offset. Scan data never holds
// FF D9 (a 0xFF there is followed by 0x00 or a restart marker), and a whole
// file ends with it, so the search runs backwards from the end.
bool endsAfter(FileBytes& file, qint64 offset)
{
    constexpr qint64 kChunk = 64LL * 1024;
    qint64 end = file.size();
    while (end - offset >= 2) {
        const qint64 from = std::max(offset, end - kChunk);
        const QByteArray chunk = file.at(from, end - from);
        if (chunk.size() != end - from)
            return false;
        if (chunk.lastIndexOf("\xFF\xD9") >= 0)
            return true;
        end = from + 1; // a marker may straddle two chunks
    }
    return false;
}

// Reads a start-of-frame segment: the picture's size and, for a progressive
// JPEG, the memory its decoder keeps for the whole picture. False when the
// segment is shorter than what it declares.
bool readFrame(const QByteArray& frame, uchar marker, JpegHeader& header)
{
    const auto* segment = reinterpret_cast<const uchar*>(frame.constData());
    const int components = frame.size() >= 6 ? segment[5] : 0;
    if (components < 1 || frame.size() < 6 + 3 * components)
        return false;
    header.size = QSize((segment[3] << 8) | segment[4], (segment[1] << 8) | segment[2]);
    if (isProgressive(marker))
        header.scanBuffers = coefficientBytes(segment, components, header.size);
    return true;
}

std::optional<JpegHeader> readJpegHeader(FileBytes& file)
{
    JpegHeader header;
    qint64 at = 2;
    while (at + 4 <= file.size()) {
        const QByteArray head = file.at(at, 4);
        if (head.size() < 4 || uchar(head.at(0)) != 0xFF)
            return std::nullopt;
        const auto marker = uchar(head.at(1));
        if (marker == 0xFF) {
            ++at; // fill byte
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            at += 2;
            continue;
        }
        const int length = (uchar(head.at(2)) << 8) | uchar(head.at(3));
        if (marker == 0xD9 || length < 2 || at + 2 + length > file.size())
            return std::nullopt;
        if (isFrameMarker(marker)) {
            if (!readFrame(file.at(at + 4, length - 2), marker, header))
                return std::nullopt;
        } else if (marker == 0xDA) {
            if (header.size.isEmpty())
                return std::nullopt;
            header.complete = endsAfter(file, at + 2 + length);
            return header;
        }
        at += 2 + length;
    }
    return std::nullopt;
}

quint32 little32(const uchar* at)
{
    return at[0] | (at[1] << 8) | (at[2] << 16) | (quint32(at[3]) << 24);
}

int little16(const uchar* at)
{
    return at[0] | (at[1] << 8);
}

// The bytes of a row of pixels, padded to whole 32-bit words: as a BMP file
// stores it, and as a decoded picture holds it.
qint64 paddedRowBytes(qint64 width, int bits)
{
    return (width * bits + 31) / 32 * 4;
}

// Whether an uncompressed BMP holds all its rows; the decoder would fill the
// missing ones with black. Compressed BMPs leave that to the decoder.
bool bmpComplete(FileBytes& file)
{
    const QByteArray head = file.at(0, 34);
    const auto* data = reinterpret_cast<const uchar*>(head.constData());
    if (head.size() < 26)
        return false;
    const quint32 pixels = little32(data + 10);
    const quint32 info = little32(data + 14);
    qint64 width = 0;
    qint64 height = 0;
    int bits = 0;
    quint32 compression = 0;
    if (info == 12) {
        width = little16(data + 18);
        height = little16(data + 20);
        bits = little16(data + 24);
    } else {
        if (head.size() < 34)
            return false;
        width = qint32(little32(data + 18));
        height = qAbs(qint64(qint32(little32(data + 22))));
        bits = little16(data + 28);
        compression = little32(data + 30);
    }
    if (compression != 0 && compression != 3)
        return true;
    // Bounded first: the header's fields are whatever the file says.
    if (width <= 0 || height <= 0 || bits <= 0 || bits > 64 || pixels > file.size())
        return false;
    const qint64 row = paddedRowBytes(width, bits);
    return height <= (file.size() - pixels) / row;
}

// Whether a GIF holds the whole of its first frame; the decoder would show
// the part it got.
bool gifFirstFrameComplete(FileBytes& file)
{
    const QByteArray head = file.at(0, 13);
    if (head.size() < 13)
        return false;
    const auto skipTable = [](qint64 at, int flags) {
        return flags & 0x80 ? at + 3LL * (2 << (flags & 7)) : at;
    };
    const auto skipBlocks = [&file](qint64 at) -> qint64 {
        for (int length = file.byte(at); length > 0; length = file.byte(at))
            at += 1 + length;
        return file.byte(at) == 0 ? at + 1 : -1;
    };
    qint64 at = skipTable(13, uchar(head.at(10)));
    while (at >= 0) {
        const int introducer = file.byte(at);
        if (introducer == 0x21) {
            at = skipBlocks(at + 2);
        } else if (introducer == 0x2C) {
            const QByteArray descriptor = file.at(at, 10);
            if (descriptor.size() < 10)
                return false;
            at = skipTable(at + 10, uchar(descriptor.at(9)));
            return file.byte(at) >= 0 && skipBlocks(at + 1) >= 0;
        } else {
            return false;
        }
    }
    return false;
}

int bitsPerPixel(QImage::Format format)
{
    const int bits = QImage::toPixelFormat(format).bitsPerPixel();
    return bits > 0 ? bits : 32;
}

// The scale that the JPEG decoder picks for a size: the smallest picture of
// its 1/2, 1/4 and 1/8 steps that still covers the size.
int jpegScale(const QSize& picture, const QSize& size)
{
    if (size.isEmpty())
        return 1;
    const int ratio = std::min(picture.width() / size.width(), picture.height() / size.height());
    int scale = 1;
    while (scale < 8 && scale * 2 <= ratio)
        scale *= 2;
    return scale;
}

} // namespace

qint64 StdPicture::renderCost(const QSize& size) const
{
    const qint64 shown = qint64(size.width()) * size.height() * 4;
    const qint64 pixels = qint64(m_size.width()) * m_size.height();
    qint64 decoded = 0;
    switch (m_format) {
    case None:
        return 0;
    case Jpeg: {
        const qint64 scale = jpegScale(m_size, size);
        decoded = (qint64(m_size.width()) + scale - 1) / scale *
                      ((qint64(m_size.height()) + scale - 1) / scale) * 4 +
                  m_scanBuffers;
        break;
    }
    case Gif:
        // The frame and the canvas it is drawn onto.
        decoded = 2 * pixels * 4;
        break;
    case Bmp: {
        // Smooth scaling works on 32-bit pixels: fewer bits are converted
        // first, through a copy of the decoded picture.
        const qint64 decodedBytes =
            paddedRowBytes(m_size.width(), m_bitsPerPixel) * m_size.height();
        decoded = decodedBytes + (m_bitsPerPixel < 32 ? decodedBytes + pixels * 4 : 0);
        break;
    }
    }
    return decoded + shown;
}

QImage StdPicture::render(const QSize& size) const
{
    if (isNull() || size.isEmpty())
        return QImage();
    const qint64 cost = renderCost(size);
    if (cost > kPictureBudget)
        fail(m_path, tr("The picture is too large: showing it would take about %1 MB of "
                        "memory, more than the %2 MB allowed.")
                         .arg(megabytes(cost))
                         .arg(megabytes(kPictureBudget)));

    QFile input(m_file);
    if (!input.open(QIODevice::ReadOnly))
        fail(m_path, tr("The file cannot be read: %1.").arg(input.errorString()));
    QImageReader reader(&input, readerFormat(m_format));
    QImageReader::setAllocationLimit(int(megabytes(kPictureBudget)));
    if (m_format == Jpeg)
        reader.setScaledSize(size); // decoded at about the frame's size
    QImage image = reader.read();
    if (image.isNull())
        fail(m_path, tr("The picture data is corrupt (%1).").arg(reader.errorString()));
    if (image.size() != size)
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

StdPicture LoadPicture(const QString& path)
{
    const QString file = QDir::cleanPath(QDir::fromNativeSeparators(path));
    const QString shown = QDir::toNativeSeparators(file);
    if (QFileInfo(file).isDir())
        fail(shown, tr("It is a folder, not a picture file."));
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly))
        fail(shown, tr("The file cannot be read: %1.").arg(input.errorString()));

    FileBytes bytes(input);
    StdPicture picture;
    picture.m_file = file;
    picture.m_path = shown;
    picture.m_format = formatOf(bytes.at(0, 6));
    if (input.error() != QFileDevice::NoError)
        fail(shown, tr("The file cannot be read: %1.").arg(input.errorString()));
    if (picture.m_format == StdPicture::None)
        fail(shown, tr("The file is not a BMP, GIF or JPEG picture."));

    if (picture.m_format == StdPicture::Jpeg) {
        const std::optional<JpegHeader> header = readJpegHeader(bytes);
        if (!header || !header->complete)
            fail(shown, tr("The picture data is truncated or corrupt."));
        picture.m_size = header->size;
        picture.m_scanBuffers = header->scanBuffers;
    } else {
        const bool complete =
            picture.m_format == StdPicture::Bmp ? bmpComplete(bytes) : gifFirstFrameComplete(bytes);
        if (!complete)
            fail(shown, tr("The picture data is truncated or corrupt."));
        input.seek(0);
        QImageReader reader(&input, readerFormat(picture.m_format));
        // A BMP stored top row first has a negative height in its header, and
        // the reader gives the size as the header has it.
        const QSize size = reader.size();
        picture.m_size = QSize(size.width(), qAbs(size.height()));
        picture.m_bitsPerPixel = bitsPerPixel(reader.imageFormat());
    }
    if (picture.m_size.isEmpty())
        fail(shown, tr("The picture data is truncated or corrupt."));
    return picture;
}

} // namespace platform
