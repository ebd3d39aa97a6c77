#include "CardPainter.h"

#include "LineFit.h"
#include "QrCode.h"
#include "core/Twips.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// A single-line border is one screen pixel wide at 96 dots per inch.
constexpr double BorderTwips = 15.0;

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
        case CardElement::Code: paintCode(painter, element, box); break;
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
    const LineFit fit = LineFit::of(element, text);
    const QPaintDevice *device = painter.device();
    const double dpiY = device ? device->logicalDpiY() : 96.0;
    QFont font = elementFont(element, target, dpiY);
    QRectF line = box;
    if (fit.pointSize != element.pointSize && element.pointSize > 0) {
        // Smaller type stands on the line's own baseline, as the other lines do.
        const double ascent = QFontMetricsF(font, painter.device()).ascent();
        font.setPointSizeF(font.pointSizeF() * fit.pointSize / element.pointSize);
        line.setTop(box.top() + ascent - QFontMetricsF(font, painter.device()).ascent());
    }
    painter.save();
    // A label shows what fits in its box.
    painter.setClipRect(box, Qt::IntersectClip);
    painter.setFont(font);
    painter.setPen(element.textColor);
    // The fit was decided in twips; a screen's hinted type may come out a
    // little wider than that, and is narrowed by the difference rather than cut.
    double factor = fit.narrowing;
    const double width = QFontMetricsF(font, painter.device()).horizontalAdvance(fit.text) * factor;
    if (width > box.width() && width > 0)
        factor *= box.width() / width;
    const int flags = int(element.align & Qt::AlignHorizontal_Mask) | Qt::AlignTop | Qt::TextSingleLine;
    if (factor < 1.0) {
        painter.translate(box.left(), 0);
        painter.scale(factor, 1.0);
        painter.drawText(QRectF(0, line.top(), line.width() / factor, line.height()), flags, fit.text);
    } else {
        painter.drawText(line, flags, fit.text);
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

void CardPainter::paintCode(QPainter &painter, const CardElement &element, const QRectF &box) const
{
    const QString text = element.textIn(m_face);
    if (text.isEmpty())
        return;
    const QrCode code = QrCode::encode(text);
    if (code.isNull())
        return;
    const int modules = code.size() + 2 * QrCode::QuietZone;
    const double side = std::min(box.width(), box.height());
    const QRectF square(box.center().x() - side / 2, box.center().y() - side / 2, side, side);

    // Module edges in device pixels. On a picture (the card windows, the
    // miniature) they are rounded to whole pixels and drawn without
    // antialiasing, so no module is a grey blur a reader cannot tell; on a
    // printer or in a PDF they stay exact and the code stays vectors.
    const QTransform toDevice = painter.deviceTransform();
    const QRectF onDevice = toDevice.mapRect(square);
    const bool raster = painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster;
    const bool snap = raster && !toDevice.isRotating() && onDevice.width() >= modules;
    std::vector<double> xs(std::size_t(modules) + 1), ys(std::size_t(modules) + 1);
    for (int i = 0; i <= modules; ++i) {
        const double x = onDevice.left() + onDevice.width() * i / modules;
        const double y = onDevice.top() + onDevice.height() * i / modules;
        xs[std::size_t(i)] = snap ? std::round(x) : x;
        ys[std::size_t(i)] = snap ? std::round(y) : y;
    }
    const QTransform fromDevice = toDevice.inverted();
    const auto cell = [&](int x0, int y0, int x1, int y1) {
        return fromDevice.mapRect(QRectF(QPointF(xs[std::size_t(x0)], ys[std::size_t(y0)]),
                                         QPointF(xs[std::size_t(x1)], ys[std::size_t(y1)])));
    };

    // The quiet zone is white whatever the card's colour: a reader needs light
    // around a dark code, and a dark card would give it none.
    QList<QRectF> dark;
    dark.reserve(code.size() * code.size() / 3);
    const int q = QrCode::QuietZone;
    for (int y = 0; y < code.size(); ++y) {
        for (int x = 0; x < code.size();) {
            if (!code.isDark(x, y)) {
                ++x;
                continue;
            }
            int end = x + 1;
            while (end < code.size() && code.isDark(end, y))
                ++end;
            dark.append(cell(q + x, q + y, q + end, q + y + 1)); // a run of dark modules: one rectangle
            x = end;
        }
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, !snap);
    painter.fillRect(cell(0, 0, modules, modules), Qt::white);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawRects(dark.constData(), int(dark.size()));
    painter.restore();
}
