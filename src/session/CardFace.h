#pragma once

#include <QColor>
#include <QImage>
#include <QString>

// What one ID card shows, as a plain value: the design (header lines, logo,
// colour, whether the QR code shows) and the attendee's lines, photograph and
// code. The painter draws from it;
// a copy can be changed (printing puts a sharper photo in) without touching the
// card it came from. Pictures are images, not pixmaps, so a card can be drawn
// where there is no screen.
struct CardFace
{
    QString header[2]; // lblHeader(0), lblHeader(1)
    QImage logo;       // ImgLogo
    quint32 color = DefaultColor;
    QString name[2];   // lblName(0) first name, lblName(1) last name
    QString office;    // lblOffice
    QString chapter;   // lblChap
    QImage photo;      // imgPic
    // The photo's path relative to the database folder as the Picture field
    // stores it ("Pic\17.jpg"); empty when no photo is shown.
    QString photoPath;
    // The text of the attendee's QR code ("QVX:3:1207", CardLines::code);
    // empty when no attendee is shown.
    QString code;
    // The design's choice to carry the code (the "QrCode" setting).
    bool showCode = true;

    // Light grey, the miniature's own colour until one is chosen.
    static constexpr quint32 DefaultColor = 224 + 256 * 224 + 65536 * 224;

    // A colour number (red + 256*green + 65536*blue) as a QColor; bits above
    // the blue byte are ignored.
    static QColor toQColor(quint32 color);
    static quint32 fromQColor(const QColor &color);

    // A decoded picture in the format a card is drawn from fastest (opaque ones
    // without alpha, others premultiplied), converted once when it is loaded
    // rather than on every paint.
    static QImage drawable(const QImage &picture);
};
