#include "XlsxReader.h"

#include "ExchangeError.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QXmlStreamReader>
#include <cmath>
#include <exception>
#include <functional>
#include <thread>
#include <zip.h>

namespace {

// A part bigger than this is no attendee list: refuse it instead of filling memory.
constexpr zip_uint64_t MaxPartSize = 512ull * 1024 * 1024;
constexpr int MaxColumns = 16384; // the widest sheet a spreadsheet makes

AppError damaged(const QString &file, const QString &what)
{
    return ExchangeError::import(
        QStringLiteral("\"%1\" is not a whole XLSX workbook (%2). Nothing was imported. Open it in the spreadsheet "
                       "program, save it again as .xlsx (or .csv), and import that file.")
            .arg(QDir::toNativeSeparators(file), what));
}

class ZipArchive
{
public:
    explicit ZipArchive(const QString &file)
        : m_file(file)
    {
        int error = 0;
        m_zip = zip_open(QFile::encodeName(file).constData(), ZIP_RDONLY, &error);
        if (!m_zip)
            throw damaged(file, QStringLiteral("its table of contents is missing or damaged; it may be cut short"));
    }
    ~ZipArchive() { zip_discard(m_zip); }
    ZipArchive(const ZipArchive &) = delete;
    ZipArchive &operator=(const ZipArchive &) = delete;

    bool has(const QString &name) const { return index(name) >= 0; }

    // The whole part; empty when there is none. A part that does not read back
    // whole (checksum, cut short) is an error.
    QByteArray part(const QString &name) const
    {
        const zip_int64_t at = index(name);
        if (at < 0)
            return {};
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(m_zip, zip_uint64_t(at), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
            throw damaged(m_file, QStringLiteral("the part %1 cannot be read").arg(name));
        if (stat.size > MaxPartSize)
            throw damaged(m_file, QStringLiteral("the part %1 is larger than any attendee list").arg(name));
        zip_file_t *part = zip_fopen_index(m_zip, zip_uint64_t(at), 0);
        if (!part)
            throw damaged(m_file, QStringLiteral("the part %1 cannot be opened").arg(name));
        QByteArray bytes(qsizetype(stat.size), Qt::Uninitialized);
        zip_int64_t read = 0;
        while (read < zip_int64_t(stat.size)) {
            const zip_int64_t got = zip_fread(part, bytes.data() + read, stat.size - zip_uint64_t(read));
            if (got <= 0)
                break;
            read += got;
        }
        // The checksum is checked when the end is reached: read once more to see it.
        char extra = 0;
        const bool whole = read == zip_int64_t(stat.size) && zip_fread(part, &extra, 1) == 0;
        zip_fclose(part);
        if (!whole)
            throw damaged(m_file, QStringLiteral("the part %1 is damaged or cut short").arg(name));
        return bytes;
    }

private:
    zip_int64_t index(const QString &name) const
    {
        return zip_name_locate(m_zip, name.toUtf8().constData(), ZIP_FL_NOCASE);
    }

    QString m_file;
    zip_t *m_zip = nullptr;
};

// The text of an <si> or <is>: its <t> runs, without the phonetic guides (<rPh>).
QString richText(QXmlStreamReader &xml, QLatin1String endName)
{
    QString text;
    int phonetic = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"rPh")
                ++phonetic;
            else if (xml.name() == u"t" && phonetic == 0)
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (xml.isEndElement()) {
            if (xml.name() == u"rPh")
                --phonetic;
            else if (xml.name() == endName)
                break;
        }
    }
    return text;
}

void checkXml(const QXmlStreamReader &xml, const QString &file, const QString &part)
{
    if (xml.hasError())
        throw damaged(file, QStringLiteral("the part %1 is not well-formed XML: %2 at line %3")
                                .arg(part, xml.errorString())
                                .arg(xml.lineNumber()));
}

bool isDateFormatCode(QString code)
{
    // Leave out quoted text, escaped characters and [colour]/[$-locale] sections.
    QString plain;
    bool quoted = false;
    int bracket = 0;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (quoted) {
            quoted = c != u'"';
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i; // the next character is shown as it is (or is padding)
        } else if (c == u'[') {
            ++bracket;
        } else if (c == u']') {
            bracket = qMax(0, bracket - 1);
        } else if (bracket == 0) {
            plain += c.toLower();
        }
    }
    for (const QChar c : plain)
        if (c == u'd' || c == u'm' || c == u'y' || c == u'h' || c == u's')
            return true;
    return false;
}

