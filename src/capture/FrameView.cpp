#include "FrameView.h"

#include <QPainter>

FrameView::FrameView(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("stillFrame"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FrameView::setImage(const QImage &image)
{
    m_image = image;
    update();
}

void FrameView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (m_image.isNull())
        return;
    QSize size = m_image.size();
    size.scale(this->size(), Qt::KeepAspectRatio);
    QRect target(QPoint(0, 0), size);
    target.moveCenter(rect().center());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, m_image);
}
