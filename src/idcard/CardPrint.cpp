#include "CardPrint.h"

#include "CardLayout.h"
#include "CardPainter.h"
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

bool print(const CardLayout &layout, const CardFace &face, QPrinter &printer)
{
    setUpPage(printer, layout.twips);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const CardPainter card(layout, face);
    card.paint(painter, card.trueSizeRect(printer.logicalDpiX(), printer.logicalDpiY()));
    return painter.end();
}

} // namespace CardPrint
