#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace platform {

// The most memory that loading and showing one picture may take.
constexpr qint64 kPictureBudget = 512LL * 1024 * 1024;

// A picture as LoadPicture returns it: a file checked to hold a whole BMP,
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

    // About how many bytes rendering the picture at a size takes at the most.
    qint64 renderCost(const QSize& size) const;
    // The picture scaled smoothly to exactly the given size, width and height
    // independently; a GIF shows its first frame. Throws a RuntimeError that
    // names the file and the reason when it cannot be read or decoded or
    // would take more than the budget. The file is read anew.
    QImage render(const QSize& size) const;

private:
    friend StdPicture LoadPicture(const QString& path);

    QString m_file; // '/' separators
    QString m_path; // native separators, for messages
    Format m_format = None;
    QSize m_size;
    int m_bitsPerPixel = 32;  // as decoded whole
    qint64 m_scanBuffers = 0; // a progressive JPEG's coefficients
};

// Checks that a file holds a whole BMP, GIF or JPEG picture, told by its
// content rather than its name, reading only its headers (and a JPEG's end).
// Doubled separators in the path count as one. Throws a RuntimeError that names
// the file and the reason when it cannot be read, holds no such picture or is
// truncated.
StdPicture LoadPicture(const QString& path);

} // namespace platform
