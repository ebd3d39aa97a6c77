#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// The attendee's photograph on the cards: one picture serves every card (the
// miniature, both card windows), so it is decoded once, for the largest photo
// box of all the layouts; a printed page reads it again at its own resolution.
namespace CardPhoto {

// The largest photo box of all the layouts, in pixels at this resolution.
QSize largestBox(double dpiX, double dpiY);
// The photo decoded straight at `size` (a JPEG reader scales while it decodes;
// an invalid size keeps the file's own), ready to draw; a null image when the
// file is missing or cannot be read.
QImage load(const QString &file, const QSize &size);

} // namespace CardPhoto
