#include "platform/files/imagebox.h"

#include <QAccessibleWidget>
#include <QFileInfo>
#include <QPainter>

namespace platform {
namespace {

// To assistive technology the frame is a picture, described by the name of
// the file it shows, rather than a bare frame.
class AccessibleImageBox : public QAccessibleWidget, public QAccessibleImageInterface
{
public:
    explicit AccessibleImageBox(QWidget* frame) : QAccessibleWidget(frame, QAccessible::Graphic) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ImageInterface)
            return static_cast<QAccessibleImageInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString imageDescription() const override { return widget()->accessibleDescription(); }
    QSize imageSize() const override { return frame()->contentsRect().size(); }
    QPoint imagePosition() const override
    {
        return frame()->mapToGlobal(frame()->contentsRect().topLeft());
    }

private:
    const QFrame* frame() const { return static_cast<const QFrame*>(widget()); }
};

QAccessibleInterface* accessibleImageBox(const QString& className, QObject* object)
{
    if (className == QLatin1String("platform::ImageBox"))
        return new AccessibleImageBox(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

ImageBox::ImageBox(QWidget* parent) : QFrame(parent)
{
    static const bool accessible = (QAccessible::installFactory(accessibleImageBox), true);
    Q_UNUSED(accessible)
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
    m_error.clear();
    setAccessibleDescription(QFileInfo(picture.path()).fileName());
    update();
}

void ImageBox::showError(const QString& reason)
{
    m_shown = QPixmap();
    m_error = reason;
    setAccessibleDescription(reason);
    update();
}

void ImageBox::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    if (!m_shown.isNull()) {
        painter.drawPixmap(contentsRect().topLeft(), m_shown);
    } else if (!m_error.isEmpty()) {
        // A long path breaks anywhere rather than running out of the frame.
        QTextOption wrap(Qt::AlignCenter);
        wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        painter.drawText(QRectF(contentsRect().adjusted(8, 8, -8, -8)), m_error, wrap);
    }
}

} // namespace platform
