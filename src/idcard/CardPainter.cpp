#include "CardPainter.h"

#include "core/Twips.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>

namespace {

// A single-line border is one screen pixel wide at 96 dots per inch.
constexpr double BorderTwips = 15.0;
// How far a line of text may be narrowed to fit its box.
constexpr double MinimumNarrowing = 0.8;

} // namespace

CardPainter::CardPainter(const CardLayout &layout, const CardFace &face)
    : m_layout(layout), m_face(face)
{
}

QRectF CardPainter::trueSizeRect(double dpiX, double dpiY) const
{
    return QRectF(0, 0, Twips::toPixels(m_layout.twips.width(), dpiX), Twips::toPixels(m_layout.twips.height(), dpiY));
}

QRectF CardPainter::elementRect(const CardElement &element, const QRectF &target) const
{
    const double sx = target.width() / m_layout.twips.width();
    const double sy = target.height() / m_layout.twips.height();
    return QRectF(target.x() + element.twips.x() * sx, target.y() + element.twips.y() * sy,
                  element.twips.width() * sx, element.twips.height() * sy);
}

QFont CardPainter::elementFont(const CardElement &element, const QRectF &target, double deviceDpiY) const
{
    // The painter turns points into pixels with the device's resolution; ask for
    // the point size that gives the card's scale instead, so a card drawn smaller
    // or larger than true size keeps its proportions.
    const double pixelsPerTwip = target.height() / m_layout.twips.height();
    const double wantedPixels = Twips::fromPoints(element.pointSize) * pixelsPerTwip;
    QFont font = element.font();
    if (deviceDpiY > 0)
        font.setPointSizeF(std::max(0.1, wantedPixels * 72.0 / deviceDpiY));
    return font;
}

void CardPainter::paint(QPainter &painter, const QRectF &target) const
{
    if (target.isEmpty() || m_layout.twips.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.setClipRect(target, Qt::IntersectClip);
    painter.fillRect(target, CardFace::toQColor(m_face.color));

    const double scale = target.width() / m_layout.twips.width();
    for (const CardElement &element : m_layout.elements) {
        const QRectF box = elementRect(element, target);
        switch (element.kind) {
        case CardElement::Text: paintText(painter, element, box, target); break;
        case CardElement::Picture: paintPicture(painter, element, box, scale); break;
        case CardElement::Circle: paintCircle(painter, box, scale); break;
        }
    }
    painter.restore();
}

void CardPainter::paintText(QPainter &painter, const CardElement &element, const QRectF &box,
                            const QRectF &target) const
{
    const QString text = element.textIn(m_face);
    if (text.isEmpty())
        return;
    const QPaintDevice *device = painter.device();
    const double dpiY = device ? device->logicalDpiY() : 96.0;
    painter.save();
    // A label shows what fits in its box: lines that wrap past its height are cut off.
    painter.setClipRect(box, Qt::IntersectClip);
    painter.setFont(elementFont(element, target, dpiY));
    painter.setPen(element.textColor);
    const int align = int(element.align & Qt::AlignHorizontal_Mask) | Qt::AlignTop;
    // The card's Windows fonts are narrower than the faces they fall back to: a
    // line that would not fit its box is narrowed a little (text stays text)
    // before it wraps, so the placeholder headers and the row of codes fit as
    // designed. The row of codes never wraps: it stands over its circles.
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double natural = metrics.horizontalAdvance(text);
    const bool fixed = element.role == CardElement::Fixed;
    double factor = 1.0;
    if (natural > box.width() && natural > 0)
        factor = fixed ? box.width() / natural : std::max(MinimumNarrowing, box.width() / natural);
    const int flags = fixed ? align : align | Qt::TextWordWrap;
    if (factor < 1.0) {
        painter.translate(box.left(), 0);
        painter.scale(factor, 1.0);
        painter.drawText(QRectF(0, box.top(), box.width() / factor, box.height()), flags, text);
    } else {
        painter.drawText(box, flags, text);
    }
    painter.restore();
}

void CardPainter::paintPicture(QPainter &painter, const CardElement &element, const QRectF &box,
                               double scale) const
{
    const QImage picture = element.pictureIn(m_face);
    if (!picture.isNull())
        painter.drawImage(box, picture, QRectF(picture.rect()));
    if (element.border) {
        const double width = std::max(1.0, BorderTwips * scale);
        QPen pen(Qt::black, width);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.save();
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box.adjusted(width / 2, width / 2, -width / 2, -width / 2));
        painter.restore();
    }
}

void CardPainter::paintCircle(QPainter &painter, const QRectF &box, double scale) const
{
    // A circle shape is the largest circle centred in its box.
    const double width = std::max(1.0, BorderTwips * scale);
    const double side = std::min(box.width(), box.height()) - width;
    if (side <= 0)
        return;
    const QRectF circle(box.center().x() - side / 2, box.center().y() - side / 2, side, side);
    painter.save();
    painter.setPen(QPen(Qt::black, width));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(circle);
    painter.restore();
}
