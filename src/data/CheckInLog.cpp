#include "CheckInLog.h"

#include "Database.h"
#include "Engine.h"
#include "ValueCodec.h"
#include "WriteTransaction.h"

#include <QSqlQuery>

std::optional<CheckInRecord> CheckInLog::checkIn(Database &db, qint64 attendeeId, const QString &desk)
{
    WriteTransaction write(db);
    // Two desks scanning the same card at once: the second waits and finds the first.
    db.engine().lockTableForWrite(db, QStringLiteral("CheckIns"));
    if (std::optional<CheckInRecord> earlier = current(db, attendeeId))
        return earlier;
    db.execute(QStringLiteral("INSERT INTO CheckIns (AttendeeID, CheckedIn, Desk) VALUES (?, ?, ?)"),
               {attendeeId, ValueCodec::toStored(QDateTime::currentDateTimeUtc(), FieldKind::DateTime), desk});
    write.commit();
    return std::nullopt;
}

std::optional<CheckInRecord> CheckInLog::current(Database &db, qint64 attendeeId)
{
    std::optional<CheckInRecord> found;
    QSqlQuery &q = db.select(QStringLiteral("SELECT CheckedIn, Desk FROM CheckIns WHERE AttendeeID = ? "
                                            "ORDER BY CheckedIn, CheckInID"),
                             {attendeeId});
    if (q.next())
        found = CheckInRecord {attendeeId, ValueCodec::fromStored(q.value(0), FieldKind::DateTime).toDateTime(),
                               q.value(1).toString()};
    q.finish();
    return found;
}

bool CheckInLog::undo(Database &db, qint64 attendeeId)
{
    WriteTransaction write(db);
    const int removed = db.execute(QStringLiteral("DELETE FROM CheckIns WHERE AttendeeID = ?"), {attendeeId});
    write.commit();
    return removed > 0;
}

QSet<qint64> CheckInLog::checkedInAmong(Database &db, qint64 programId)
{
    QSet<qint64> keys;
    QSqlQuery &q = db.select(QStringLiteral("SELECT c.AttendeeID FROM CheckIns c JOIN Attendees a ON a.AttendeeID = "
                                            "c.AttendeeID WHERE a.ProgramID = ?"),
                             {programId});
    while (q.next())
        keys.insert(q.value(0).toLongLong());
    q.finish();
    return keys;
}
