#pragma once

#include <QPointF>
#include <QSize>

class CardSheet;
class QPainter;
class QPrinter;
struct CardFace;
struct CardLayout;
struct PrinterCalibration;

// Cards on paper. One card on one page of exactly the card's size: the page is
// set to the card's extent in twips (1440 to the inch; a PDF page rounds it to
// whole points), full page with no margins, and the card is painted with
// CardPainter from the page's top-left corner at true size, so text stays text.
// Or cards on a sheet of office paper (CardSheet). Every page from a printer is
// corrected by that printer's calibration here, and only here.
namespace CardPrint {

// Sets the page to `twips`, full page, no margins. False when the printer refuses the size.
bool setUpPage(QPrinter &printer, const QSize &twips);
// Sets the page to the sheet's paper and orientation, full page, no margins.
bool setUpSheet(QPrinter &printer, const CardSheet &sheet);

// Starts a page: the painter's origin at the page's top-left corner, corrected
// by `calibration` for the printer's resolution. Call after begin() and after
// each newPage(); the correction is undone by the next beginPage().
void beginPage(QPainter &painter, const QPrinter &printer, const PrinterCalibration &calibration);

// Paints the card at true size with its top-left corner at `topLeft` (device pixels).
void paintCard(QPainter &painter, const CardLayout &layout, const CardFace &face, const QPointF &topLeft,
               double dpiX, double dpiY);

// Prints the card on its own page (and ends the job, sending the page), with
// the printer's own calibration. False when the printer could not start (no
// such printer, unwritable file).
bool print(const CardLayout &layout, const CardFace &face, QPrinter &printer);
// The same with the calibration given.
bool print(const CardLayout &layout, const CardFace &face, QPrinter &printer, const PrinterCalibration &calibration);

} // namespace CardPrint
