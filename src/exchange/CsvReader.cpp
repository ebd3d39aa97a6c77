#include "CsvReader.h"

#include "ExchangeError.h"

namespace {

constexpr QChar Quote = u'"';

// Reads one record at a time; counts physical lines so each row names the line
// it starts on.
class CsvParser
{
public:
    CsvParser(QStringView text, QChar separator)
        : m_text(text)
        , m_separator(separator)
    {
    }

    bool atEnd() const { return m_pos >= m_text.size(); }
    int line() const { return m_line; }

    // The next record's fields; `unclosed` is set when a quoted field ran to the end.
    QStringList next(int &startLine, bool &unclosed)
    {
        QStringList fields;
        startLine = m_line;
        unclosed = false;
        QString field;
        const qsizetype size = m_text.size();
        while (true) {
            if (m_pos < size && m_text[m_pos] == Quote) {
                ++m_pos;
                const int quoteLine = m_line;
                bool closed = false;
                while (m_pos < size) {
                    // Copy the run up to the next quote in one piece.
                    qsizetype end = m_text.indexOf(Quote, m_pos);
                    if (end < 0)
                        end = size;
                    const QStringView run = m_text.mid(m_pos, end - m_pos);
                    m_line += int(run.count(u'\n')) + countLoneCr(run);
                    field += run;
                    m_pos = end;
                    if (m_pos >= size)
                        break;
                    if (m_pos + 1 < size && m_text[m_pos + 1] == Quote) {
                        field += Quote;
                        m_pos += 2;
                        continue;
                    }
                    ++m_pos;
                    closed = true;
                    break;
                }
                if (!closed) {
                    unclosed = true;
                    startLine = quoteLine;
                    fields << field;
                    return fields;
                }
                // Anything between the closing quote and the separator stays with the field.
                while (m_pos < size && m_text[m_pos] != m_separator && !isLineEnd(m_text[m_pos]))
                    field += m_text[m_pos++];
            } else {
                const qsizetype start = m_pos;
                while (m_pos < size && m_text[m_pos] != m_separator && !isLineEnd(m_text[m_pos]))
                    ++m_pos;
                field += m_text.mid(start, m_pos - start);
            }
            fields << field;
            field.clear();
            if (m_pos >= size)
                return fields;
            if (m_text[m_pos] == m_separator) {
                ++m_pos;
                if (m_pos >= size) { // a separator at the very end: one more empty field
                    fields << QString();
                    return fields;
                }
                continue;
            }
            skipLineEnd();
            return fields;
        }
    }

private:
    static bool isLineEnd(QChar c) { return c == u'\n' || c == u'\r'; }
    static int countLoneCr(QStringView run)
    {
        int lone = 0;
        for (qsizetype i = 0; i < run.size(); ++i)
            if (run[i] == u'\r' && (i + 1 >= run.size() || run[i + 1] != u'\n'))
                ++lone;
        return lone;
    }
    void skipLineEnd()
    {
        if (m_text[m_pos] == u'\r' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == u'\n')
            ++m_pos;
        ++m_pos;
        ++m_line;
    }

    QStringView m_text;
    QChar m_separator;
    qsizetype m_pos = 0;
    int m_line = 1;
};

bool isBlank(const QStringList &fields)
{
    return fields.size() == 1 && fields.constFirst().trimmed().isEmpty();
}

} // namespace

QChar CsvReader::detectSeparator(QStringView text)
{
    // The first rows are enough; a file of one huge line is cut short (an unclosed
    // quote at the cut is no matter here).
    const QStringView sample = text.left(64 * 1024);
    QChar best = u',';
    int bestConsistent = -1;
    int bestColumns = 1;
    for (const QChar candidate : {u',', u';', u'\t', u'|'}) {
        CsvParser parser(sample, candidate);
        int startLine = 0;
        bool unclosed = false;
        int columns = 0;
        int consistent = 0;
        for (int records = 0; records < 20 && !parser.atEnd();) {
            const QStringList fields = parser.next(startLine, unclosed);
            if (unclosed)
                break;
            if (isBlank(fields))
                continue;
            if (records++ == 0)
                columns = int(fields.size());
            else if (fields.size() == columns)
                ++consistent;
        }
        if (columns <= 1)
            continue;
        if (consistent > bestConsistent || (consistent == bestConsistent && columns > bestColumns)) {
            best = candidate;
            bestConsistent = consistent;
            bestColumns = columns;
        }
    }
    return best;
}

SheetTable CsvReader::read(QStringView text)
{
    const QChar separator = detectSeparator(text);
    SheetTable table;
    CsvParser parser(text, separator);
    bool haveHeader = false;
    while (!parser.atEnd()) {
        int startLine = 0;
        bool unclosed = false;
        QStringList fields = parser.next(startLine, unclosed);
        if (unclosed)
            throw ExchangeError::import(
                QStringLiteral("The quoted value that starts on line %1 is never closed, so the rest of the file "
                               "would be one value. Nothing was imported. Add the missing \" in the file (or save "
                               "it again from the spreadsheet) and import again.")
                    .arg(startLine));
        if (isBlank(fields))
            continue;
        if (!haveHeader) {
            table.header = std::move(fields);
            haveHeader = true;
        } else {
            table.rows.push_back({startLine, std::move(fields)});
        }
    }
    static const char *const names[] = {"comma", "semicolon", "tab", "bar"};
    const int which = separator == u',' ? 0 : separator == u';' ? 1 : separator == u'\t' ? 2 : 3;
    table.format = QStringLiteral("CSV, %1-separated").arg(QLatin1String(names[which]));
    return table;
}
