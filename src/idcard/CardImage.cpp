#include "CardImage.h"

#include "CardLayout.h"
#include "CardPainter.h"

#include <QPainter>

#include <cmath>

namespace CardImage {

QImage render(const CardLayout &layout, const CardFace &face, double dpiX, double dpiY, qreal devicePixelRatio)
{
    const CardPainter card(layout, face);
    const QRectF target = card.trueSizeRect(dpiX, dpiY);
    const QSize pixels(int(std::ceil(target.width() * devicePixelRatio)),
                       int(std::ceil(target.height() * devicePixelRatio)));
    if (pixels.isEmpty())
        return QImage();
    QImage image(pixels, QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    // The painter sizes the type from the device's resolution, as it does on the screen.
    image.setDotsPerMeterX(int(std::lround(dpiX / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(dpiY / 0.0254)));
    // A card whose true size is not whole pixels is coloured to the image's edge.
    image.fill(CardFace::toQColor(face.color));
    QPainter painter(&image);
    card.paint(painter, target);
    return image;
}

} // namespace CardImage
