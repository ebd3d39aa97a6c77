#pragma once

#include <QSize>
#include <QString>

class QPainter;
class QPrinter;
struct PrinterCalibration;

// The page a printer is calibrated with: the card's size, with millimetre rulers
// along the four edges (numbered from the nearer end, so the number where the
// paper's edge cuts a ruler is how far the print must move), crosshairs at the
// card's corners, a 50 mm bar for the scale, and what to type. It is printed
// with the correction being tried, so printing again shows whether it is right.
namespace CalibrationPage {

// Draws the page of a card of `cardTwips` on a device of this resolution, the
// painter's origin at the page's corner; `tried` and `printerName` are written on it.
void paint(QPainter &painter, const QSize &cardTwips, double dpiX, double dpiY, const PrinterCalibration &tried,
           const QString &printerName);

// Prints the page on `printer` corrected by `tried`: false when the printer could not start.
bool print(QPrinter &printer, const QSize &cardTwips, const PrinterCalibration &tried);

// The length of the scale bar.
inline constexpr double ScaleBarMm = 50;

} // namespace CalibrationPage
