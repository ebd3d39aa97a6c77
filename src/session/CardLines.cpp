#include "CardLines.h"

namespace CardLines {

QString lastName(const QString &lastName)
{
    return lastName.toUpper();
}

QString chapter(const QString &chapter, const QString &city)
{
    return chapter.trimmed().isEmpty() ? city : chapter + QStringLiteral(" Chapter");
}

} // namespace CardLines