bool isBuiltInDateFormat(int id)
{
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) || (id >= 50 && id <= 58)
        || (id >= 71 && id <= 81);
}

// Which cell styles (indexes into cellXfs) show their number as a date or time.
QList<bool> dateStyles(const QByteArray &styles, const QString &file)
{
    QHash<int, bool> customIsDate;
    QList<bool> result;
    if (styles.isEmpty())
        return result;
    QXmlStreamReader xml(styles);
    bool inCellXfs = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"numFmt") {
                const auto a = xml.attributes();
                customIsDate.insert(a.value(QLatin1String("numFmtId")).toInt(), isDateFormatCode(a.value(QLatin1String("formatCode")).toString()));
            } else if (xml.name() == u"cellXfs") {
                inCellXfs = true;
            } else if (inCellXfs && xml.name() == u"xf") {
                const int id = xml.attributes().value(QLatin1String("numFmtId")).toInt();
                result << customIsDate.value(id, isBuiltInDateFormat(id));
            }
        } else if (xml.isEndElement() && xml.name() == u"cellXfs") {
            inCellXfs = false;
        }
    }
    checkXml(xml, file, QStringLiteral("xl/styles.xml"));
    return result;
}

QStringList sharedStrings(const QByteArray &part, const QString &file)
{
    QStringList strings;
    if (part.isEmpty())
        return strings;
    QXmlStreamReader xml(part);
    xml.setNamespaceProcessing(false);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"si")
            strings << richText(xml, QLatin1String("si"));
    }
    checkXml(xml, file, QStringLiteral("xl/sharedStrings.xml"));
    return strings;
}

struct Workbook
{
    bool date1904 = false;
    QString firstSheet; // the part name of the first worksheet
};

Workbook workbook(const ZipArchive &zip, const QString &file)
{
    Workbook book;
    QString firstId;
    {
        QXmlStreamReader xml(zip.part(QStringLiteral("xl/workbook.xml")));
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement())
                continue;
            if (xml.name() == u"workbookPr") {
                const QStringView flag = xml.attributes().value(QLatin1String("date1904"));
                book.date1904 = flag == u"1" || flag == u"true";
            } else if (xml.name() == u"sheet" && firstId.isEmpty()) {
                for (const QXmlStreamAttribute &a : xml.attributes())
                    if (a.name() == u"id")
                        firstId = a.value().toString();
            }
        }
        checkXml(xml, file, QStringLiteral("xl/workbook.xml"));
    }
    QXmlStreamReader rels(zip.part(QStringLiteral("xl/_rels/workbook.xml.rels")));
    while (!rels.atEnd() && !firstId.isEmpty()) {
        rels.readNext();
        if (rels.isStartElement() && rels.name() == u"Relationship"
            && rels.attributes().value(QLatin1String("Id")) == firstId) {
            const QString target = rels.attributes().value(QLatin1String("Target")).toString();
            book.firstSheet = target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target;
        }
    }
    if (book.firstSheet.isEmpty() || !zip.has(book.firstSheet))
        book.firstSheet = QStringLiteral("xl/worksheets/sheet1.xml");
    if (!zip.has(book.firstSheet))
        throw damaged(file, QStringLiteral("it has no worksheet"));
    return book;
}

// "AB12" -> 27 (zero-based column); -1 when the reference has no letters.
int columnOf(QStringView reference)
{
    int column = 0;
    int letters = 0;
    for (const QChar c : reference) {
        if (c >= u'A' && c <= u'Z')
            column = column * 26 + (c.unicode() - u'A' + 1);
        else
            break;
        if (++letters > 3)
            return MaxColumns;
    }
    return letters == 0 ? -1 : column - 1;
}

