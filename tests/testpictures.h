#pragma once

// Pictures made on the spot for the viewer's tests: ordinary ones through Qt's
// writers, and the files Qt cannot write (GIF) or that must not be decoded
// whole (huge headers) byte by byte.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPainter>

#include <initializer_list>
#include <utility>

namespace testpictures {

inline QImage filled(const QSize& size, const QColor& color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// Left half one colour, right half another.
inline QImage halves(const QSize& size, const QColor& left, const QColor& right)
{
    QImage image = filled(size, left);
    QPainter(&image).fillRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height(),
                              right);
    return image;
}

inline QByteArray encode(const QImage& image, const char* format, int quality = 95)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

// Appends each value in its count of bytes, least significant first.
inline void put(QByteArray& bytes, std::initializer_list<std::pair<qint64, int>> fields)
{
    for (const auto& [value, count] : fields)
        for (int i = 0; i < count; ++i)
            bytes.append(char((value >> (8 * i)) & 0xFF));
}

inline void putBig16(QByteArray& bytes, int value)
{
    bytes.append(char((value >> 8) & 0xFF)).append(char(value & 0xFF));
}

// An animated GIF of solid frames, one colour each, all from one palette.
inline QByteArray animatedGif(const QSize& size, const QList<QColor>& frames)
{
    QByteArray gif("GIF89a");
    put(gif, {{size.width(), 2}, {size.height(), 2}});
    gif.append(char(0xF1)).append(char(0)).append(char(0)); // 4-entry global palette
    for (int i = 0; i < 4; ++i) {
        const QColor c = frames.value(i, Qt::black);
        gif.append(char(c.red())).append(char(c.green())).append(char(c.blue()));
    }
    for (int index = 0; index < frames.size(); ++index) {
        gif.append("\x21\xF9\x04\x04", 4);   // graphic control: keep the frame
        put(gif, {{10, 2}, {0, 1}, {0, 1}}); // 1/10 s
        gif.append(char(0x2C));
        put(gif, {{0, 4}, {size.width(), 2}, {size.height(), 2}, {0, 1}});
        gif.append(char(2)); // LZW minimum code size
        // 3-bit codes: clear (4) before every two pixels keeps the code size
        // from growing, so no compression is needed.
        QByteArray data;
        quint32 acc = 0;
        int bits = 0;
        const auto code = [&](int value) {
            acc |= quint32(value) << bits;
            bits += 3;
            while (bits >= 8) {
                data.append(char(acc & 0xFF));
                acc >>= 8;
                bits -= 8;
            }
        };
        const int pixels = size.width() * size.height();
        for (int p = 0; p < pixels; ++p) {
            if (p % 2 == 0)
                code(4);
            code(index);
        }
        code(5); // end of information
        if (bits > 0)
            data.append(char(acc & 0xFF));
        for (int at = 0; at < data.size(); at += 255) {
            const QByteArray block = data.mid(at, 255);
            gif.append(char(block.size())).append(block);
        }
        gif.append(char(0));
    }
    gif.append(char(0x3B));
    return gif;
}

// An 8-bit run-length encoded BMP of the given size whose only run ends the
// picture: a tiny file that claims many pixels.
inline QByteArray rleBmp(int width, int height)
{
    const int pixels = 54 + 256 * 4;
    QByteArray bmp("BM");
    put(bmp, {{pixels + 2, 4},
              {0, 4},
              {pixels, 4},
              {40, 4},
              {width, 4},
              {height, 4},
              {1, 2},
              {8, 2},
              {1, 4} /* RLE8 */,
              {2, 4},
              {2835, 4},
              {2835, 4},
              {256, 4},
              {0, 4}});
    for (int i = 0; i < 256; ++i)
        put(bmp, {{qint64(i) * 0x010101, 4}});
    bmp.append(char(0)).append(char(1)); // end of bitmap
    return bmp;
}

// Only the header and the start of a GIF of the given size.
inline QByteArray gifHeader(int width, int height)
{
    QByteArray gif("GIF89a");
    put(gif, {{width, 2}, {height, 2}, {0x80, 1}, {0, 8}});
    gif.append(char(0x2C));
    put(gif, {{0, 4}, {width, 2}, {height, 2}});
    gif.append(char(0)).append(char(2)).append(char(0)).append(char(0x3B));
    return gif;
}

// A three-channel JPEG whose blocks are all flat mid grey. Its Huffman tables
// hold one code each, so every block takes two bits and a huge picture stays a
// small file. A progressive frame gets no scans worth decoding.
inline QByteArray flatJpeg(int width, int height, bool progressive = false)
{
    QByteArray jpeg("\xFF\xD8", 2);
    jpeg.append("\xFF\xDB", 2);
    putBig16(jpeg, 67);
    jpeg.append(char(0)).append(QByteArray(64, char(1)));
    jpeg.append(char(0xFF)).append(char(progressive ? 0xC2 : 0xC0));
    putBig16(jpeg, 17);
    jpeg.append(char(8));
    putBig16(jpeg, height);
    putBig16(jpeg, width);
    jpeg.append(char(3));
    for (int c = 1; c <= 3; ++c)
        jpeg.append(char(c)).append(char(0x11)).append(char(0));
    for (const char table : {char(0x00), char(0x10)}) {
        jpeg.append("\xFF\xC4", 2);
        putBig16(jpeg, 20);
        jpeg.append(table).append(char(1)).append(QByteArray(15, '\0')).append(char(0));
    }
    jpeg.append("\xFF\xDA", 2);
    putBig16(jpeg, 12);
    jpeg.append(char(3));
    for (int c = 1; c <= 3; ++c)
        jpeg.append(char(c)).append(char(0));
    jpeg.append(char(0)).append(char(63)).append(char(0));
    if (!progressive) {
        const qint64 blocks = qint64((width + 7) / 8) * ((height + 7) / 8) * 3;
        const qint64 bits = blocks * 2;
        jpeg.append(QByteArray(bits / 8, '\0'));
        if (bits % 8)
            jpeg.append(char(0xFF >> (bits % 8)));
    }
    jpeg.append("\xFF\xD9", 2);
    return jpeg;
}

} // namespace testpictures
