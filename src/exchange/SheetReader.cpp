#include "SheetReader.h"

#include "CsvReader.h"
#include "ExchangeError.h"
#include "TextDecoding.h"
#include "XlsxReader.h"

#include <QDir>
#include <QFile>

namespace {

QString shown(const QString &file)
{
    return QDir::toNativeSeparators(file);
}

// Text of values has no NULs and few control characters; a picture, a program or
// a zip read as text has many.
bool looksBinary(QStringView text)
{
    const QStringView sample = text.left(64 * 1024);
    qsizetype controls = 0;
    for (const QChar c : sample) {
        if (c == u'\0')
            return true;
        if (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
            ++controls;
    }
    return controls * 100 > sample.size();
}

} // namespace

SheetTable SheetReader::read(const QString &file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        throw ExchangeError::import(QStringLiteral("\"%1\" cannot be read: %2. Check the name and that you may read "
                                                   "it, then import again.")
                                        .arg(shown(file), in.errorString()));
    const QByteArray head = in.peek(8);
    if (head.startsWith("PK\x03\x04")) {
        in.close();
        return XlsxReader::read(file);
    }
    if (head.startsWith("\xD0\xCF\x11\xE0"))
        throw ExchangeError::import(QStringLiteral("\"%1\" is an old Excel 97-2003 workbook (.xls), which cannot be "
                                                   "read. Open it in the spreadsheet program, save it as .xlsx or "
                                                   ".csv, and import that file.")
                                        .arg(shown(file)));
    const DecodedText decoded = TextDecoding::decode(in.readAll());
    if (decoded.text.trimmed().isEmpty())
        throw ExchangeError::import(QStringLiteral("\"%1\" is empty: there is nothing to import. Choose the file "
                                                   "that holds the attendees.")
                                        .arg(shown(file)));
    if (looksBinary(decoded.text))
        throw ExchangeError::import(QStringLiteral("\"%1\" is neither an XLSX workbook nor a CSV text file. Nothing "
                                                   "was imported. Save the attendee list from its program as .xlsx "
                                                   "or .csv, and import that file.")
                                        .arg(shown(file)));
    SheetTable table = CsvReader::read(decoded.text);
    table.format += QStringLiteral(", ") + decoded.encoding;
    return table;
}
