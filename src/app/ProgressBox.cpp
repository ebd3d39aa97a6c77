#include "ProgressBox.h"

#include <QPainter>

ProgressBox::ProgressBox(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(tr("Start-up progress"));
}

void ProgressBox::setProgress(const QImage &image, int percent, const QString &text)
{
    m_image = image;
    m_percent = percent;
    m_text = text;
    setAccessibleDescription(text);
    setToolTip(text);
    repaint();
}

QSize ProgressBox::sizeHint() const
{
    return QSize(300, 22);
}

void ProgressBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_image.isNull()) {
        painter.fillRect(rect(), palette().color(QPalette::ToolTipBase));
        return;
    }
    painter.drawImage(rect(), m_image);
}