QString numberText(QStringView raw)
{
    bool ok = false;
    const double value = raw.toDouble(&ok);
    if (!ok)
        return raw.toString();
    if (std::isfinite(value) && std::floor(value) == value && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', 15); // the digits a spreadsheet shows
}

QString dateText(QStringView raw, bool date1904)
{
    bool ok = false;
    const double serial = raw.toDouble(&ok);
    if (!ok || !std::isfinite(serial) || serial < 0 || serial > 2958466) // beyond 9999-12-31
        return raw.toString();
    qint64 days = qint64(std::floor(serial));
    qint64 seconds = std::llround((serial - double(days)) * 86400.0);
    if (seconds >= 86400) {
        ++days;
        seconds -= 86400;
    }
    const QString time = QStringLiteral("%1:%2:%3")
                             .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
                             .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                             .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    if (days == 0 && !date1904)
        return time; // a time of day alone
    // The 1900 system counts a 29 February 1900 that never was: from day 61 on, one day less.
    const QDate date = date1904 ? QDate(1904, 1, 1).addDays(days)
                                : (days < 61 ? QDate(1899, 12, 31).addDays(days) : QDate(1899, 12, 30).addDays(days));
    const QString text = date.toString(Qt::ISODate);
    return seconds == 0 ? text : text + u' ' + time;
}

// One row as the worksheet holds it; the cells that name a shared text hold its
// index until the shared texts are read (they are read at the same time).
struct ParsedRow
{
    int number = 0; // 0 when the row does not say: the one after the row before
    QStringList cells;
    QList<std::pair<int, qsizetype>> shared; // column, index of its shared text
};

// Reads the rows of one stretch of the worksheet's <sheetData>. Namespace
// processing is off (the parts use the default namespace), which the reader
// does faster.
class RowParser
{
public:
    RowParser(const QList<bool> &dates, bool date1904, const QString &file)
        : m_dates(dates)
        , m_date1904(date1904)
        , m_file(file)
    {
    }

    std::vector<ParsedRow> parse(const QByteArray &xmlText)
    {
        std::vector<ParsedRow> rows;
        QXmlStreamReader xml(xmlText);
        xml.setNamespaceProcessing(false);
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"row")
                continue;
            const int number = xml.attributes().value(QLatin1String("r")).toInt(); // 0: not given
            ParsedRow row = readRow(xml);
            row.number = number;
            rows.push_back(std::move(row)); // an empty row still counts for the numbering
        }
        checkXml(xml, m_file, QStringLiteral("the worksheet"));
        return rows;
    }

private:
    ParsedRow readRow(QXmlStreamReader &xml)
    {
        ParsedRow row;
        int column = -1;
        while (!xml.atEnd()) {
            const auto token = xml.readNext();
            if (token == QXmlStreamReader::EndElement && xml.name() == u"row")
                break;
            if (token != QXmlStreamReader::StartElement || xml.name() != u"c")
                continue;
            const QXmlStreamAttributes a = xml.attributes();
            const int at = columnOf(a.value(QLatin1String("r")));
            column = at < 0 ? column + 1 : at;
            if (column >= MaxColumns)
                throw damaged(m_file, QStringLiteral("a cell lies beyond the last column a sheet can have"));
            const QStringView type = a.value(QLatin1String("t"));
            const int style = a.value(QLatin1String("s")).toInt();
            qsizetype shared = -1;
            QString value = readCell(xml, type, style, shared);
            if (value.isEmpty() && shared < 0)
                continue;
            while (row.cells.size() <= column)
                row.cells << QString();
            row.cells[column] = std::move(value);
            if (shared >= 0)
                row.shared.append({column, shared});
        }
        return row;
    }

    // The cell's text; for a shared text its index in `shared` instead, resolved
    // when the shared texts are read (no text is made for it here).
    QString readCell(QXmlStreamReader &xml, QStringView type, int style, qsizetype &shared)
    {
        const bool sharedText = type == u"s";
        QString raw;
        QString inlineText;
        while (!xml.atEnd()) {
            const auto token = xml.readNext();
            if (token == QXmlStreamReader::EndElement && xml.name() == u"c")
                break;
            if (token != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == u"v" && sharedText) {
                xml.readNext();
                bool ok = false;
                shared = xml.isCharacters() ? xml.text().toLongLong(&ok) : -1;
                if (!ok || shared < 0)
                    throw damaged(m_file, QStringLiteral("a cell names a shared text that does not exist"));
            } else if (xml.name() == u"v") {
                raw = xml.readElementText();
            } else if (xml.name() == u"is") {
                inlineText = richText(xml, QLatin1String("is"));
            }
        }
        if (type == u"inlineStr")
            return inlineText;
        if (sharedText)
            return {};
        if (type == u"b")
            return raw == u"1" ? QStringLiteral("Yes") : QStringLiteral("No");
        if (type == u"str" || type == u"e" || type == u"d")
            return raw;
        if (raw.isEmpty())
            return raw;
        if (style >= 0 && style < m_dates.size() && m_dates.at(style))
            return dateText(raw, m_date1904);
        return numberText(raw);
    }

    const QList<bool> &m_dates;
    bool m_date1904;
    QString m_file;
};

