#include "CsvSheetWriter.h"

#include "ExchangeError.h"
#include "data/Currency.h"
#include "data/ValueCodec.h"

#include <QDate>
#include <QDir>

namespace {

AppError cannotWrite(const QString &file, const QString &why)
{
    return ExchangeError::exporting(QStringLiteral("\"%1\" cannot be written: %2. Choose another folder or file "
                                                   "name, or close the file where it is open, and export again.")
                                        .arg(QDir::toNativeSeparators(file), why));
}

} // namespace

CsvSheetWriter::CsvSheetWriter(const QString &file, const QList<SheetColumn> &columns)
    : m_file(file)
    , m_columns(columns)
    , m_out(file)
{
    if (!m_out.open(QIODevice::WriteOnly))
        throw cannotWrite(file, m_out.errorString());
    m_buffer.reserve(1 << 20);
    m_buffer.append("\xEF\xBB\xBF");
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (i > 0)
            m_line += u',';
        appendText(columns.at(i).header);
    }
    endLine();
}

// A row is put together as text and turned into UTF-8 once: one conversion a row
// rather than one a value.
void CsvSheetWriter::endLine()
{
    m_line += QStringLiteral("\r\n");
    m_buffer.append(m_line.toUtf8());
    m_line.clear();
}

void CsvSheetWriter::appendText(const QString &text)
{
    bool quote = !text.isEmpty() && (text.front().isSpace() || text.back().isSpace());
    for (const QChar c : text) {
        if (c == u',' || c == u'"' || c == u'\n' || c == u'\r') {
            quote = true;
            break;
        }
    }
    if (!quote) {
        m_line += text;
        return;
    }
    m_line += u'"';
    for (const QChar c : text) {
        if (c == u'"')
            m_line += u'"';
        m_line += c;
    }
    m_line += u'"';
}

void CsvSheetWriter::writeRow(const QVariantList &values)
{
    for (qsizetype i = 0; i < m_columns.size(); ++i) {
        if (i > 0)
            m_line += u',';
        const QVariant value = i < values.size() ? values.at(i) : QVariant();
        if (value.isNull())
            continue;
        switch (m_columns.at(i).kind) {
        case ColumnKind::Text: appendText(value.toString()); break;
        case ColumnKind::Integer: m_line += QString::number(value.toLongLong()); break;
        case ColumnKind::Currency: m_line += value.value<Currency>().toString(); break;
        case ColumnKind::Date: m_line += ValueCodec::formatDate(value.toDate()); break;
        case ColumnKind::YesNo: m_line += value.toBool() ? QStringLiteral("Yes") : QStringLiteral("No"); break;
        }
    }
    endLine();
    flushIfFull();
}

void CsvSheetWriter::flushIfFull()
{
    if (m_buffer.size() < (1 << 20))
        return;
    if (m_out.write(m_buffer) != m_buffer.size())
        throw cannotWrite(m_file, m_out.errorString());
    m_buffer.clear();
}

void CsvSheetWriter::finish()
{
    if (m_out.write(m_buffer) != m_buffer.size() || !m_out.commit())
        throw cannotWrite(m_file, m_out.errorString());
    m_buffer.clear();
}
