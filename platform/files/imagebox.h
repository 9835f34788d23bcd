#pragma once

#include "platform/files/picture.h"

#include <QFrame>
#include <QPixmap>

namespace platform {

// A picture frame with a fixed single border and Stretch on: the picture is
// scaled smoothly to fill the inside exactly, width and height independently.
// The frame never changes its size and takes no focus. To assistive
// technology it is a graphic whose description is the shown picture's file
// name, or the reason why a picture cannot be shown.
class ImageBox : public QFrame
{
    Q_OBJECT
public:
    explicit ImageBox(QWidget* parent = nullptr);

    bool Stretch() const { return true; }

    // Whether a picture is shown; the frame starts empty.
    bool hasPicture() const { return !m_shown.isNull(); }
    // Shows a picture in place of the one shown before. When it cannot be
    // decoded this throws its RuntimeError and the frame keeps the old one.
    void setPicture(const StdPicture& picture);
    // Shows, in place of any picture, a short text that says why a picture
    // cannot be shown.
    void showError(const QString& reason);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_shown;
    QString m_error;
};

} // namespace platform
