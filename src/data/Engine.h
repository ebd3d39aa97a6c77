#pragma once

#include "Schema.h"
#include "SqlFragment.h"
#include "core/AppError.h"

#include <QString>
#include <QStringList>

class Database;
class QSqlDatabase;
class QSqlError;

// The seam between the data layer and one database engine. Database, Recordset,
// Criteria, Schema and LookupTable write only SQL that SQLite and PostgreSQL both
// accept: names from the schema, unquoted (PostgreSQL folds them to lower case on
// both sides); values always bound as parameters; no IS ?, COLLATE, PRAGMA,
// RETURNING or system tables. Everything else is asked of the engine. An engine
// keeps no state: what belongs to one connection lives in its QSqlDatabase.
//
// Two engines serve: SqliteEngine (a database file, "Quorvex.mdb", for one desk
// or a few on a shared folder) and PostgresEngine (a server, for several desks).
class Engine
{
public:
    virtual ~Engine() = default;

    // The engine that serves `location`: a postgresql:// (or postgres://) URL is
    // a server, anything else a database file. The one place that chooses.
    static const Engine &forLocation(const QString &location);
    // Whether `location` names a server rather than a file.
    static bool isServerLocation(const QString &location);

    // ---- the location ---------------------------------------------------------
    // The location made absolute (a server's URL without its password): the key
    // under which a thread shares a connection.
    virtual QString absoluteLocation(const QString &location) const = 0;
    // The location as messages name it (never with a password).
    virtual QString displayName(const QString &location) const = 0;
    // The checks made before the engine touches the location (missing, empty,
    // another program's file, not a database, a malformed address): the clear
    // DataError; never writes.
    virtual void checkLocation(const QString &location) const = 0;
    // Makes an empty database at `location` (a file); CannotOpenFile (naming it)
    // when one exists already or it cannot be made. A server's database is made by
    // its administrator: nothing to do.
    virtual void createLocation(const QString &location) const = 0;
    // Removes what createLocation() made, after a creation that failed.
    virtual void discardLocation(const QString &location) const noexcept = 0;

    // ---- the connection -------------------------------------------------------
    enum class Access { ReadWrite, ReadOnly };
    // The Qt SQL driver that connections are added with.
    virtual QString driverName() const = 0;
    // Opens `connection` on `location` with what the SQL of the data layer relies on
    // (the LIKE function, the caseless comparison, the journal); a writer waits
    // `busyTimeoutMs` for another workstation's lock. A clear DataError naming the
    // location and the reason on failure (CannotOpenFile, FileNotFound,
    // ServerUnreachable, LoginRefused).
    virtual Access open(QSqlDatabase &connection, const QString &location, int busyTimeoutMs) const = 0;
    virtual void setBusyTimeout(QSqlDatabase &connection, int milliseconds) const = 0;
    // The statement that begins a write transaction and takes the write lock at once.
    virtual QString beginWriteStatement() const = 0;
    // Inside a write transaction: other writers of `table` wait until it ends (a
    // look-up and the insertion it decides on are then one step). SQLite's write
    // lock covers the whole file already.
    virtual void lockTableForWrite(Database &db, const QString &table) const = 0;
    // The next autonumber key of `table`, handed out once, before its row exists
    // (AddNew shows it at once), and above every key a row has; in a write
    // transaction of its own when the engine needs one for that.
    virtual qint64 reserveKey(Database &db, const QString &table, const QString &keyField) const = 0;
    // The highest key of `table` handed out so far (by a row or a reservation);
    // 0 when none.
    virtual qint64 highestKey(Database &db, const QString &table, const QString &keyField) const = 0;
    // Makes the keys handed out from now on larger than `key` (after rows were
    // copied in with their keys).
    virtual void keepKeysAbove(Database &db, const QString &table, const QString &keyField, qint64 key) const = 0;
    // A failed statement's error as the matching DataError, naming the location.
    virtual AppError error(const QSqlError &error, const QString &location) const = 0;
    // The ReadOnly error of a writer that refuses before trying.
    virtual AppError readOnlyError(const QString &location) const = 0;
    // Whether `error` means the connection itself is gone (a server restarted, a
    // network cable out): the transaction went with it, and a new connection is
    // needed. Never for a file.
    virtual bool connectionLost(const QSqlDatabase &connection, const QSqlError &error) const = 0;
    // The ServerUnreachable error of a lost connection, naming the server.
    virtual AppError connectionLostError(const QString &location) const = 0;

