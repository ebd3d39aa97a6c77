#include "SchemaMigration.h"

#include "Database.h"
#include "Engine.h"
#include "Schema.h"
#include "WriteTransaction.h"

#include <algorithm>

namespace {

const SourceDef &known(const char *name)
{
    return *Schema::source(QString::fromLatin1(name));
}

// Schema 2: the check-ins of the desk and the cards printed, each going with its
// attendee as the donations do. One check-in per attendee: a second scan finds
// the first rather than counting the attendee twice.
QStringList checkInsAndCardPrints(const Engine &engine)
{
    QStringList statements {
        engine.createTable(known("CheckIns")),
        QStringLiteral("CREATE UNIQUE INDEX CheckIns_AttendeeID ON CheckIns (AttendeeID)"),
        engine.createTable(known("CardPrints")),
        QStringLiteral("CREATE INDEX CardPrints_AttendeeID ON CardPrints (AttendeeID)"),
    };
    for (const char *table : {"CheckIns", "CardPrints"}) {
        statements += engine.cascadeDelete(QStringLiteral("Attendees"), QString::fromLatin1(table),
                                           QStringLiteral("AttendeeID"));
        statements += engine.notifyChanges(known(table));
    }
    return statements;
}

} // namespace

namespace SchemaMigration {

QStringList step(const Engine &engine, int version)
{
    switch (version) {
    case 1:
        return checkInsAndCardPrints(engine);
    case 2:
        return engine.createNameSearch();
    default:
        return {};
    }
}

int upgrade(Database &db)
{
    const Engine &engine = db.engine();
    WriteTransaction write(db);
    // Two desks opening the same old database: the second waits here and then
    // finds the work done.
    engine.lockTableForWrite(db, QStringLiteral("Attendees"));
    // A database made before versions were stamped has the first schema.
    const int found = std::max(engine.schemaVersion(db), 1);
    if (found >= Schema::Version)
        return found;
    for (int version = found; version < Schema::Version; ++version) {
        for (const QString &statement : step(engine, version))
            db.execute(statement);
    }
    for (const QString &statement : engine.setSchemaVersion(Schema::Version))
        db.execute(statement);
    write.commit();
    return found;
}

} // namespace SchemaMigration
