#pragma once

#include "SheetTable.h"

#include <QString>

// A file of attendees, whatever it is: an XLSX workbook (known by its zip
// signature, not its name) or CSV text in any of the encodings TextDecoding knows.
// Everything else (an empty file, an old .xls workbook, binary junk) is an
// ExchangeError::import that says what the file is and what to do.
namespace SheetReader {

SheetTable read(const QString &file);

} // namespace SheetReader
