#pragma once

#include "core/AppError.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <memory>

class Engine;

// One open connection to a database. Its location is a QString: the path of a
// database file today, a server's address when another engine is added. What
// differs between engines (opening, the file checks, key reservation, the LIKE of
// the criteria, the error codes) is asked of the connection's Engine, so that the
// recordset, the criteria and the windows above never know which engine runs.
//
// All failures are AppErrors from DataError (a number and the standard text).
class Database
{
public:
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // The connection of this thread to `location`, shared by every data control that
    // names it (opened on first use). Refuses a file that is missing, empty, not a
    // database of ours (random bytes) or an Access/Jet file, naming the file and
    // what is wrong, and never writes such a file.
    static std::shared_ptr<Database> shared(const QString &location);
    // A connection of its own (another workstation, in tests; the lookup tables' one-call access).
    static std::shared_ptr<Database> openSeparate(const QString &location);
    // Makes a new database with the schema and the common titles and offices;
    // refuses (CannotOpenFile, naming the file) when the file exists already.
    static std::shared_ptr<Database> create(const QString &location);
    // The checks made before a file is opened (missing, empty, Access/Jet, not a
    // database): throws the clear error; never writes the file.
    static void checkFile(const QString &location);

    // How long a writer waits for another workstation's lock, for connections
    // opened from now on (5000 ms unless changed; tests shorten it).
    static void setDefaultBusyTimeout(int milliseconds);
    static int defaultBusyTimeout();
    // The same for this connection alone.
    void setBusyTimeout(int milliseconds);

    const Engine &engine() const { return *m_engine; }
    // The location made absolute.
    QString location() const { return m_location; }
    QSqlDatabase &connection() { return m_db; }
    bool isReadOnly() const { return m_readOnly; }

    // Runs one statement with bound parameters; rows affected. Values are always
    // bound, never pasted into the SQL.
    int execute(const QString &sql, const QVariantList &params = {});
    // A prepared, executed, forward-only query; the caller reads and finishes it.
    // Outside a write transaction a lock of another workstation fails it with a
    // Locked error that says the records could not be read (nothing was to be saved).
    QSqlQuery query(const QString &sql, const QVariantList &params = {});

    // Write transactions take the write lock at once (BEGIN IMMEDIATE on SQLite); a
    // writer waits up to the busy timeout for another workstation's lock. Calls
    // nest: only the outermost commit() commits; rollback() undoes the whole
    // transaction. Prefer the WriteTransaction guard, which rolls back on every way out.
    void beginWrite();
    void commit();
    void rollback() noexcept;

    // Reserves the next autonumber key of `table` before its row exists (the key
    // an AddNew shows at once).
    qint64 reserveKey(const QString &table, const QString &keyField);

    // The ReadOnly error naming this database (for writers that refuse before trying).
    AppError readOnlyError() const;
    // Turns a failed query of this connection into the matching DataError.
    AppError errorFrom(const QSqlQuery &query) const;

private:
    friend class WriteTransaction;
    Database(const Engine &engine, QString location, QString connectionName);
    static QString nextConnectionName();
    void openConnection();
    void checkSchema();

    const Engine *m_engine;
    QString m_location;
    QString m_connectionName;
    QSqlDatabase m_db;
    bool m_readOnly = false;
    int m_transactionDepth = 0;
    quint64 m_transactionSerial = 0; // counts the outermost transactions begun
};
