#pragma once

#include "SheetWriter.h"

#include <QByteArray>
#include <QSaveFile>

// CSV as spreadsheets open it without asking: UTF-8 with a byte-order mark,
// commas, CR LF line ends, a value in double quotes (quotes doubled) when it holds
// a comma, a quote, a line break or blanks at either end. Amounts are exact
// decimals with a point ("12.50"), dates yyyy-MM-dd.
class CsvSheetWriter final : public SheetWriter
{
public:
    CsvSheetWriter(const QString &file, const QList<SheetColumn> &columns);

    void writeRow(const QVariantList &values) override;
    void finish() override;

private:
    void appendText(const QString &text);
    void endLine();
    void flushIfFull();

    QString m_file;
    QList<SheetColumn> m_columns;
    QSaveFile m_out;
    QByteArray m_buffer;
    QString m_line;
};