// The worksheet's <sheetData> cut at row starts into about `parts` stretches, each
// a small document of its own, so that they are read on several cores. A sheet
// written otherwise (prefixed names, no rows) stays one whole document.
QList<QByteArray> rowStretches(const QByteArray &sheet, int parts)
{
    const qsizetype open = sheet.indexOf("<sheetData");
    const qsizetype body = open < 0 ? -1 : sheet.indexOf('>', open) + 1;
    const qsizetype close = sheet.lastIndexOf("</sheetData>");
    if (parts < 2 || body <= 0 || close < body || sheet.at(body - 2) == '/')
        return {sheet};
    QList<QByteArray> stretches;
    qsizetype from = body;
    for (int i = 1; i <= parts && from < close; ++i) {
        qsizetype to = i == parts ? close : body + (close - body) * i / parts;
        while (to < close) { // the next row start at or after the cut
            to = sheet.indexOf("<row", to);
            if (to < 0 || to >= close) {
                to = close;
                break;
            }
            const char after = sheet.at(to + 4);
            if (after == ' ' || after == '>' || after == '/')
                break;
            ++to;
        }
        if (to > from)
            stretches << QByteArrayLiteral("<sheetData>") + sheet.mid(from, to - from)
                             + QByteArrayLiteral("</sheetData>");
        from = to;
    }
    return stretches.isEmpty() ? QList<QByteArray> {sheet} : stretches;
}

// Runs the tasks on threads of their own (the first on this one) and rethrows the
// first failure after all have ended.
void runTogether(const std::vector<std::function<void()>> &tasks)
{
    std::vector<std::exception_ptr> failures(tasks.size());
    std::vector<std::thread> threads;
    for (size_t i = 1; i < tasks.size(); ++i)
        threads.emplace_back([&, i] {
            try {
                tasks[i]();
            } catch (...) {
                failures[i] = std::current_exception();
            }
        });
    try {
        if (!tasks.empty())
            tasks[0]();
    } catch (...) {
        failures[0] = std::current_exception();
    }
    for (std::thread &thread : threads)
        thread.join();
    for (const std::exception_ptr &failure : failures)
        if (failure)
            std::rethrow_exception(failure);
}

} // namespace

SheetTable XlsxReader::read(const QString &file, qsizetype stretchBytes)
{
    const ZipArchive zip(file);
    if (!zip.has(QStringLiteral("xl/workbook.xml")))
        throw damaged(file, QStringLiteral("it is a zip archive, but holds no workbook"));
    const Workbook book = workbook(zip, file);
    const QList<bool> dates = dateStyles(zip.part(QStringLiteral("xl/styles.xml")), file);
    const QByteArray sharedPart = zip.part(QStringLiteral("xl/sharedStrings.xml"));
    const QByteArray sheet = zip.part(book.firstSheet);

    // The XML reader is the slow part: the shared texts and stretches of the sheet
    // are read at the same time.
    const int threads = qMax(2, int(std::thread::hardware_concurrency()));
    const QList<QByteArray> stretches =
        rowStretches(sheet, int(qMin<qsizetype>(threads, sheet.size() / qMax<qsizetype>(1, stretchBytes))));
    std::vector<std::vector<ParsedRow>> parsed(stretches.size());
    QStringList strings;
    std::vector<std::function<void()>> tasks;
    for (qsizetype i = 0; i < stretches.size(); ++i)
        tasks.push_back([&, i] { parsed[size_t(i)] = RowParser(dates, book.date1904, file).parse(stretches.at(i)); });
    tasks.push_back([&] { strings = sharedStrings(sharedPart, file); });
    runTogether(tasks);

    SheetTable table;
    table.format = QStringLiteral("XLSX workbook, first worksheet");
    bool haveHeader = false;
    int previous = 0;
    for (std::vector<ParsedRow> &rows : parsed) {
        for (ParsedRow &row : rows) {
            if (row.number <= 0)
                row.number = previous + 1;
            previous = row.number;
            for (const auto &[column, index] : std::as_const(row.shared)) {
                if (index >= strings.size())
                    throw damaged(file, QStringLiteral("a cell names a shared text that does not exist"));
                row.cells[column] = strings.at(index);
            }
            while (!row.cells.isEmpty() && row.cells.constLast().isEmpty())
                row.cells.removeLast();
            if (row.cells.isEmpty())
                continue;
            if (!haveHeader) {
                table.header = std::move(row.cells);
                haveHeader = true;
            } else {
                table.rows.push_back({row.number, std::move(row.cells)});
            }
        }
    }
    return table;
}
