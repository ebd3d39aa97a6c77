#include "EventDirectory.h"

#include "ExchangeError.h"
#include "data/Database.h"
#include "data/WriteTransaction.h"

#include <QStringList>

QList<EventDirectory::Event> EventDirectory::list(Database &db)
{
    QList<Event> events;
    QSqlQuery q = db.query(QStringLiteral("SELECT ProgramID, Name FROM Program ORDER BY ProgramID"));
    while (q.next())
        events.append({q.value(0).toLongLong(), q.value(1).toString()});
    q.finish();
    return events;
}

std::optional<EventDirectory::Event> EventDirectory::findByName(Database &db, const QString &name)
{
    QList<Event> found;
    for (const Event &event : list(db))
        if (event.name.trimmed().compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            found << event;
    if (found.isEmpty())
        return std::nullopt;
    if (found.size() > 1) {
        QStringList keys;
        for (const Event &event : found)
            keys << QString::number(event.id);
        throw ExchangeError::import(QStringLiteral("%1 events are named \"%2\" (ProgramID %3). Rename all but one "
                                                   "in the Event Form, then try again.")
                                        .arg(found.size())
                                        .arg(name.trimmed(), keys.join(QStringLiteral(", "))));
    }
    return found.constFirst();
}

std::optional<EventDirectory::Event> EventDirectory::findById(Database &db, qint64 id)
{
    QSqlQuery q = db.query(QStringLiteral("SELECT ProgramID, Name FROM Program WHERE ProgramID = ?"), {id});
    std::optional<Event> event;
    if (q.next())
        event = Event {q.value(0).toLongLong(), q.value(1).toString()};
    q.finish();
    return event;
}

EventDirectory::Event EventDirectory::create(Database &db, const QString &name)
{
    WriteTransaction write(db);
    const qint64 id = db.reserveKey(QStringLiteral("Program"), QStringLiteral("ProgramID"));
    db.execute(QStringLiteral("INSERT INTO Program (ProgramID, Name, FundRaising) VALUES (?, ?, 0)"),
               {id, name.trimmed()});
    write.commit();
    return {id, name.trimmed()};
}
