#pragma once

#include <QString>

class QPainter;
class QPrinter;

// A printer's correction, kept per printer (by its name) in the settings store:
// how far to move what is printed across and down, in millimetres, and how much
// to scale it, in percent. Card printers and office printers shift and scale what
// they print by a few millimetres; the user reads the error from the calibration
// page and types it here once, and every print from that printer (one card, a
// batch, sheets) is corrected the same way.
struct PrinterCalibration
{
    double offsetXMm = 0;   // positive moves the print right
    double offsetYMm = 0;   // positive moves the print down
    double scalePercent = 100;

    bool isIdentity() const { return offsetXMm == 0 && offsetYMm == 0 && scalePercent == 100; }

    // The values stored for `printerName` (section "Calibration\<name encoded>",
    // keys "OffsetX", "OffsetY", "Scale"); none stored or unreadable: no correction.
    static PrinterCalibration load(const QString &printerName);
    void save(const QString &printerName) const;
    // The correction for what `printer` prints: its printer's stored one, none for a PDF file.
    static PrinterCalibration of(const QPrinter &printer);
    // The section a printer's values live in: the name percent-encoded, so that
    // the backslashes, slashes, "=" and "#" a printer name may hold neither nest
    // sections nor break the INI file.
    static QString section(const QString &printerName);

    // Moves and scales `painter` (whose origin is the page's top-left corner) on a
    // device of this resolution: scale about the page's corner, then the offset.
    void apply(QPainter &painter, double dpiX, double dpiY) const;

    // The limits the dialog allows: beyond them the value is a typing slip, not a printer's error.
    static constexpr double MaxOffsetMm = 20;
    static constexpr double MinScale = 80;
    static constexpr double MaxScale = 120;
};
