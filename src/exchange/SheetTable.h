#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// One row of a sheet read from a file: its cells as text and the line (CSV) or
// row number (XLSX) it starts on, which the import report names.
struct SheetRow
{
    int line = 0;
    QStringList cells;
};

// A sheet read from a CSV or XLSX file: the header row, then the rows below it.
// Cells are text: numbers in their shortest exact form, dates as yyyy-MM-dd
// (yyyy-MM-dd hh:mm:ss with a time of day), so one set of rules reads both kinds.
struct SheetTable
{
    QStringList header;
    std::vector<SheetRow> rows;
    QString format; // "CSV (comma, UTF-8)", "XLSX": what the preview tells the user
};
