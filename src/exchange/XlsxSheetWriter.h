#pragma once

#include "SheetWriter.h"

#include <QByteArray>
#include <QList>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// An XLSX workbook of one sheet through libxlsxwriter, row by row in its constant
// memory mode: a bold header row kept in view, number cells for whole numbers,
// amounts as number cells shown with two decimals, dates as date cells shown
// yyyy-mm-dd, Yes/No as the words, and each column as wide as its longest value
// (within reason). Written to a file beside the target and renamed over it at
// finish().
class XlsxSheetWriter final : public SheetWriter
{
public:
    XlsxSheetWriter(const QString &file, const QList<SheetColumn> &columns);
    ~XlsxSheetWriter() override;

    void writeRow(const QVariantList &values) override;
    void finish() override;

private:
    void check(int error, const char *what) const;
    void widen(int column, qsizetype characters);

    QString m_file;
    QString m_partFile;
    QByteArray m_partName; // kept alive for libxlsxwriter
    QList<SheetColumn> m_columns;
    QList<int> m_widths;
    lxw_workbook *m_book = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    lxw_format *m_header = nullptr;
    lxw_format *m_amount = nullptr;
    lxw_format *m_date = nullptr;
    quint32 m_row = 0;
};
