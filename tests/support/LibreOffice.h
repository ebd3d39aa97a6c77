#pragma once

#include <QString>

// LibreOffice run headless as the independent reader and writer of spreadsheets:
// what it makes of our files, and files it wrote itself. Each test program runs it
// with a profile folder of its own, so no user's settings take part.
namespace LibreOffice {

// Converts `file` into `outFolder` (`convertTo` as soffice --convert-to takes it:
// "xlsx", or "csv:Text - txt - csv (StarCalc):OPTIONS"); a CSV input is read with
// `inFilter` ("CSV:OPTIONS") when given. The converted file, or an empty string
// after a warning with what soffice said.
QString convert(const QString &file, const QString &convertTo, const QString &outFolder,
                const QString &inFilter = QString());

} // namespace LibreOffice
