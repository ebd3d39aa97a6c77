#pragma once

#include <QString>

struct CardElement;

// How one line of text fits its box on the card. The attendee's lines (names,
// office, chapter) that are too long are drawn in a smaller size of the same
// font, down to the element's legible minimum, and only then cut with an
// ellipsis; the header lines are narrowed a little and then cut with an
// ellipsis; the fixed row of codes is narrowed as far as it takes. A line is
// never wrapped into the line below (the box would cut it off) nor cut inside a
// letter.
//
// The fit is decided in twips, from the font's metrics at 1440 dots per inch,
// not from the device's: a screen's hinted type is a little wider or narrower
// than a printer's, and the same name must come out the same (the same size,
// the same letters) on the miniature, in the card window and on paper.
struct LineFit
{
    QString text;          // the whole line, or its start and an ellipsis
    double pointSize = 0;  // the element's own size, or smaller
    double narrowing = 1;  // the horizontal scale it is drawn with (at most 1)

    static LineFit of(const CardElement &element, const QString &text);

    // Header lines and the codes row are narrowed to this much at most before
    // a header is cut: the card's Windows fonts are narrower than the faces
    // they fall back to, and the placeholders were measured in those.
    static constexpr double MinimumNarrowing = 0.8;
};
