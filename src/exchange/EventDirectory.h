#pragma once

#include <QList>
#include <QString>
#include <optional>

class Database;

// The events (Program rows) as the import and the export name them: by name,
// without regard to case or blanks around it.
namespace EventDirectory {

struct Event
{
    qint64 id = 0;
    QString name;
};

QList<Event> list(Database &db);
// The event of that name; nullopt when none has it. Several events of one name
// are an ExchangeError naming their keys: the caller must say which.
std::optional<Event> findByName(Database &db, const QString &name);
std::optional<Event> findById(Database &db, qint64 id);
// Makes an event of that name (inside the caller's write transaction, if any).
Event create(Database &db, const QString &name);

} // namespace EventDirectory
