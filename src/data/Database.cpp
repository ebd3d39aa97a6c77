#include "Database.h"

#include "Currency.h"
#include "DataError.h"
#include "Engine.h"
#include "Schema.h"
#include "SchemaMigration.h"
#include "WriteTransaction.h"

#include <QSqlError>
#include <atomic>
#include <map>

namespace {

std::atomic<int> g_defaultBusyTimeout {5000};
std::atomic<quint64> g_connectionCounter {0};

// The connections this thread shares, by location; a connection closes when its last user lets go.
std::map<QString, std::weak_ptr<Database>> &sharedConnections()
{
    thread_local std::map<QString, std::weak_ptr<Database>> connections;
    return connections;
}

} // namespace

Database::Database(const Engine &engine, const QString &location, QString connectionName)
    : m_engine(&engine)
    , m_location(engine.absoluteLocation(location))
    , m_address(location)
    , m_connectionName(std::move(connectionName))
{
}

Database::~Database()
{
    rollback();
    m_statements.clear(); // before the connection they belong to
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

void Database::checkFile(const QString &location)
{
    Engine::forLocation(location).checkLocation(location);
}

std::shared_ptr<Database> Database::shared(const QString &location)
{
    return sharedByDesk(location, QString());
}

std::shared_ptr<Database> Database::sharedByDesk(const QString &location, const QString &desk)
{
    QString key = Engine::forLocation(location).absoluteLocation(location);
    if (!desk.isEmpty())
        key += QLatin1Char('\n') + desk;
    auto &connections = sharedConnections();
    auto found = connections.find(key);
    if (found != connections.end()) {
        if (auto db = found->second.lock())
            return db;
        connections.erase(found);
    }
    auto db = openSeparate(location);
    connections[key] = db;
    return db;
}

std::shared_ptr<Database> Database::openSeparate(const QString &location)
{
    const Engine &engine = Engine::forLocation(location);
    engine.checkLocation(location); // before the engine touches it
    std::shared_ptr<Database> db(new Database(engine, location, nextConnectionName()));
    db->openConnection();
    db->checkSchema();
    return db;
}

std::shared_ptr<Database> Database::openEmpty(const QString &location)
{
    const Engine &engine = Engine::forLocation(location);
    engine.createLocation(location);
    try {
        std::shared_ptr<Database> db(new Database(engine, location, nextConnectionName()));
        db->openConnection();
        engine.checkNewDatabase(*db);
        db->refuseExistingSchema();
        return db;
    } catch (...) {
        engine.discardLocation(location); // only what createLocation() made
        throw;
    }
}

std::shared_ptr<Database> Database::create(const QString &location)
{
    std::shared_ptr<Database> db = openEmpty(location);
    try {
        Schema::create(*db);
        return db;
    } catch (...) {
        const Engine &engine = db->engine();
        db.reset(); // closed before its file goes
        engine.discardLocation(location);
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
    m_busyTimeout = defaultBusyTimeout();
    m_db = QSqlDatabase::addDatabase(m_engine->driverName(), m_connectionName);
    m_readOnly = m_engine->open(m_db, m_address, m_busyTimeout) == Engine::Access::ReadOnly;
    ++m_generation;
}

void Database::ensureConnected()
{
    if (!m_lost)
        return;
    m_statements.clear(); // prepared on the connection that went
    m_db.close();
    m_readOnly = m_engine->open(m_db, m_address, m_busyTimeout) == Engine::Access::ReadOnly;
    m_lost = false;
    ++m_generation;
}

bool Database::checkAlive()
{
    if (!m_lost && m_transactionDepth == 0 && !m_engine->connectionAlive(m_db))
        m_lost = true;
    return !m_lost;
}

bool Database::tryReconnect()
{
    try {
        ensureConnected();
        return true;
    } catch (const AppError &) {
        m_lost = true; // still away: the next use or the next try connects again
        return false;
    }
}

QString Database::displayName() const
{
    return m_engine->displayName(m_location);
}

void Database::checkSchema()
{
    const QString name = m_engine->displayName(m_location);
    int version = 0;
    bool hasAttendees = false;
    try {
        version = m_engine->schemaVersion(*this);
        hasAttendees = m_engine->hasTable(*this, QStringLiteral("Attendees"));
    } catch (const AppError &error) {
        if (error.number() == DataError::Locked || error.number() == DataError::ServerUnreachable)
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
        throw m_engine->missingSchemaError(m_location);
    if (version < Schema::Version) {
        // Refused rather than opened read-only: every window of this program reads
        // the tables of its own schema, which such a database lacks.
        if (m_readOnly)
            throw DataError::makeWithText(
                DataError::ReadOnly,
                QStringLiteral("The database \"%1\" was made by an earlier version of Quorvex (schema %2) and must "
                               "be upgraded to schema %3 before this program can use it, but it can only be read "
                               "here. Open it once with permission to write (or ask its administrator to), then "
                               "try again; nothing was changed.").arg(name).arg(version).arg(Schema::Version));
        const int found = SchemaMigration::upgrade(*this);
        if (found < Schema::Version)
            m_upgradedFrom = found;
    }
}

void Database::refuseExistingSchema()
{
    QStringList found;
    for (const SourceDef &def : Schema::sources()) {
        if (!found.contains(def.name, Qt::CaseInsensitive) && m_engine->hasTable(*this, def.name))
            found << def.name;
    }
    if (!found.isEmpty())
        throw DataError::makeWithText(DataError::CannotOpenFile,
                                      QStringLiteral("The database \"%1\" already has Quorvex tables (%2); it was "
                                                     "left as it is. Choose an empty database.")
                                          .arg(displayName(), found.join(QStringLiteral(", "))));
}

void Database::setBusyTimeout(int milliseconds)
{
    m_busyTimeout = milliseconds;
    m_engine->setBusyTimeout(m_db, milliseconds);
}

// Statements without values run as they are: a server prepares only queries and
// data changes (not BEGIN, SET or CREATE), and it saves a round trip.
bool Database::run(QSqlQuery &q, const QString &sql, const QVariantList &params)
{
    if (params.isEmpty())
        return q.exec(sql);
    if (!q.prepare(sql))
        return false;
    for (const QVariant &value : params)
        q.addBindValue(value);
    return q.exec();
}

int Database::execute(const QString &sql, const QVariantList &params)
{
    ensureConnected();
    if (params.isEmpty()) {
        QSqlQuery q(m_db);
        if (!q.exec(sql))
            throw errorFrom(q);
        const int rows = q.numRowsAffected();
        q.finish();
        return rows;
    }
    QSqlQuery &q = prepared(sql);
    for (qsizetype i = 0; i < params.size(); ++i)
        q.bindValue(int(i), params.at(i));
    if (!q.exec())
        throw errorFrom(q);
    const int rows = q.numRowsAffected();
    q.finish();
    return rows;
}

QSqlQuery &Database::prepared(const QString &sql)
{
    auto found = m_statements.find(sql);
    if (found != m_statements.end())
        return found->second;
    // The statements of one connection are few (the reads and writes of a handful
    // of tables); when ever new ones come, those not being read right now go.
    if (m_statements.size() >= 64) {
        for (auto it = m_statements.begin(); it != m_statements.end();)
            it = it->second.isActive() ? std::next(it) : m_statements.erase(it);
    }
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw errorFrom(q);
    return m_statements.emplace(sql, std::move(q)).first->second;
}

// A read kept out by another workstation's write saved nothing: said so, not "Nothing was saved".
AppError Database::readFailed(const QSqlQuery &q)
{
    const AppError error = errorFrom(q);
    return m_transactionDepth > 0 ? error : DataError::lockedAs(error, QStringLiteral("The records could not be read."));
}

QSqlQuery Database::query(const QString &sql, const QVariantList &params)
{
    QSqlQuery result;
    reading([&] {
        QSqlQuery q(m_db);
        q.setForwardOnly(true);
        if (!run(q, sql, params))
            throw readFailed(q);
        result = std::move(q);
    });
    return result;
}

QSqlQuery &Database::select(const QString &sql, const QVariantList &params)
{
    QSqlQuery *result = nullptr;
    reading([&] {
        // Looked up inside: a connection made again has none of the old statements.
        QSqlQuery &q = prepared(sql);
        for (qsizetype i = 0; i < params.size(); ++i)
            q.bindValue(int(i), params.at(i));
        if (!q.exec())
            throw readFailed(q);
        result = &q;
    });
    return *result;
}

void Database::reading(const std::function<void()> &read)
{
    const bool outside = m_transactionDepth == 0;
    ensureConnected();
    try {
        read();
    } catch (const AppError &) {
        // Lost before this use began (a server restarted while the desk was idle):
        // nothing was half done, so the read goes again on a new connection.
        if (!outside || !m_lost)
            throw;
        ensureConnected();
        read();
    }
}

void Database::beginWrite()
{
    if (m_readOnly)
        throw readOnlyError();
    if (m_transactionDepth == 0) {
        // Nothing is written before BEGIN: a lost connection is made again and BEGIN goes again.
        reading([this] { execute(m_engine->beginWriteStatement()); });
        if (m_readOnly) { // the new connection may know better
            rollback();
            throw readOnlyError();
        }
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
    if (m_lost)
        return; // the server rolled it back with the connection
    ignoreErrors([this] { QSqlQuery(QStringLiteral("ROLLBACK"), m_db).finish(); });
}

AppError Database::readOnlyError() const
{
    return m_engine->readOnlyError(m_location);
}

qint64 Database::reserveKey(const QString &table, const QString &keyField)
{
    const qint64 key = m_engine->reserveKey(*this, table, keyField);
    if (key <= 0)
        throw DataError::make(DataError::Generic, QStringLiteral("no key could be reserved for %1").arg(table));
    return key;
}

AppError Database::errorFrom(const QSqlQuery &query)
{
    const QSqlError error = query.lastError();
    if (m_engine->connectionLost(m_db, error)) {
        // The transaction went with the connection; the guards see it is no longer open.
        m_lost = true;
        m_transactionDepth = 0;
        return m_engine->connectionLostError(m_location);
    }
    // A failed statement undoes the write it is part of, on every engine alike (a
    // server refuses the rest of the transaction anyway), before the failed query
    // lets go of its statement.
    rollback();
    return m_engine->error(error, m_location);
}
