#include "ProgressBox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

ProgressBox::ProgressBox(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(tr("Start-up progress"));
}

void ProgressBox::showProgress(float fraction, bool exact)
{
    const QColor bar(0, 192, 0);
    const QColor background = QApplication::palette().color(QPalette::ToolTipBase);

    // In single precision, as the fraction is given: 0.345 is 34.5 there and shows 35.
    const float scaled = fraction * 100.0f;
    int percent = int(std::floor(scaled + 0.5f));
    if (!exact) {
        // Keep the bar off both ends until the caller says it is exact.
        if (percent == 0)
            percent = 1;
        else if (percent == 100)
            percent = 99;
    }
    const QString text = QString::number(percent) + QLatin1Char('%');

    const qreal ratio = devicePixelRatioF();
    const QSize area = size().expandedTo(QSize(1, 1));
    QImage image(area * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(background);

    QPainter painter(&image);
    painter.setFont(font());
    const QFontMetrics metrics(font());
    const int textWidth = metrics.horizontalAdvance(text);
    const int textHeight = metrics.height();
    const int x = area.width() / 2 - textWidth / 2;
    const int y = area.height() / 2 - textHeight / 2;
    painter.fillRect(QRect(x, y, textWidth, textHeight), background);
    painter.setPen(bar);
    painter.drawText(QRect(x, y, textWidth, textHeight), Qt::AlignLeft | Qt::AlignTop, text);

    if (fraction > 0) {
        // Not-xor over the text: where the bar covers it the text shows in reverse colours.
        painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        const int width = int(std::min(1.0, double(fraction)) * area.width());
        painter.fillRect(QRect(0, 0, width, area.height()), bar);
    }
    painter.end();
    setProgress(image, percent, text);
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