    // ---- the schema -----------------------------------------------------------
    // The version the schema's creation wrote (0: none).
    virtual int schemaVersion(Database &db) const = 0;
    virtual bool hasTable(Database &db, const QString &table) const = 0;
    // Refuses a database that cannot take the schema (a server database whose
    // encoding is not UTF8): the clear DataError.
    virtual void checkNewDatabase(Database &db) const = 0;
    // The error for a database that has no Attendees table.
    virtual AppError missingSchemaError(const QString &location) const = 0;
    // The statements that make, in this order: what the tables rely on (the
    // server's collations); a table of `table`'s fields with its autonumber key;
    // `view` over its base table, taking inserts, updates and deletes through to
    // it; the removal of a child's rows with their parent row; the photo table
    // when photos live in the database; the notice of every change to a table
    // (for the desks that watch); the version stamp.
    virtual QStringList schemaPrelude() const = 0;
    virtual QString createTable(const SourceDef &table) const = 0;
    virtual QStringList createUpdatableView(const SourceDef &view) const = 0;
    virtual QStringList cascadeDelete(const QString &parentTable, const QString &childTable,
                                      const QString &keyField) const = 0;
    virtual QStringList createPhotoTable() const = 0;
    virtual QStringList notifyChanges(const SourceDef &table) const = 0;
    virtual QStringList setSchemaVersion(int version) const = 0;
    // What makes the desk's name search fast (schema 3): the attendees of an event
    // whose first or last name begins with what was typed, found without reading
    // every row of the event where the engine can (an index of the folded names).
    virtual QStringList createNameSearch() const = 0;
    // What the engine's own check of the database finds wrong (empty: nothing).
    virtual QStringList integrityProblems(Database &db) const = 0;

    // ---- other desks' changes ------------------------------------------------------
    // The channel a connection subscribes to (QSqlDriver::subscribeToNotification) to
    // hear of every change committed, payload "<table> <key>"; empty when the engine
    // announces nothing and changeCounter() is watched instead.
    virtual QString changeChannel() const = 0;
    // Makes the server hand the connection what it announced meanwhile (a round
    // trip of nothing); the driver's notification signal then follows.
    virtual void deliverNotices(Database &db) const = 0;
    // A counter that moves when another connection committed a change (never for
    // this connection's own); -1 when the engine has none.
    virtual qint64 changeCounter(Database &db) const = 0;
    // Whether the connection is still there, asked without a round trip (a server
    // restarted under an idle desk is noticed without a statement failing).
    virtual bool connectionAlive(const QSqlDatabase &connection) const = 0;

    // ---- photos -----------------------------------------------------------------
    // Whether the photographs live in the database (a server, so that every desk
    // sees them) rather than in the "Pic" folder beside the database file.
    virtual bool keepsPhotosInDatabase() const = 0;

    // ---- SQL pieces for the criteria and the recordset (`column`: a schema name) --
    // `column` matches `pattern` with the wildcards of LikePattern, without regard
    // to case for every alphabet.
    virtual SqlFragment like(const QString &column, const QString &pattern) const = 0;
    // `column` as it compares (=, <, BETWEEN, IN) and orders without regard to
    // case; the other operand is a bound parameter.
    virtual QString caseless(const QString &column) const = 0;
    // `column` begins with `foldedPrefix` (NameFold::fold of what was typed, not
    // empty), compared as NameFold compares: letter case and accents aside.
    virtual SqlFragment startsWithFolded(const QString &column, const QString &foldedPrefix) const = 0;
    // `column` equals one bound parameter, NULL equal to NULL (optimistic locking).
    virtual QString nullSafeEquals(const QString &column) const = 0;
};
