#include "LookupTable.h"

#include "Criteria.h"
#include "DataError.h"
#include "Database.h"
#include "Engine.h"
#include "Schema.h"
#include "WriteTransaction.h"

#include <algorithm>

namespace {

bool holds(Database &db, const SourceDef &def, const QString &value)
{
    QSqlQuery q = db.query(QStringLiteral("SELECT count(*) FROM %1 WHERE %2 = ?")
                               .arg(def.name, db.engine().caseless(def.fields.at(1).name)),
                           {value});
    const bool found = q.next() && q.value(0).toLongLong() > 0;
    q.finish();
    return found;
}

} // namespace

LookupTable::LookupTable(QString location, const QString &table)
    : m_location(std::move(location))
    , m_def(Schema::source(table))
{
    if (!m_def || m_def->fields.size() < 3)
        throw DataError::make(DataError::UnknownSource, table);
}

QStringList LookupTable::values() const
{
    QStringList values;
    {
        std::shared_ptr<Database> db = Database::openSeparate(m_location);
        QSqlQuery q = db->query(QStringLiteral("SELECT %1 FROM %2").arg(m_def->fields.at(1).name, m_def->name));
        while (q.next())
            values << q.value(0).toString();
        q.finish();
    }
    std::stable_sort(values.begin(), values.end(), [](const QString &a, const QString &b) {
        const int folded = QString::compare(a, b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return values;
}

bool LookupTable::contains(const QString &value) const
{
    std::shared_ptr<Database> db = Database::openSeparate(m_location);
    return holds(*db, *m_def, value);
}

bool LookupTable::add(const QString &value) const
{
    std::shared_ptr<Database> db = Database::openSeparate(m_location);
    // Looked up before the write lock is asked for: a value already there needs no
    // write (nor a writable file, nor a wait for another workstation's lock).
    if (holds(*db, *m_def, value))
        return false;
    // Inserted only while still missing, looked up again under the write lock: it
    // may have been added meanwhile.
    WriteTransaction write(*db);
    db->engine().lockTableForWrite(*db, m_def->baseTable);
    const QString &name = m_def->fields.at(1).name;
    const int added = db->execute(QStringLiteral("INSERT INTO %1 (%2, %3) SELECT ?, ? WHERE NOT EXISTS "
                                                 "(SELECT 1 FROM %1 WHERE %4 = ?)")
                                      .arg(m_def->baseTable, name, m_def->fields.at(2).name, db->engine().caseless(name)),
                                  {value, value, value});
    write.commit();
    return added > 0;
}

int LookupTable::deleteWhere(const QString &criteria) const
{
    // A criteria text that cannot be read is refused before the database is opened.
    const SqlFragment where = Criteria::translate(criteria, *m_def, Engine::forLocation(m_location));
    std::shared_ptr<Database> db = Database::openSeparate(m_location);
    WriteTransaction write(*db);
    const int rows = db->execute(QStringLiteral("DELETE FROM %1 WHERE %2").arg(m_def->baseTable, where.sql), where.params);
    write.commit();
    return rows;
}
