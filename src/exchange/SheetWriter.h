#pragma once

#include <QList>
#include <QString>
#include <QVariantList>
#include <memory>

// How a column's values are written: text, whole numbers, amounts (exact
// decimals, two places shown), dates (date cells in a workbook, yyyy-MM-dd in
// CSV) and Yes/No ("Yes", "No").
enum class ColumnKind { Text, Integer, Currency, Date, YesNo };

struct SheetColumn
{
    QString header;
    ColumnKind kind;
};

// Writes one sheet, a header row and then rows of values (QString, qint64,
// Currency, QDate, bool; null is an empty cell), to a CSV or XLSX file. The file
// appears whole at finish() (written beside it, then put in its place); a writer
// destroyed before finish() leaves no file and an existing one as it was.
class SheetWriter
{
public:
    virtual ~SheetWriter() = default;

    // The writer the file's extension asks for: .csv or .xlsx (any case); an
    // ExchangeError::exporting for anything else.
    static std::unique_ptr<SheetWriter> forFile(const QString &file, const QList<SheetColumn> &columns);

    virtual void writeRow(const QVariantList &values) = 0;
    virtual void finish() = 0;
};
