#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Database;
class Engine;

// How a field's stored value is presented at the recordset boundary.
enum class FieldKind {
    Integer,  // qint64
    Text,     // QString (NULL reads as an empty string in bound controls)
    Currency, // Currency (stored as an integer of ten-thousandths)
    YesNo,    // bool (stored as 0/1)
    Date,     // QDate (stored as ISO text "yyyy-MM-dd")
};

struct FieldDef
{
    QString name;
    FieldKind kind;
};

// A table or stored query the program reads and writes.
struct SourceDef
{
    QString name;      // as the program names it: "Attendees", "qryDon_Fees", "Office"
    QString baseTable; // the table that updates and conflict checks run against
    QString keyField;  // the autonumber key (for a query: the base table's key it exposes)
    QList<FieldDef> fields; // in their stored order, key first
};

namespace Schema {

// The known tables and queries: Program, Attendees, qryDon_Fees, Office, Title
// (names matched without regard to case); nullptr for an unknown name.
const SourceDef *source(const QString &name);
const QList<SourceDef> &sources();

// The statements that make an empty database on `engine`: the tables, the
// donations table beneath the updatable query qryDon_Fees, the removal of an
// attendee's donations with the attendee, the server's photo table and change
// notices, and the schema version.
QStringList createStatements(const Engine &engine);

// Writes the schema into an empty database, in one transaction (or the caller's).
void createTables(Database &db);
// The same and a few common titles and offices.
void create(Database &db);

// The schema version that create() stores in the database (Engine::schemaVersion).
inline constexpr int Version = 1;

} // namespace Schema
