#include "platform/imagebox.h"

#include <QPainter>

namespace platform {

ImageBox::ImageBox(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setFocusPolicy(Qt::NoFocus);
}

void ImageBox::setPicture(const StdPicture& picture)
{
    const qreal ratio = devicePixelRatioF();
    QImage image = picture.render(contentsRect().size() * ratio);
    image.setDevicePixelRatio(ratio);
    m_shown = QPixmap::fromImage(std::move(image));
    update();
}

void ImageBox::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (m_shown.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(contentsRect().topLeft(), m_shown);
}

} // namespace platform
