#include "SheetWriter.h"

#include "CsvSheetWriter.h"
#include "ExchangeError.h"
#include "XlsxSheetWriter.h"

#include <QDir>
#include <QFileInfo>

std::unique_ptr<SheetWriter> SheetWriter::forFile(const QString &file, const QList<SheetColumn> &columns)
{
    const QFileInfo info(file);
    if (!info.absoluteDir().exists())
        throw ExchangeError::exporting(QStringLiteral("The folder \"%1\" does not exist, so \"%2\" cannot be written "
                                                      "there. Choose a folder that exists and export again.")
                                           .arg(QDir::toNativeSeparators(info.absolutePath()), info.fileName()));
    const QString suffix = info.suffix().toLower();
    if (suffix == u"csv")
        return std::make_unique<CsvSheetWriter>(file, columns);
    if (suffix == u"xlsx")
        return std::make_unique<XlsxSheetWriter>(file, columns);
    throw ExchangeError::exporting(QStringLiteral("\"%1\" ends neither in .csv nor in .xlsx, so it is not known which "
                                                  "to write. Name the file with one of those endings.")
                                       .arg(QDir::toNativeSeparators(file)));
}
