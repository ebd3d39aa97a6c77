#include "AttendeeSearch.h"

#include "Database.h"
#include "Engine.h"
#include "NameFold.h"

#include <QSqlQuery>
#include <QStringList>

QString AttendeeMatch::fullName() const
{
    const QString name = QStringList {firstName.trimmed(), lastName.trimmed()}.join(u' ').trimmed();
    return name.isEmpty() ? QStringLiteral("Attendee %1").arg(attendeeId) : name;
}

namespace AttendeeSearch {

std::optional<AttendeeMatch> byKey(Database &db, qint64 attendeeId)
{
    std::optional<AttendeeMatch> found;
    QSqlQuery &q = db.select(QStringLiteral("SELECT FirstName, LastName, ProgramID FROM Attendees WHERE AttendeeID = ?"),
                             {attendeeId});
    if (q.next())
        found = AttendeeMatch {attendeeId, q.value(0).toString(), q.value(1).toString(), q.value(2).toLongLong()};
    q.finish();
    return found;
}

QString eventName(Database &db, qint64 programId)
{
    QSqlQuery &q = db.select(QStringLiteral("SELECT Name FROM Program WHERE ProgramID = ?"), {programId});
    const QString name = q.next() ? q.value(0).toString() : QString();
    q.finish();
    return name;
}

QList<AttendeeMatch> byName(Database &db, qint64 programId, const QString &typed, int limit)
{
    const QString words = NameFold::fold(typed.simplified());
    if (words.isEmpty())
        return {};
    const Engine &engine = db.engine();
    QString where;
    QVariantList params {programId};
    const auto starts = [&](const char *column, const QString &prefix) {
        const SqlFragment f = engine.startsWithFolded(QString::fromLatin1(column), prefix);
        params += f.params;
        return f.sql;
    };
    const qsizetype space = words.indexOf(u' ');
    if (space < 0) {
        const QString a = starts("FirstName", words);
        where = QStringLiteral("(%1 OR %2)").arg(a, starts("LastName", words));
    } else {
        const QString first = words.left(space);
        const QString rest = words.mid(space + 1);
        const QString a = starts("FirstName", first);
        const QString b = starts("LastName", rest);
        const QString c = starts("LastName", first);
        where = QStringLiteral("((%1 AND %2) OR (%3 AND %4))").arg(a, b, c, starts("FirstName", rest));
    }
    params << limit;
    QList<AttendeeMatch> found;
    QSqlQuery &q = db.select(QStringLiteral("SELECT AttendeeID, FirstName, LastName FROM Attendees WHERE ProgramID = ? "
                                            "AND %1 ORDER BY %2, %3, AttendeeID LIMIT ?")
                                 .arg(where, engine.caseless(QStringLiteral("LastName")),
                                      engine.caseless(QStringLiteral("FirstName"))),
                             params);
    while (q.next())
        found.append({q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString(), programId});
    q.finish();
    return found;
}

} // namespace AttendeeSearch
