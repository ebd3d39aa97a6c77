#include "XlsxReader.h"

#include "ExchangeError.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QXmlStreamReader>
#include <cmath>
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
QString richText(QXmlStreamReader &xml)
{
    const QString endName = xml.name().toString();
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
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"si")
            strings << richText(xml);
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

class SheetParser
{
public:
    SheetParser(const QStringList &strings, const QList<bool> &dates, bool date1904, const QString &file)
        : m_strings(strings)
        , m_dates(dates)
        , m_date1904(date1904)
        , m_file(file)
    {
    }

    SheetTable parse(const QByteArray &part)
    {
        SheetTable table;
        table.format = QStringLiteral("XLSX workbook, first worksheet");
        QXmlStreamReader xml(part);
        int rowNumber = 0;
        bool haveHeader = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement() || xml.name() != u"row")
                continue;
            const QStringView r = xml.attributes().value(QLatin1String("r"));
            rowNumber = r.isEmpty() ? rowNumber + 1 : r.toInt();
            QStringList cells = readRow(xml);
            while (!cells.isEmpty() && cells.constLast().isEmpty())
                cells.removeLast();
            if (cells.isEmpty())
                continue;
            if (!haveHeader) {
                table.header = std::move(cells);
                haveHeader = true;
            } else {
                table.rows.push_back({rowNumber, std::move(cells)});
            }
        }
        checkXml(xml, m_file, QStringLiteral("the worksheet"));
        return table;
    }

private:
    QStringList readRow(QXmlStreamReader &xml)
    {
        QStringList cells;
        int column = -1;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == u"row")
                break;
            if (!xml.isStartElement() || xml.name() != u"c")
                continue;
            const auto a = xml.attributes();
            const int at = columnOf(a.value(QLatin1String("r")));
            column = at < 0 ? column + 1 : at;
            if (column >= MaxColumns)
                throw damaged(m_file, QStringLiteral("a cell lies beyond the last column a sheet can have"));
            const QString type = a.value(QLatin1String("t")).toString();
            const int style = a.value(QLatin1String("s")).toInt();
            const QString value = readCell(xml, type, style);
            if (value.isEmpty())
                continue;
            while (cells.size() <= column)
                cells << QString();
            cells[column] = value;
        }
        return cells;
    }

    QString readCell(QXmlStreamReader &xml, const QString &type, int style)
    {
        QString raw;
        QString inlineText;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == u"c")
                break;
            if (!xml.isStartElement())
                continue;
            if (xml.name() == u"v")
                raw = xml.readElementText();
            else if (xml.name() == u"is")
                inlineText = richText(xml);
        }
        if (type == u"inlineStr")
            return inlineText;
        if (type == u"s") {
            bool ok = false;
            const int index = raw.toInt(&ok);
            if (!ok || index < 0 || index >= m_strings.size())
                throw damaged(m_file, QStringLiteral("a cell names a shared text that does not exist"));
            return m_strings.at(index);
        }
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

    const QStringList &m_strings;
    const QList<bool> &m_dates;
    bool m_date1904;
    QString m_file;
};

} // namespace

SheetTable XlsxReader::read(const QString &file)
{
    const ZipArchive zip(file);
    if (!zip.has(QStringLiteral("xl/workbook.xml")))
        throw damaged(file, QStringLiteral("it is a zip archive, but holds no workbook"));
    const Workbook book = workbook(zip, file);
    const QStringList strings = sharedStrings(zip.part(QStringLiteral("xl/sharedStrings.xml")), file);
    const QList<bool> dates = dateStyles(zip.part(QStringLiteral("xl/styles.xml")), file);
    SheetParser parser(strings, dates, book.date1904, file);
    return parser.parse(zip.part(book.firstSheet));
}
