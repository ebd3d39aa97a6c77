#include "XlsxSheetWriter.h"

#include "ExchangeError.h"
#include "data/Currency.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <filesystem>
#include <xlsxwriter.h>

namespace {

constexpr int MinWidth = 8;
constexpr int MaxWidth = 60;

} // namespace

XlsxSheetWriter::XlsxSheetWriter(const QString &file, const QList<SheetColumn> &columns)
    : m_file(file)
    , m_columns(columns)
{
    const QFileInfo info(file);
    m_partFile = info.absoluteDir().filePath(QStringLiteral(".%1.%2.part")
                                                 .arg(info.fileName(), QUuid::createUuid().toString(QUuid::Id128)));
    m_partName = QFile::encodeName(m_partFile);
    lxw_workbook_options options {};
    options.constant_memory = LXW_TRUE;
    options.use_zip64 = LXW_TRUE;
    m_book = workbook_new_opt(m_partName.constData(), &options);
    if (!m_book)
        throw ExchangeError::exporting(QStringLiteral("\"%1\" cannot be written. Choose another folder and export "
                                                      "again.")
                                           .arg(QDir::toNativeSeparators(file)));
    m_sheet = workbook_add_worksheet(m_book, nullptr);
    m_header = workbook_add_format(m_book);
    format_set_bold(m_header);
    m_amount = workbook_add_format(m_book);
    format_set_num_format(m_amount, "#,##0.00");
    m_date = workbook_add_format(m_book);
    format_set_num_format(m_date, "yyyy-mm-dd");
    worksheet_freeze_panes(m_sheet, 1, 0);

    for (int i = 0; i < columns.size(); ++i) {
        const QByteArray header = columns.at(i).header.toUtf8();
        check(worksheet_write_string(m_sheet, 0, lxw_col_t(i), header.constData(), m_header), "the header");
        m_widths << MinWidth;
        widen(i, columns.at(i).header.size() + 2);
    }
    m_row = 1;
}

XlsxSheetWriter::~XlsxSheetWriter()
{
    if (m_book) { // not finished: write nothing where the user looks
        workbook_close(m_book);
        QFile::remove(m_partFile);
    }
}

void XlsxSheetWriter::check(int error, const char *what) const
{
    if (error == LXW_NO_ERROR)
        return;
    throw ExchangeError::exporting(QStringLiteral("Row %1 of \"%2\" could not be written (%3: %4).")
                                       .arg(m_row + 1)
                                       .arg(QDir::toNativeSeparators(m_file), QLatin1String(what),
                                            QString::fromUtf8(lxw_strerror(lxw_error(error)))));
}

void XlsxSheetWriter::widen(int column, qsizetype characters)
{
    m_widths[column] = qBound(m_widths.at(column), int(characters), MaxWidth);
}

void XlsxSheetWriter::writeRow(const QVariantList &values)
{
    for (int i = 0; i < m_columns.size(); ++i) {
        const QVariant value = i < values.size() ? values.at(i) : QVariant();
        if (value.isNull())
            continue;
        const lxw_col_t column = lxw_col_t(i);
        switch (m_columns.at(i).kind) {
        case ColumnKind::Text: {
            const QString text = value.toString();
            if (text.isEmpty())
                break;
            check(worksheet_write_string(m_sheet, m_row, column, text.toUtf8().constData(), nullptr), "text");
            widen(i, text.size() + 1);
            break;
        }
        case ColumnKind::Integer:
            check(worksheet_write_number(m_sheet, m_row, column, double(value.toLongLong()), nullptr), "a number");
            widen(i, QString::number(value.toLongLong()).size() + 1);
            break;
        case ColumnKind::Currency: {
            // ten-thousandths as a double: every amount to the cent (and below
            // 10^11) is the double nearest its decimal, read back exactly.
            const qint64 raw = value.value<Currency>().raw();
            check(worksheet_write_number(m_sheet, m_row, column, double(raw) / 10000.0, m_amount), "an amount");
            widen(i, QString::number(raw / 10000).size() + 5);
            break;
        }
        case ColumnKind::Date: {
            const QDate date = value.toDate();
            if (date.year() < 1900) { // before the first day a workbook can hold: the text
                check(worksheet_write_string(m_sheet, m_row, column, date.toString(Qt::ISODate).toUtf8().constData(),
                                             nullptr),
                      "a date");
                break;
            }
            lxw_datetime when {date.year(), date.month(), date.day(), 0, 0, 0};
            check(worksheet_write_datetime(m_sheet, m_row, column, &when, m_date), "a date");
            widen(i, 11);
            break;
        }
        case ColumnKind::YesNo:
            check(worksheet_write_string(m_sheet, m_row, column, value.toBool() ? "Yes" : "No", nullptr), "Yes/No");
            break;
        }
    }
    ++m_row;
}

void XlsxSheetWriter::finish()
{
    for (int i = 0; i < m_widths.size(); ++i)
        worksheet_set_column(m_sheet, lxw_col_t(i), lxw_col_t(i), m_widths.at(i), nullptr);
    const lxw_error closed = workbook_close(m_book);
    m_book = nullptr;
    std::error_code error;
    if (closed == LXW_NO_ERROR)
        std::filesystem::rename(m_partName.constData(), QFile::encodeName(m_file).constData(), error);
    if (closed != LXW_NO_ERROR || error) {
        QFile::remove(m_partFile);
        throw ExchangeError::exporting(
            QStringLiteral("\"%1\" could not be written (%2). Choose another folder or file name, or close the file "
                           "where it is open, and export again.")
                .arg(QDir::toNativeSeparators(m_file),
                     closed != LXW_NO_ERROR ? QString::fromUtf8(lxw_strerror(closed))
                                            : QString::fromStdString(error.message())));
    }
}
