#include "EventContents.h"

#include "Database.h"
#include "WriteTransaction.h"

#include <QSqlQuery>

namespace {

qint64 countOf(Database &db, const QString &sql, qint64 programId)
{
    QSqlQuery q = db.query(sql, {programId});
    const qint64 n = q.next() ? q.value(0).toLongLong() : 0;
    q.finish();
    return n;
}

} // namespace

bool EventContents::exists(Database &db, qint64 programId)
{
    return countOf(db, QStringLiteral("SELECT count(*) FROM Program WHERE ProgramID = ?"), programId) > 0;
}

EventContents::Counts EventContents::count(Database &db, qint64 programId)
{
    Counts counts;
    counts.attendees = countOf(db, QStringLiteral("SELECT count(*) FROM Attendees WHERE ProgramID = ?"), programId);
    counts.donations = countOf(db,
                               QStringLiteral("SELECT count(*) FROM Donations WHERE AttendeeID IN "
                                              "(SELECT AttendeeID FROM Attendees WHERE ProgramID = ?)"),
                               programId);
    return counts;
}

int EventContents::deleteAttendees(Database &db, qint64 programId)
{
    WriteTransaction write(db);
    const int deleted = db.execute(QStringLiteral("DELETE FROM Attendees WHERE ProgramID = ?"), {programId});
    write.commit();
    return deleted;
}
