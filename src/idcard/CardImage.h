#pragma once

#include <QImage>

struct CardFace;
struct CardLayout;

// A card as a picture: the card window paints this picture, and whoever draws a
// card without a window (from a stored row, for a batch or a command line) gets
// the same pixels from the same code.
namespace CardImage {

// The card of `layout` showing `face` at its true size on a device of this
// resolution (1440 twips to the inch), opaque. With a `devicePixelRatio` above
// 1 (a high-density screen) the image has that many pixels per device-independent
// pixel and says so, so it is drawn at the card's size.
QImage render(const CardLayout &layout, const CardFace &face, double dpiX, double dpiY, qreal devicePixelRatio = 1.0);

} // namespace CardImage
