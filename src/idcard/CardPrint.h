#pragma once

#include <QSize>

class QPrinter;
struct CardFace;
struct CardLayout;

// One card on one page of exactly the card's size: the page is set to the
// card's extent in twips (1440 to the inch; a PDF page rounds it to whole
// points), full page with no margins, and the card is painted with CardPainter
// from the page's top-left corner at true size, so text stays text.
namespace CardPrint {

// Sets the page to `twips`, full page, no margins. False when the printer refuses the size.
bool setUpPage(QPrinter &printer, const QSize &twips);

// Prints the card on its own page (and ends the job, sending the page). False
// when the printer could not start (no such printer, unwritable file).
bool print(const CardLayout &layout, const CardFace &face, QPrinter &printer);

} // namespace CardPrint
