#pragma once

#include "core/AppError.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <functional>
#include <map>
#include <memory>

class Engine;

// One open connection to a database: a database file ("Quorvex.mdb") or a
// database on a server (a postgresql:// URL). What differs between engines
// (opening, the file checks, key reservation, the LIKE of the criteria, the error
// codes) is asked of the connection's Engine, so that the recordset, the criteria
// and the windows above never know which engine runs.
//
// A server's connection can be lost (the server restarted, a cable out): the
// statement then fails with DataError::ServerUnreachable naming the server, the
// write transaction it was part of is gone (the server rolls it back: nothing is
// ever half written), and the next use connects again by itself. A read that
// begins a use is run again at once on the new connection.
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
    // database of ours (random bytes) or an Access/Jet file, a server that cannot
    // be reached, refuses the login or holds no Quorvex tables, and a database of a
    // newer schema, naming the location and what is wrong, and never writes such a
    // database. A database of an earlier schema is upgraded (SchemaMigration), or
    // refused when it can only be read.
    static std::shared_ptr<Database> shared(const QString &location);
    // The same for the desk named `desk` when several run in one process (tests,
    // benchmarks): each desk has its own connection, as it would on its own
    // machine; an empty name is the thread's shared connection.
    static std::shared_ptr<Database> sharedByDesk(const QString &location, const QString &desk);
    // A connection of its own (another workstation, in tests; the lookup tables' one-call access).
    static std::shared_ptr<Database> openSeparate(const QString &location);
    // Makes a new database with the schema and the common titles and offices;
    // refuses (CannotOpenFile, naming it) when the file exists already, or a server
    // database that has Quorvex tables.
    static std::shared_ptr<Database> create(const QString &location);
    // Opens `location` to receive the schema, with nothing written yet: a new file,
    // or a server database without Quorvex tables (refused as create() refuses).
    // For a caller that writes the schema and its rows in one transaction.
    static std::shared_ptr<Database> openEmpty(const QString &location);
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
    // The location made absolute (a server's URL without its password).
    QString location() const { return m_location; }
    // The location as messages name it.
    QString displayName() const;
    QSqlDatabase &connection() { return m_db; }
    bool isReadOnly() const { return m_readOnly; }
    // The schema version the database had when this connection upgraded it to
    // Schema::Version on opening (every row kept); 0 when it needed nothing.
    int upgradedFrom() const { return m_upgradedFrom; }
    // Counts the connections made: it changes when a lost connection is made again,
    // and statements prepared on the old one must be prepared again.
    quint64 connectionGeneration() const { return m_generation; }
    bool inTransaction() const { return m_transactionDepth > 0; }
    // The connection was found lost and not made again yet.
    bool isLost() const { return m_lost; }
    // Asks the engine, without a round trip, whether an idle connection is still
    // there; a lost one is noted (the next use connects again). False when lost.
    bool checkAlive();
    // Connects again when the connection was lost; false while the server is still away.
    bool tryReconnect();

    // Runs one statement with bound parameters; rows affected. Values are always
    // bound, never pasted into the SQL. A statement with values is prepared once
    // per connection and kept (a server then takes one round trip, not three).
    int execute(const QString &sql, const QVariantList &params = {});
    // A prepared, executed, forward-only query; the caller reads and finishes it.
    // Outside a write transaction a lock of another workstation fails it with a
    // Locked error that says the records could not be read (nothing was to be saved).
    QSqlQuery query(const QString &sql, const QVariantList &params = {});
    // The same with the statement kept for this connection, for the reads made
    // again and again (a row by its key, a set's keys, a photograph's date): a
    // server then takes one round trip, not three. The caller reads the rows and
    // finish()es it before anything else runs the same SQL on this connection.
    QSqlQuery &select(const QString &sql, const QVariantList &params = {});
    // Runs `read` (reads of this connection, a prepared query of the caller's) and,
    // when the connection turns out lost while no transaction is open, connects
    // again and runs it once more.
    void reading(const std::function<void()> &read);
    // Makes the connection again when it was lost (ServerUnreachable while the
    // server is still away).
    void ensureConnected();

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
    // Turns a failed query of this connection into the matching DataError, noting
    // a lost connection (ServerUnreachable). The write transaction the query was
    // part of is rolled back whole.
    AppError errorFrom(const QSqlQuery &query);
    AppError readFailed(const QSqlQuery &query); // a read outside a write kept out by a lock says so

private:
    friend class WriteTransaction;
    Database(const Engine &engine, const QString &location, QString connectionName);
    static QString nextConnectionName();
    void openConnection();
    void checkSchema();
    void refuseExistingSchema();
    bool run(QSqlQuery &q, const QString &sql, const QVariantList &params);
    QSqlQuery &prepared(const QString &sql);

    const Engine *m_engine;
    QString m_location; // made absolute: a server's URL without its password
    QString m_address;  // as given (a password in a URL is used, and kept in memory only)
    QString m_connectionName;
    QSqlDatabase m_db;
    bool m_readOnly = false;
    int m_upgradedFrom = 0;
    bool m_lost = false;
    int m_busyTimeout = 0;
    quint64 m_generation = 0;
    std::map<QString, QSqlQuery> m_statements; // execute()'s prepared statements, by their SQL
    int m_transactionDepth = 0;
    quint64 m_transactionSerial = 0; // counts the outermost transactions begun
};
