#pragma once

#include <QRect>
#include <QRectF>
#include <QSize>
#include <QtGlobal>

// Twips are the unit of every stored window layout: 1440 to the inch, 20 to
// the point. These helpers turn them into device pixels for a resolution
// (dots per inch) and into points for fonts and page sizes.
namespace Twips {

inline constexpr double perInch = 1440.0;
inline constexpr double perPoint = 20.0;

constexpr double toPixels(double twips, double dpi) { return twips * dpi / perInch; }
constexpr double fromPixels(double pixels, double dpi) { return pixels * perInch / dpi; }
constexpr double toPoints(double twips) { return twips / perPoint; }
constexpr double fromPoints(double points) { return points * perPoint; }

inline int toPixelsRounded(double twips, double dpi) { return qRound(toPixels(twips, dpi)); }

// A rectangle in twips as exact (fractional) device pixels.
inline QRectF toPixelRectF(const QRect &twips, double dpiX, double dpiY)
{
    return QRectF(toPixels(twips.x(), dpiX), toPixels(twips.y(), dpiY), toPixels(twips.width(), dpiX),
                  toPixels(twips.height(), dpiY));
}

// A rectangle in twips as whole device pixels. The edges are rounded (not the
// width), so rectangles that touch in twips still touch in pixels.
inline QRect toPixelRect(const QRect &twips, double dpiX, double dpiY)
{
    const int left = toPixelsRounded(twips.x(), dpiX);
    const int top = toPixelsRounded(twips.y(), dpiY);
    const int right = toPixelsRounded(double(twips.x()) + twips.width(), dpiX);
    const int bottom = toPixelsRounded(double(twips.y()) + twips.height(), dpiY);
    return QRect(left, top, right - left, bottom - top);
}

inline QSize toPixelSize(const QSize &twips, double dpiX, double dpiY)
{
    return QSize(toPixelsRounded(twips.width(), dpiX), toPixelsRounded(twips.height(), dpiY));
}

} // namespace Twips
