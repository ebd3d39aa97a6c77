#pragma once

#include "session/CardFace.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

// One element of a card's layout table, in twips (1440 to the inch) relative to the card.
struct CardElement
{
    enum Kind { Text, Picture, Circle, Code };
    // Which part of the card's content the element shows; Fixed elements show
    // `fixedText` (or nothing) and never change.
    enum Role { Header1, Header2, Logo, Photo, FirstName, LastName, Office, Chapter, QrCode, Fixed };

    QString objectName;  // "lblHeader_0", "ImgLogo", ...
    Kind kind = Text;
    QRect twips;         // left, top, width, height
    Qt::Alignment align = Qt::AlignLeft;
    QColor textColor = Qt::black;
    double pointSize = 8.25;
    // An attendee's line too long for its box is drawn smaller, down to this
    // size, before it is cut (LineFit); 0: it is cut at its own size.
    double minimumPointSize = 0;
    bool border = false; // a single line around a picture
    QString toolTip;
    Role role = Fixed;
    // Fonts that are missing on the system (the card's "MS Serif" and "MS Sans
    // Serif" are Windows fonts) fall back by the style hint: font() asks for a
    // serif or sans serif face, and Qt's font matching picks an installed one.
    QString fontFamily = QStringLiteral("MS Sans Serif");
    bool bold = false;
    bool italic = false;
    QString fixedText;   // the text of a Fixed text element

    // The element's text or picture on `face` (empty for the other kind); the
    // code's text when the face shows the code.
    QString textIn(const CardFace &face) const;
    QImage pictureIn(const CardFace &face) const;
    // The element's font at its design size (pointSize), with the fallback hint.
    QFont font() const;
};

// A card's size and layout table.
struct CardLayout
{
    QString name;        // "miniature", "3 X 4", "2 1/4 X 3.5"
    QSize twips;         // the whole card
    QString toolTip;     // of the card background
    QList<CardElement> elements;

    // The miniature on the registration window (2655 x 1575 twips).
    static CardLayout miniature();
    // The card of the window "ID Card (3 X 4) 100%" (5505 x 3585 twips).
    static CardLayout card3x4();
    // The card of the window "ID Card (2 1/4 X 3.5) 100%" (4335 x 2475 twips).
    static CardLayout card2x35();

    // The element with that object name, or nullptr.
    const CardElement *element(const QString &objectName) const;

    static constexpr double TwipsPerInch = 1440.0;
};
