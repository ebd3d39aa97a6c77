#include "CardPrint.h"

#include "CardLayout.h"
#include "CardPainter.h"
#include "CardSheet.h"
#include "PrinterCalibration.h"
#include "core/Twips.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

namespace CardPrint {

bool setUpPage(QPrinter &printer, const QSize &twips)
{
    // ExactMatch: without it Qt snaps a custom size to a standard one within 3 points.
    const QPageSize size(QSizeF(twips.width() / Twips::perInch, twips.height() / Twips::perInch), QPageSize::Inch,
                         QStringLiteral("ID Card"), QPageSize::ExactMatch);
    printer.setFullPage(true);
    // The card is landscape by its own width and height; the page is not turned again.
    printer.setPageOrientation(QPageLayout::Portrait);
    const bool sized = printer.setPageSize(size);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    return sized;
}

bool setUpSheet(QPrinter &printer, const CardSheet &sheet)
{
    printer.setFullPage(true);
    const bool sized = printer.setPageSize(sheet.pageSize());
    printer.setPageOrientation(sheet.orientation());
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    return sized;
}

void beginPage(QPainter &painter, const QPrinter &printer, const PrinterCalibration &calibration)
{
    painter.resetTransform();
    calibration.apply(painter, printer.logicalDpiX(), printer.logicalDpiY());
}

void paintCard(QPainter &painter, const CardLayout &layout, const CardFace &face, const QPointF &topLeft,
               double dpiX, double dpiY)
{
    const CardPainter card(layout, face);
    card.paint(painter, card.trueSizeRect(dpiX, dpiY).translated(topLeft));
}

bool print(const CardLayout &layout, const CardFace &face, QPrinter &printer)
{
    return print(layout, face, printer, PrinterCalibration::of(printer));
}

bool print(const CardLayout &layout, const CardFace &face, QPrinter &printer, const PrinterCalibration &calibration)
{
    setUpPage(printer, layout.twips);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    beginPage(painter, printer, calibration);
    paintCard(painter, layout, face, QPointF(0, 0), printer.logicalDpiX(), printer.logicalDpiY());
    return painter.end();
}

} // namespace CardPrint
