#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace platform {

// The most memory that loading and showing one picture may take.
constexpr qint64 kPictureBudget = 512ll * 1024 * 1024;

// A picture as LoadPicture returns it: the bytes of a file that holds a BMP,
// GIF or JPEG picture, decoded only when it is drawn at a size, so that a
// large JPEG is decoded no larger than the frame that shows it.
class StdPicture
{
public:
    enum Format { None, Bmp, Gif, Jpeg };

    StdPicture() = default;

    bool isNull() const { return m_format == None; }
    QString path() const { return m_path; }
    Format format() const { return m_format; }
    QSize size() const { return m_size; }

    // About how many bytes loading the picture and rendering it at a size
    // takes at the most.
    qint64 renderCost(const QSize& size) const;
    // The picture scaled smoothly to exactly the given size, width and height
    // independently; a GIF shows its first frame. Throws a RuntimeError that
    // names the file and the reason when it cannot be decoded or would take
    // more than the budget.
    QImage render(const QSize& size) const;

private:
    friend StdPicture LoadPicture(const QString& path);

    QString m_path; // native separators
    QByteArray m_bytes;
    Format m_format = None;
    QSize m_size;
    int m_bytesPerPixel = 4;  // as decoded whole
    qint64 m_scanBuffers = 0; // a progressive JPEG's coefficients
};

// Reads a BMP, GIF or JPEG file, told by its content rather than its name.
// Doubled separators in the path count as one. Throws a RuntimeError that names
// the file and the reason when it cannot be read, holds no such picture, is
// truncated or is too large for the budget.
StdPicture LoadPicture(const QString& path);

} // namespace platform
