#include "CardFace.h"

QColor CardFace::toQColor(quint32 color)
{
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

quint32 CardFace::fromQColor(const QColor &color)
{
    return quint32(color.red()) + 256u * quint32(color.green()) + 65536u * quint32(color.blue());
}

QImage CardFace::drawable(const QImage &picture)
{
    if (picture.isNull())
        return QImage();
    const QImage::Format format =
        picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    return picture.format() == format ? picture : picture.convertToFormat(format);
}
