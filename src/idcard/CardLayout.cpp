#include "CardLayout.h"

#include <algorithm>

namespace {

const QColor DarkBlue(0, 0, 64);
const QString MsSerif = QStringLiteral("MS Serif");
const QString MsSansSerif = QStringLiteral("MS Sans Serif");
// The card windows' own font, used where a label keeps the window's default.
constexpr double DefaultPointSize = 8.25;
// An attendee's line too long for its box shrinks to half its size at most, and
// on a printed card never below 6 points, a size still read at arm's length.
// The miniature, a picture of the card, shrinks as the card does.
constexpr double ShrinkAtMost = 0.5;
constexpr double PrintedMinimum = 6.0;

CardElement text(const char *objectName, CardElement::Role role, QRect twips, const QString &family,
                 double pointSize)
{
    CardElement e;
    e.objectName = QString::fromLatin1(objectName);
    e.kind = CardElement::Text;
    e.role = role;
    e.twips = twips;
    e.fontFamily = family;
    e.pointSize = pointSize;
    return e;
}

CardElement header(int index, QRect twips, const QString &family, double pointSize)
{
    CardElement e = text(index == 0 ? "lblHeader_0" : "lblHeader_1",
                         index == 0 ? CardElement::Header1 : CardElement::Header2, twips, family, pointSize);
    e.align = Qt::AlignHCenter;
    e.textColor = DarkBlue;
    return e;
}

CardElement picture(const char *objectName, CardElement::Role role, QRect twips, bool border)
{
    CardElement e;
    e.objectName = QString::fromLatin1(objectName);
    e.kind = CardElement::Picture;
    e.role = role;
    e.twips = twips;
    e.border = border;
    return e;
}

// The attendee's lines (names, office, chapter) of a printed card, or of the miniature.
CardElement line(const char *objectName, CardElement::Role role, QRect twips, double pointSize, bool printed)
{
    CardElement e = text(objectName, role, twips, printed ? MsSansSerif : MsSerif, pointSize);
    e.minimumPointSize = printed ? std::max(PrintedMinimum, pointSize * ShrinkAtMost) : pointSize * ShrinkAtMost;
    return e;
}

// The attendee's QR code, with its quiet zone, in a square box that no other
// element's box touches.
CardElement qrCode(QRect twips)
{
    CardElement e;
    e.objectName = QStringLiteral("imgQRCode");
    e.kind = CardElement::Code;
    e.role = CardElement::QrCode;
    e.twips = twips;
    return e;
}

CardElement emphasised(CardElement e, bool bold, bool italic)
{
    e.bold = bold;
    e.italic = italic;
    return e;
}

CardElement codes(QRect twips, const QString &family, double pointSize, const char *codesText)
{
    CardElement e = text("Label1", CardElement::Fixed, twips, family, pointSize);
    e.fixedText = QString::fromLatin1(codesText);
    return e;
}

CardElement circle(int index, QRect twips)
{
    CardElement e;
    e.objectName = QStringLiteral("Shape2_%1").arg(index);
    e.kind = CardElement::Circle;
    e.role = CardElement::Fixed;
    e.twips = twips;
    return e;
}

} // namespace

QString CardElement::textIn(const CardFace &face) const
{
    switch (role) {
    case Header1: return face.header[0];
    case Header2: return face.header[1];
    case FirstName: return face.name[0];
    case LastName: return face.name[1];
    case Office: return face.office;
    case Chapter: return face.chapter;
    case QrCode: return face.showCode ? face.code : QString();
    case Fixed: return kind == Text ? fixedText : QString();
    case Logo:
    case Photo: break;
    }
    return QString();
}

QImage CardElement::pictureIn(const CardFace &face) const
{
    switch (role) {
    case Logo: return face.logo;
    case Photo: return face.photo;
    default: return QImage();
    }
}

