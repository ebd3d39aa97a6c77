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

QString code(const QString &programId, const QString &attendeeId)
{
    const QString program = programId.trimmed();
    const QString attendee = attendeeId.trimmed();
    if (program.isEmpty() || attendee.isEmpty())
        return QString();
    return QStringLiteral("QVX:") + program + QLatin1Char(':') + attendee;
}

} // namespace CardLines
