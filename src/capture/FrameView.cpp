#include "FrameView.h"

#include <QPainter>

FrameView::FrameView(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("videoPicture"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FrameView::setImage(const QImage &image)
{
    m_frame = QVideoFrame();
    m_image = image;
    update();
}

void FrameView::setFrame(const QVideoFrame &frame)
{
    m_frame = frame;
    m_image = QImage();
    update();
}

QImage FrameView::image() const
{
    if (m_image.isNull() && m_frame.isValid()) {
        m_image = m_frame.toImage();
        m_frame = QVideoFrame();
    }
    return m_image;
}

void FrameView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const QImage picture = image();
    if (picture.isNull())
        return;
    QSize size = picture.size();
    size.scale(this->size(), Qt::KeepAspectRatio);
    QRect target(QPoint(0, 0), size);
    target.moveCenter(rect().center());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture);
}
