#pragma once

#include "SheetTable.h"

#include <QChar>
#include <QString>

// Comma-separated values as spreadsheets and online forms write them: fields in
// double quotes may hold the separator, doubled quotes and line breaks; lines end
// in CR LF, LF or CR. The separator (comma, semicolon, tab or bar) is found from
// the file: the one that splits the header into most columns and the first rows
// into as many.
namespace CsvReader {

QChar detectSeparator(QStringView text);

// The header (the first line that is not blank) and the rows below it; blank lines
// are left out. A quoted field never closed is an error (ExchangeError::import)
// naming the line it starts on: the rest of the file would be one field.
SheetTable read(QStringView text);

} // namespace CsvReader
