#include "PrinterCalibration.h"

#include "core/Settings.h"

#include <QPainter>
#include <QPrinter>
#include <QUrl>

#include <cmath>

namespace {

const QString OffsetX = QStringLiteral("OffsetX");
const QString OffsetY = QStringLiteral("OffsetY");
const QString Scale = QStringLiteral("Scale");

// A stored number within its limits, else `fallback` (a hand-edited store must
// not throw every print off the card).
double readNumber(const QString &section, const QString &key, double low, double high, double fallback)
{
    bool ok = false;
    const double value = Settings::get(section, key).trimmed().toDouble(&ok);
    return ok && std::isfinite(value) && value >= low && value <= high ? value : fallback;
}

} // namespace

QString PrinterCalibration::section(const QString &printerName)
{
    // A space is kept as it is, for a readable file; everything else outside
    // letters, digits and "-._~" becomes %XX of its UTF-8 bytes.
    return QStringLiteral("Calibration\\")
        + QString::fromLatin1(QUrl::toPercentEncoding(printerName, QByteArrayLiteral(" ")));
}

PrinterCalibration PrinterCalibration::load(const QString &printerName)
{
    PrinterCalibration calibration;
    if (printerName.isEmpty())
        return calibration;
    const QString group = section(printerName);
    calibration.offsetXMm = readNumber(group, OffsetX, -MaxOffsetMm, MaxOffsetMm, 0);
    calibration.offsetYMm = readNumber(group, OffsetY, -MaxOffsetMm, MaxOffsetMm, 0);
    calibration.scalePercent = readNumber(group, Scale, MinScale, MaxScale, 100);
    return calibration;
}

void PrinterCalibration::save(const QString &printerName) const
{
    const QString group = section(printerName);
    Settings::save(group, OffsetX, QString::number(offsetXMm, 'f', 1));
    Settings::save(group, OffsetY, QString::number(offsetYMm, 'f', 1));
    Settings::save(group, Scale, QString::number(scalePercent, 'f', 1));
}

PrinterCalibration PrinterCalibration::of(const QPrinter &printer)
{
    if (printer.outputFormat() != QPrinter::NativeFormat)
        return {};
    return load(printer.printerName());
}

void PrinterCalibration::apply(QPainter &painter, double dpiX, double dpiY) const
{
    if (isIdentity())
        return;
    painter.translate(offsetXMm / 25.4 * dpiX, offsetYMm / 25.4 * dpiY);
    painter.scale(scalePercent / 100.0, scalePercent / 100.0);
}
