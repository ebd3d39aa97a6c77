#include "Database.h"

#include "Currency.h"
#include "DataError.h"
#include "Schema.h"
#include "SqliteFunctions.h"
#include "WriteTransaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <atomic>
#include <map>
#include <sqlite3.h>

namespace {

std::atomic<int> g_defaultBusyTimeout {5000};
std::atomic<quint64> g_connectionCounter {0};

// The connections this thread shares, by file; a connection closes when its last user lets go.
std::map<QString, std::weak_ptr<Database>> &sharedConnections()
{
    thread_local std::map<QString, std::weak_ptr<Database>> connections;
    return connections;
}

QString displayName(const QString &file)
{
    return QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
}

QString quoted(const QString &identifier)
{
    QString q = identifier;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

// Whether the file may be written: the write permission of the file (honoured even
// for an administrator, who could write regardless) and of its folder (SQLite writes
// its journal beside the file).
bool writable(const QFileInfo &info)
{
    // The mode bits, not WriteUser: that one asks the system, which lets an administrator write anything.
    const auto writeBits = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (!info.isWritable() || !(info.permissions() & writeBits))
        return false;
    const QFileInfo folder(info.absolutePath());
    return folder.isWritable();
}

} // namespace

Database::Database(QString file, QString connectionName)
    : m_file(std::move(file))
    , m_connectionName(std::move(connectionName))
{
}

Database::~Database()
{
    rollback();
    if (m_db.isValid())
        m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

void Database::setDefaultBusyTimeout(int milliseconds)
{
    g_defaultBusyTimeout = milliseconds;
}

int Database::defaultBusyTimeout()
{
    return g_defaultBusyTimeout;
}

void Database::checkFile(const QString &file)
{
    using namespace DataError;
    const QString name = displayName(file);
    const QFileInfo info(file);
    if (!info.exists())
        throw makeWithText(FileNotFound, QStringLiteral("The database file \"%1\" does not exist. Check the "
                                                        "database folder, or make a new database with "
                                                        "quorvex-db create.").arg(name));
    if (!info.isFile())
        throw makeWithText(CannotOpenFile, QStringLiteral("\"%1\" is a folder, not a database file. Choose the "
                                                          "folder that holds Quorvex.mdb.").arg(name));
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        throw makeWithText(CannotOpenFile, QStringLiteral("The database file \"%1\" cannot be read (%2). Check "
                                                          "that you may read it, then try again.")
                                               .arg(name, f.errorString()));
    const QByteArray head = f.read(100);
    f.close();
    if (head.isEmpty())
        throw makeWithText(UnrecognizedFormat, QStringLiteral("The database file \"%1\" is empty (0 bytes): it "
                                                              "holds no data. Restore it from a backup, or make a "
                                                              "new database with quorvex-db create.").arg(name));
    static const QByteArray jetMagic("\x00\x01\x00\x00", 4);
    if (head.startsWith(jetMagic)
        && (head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB"))
        throw makeWithText(UnrecognizedFormat, QStringLiteral("\"%1\" is an Access (Jet) database file; Quorvex "
                                                              "needs a database made by quorvex-db. Make one "
                                                              "with quorvex-db create and enter the data there.")
                                                   .arg(name));
    static const QByteArray sqliteMagic("SQLite format 3\0", 16);
    if (!head.startsWith(sqliteMagic))
        throw makeWithText(UnrecognizedFormat, QStringLiteral("\"%1\" is not a Quorvex database (it is not a "
                                                              "database file at all, or it is damaged). Choose "
                                                              "the right file, or make a new database with "
                                                              "quorvex-db create.").arg(name));
}

std::shared_ptr<Database> Database::shared(const QString &file)
{
    const QString key = QFileInfo(file).absoluteFilePath();
    auto &connections = sharedConnections();
    auto found = connections.find(key);
    if (found != connections.end()) {
        if (auto db = found->second.lock())
            return db;
        connections.erase(found);
    }
    auto db = openSeparate(file);
    connections[key] = db;
    return db;
}

std::shared_ptr<Database> Database::openSeparate(const QString &file)
{
    checkFile(file); // before SQLite touches the file
    std::shared_ptr<Database> db(new Database(QFileInfo(file).absoluteFilePath(), nextConnectionName()));
    db->openConnection();
    db->checkSchema();
    return db;
}

std::shared_ptr<Database> Database::create(const QString &file)
{
    const QString name = displayName(file);
    QFile f(file);
    // NewOnly: refuse an existing file, even one that appears between check and creation.
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (QFileInfo::exists(file))
            throw DataError::makeWithText(DataError::CannotOpenFile,
                                          QStringLiteral("\"%1\" already exists; it was left as it is. Choose "
                                                         "another folder, or move the file away first.")
                                              .arg(name));
        throw DataError::makeWithText(DataError::CannotOpenFile,
                                      QStringLiteral("The database file \"%1\" cannot be made (%2). Check that the "
                                                     "folder exists and that you may write there.")
                                          .arg(name, f.errorString()));
    }
    f.close();
    try {
        std::shared_ptr<Database> db(new Database(QFileInfo(file).absoluteFilePath(), nextConnectionName()));
        db->openConnection();
        Schema::create(*db);
        return db;
    } catch (...) {
        QFile::remove(file); // only the file made here
        throw;
    }
}

QString Database::nextConnectionName()
{
    return QStringLiteral("quorvex-db-%1").arg(++g_connectionCounter);
}

void Database::openConnection()
{
    registerCurrencyType();
    m_readOnly = !writable(QFileInfo(m_file));
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    m_db.setDatabaseName(m_file);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(defaultBusyTimeout());
    if (m_readOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    m_db.setConnectOptions(options);
    if (!m_db.open())
        throw DataError::makeWithText(DataError::CannotOpenFile,
                                      QStringLiteral("The database file \"%1\" cannot be opened (%2). Check that it "
                                                     "exists and that you may read it, then try again.")
                                          .arg(displayName(m_file), m_db.lastError().text()));
    if (!SqliteFunctions::install(sqliteHandle()))
        throw DataError::make(DataError::Generic, QStringLiteral("the search functions could not be installed"));
    if (!m_readOnly) {
        // Rollback-journal mode: its locking is the one that holds on network shares.
        ignoreErrors([this] { QSqlQuery(QStringLiteral("PRAGMA journal_mode=DELETE"), m_db).finish(); });
    }
}

void Database::checkSchema()
{
    const QString name = displayName(m_file);
    int version = 0;
    bool hasAttendees = false;
    try {
        QSqlQuery q = query(QStringLiteral("PRAGMA user_version"));
        version = q.next() ? q.value(0).toInt() : 0;
        q.finish();
        QSqlQuery t = query(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                                           "name = 'Attendees'"));
        hasAttendees = t.next() && t.value(0).toInt() > 0;
        t.finish();
    } catch (const AppError &error) {
        if (error.number() == DataError::Locked)
            throw;
        throw DataError::makeWithText(DataError::UnrecognizedFormat,
                                      QStringLiteral("\"%1\" is not a Quorvex database (it is damaged or not a "
                                                     "database file). Choose the right file, or make a new "
                                                     "database with quorvex-db create.").arg(name));
    }
    if (version > Schema::Version)
        throw DataError::makeWithText(DataError::UnrecognizedFormat,
                                      QStringLiteral("The database \"%1\" was made by a newer version of Quorvex "
                                                     "(schema %2; this program knows %3). Install the newer "
                                                     "program to use it.").arg(name).arg(version).arg(Schema::Version));
    if (!hasAttendees)
        throw DataError::makeWithText(DataError::UnrecognizedFormat,
                                      QStringLiteral("The file \"%1\" is a database, but not a Quorvex database: it "
                                                     "has no Attendees table. Make a new database with quorvex-db "
                                                     "create.").arg(name));
}

void *Database::sqliteHandle() const
{
    const QVariant handle = m_db.driver() ? m_db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

void Database::setBusyTimeout(int milliseconds)
{
    if (auto *handle = static_cast<sqlite3 *>(sqliteHandle()))
        sqlite3_busy_timeout(handle, milliseconds);
}

static void bindAll(QSqlQuery &q, const QVariantList &params)
{
    for (const QVariant &value : params)
        q.addBindValue(value);
}

int Database::execute(const QString &sql, const QVariantList &params)
{
    QSqlQuery q(m_db);
    if (!q.prepare(sql))
        throw errorFrom(q, m_file);
    bindAll(q, params);
    if (!q.exec())
        throw errorFrom(q, m_file);
    const int rows = q.numRowsAffected();
    q.finish();
    return rows;
}

QSqlQuery Database::query(const QString &sql, const QVariantList &params)
{
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw errorFrom(q, m_file);
    bindAll(q, params);
    if (!q.exec())
        throw errorFrom(q, m_file);
    return q;
}

void Database::beginWrite()
{
    if (m_readOnly)
        throw readOnlyError();
    if (m_transactionDepth == 0) {
        execute(QStringLiteral("BEGIN IMMEDIATE"));
        ++m_transactionSerial;
    }
    ++m_transactionDepth;
}

void Database::commit()
{
    if (m_transactionDepth == 0)
        return; // rolled back already
    if (--m_transactionDepth > 0)
        return;
    try {
        execute(QStringLiteral("COMMIT"));
    } catch (...) {
        ++m_transactionDepth;
        rollback();
        throw;
    }
}

void Database::rollback() noexcept
{
    if (m_transactionDepth == 0)
        return;
    m_transactionDepth = 0;
    ignoreErrors([this] { QSqlQuery(QStringLiteral("ROLLBACK"), m_db).finish(); });
}

AppError Database::readOnlyError() const
{
    return DataError::makeWithText(DataError::ReadOnly,
                                   QStringLiteral("The database file \"%1\" is read-only, so nothing can be "
                                                  "changed; nothing was saved. Ask for write permission on the "
                                                  "file and its folder, then open it again.")
                                       .arg(displayName(m_file)));
}

qint64 Database::reserveKey(const QString &table, const QString &keyField)
{
    // sqlite_sequence has no unique constraint on name, so the row is made only
    // when none exists, inside the write lock.
    WriteTransaction write(*this);
    qint64 key = 0;
    QSqlQuery bump = query(QStringLiteral("UPDATE sqlite_sequence SET seq = seq + 1 WHERE name = ? RETURNING seq"),
                           {table});
    const bool bumped = bump.next();
    if (bumped)
        key = bump.value(0).toLongLong();
    bump.finish();
    if (!bumped) {
        execute(QStringLiteral("INSERT INTO sqlite_sequence (name, seq) SELECT ?, coalesce((SELECT max(%1) "
                               "FROM %2), 0) + 1 WHERE NOT EXISTS (SELECT 1 FROM sqlite_sequence WHERE name = ?)")
                    .arg(quoted(keyField), quoted(table)),
                {table, table});
        QSqlQuery read = query(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?"), {table});
        if (read.next())
            key = read.value(0).toLongLong();
        read.finish();
    }
    write.commit();
    if (key <= 0)
        throw DataError::make(DataError::Generic, QStringLiteral("no key could be reserved for %1").arg(table));
    return key;
}

AppError Database::errorFrom(const QSqlQuery &query, const QString &context)
{
    const QSqlError error = query.lastError();
    const int code = error.nativeErrorCode().toInt() & 0xff;
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    const QString where = context.isEmpty() ? QString() : displayName(context) + QStringLiteral(": ");
    switch (code) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return DataError::make(DataError::Locked, where + text);
    case SQLITE_READONLY:
        return DataError::make(DataError::ReadOnly, where + text);
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return DataError::make(DataError::UnrecognizedFormat, where + text);
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        return DataError::make(DataError::CannotOpenFile, where + text);
    case SQLITE_CONSTRAINT:
        if (text.contains(QLatin1String("UNIQUE")) || text.contains(QLatin1String("PRIMARY KEY")))
            return DataError::make(DataError::DuplicateKey, where + text);
        return DataError::make(DataError::TypeMismatch, where + text);
    default:
        break;
    }
    if (text.contains(QLatin1String("no such column")))
        return DataError::make(DataError::UnknownField, where + text);
    if (text.contains(QLatin1String("no such table")))
        return DataError::make(DataError::UnknownSource, where + text);
    if (text.contains(QLatin1String("syntax error")))
        return DataError::make(DataError::SyntaxError, where + text);
    return DataError::make(DataError::Generic, where + text);
}