QFont CardElement::font() const
{
    QFont f(fontFamily);
    // The Windows card fonts are seldom installed elsewhere: the hint lets
    // font matching fall back to a face of the same style.
    f.setStyleHint(fontFamily.contains(QLatin1String("Sans"), Qt::CaseInsensitive) ? QFont::SansSerif
                                                                                     : QFont::Serif);
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

const CardElement *CardLayout::element(const QString &objectName) const
{
    for (const CardElement &e : elements) {
        if (e.objectName == objectName)
            return &e;
    }
    return nullptr;
}

CardLayout CardLayout::miniature()
{
    CardLayout layout;
    layout.name = QStringLiteral("miniature");
    layout.twips = QSize(2655, 1575);
    layout.toolTip = QStringLiteral("Click to change the color of the ID");

    CardElement header0 = header(0, QRect(120, 120, 2415, 150), MsSerif, 6);
    header0.toolTip = QStringLiteral("Click to add header 1");
    CardElement header1 = header(1, QRect(510, 240, 1455, 150), MsSerif, 6);
    header1.toolTip = QStringLiteral("Click to add a Header Line 2");
    CardElement logo = picture("ImgLogo", CardElement::Logo, QRect(165, 360, 465, 420), false);
    logo.toolTip = QStringLiteral("Click to Add a Logo");
    // Between the logo and the photo, under the header lines: the only room on
    // the miniature for a code of one screen pixel a module.
    CardElement code = qrCode(QRect(1380, 400, 435, 435));
    code.toolTip = QStringLiteral("The attendee's QR code: View > Show QR Code on ID Card turns it off");

    layout.elements = {
        header0,
        header1,
        logo,
        picture("imgPic", CardElement::Photo, QRect(1845, 435, 735, 855), true),
        line("lblName_0", CardElement::FirstName, QRect(165, 840, 1455, 135), 6, false),
        line("lblName_1", CardElement::LastName, QRect(165, 960, 1455, 135), 6, false),
        line("lblOffice", CardElement::Office, QRect(165, 1080, 1455, 135), 6, false),
        line("lblChap", CardElement::Chapter, QRect(165, 1320, 1455, 135), 6, false),
        code,
    };
    return layout;
}

CardLayout CardLayout::card3x4()
{
    CardLayout layout;
    layout.name = QStringLiteral("3 X 4");
    layout.twips = QSize(5505, 3585);

    layout.elements = {
        header(0, QRect(555, 120, 4155, 240), MsSansSerif, 9.75),
        header(1, QRect(1065, 360, 3015, 240), MsSansSerif, 9.75),
        picture("ImgLogo", CardElement::Logo, QRect(240, 480, 1065, 1020), false),
        picture("imgPic", CardElement::Photo, QRect(3600, 840, 1575, 1935), true),
        line("lblName_0", CardElement::FirstName, QRect(240, 1560, 3135, 330), 13.5, true),
        line("lblName_1", CardElement::LastName, QRect(240, 1920, 3135, 330), 13.5, true),
        line("lblOffice", CardElement::Office, QRect(240, 2280, 3015, 375), 12, true),
        emphasised(line("lblChap", CardElement::Chapter, QRect(240, 2640, 3255, 375), 12, true), true, true),
        codes(QRect(1080, 3075, 2895, 255), MsSansSerif, DefaultPointSize,
              "FL    FD    SK   SB   SL    CO   SD  HM"),
        // Under the photo, its right edge on the photo's, right of the codes and
        // circles: 0.54 inch with the quiet zone, 0.47 mm a module.
        qrCode(QRect(4395, 2790, 780, 780)),
    };
    const int lefts[8] = {1080, 1440, 1800, 2160, 2520, 2880, 3240, 3600};
    for (int i = 0; i < 8; ++i)
        layout.elements.append(circle(i, QRect(lefts[i], 3240, 255, 255)));
    return layout;
}

CardLayout CardLayout::card2x35()
{
    CardLayout layout;
    layout.name = QStringLiteral("2 1/4 X 3.5");
    layout.twips = QSize(4335, 2475);

    layout.elements = {
        header(0, QRect(375, 0, 3585, 195), MsSansSerif, DefaultPointSize),
        header(1, QRect(855, 240, 2685, 195), MsSansSerif, DefaultPointSize),
        picture("ImgLogo", CardElement::Logo, QRect(120, 240, 705, 660), false),
        picture("imgPic", CardElement::Photo, QRect(3120, 480, 1215, 1335), true),
        line("lblName_0", CardElement::FirstName, QRect(120, 960, 2655, 330), 12, true),
        emphasised(line("lblName_1", CardElement::LastName, QRect(120, 1200, 2655, 330), 12, true), true, false),
        line("lblOffice", CardElement::Office, QRect(120, 1560, 2655, 255), 9.75, true),
        emphasised(line("lblChap", CardElement::Chapter, QRect(120, 1800, 2655, 255), 9.75, true), true, true),
        codes(QRect(960, 1995, 2775, 210), MsSerif, 6.75, "FL     FD   SK    SB    SL   CO   SD   HM"),
        // Under the photo and flush with the card's right edge as the photo is,
        // right of the codes: the largest square free there, 0.42 inch with the
        // quiet zone, 0.37 mm a module.
        qrCode(QRect(3735, 1845, 600, 600)),
    };
    const int lefts[8] = {960, 1268, 1576, 1884, 2192, 2500, 2808, 3120};
    for (int i = 0; i < 8; ++i) {
        const int side = i == 7 ? 195 : 200;
        layout.elements.append(circle(i, QRect(lefts[i], 2160, side, side)));
    }
    return layout;
}
