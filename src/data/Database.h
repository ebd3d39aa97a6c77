#pragma once

#include "core/AppError.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <memory>

// One open connection to a database file. Everything engine-specific (SQLite
// pragmas, the file check, key reservation, the Unicode LIKE) is kept here and
// in Schema, so that another engine can be added beside it.
//
// All failures are AppErrors from DataError (a number and the standard text).
class Database
{
public:
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // The connection of this thread to `file`, shared by every data control that
    // names it (opened on first use). Refuses a file that is missing, empty, not a
    // database of ours (random bytes) or an Access/Jet file, naming the file and
    // what is wrong, and never writes such a file.
    static std::shared_ptr<Database> shared(const QString &file);
    // A connection of its own (another workstation, in tests; the lookup lists' one-call access).
    static std::shared_ptr<Database> openSeparate(const QString &file);
    // Makes a new database file with the schema and the common titles and offices;
    // refuses (CannotOpenFile, naming the file) when the file exists already.
    static std::shared_ptr<Database> create(const QString &file);
    // The checks made before a file is opened (missing, empty, Access/Jet, not a
    // database): throws the clear error; never writes the file.
    static void checkFile(const QString &file);

    // How long a writer waits for another workstation's lock, for connections
    // opened from now on (5000 ms unless changed; tests shorten it).
    static void setDefaultBusyTimeout(int milliseconds);
    static int defaultBusyTimeout();
    // The same for this connection alone.
    void setBusyTimeout(int milliseconds);

    QString fileName() const { return m_file; }
    QSqlDatabase &connection() { return m_db; }
    bool isReadOnly() const { return m_readOnly; }

    // Runs one statement with bound parameters; rows affected. Values are always
    // bound, never pasted into the SQL.
    int execute(const QString &sql, const QVariantList &params = {});
    // A prepared, executed, forward-only query; the caller reads and finishes it.
    QSqlQuery query(const QString &sql, const QVariantList &params = {});

    // Write transactions take the write lock at once (BEGIN IMMEDIATE); a writer
    // waits up to the busy timeout for another workstation's lock. Calls nest: only
    // the outermost commit() commits; rollback() undoes the whole transaction.
    // Prefer the WriteTransaction guard, which rolls back on every way out.
    void beginWrite();
    void commit();
    void rollback() noexcept;

    // Reserves the next autonumber key of `table` before its row exists (the key
    // an AddNew shows at once).
    qint64 reserveKey(const QString &table, const QString &keyField);

    // Turns a failed query into the matching DataError.
    static AppError errorFrom(const QSqlQuery &query, const QString &context = QString());

private:
    friend class WriteTransaction;
    Database(QString file, QString connectionName);
    static QString nextConnectionName();
    void openConnection();
    void checkSchema();
    void *sqliteHandle() const;

public:
    // The ReadOnly error naming this file (for writers that refuse before trying).
    AppError readOnlyError() const;

private:

    QString m_file;
    QString m_connectionName;
    QSqlDatabase m_db;
    bool m_readOnly = false;
    int m_transactionDepth = 0;
    quint64 m_transactionSerial = 0; // counts the outermost transactions begun
};
