#include "SheetWriter.h"

#include "CsvSheetWriter.h"
#include "ExchangeError.h"
#include "XlsxSheetWriter.h"

#include <QDir>
#include <QFileInfo>

std::unique_ptr<SheetWriter> SheetWriter::forFile(const QString &file, const QList<SheetColumn> &columns)
{
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix == u"csv")
        return std::make_unique<CsvSheetWriter>(file, columns);
    if (suffix == u"xlsx")
        return std::make_unique<XlsxSheetWriter>(file, columns);
    throw ExchangeError::exporting(QStringLiteral("\"%1\" ends neither in .csv nor in .xlsx, so it is not known which "
                                                  "to write. Name the file with one of those endings.")
                                       .arg(QDir::toNativeSeparators(file)));
}
