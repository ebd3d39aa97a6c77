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
    DateTime, // QDateTime in UTC (ISO text "yyyy-MM-ddTHH:mm:ss.zzzZ" on a file, TIMESTAMPTZ on a server)
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

// The known tables and queries: Program, Attendees, qryDon_Fees, Donations,
// Office, Title, CheckIns, CardPrints (names matched without regard to case);
// nullptr for an unknown name.
const SourceDef *source(const QString &name);
const QList<SourceDef> &sources();

// The statements that make an empty database on `engine`: the tables of the
// first schema (the donations table beneath the updatable query qryDon_Fees, the
// removal of an attendee's donations with the attendee, the server's photo table
// and change notices), then every upgrade step of SchemaMigration, then the
// schema version: a new database and an upgraded one are the same.
QStringList createStatements(const Engine &engine);
// The statements of the first schema alone (version 1), without its version stamp.
QStringList firstSchemaStatements(const Engine &engine);

// Writes the schema into an empty database, in one transaction (or the caller's).
void createTables(Database &db);
// The same and a few common titles and offices.
void create(Database &db);

// The schema version that create() stores in the database (Engine::schemaVersion).
// 1: the tables of the events, attendees, donations and lookup lists.
// 2: CheckIns and CardPrints.
// 3: the desk's name search (Engine::createNameSearch).
inline constexpr int Version = 3;

} // namespace Schema
