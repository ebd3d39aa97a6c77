#include "ImportReport.h"

#include <QStringList>

QString ImportReport::text() const
{
    QStringList lines;
    if (!eventName.isEmpty() || eventId != 0)
        lines << QStringLiteral("Event: %1%2").arg(eventName, eventCreated ? QStringLiteral(" (made by this import)")
                                                                           : QString());
    lines << QStringLiteral("Added: %1").arg(added) << QStringLiteral("Updated: %1").arg(updated)
          << QStringLiteral("Skipped: %1").arg(skipped);
    if (payments > 0)
        lines << QStringLiteral("Payments added: %1").arg(payments);
    lines << QStringLiteral("Refused: %1").arg(refused.size());
    for (const Refused &row : refused)
        lines << QStringLiteral("  line %1: %2").arg(row.line).arg(row.reason);
    if (!refused.isEmpty())
        lines << QStringLiteral("Nothing was imported: correct the refused rows in the file (or leave their "
                                "columns out) and import it again.");
    return lines.join(u'\n') + u'\n';
}
