#pragma once

#include "CardLayout.h"

#include <QRectF>

class QPainter;

// Draws a card (its face placed by its layout table) into a painter onto a
// target rectangle: a widget, a printer page or an image alike, so the printed
// card is the previewed card. The card is scaled to the target rectangle; text
// is drawn as text (it stays text in a PDF), pictures are stretched to their
// boxes, the QR code is filled squares (crisp at any printer resolution; on a
// picture its module edges fall on whole pixels). Fonts follow the same scale: when the target rectangle is the card's
// true size on the device (1440 twips to the inch at the device's resolution),
// a 6 pt line is 6 pt on paper.
class CardPainter
{
public:
    CardPainter(const CardLayout &layout, const CardFace &face);

    void paint(QPainter &painter, const QRectF &target) const;

    // The card's true size in device pixels on a device of this resolution.
    QRectF trueSizeRect(double dpiX, double dpiY) const;
    // Where an element lands inside `target`.
    QRectF elementRect(const CardElement &element, const QRectF &target) const;
    // The element's font for `target` on a device whose vertical resolution is `deviceDpiY`.
    QFont elementFont(const CardElement &element, const QRectF &target, double deviceDpiY) const;

private:
    void paintText(QPainter &painter, const CardElement &element, const QRectF &box, const QRectF &target) const;
    void paintPicture(QPainter &painter, const CardElement &element, const QRectF &box, double scale) const;
    void paintCircle(QPainter &painter, const QRectF &box, double scale) const;
    void paintCode(QPainter &painter, const CardElement &element, const QRectF &box) const;

    const CardLayout &m_layout;
    const CardFace &m_face;
};
