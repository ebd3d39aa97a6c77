#pragma once

#include "SheetTable.h"

#include <QString>

// The first worksheet of an XLSX workbook (a zip of XML parts), read with libzip
// and Qt's XML stream reader: shared and inline strings, numbers, booleans, and
// numbers shown as dates (by the cell's number format, built in or the workbook's
// own) turned into dates in the workbook's date system (1900 or 1904). Formulas
// give their cached value.
namespace XlsxReader {

// The header (the first row with a value) and the rows below it, each with its
// row number; empty rows are left out. A file that is not a whole workbook
// (cut short, damaged, no worksheet) is an ExchangeError::import that says so.
// The worksheet is read in stretches of `stretchBytes` at least, on several
// threads at once (a smaller size lets a test read a small sheet so).
SheetTable read(const QString &file, qsizetype stretchBytes = 4 << 20);

} // namespace XlsxReader
