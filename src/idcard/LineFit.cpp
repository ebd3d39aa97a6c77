#include "LineFit.h"

#include "CardLayout.h"

#include <QFontMetricsF>
#include <QImage>

#include <algorithm>
#include <cmath>

namespace {

// A paint device of 1440 dots per inch: there a font's pixels are twips.
const QImage &twipsDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dotsPerMeter = int(std::lround(CardLayout::TwipsPerInch / 0.0254));
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return device;
}

double widthInTwips(const QFont &font, const QString &text)
{
    return QFontMetricsF(font, &twipsDevice()).horizontalAdvance(text);
}

// The room an attendee's line takes: its advance, or more where the last
// letter leans out of it (italic chapter lines).
double inkWidthInTwips(const QFont &font, const QString &text)
{
    const QFontMetricsF metrics(font, &twipsDevice());
    return std::max(metrics.horizontalAdvance(text), metrics.boundingRect(text).right());
}

// An attendee's line keeps a screen pixel clear of its box's end, so that no
// rounding on any device takes a letter's edge.
constexpr double LineMargin = 15.0;

// Sizes are tried in quarter points: a few font sizes serve every name.
double quarterPointsBelow(double points)
{
    return std::floor(points * 4.0) / 4.0;
}

} // namespace

LineFit LineFit::of(const CardElement &element, const QString &text)
{
    const double box = element.twips.width();
    QFont font = element.font();
    const double natural = widthInTwips(font, text);
    if (natural <= box || natural <= 0 || box <= 0)
        return {text, element.pointSize, 1.0};

    switch (element.role) {
    case CardElement::Fixed:
        // The row of codes stands over its circles: it is narrowed, never cut.
        return {text, element.pointSize, box / natural};
    case CardElement::Header1:
    case CardElement::Header2: {
        if (box / natural >= MinimumNarrowing)
            return {text, element.pointSize, box / natural};
        const QString cut =
            QFontMetricsF(font, &twipsDevice()).elidedText(text, Qt::ElideRight, box / MinimumNarrowing);
        return {cut, element.pointSize, std::min(1.0, box / std::max(1.0, widthInTwips(font, cut)))};
    }
    default: break;
    }

    // Smaller, down to the legible minimum. Widths grow with the size almost
    // exactly, so the first guess mostly fits; the loop takes the rest.
    const double room = std::max(1.0, box - LineMargin);
    const double minimum =
        element.minimumPointSize > 0 ? std::min(element.pointSize, element.minimumPointSize) : element.pointSize;
    double size = std::max(minimum, quarterPointsBelow(element.pointSize * room / natural));
    for (;;) {
        font.setPointSizeF(size);
        if (inkWidthInTwips(font, text) <= room)
            return {text, size, 1.0};
        if (size <= minimum)
            break;
        size = std::max(minimum, size - 0.25);
    }
    // Even the smallest size is too wide: the line ends with an ellipsis, after a whole letter.
    return {QFontMetricsF(font, &twipsDevice()).elidedText(text, Qt::ElideRight, room), size, 1.0};
}
