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
    QVariantList params;
    // One SELECT per way a name can match, each served by the index of the name
    // it begins with (an OR would make the engine read every row of the event).
    const auto branch = [&](const char *column, const QString &prefix, const char *other, const QString &otherPrefix) {
        const SqlFragment f = engine.startsWithFolded(QString::fromLatin1(column), prefix);
        params << programId;
        params += f.params;
        QString sql = QStringLiteral("SELECT AttendeeID, FirstName, LastName FROM Attendees WHERE ProgramID = ? AND %1")
                          .arg(f.sql);
        if (other) {
            const SqlFragment g = engine.startsWithFolded(QString::fromLatin1(other), otherPrefix);
            params += g.params;
            sql += QStringLiteral(" AND ") + g.sql;
        }
        return sql;
    };
    QStringList branches;
    const qsizetype space = words.indexOf(u' ');
    if (space < 0) {
        branches << branch("FirstName", words, nullptr, {});
        branches << branch("LastName", words, nullptr, {});
    } else {
        const QString first = words.left(space);
        const QString rest = words.mid(space + 1);
        branches << branch("FirstName", first, "LastName", rest);
        branches << branch("LastName", first, "FirstName", rest);
    }
    // UNION ALL spares the engine removing duplicates from every match: an
    // attendee found both ways comes twice at most, so twice the limit holds
    // `limit` attendees, and the second of a pair is skipped here.
    params << 2 * limit;
    QList<AttendeeMatch> found;
    QSqlQuery &q = db.select(QStringLiteral("SELECT AttendeeID, FirstName, LastName FROM (%1) m ORDER BY %2, %3, "
                                            "AttendeeID LIMIT ?")
                                 .arg(branches.join(QStringLiteral(" UNION ALL ")),
                                      engine.caseless(QStringLiteral("LastName")),
                                      engine.caseless(QStringLiteral("FirstName"))),
                             params);
    while (q.next() && found.size() < limit) {
        const qint64 key = q.value(0).toLongLong();
        if (found.isEmpty() || found.constLast().attendeeId != key)
            found.append({key, q.value(1).toString(), q.value(2).toString(), programId});
    }
    q.finish();
    return found;
}

} // namespace AttendeeSearch
