#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QPixmap>
#include <QRect>
#include <QString>

// What a card shows: the same fields on every card.
struct CardContent
{
    QString header[2];
    QString name[2];
    QString office;
    QString chapter;
    QPixmap logo;
    QPixmap photo;
    quint32 color = 224 + 256 * 224 + 65536 * 224; // light grey until a colour is chosen
};

// One element of a card's layout table, in twips (1440 to the inch) relative to the card.
struct CardElement
{
    enum Kind { Text, Picture };
    QString objectName;  // "lblHeader_0", "ImgLogo", ...
    Kind kind;
    QRect twips;         // left, top, width, height
    Qt::Alignment align;
    QColor textColor;
    double pointSize;
    bool border;
    QString toolTip;
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

    static constexpr double TwipsPerInch = 1440.0;
};
