#include "CalibrationPage.h"

#include "CardPrint.h"
#include "PrinterCalibration.h"
#include "core/Twips.h"

#include <QFont>
#include <QPainter>
#include <QPen>
#include <QPrinter>

#include <cmath>

namespace {

struct Scale
{
    double x;
    double y;
};

void paintRuler(QPainter &painter, const Scale &mm, double lengthMm, bool horizontal, bool farSide,
                double pageAcrossMm)
{
    // Ticks every millimetre from each end to the middle; 5 mm ticks longer, 10 mm numbered.
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(4.5);
    painter.setFont(font);
    const int half = int(std::floor(lengthMm / 2));
    for (int end = 0; end < 2; ++end) {
        for (int n = 0; n <= half; ++n) {
            if (end == 1 && n == half && 2 * half == int(lengthMm))
                continue; // the middle tick once
            const double along = end == 0 ? n : lengthMm - n;
            const double tick = n % 10 == 0 ? 3.0 : n % 5 == 0 ? 2.2 : 1.2;
            const double edge = farSide ? pageAcrossMm : 0;
            const double inner = farSide ? pageAcrossMm - tick : tick;
            if (horizontal)
                painter.drawLine(QPointF(along * mm.x, edge * mm.y), QPointF(along * mm.x, inner * mm.y));
            else
                painter.drawLine(QPointF(edge * mm.x, along * mm.y), QPointF(inner * mm.x, along * mm.y));
            // Numbers near the middle would stand beside the other end's: left out.
            if (n % 10 != 0 || n == 0 || n > half - 4)
                continue;
            const QString label = QString::number(n);
            const double labelAt = farSide ? pageAcrossMm - 5.2 : 3.4;
            const QRectF box = horizontal
                ? QRectF((along - 3) * mm.x, labelAt * mm.y, 6 * mm.x, 1.8 * mm.y)
                : QRectF(labelAt * mm.x - (farSide ? 0.8 * mm.x : 0), (along - 0.9) * mm.y, 2.6 * mm.x, 1.8 * mm.y);
            painter.drawText(box, Qt::AlignCenter, label);
        }
    }
}

void paintCrosshair(QPainter &painter, const Scale &mm, const QPointF &centreMm)
{
    const QPointF c(centreMm.x() * mm.x, centreMm.y() * mm.y);
    painter.drawLine(c - QPointF(6 * mm.x, 0), c + QPointF(6 * mm.x, 0));
    painter.drawLine(c - QPointF(0, 6 * mm.y), c + QPointF(0, 6 * mm.y));
    painter.drawEllipse(c, 2.5 * mm.x, 2.5 * mm.y);
}

} // namespace

namespace CalibrationPage {

void paint(QPainter &painter, const QSize &cardTwips, double dpiX, double dpiY, const PrinterCalibration &tried,
           const QString &printerName)
{
    const Scale mm {dpiX / 25.4, dpiY / 25.4};
    const double widthMm = cardTwips.width() / Twips::perInch * 25.4;
    const double heightMm = cardTwips.height() / Twips::perInch * 25.4;
    painter.save();
    QPen pen(Qt::black);
    pen.setWidthF(0.15 * mm.x);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);

    paintRuler(painter, mm, widthMm, true, false, heightMm);
    paintRuler(painter, mm, widthMm, true, true, heightMm);
    paintRuler(painter, mm, heightMm, false, false, widthMm);
    paintRuler(painter, mm, heightMm, false, true, widthMm);
    for (const QPointF &corner : {QPointF(0, 0), QPointF(widthMm, 0), QPointF(0, heightMm), QPointF(widthMm, heightMm)})
        paintCrosshair(painter, mm, corner);

    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(5.5);
    painter.setFont(font);
    const QStringList lines {
        QStringLiteral("Calibration page: %1").arg(printerName.isEmpty() ? QStringLiteral("PDF file") : printerName),
        QStringLiteral("Printed with Across %1 mm, Down %2 mm, Scale %3 %.")
            .arg(tried.offsetXMm, 0, 'f', 1)
            .arg(tried.offsetYMm, 0, 'f', 1)
            .arg(tried.scalePercent, 0, 'f', 1),
        QStringLiteral("Read the ruler where the paper's edge cuts it, and add:"),
        QStringLiteral("left edge: Across + n;  right edge: Across - n;"),
        QStringLiteral("top edge: Down + n;  bottom edge: Down - n."),
        QStringLiteral("Scale: new = old x %1 / the bar's measured length in mm.").arg(ScaleBarMm, 0, 'f', 0),
    };
    const double lineMm = 2.6;
    const double textTop = heightMm / 2 - (lines.size() * lineMm + 3) / 2;
    for (int i = 0; i < lines.size(); ++i)
        painter.drawText(QRectF(8 * mm.x, (textTop + i * lineMm) * mm.y, (widthMm - 16) * mm.x, lineMm * mm.y),
                         Qt::AlignCenter, lines.at(i));
    // The scale bar, centred under the text, with end ticks.
    const double barY = (textTop + lines.size() * lineMm + 1.5) * mm.y;
    const double barLeft = (widthMm - ScaleBarMm) / 2 * mm.x;
    const double barRight = barLeft + ScaleBarMm * mm.x;
    painter.drawLine(QPointF(barLeft, barY), QPointF(barRight, barY));
    painter.drawLine(QPointF(barLeft, barY - 1.2 * mm.y), QPointF(barLeft, barY + 1.2 * mm.y));
    painter.drawLine(QPointF(barRight, barY - 1.2 * mm.y), QPointF(barRight, barY + 1.2 * mm.y));
    painter.restore();
}

bool print(QPrinter &printer, const QSize &cardTwips, const PrinterCalibration &tried)
{
    CardPrint::setUpPage(printer, cardTwips);
    printer.setDocName(QStringLiteral("Calibration page"));
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    CardPrint::beginPage(painter, printer, tried);
    const QString name = printer.outputFormat() == QPrinter::NativeFormat ? printer.printerName() : QString();
    paint(painter, cardTwips, printer.logicalDpiX(), printer.logicalDpiY(), tried, name);
    return painter.end();
}

} // namespace CalibrationPage
