#include "CardLines.h"

#include <QStringList>
#include <algorithm>

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

std::optional<CodeKeys> parseCode(const QString &text)
{
    const QString t = text.trimmed();
    if (!t.startsWith(QLatin1String("QVX:"), Qt::CaseInsensitive))
        return std::nullopt;
    const QStringList parts = t.mid(4).split(QLatin1Char(':'));
    if (parts.size() != 2)
        return std::nullopt;
    CodeKeys keys;
    qint64 *targets[] = {&keys.programId, &keys.attendeeId};
    for (int i = 0; i < 2; ++i) {
        const QString &part = parts.at(i);
        // Digits only: no sign, no blanks inside, a key the database can hold.
        if (part.isEmpty() || part.size() > 18
            || !std::all_of(part.begin(), part.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
            return std::nullopt;
        *targets[i] = part.toLongLong();
    }
    if (keys.programId <= 0 || keys.attendeeId <= 0)
        return std::nullopt;
    return keys;
}

} // namespace CardLines
