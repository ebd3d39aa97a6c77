#include "CardPrintLog.h"

#include "Database.h"
#include "ValueCodec.h"
#include "WriteTransaction.h"

#include <QSqlQuery>

void CardPrintLog::record(Database &db, qint64 attendeeId, const QString &cardSize, const QString &printer,
                          const QString &desk)
{
    WriteTransaction write(db);
    db.execute(QStringLiteral("INSERT INTO CardPrints (AttendeeID, Printed, CardSize, Printer, Desk) "
                              "VALUES (?, ?, ?, ?, ?)"),
               {attendeeId, ValueCodec::toStored(QDateTime::currentDateTimeUtc(), FieldKind::DateTime), cardSize,
                printer, desk});
    write.commit();
}

std::optional<CardPrintRecord> CardPrintLog::last(Database &db, qint64 attendeeId)
{
    std::optional<CardPrintRecord> found;
    QSqlQuery &q = db.select(QStringLiteral("SELECT Printed, CardSize, Printer, Desk FROM CardPrints WHERE "
                                            "AttendeeID = ? ORDER BY Printed DESC, CardPrintID DESC"),
                             {attendeeId});
    if (q.next())
        found = CardPrintRecord {attendeeId, ValueCodec::fromStored(q.value(0), FieldKind::DateTime).toDateTime(),
                                 q.value(1).toString(), q.value(2).toString(), q.value(3).toString()};
    q.finish();
    return found;
}

QSet<qint64> CardPrintLog::printedAmong(Database &db, qint64 programId)
{
    QSet<qint64> keys;
    QSqlQuery &q = db.select(QStringLiteral("SELECT DISTINCT p.AttendeeID FROM CardPrints p JOIN Attendees a ON "
                                            "a.AttendeeID = p.AttendeeID WHERE a.ProgramID = ?"),
                             {programId});
    while (q.next())
        keys.insert(q.value(0).toLongLong());
    q.finish();
    return keys;
}
