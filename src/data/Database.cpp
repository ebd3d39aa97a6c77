#include "Database.h"

#include "Currency.h"
#include "DataError.h"
#include "Engine.h"
#include "Schema.h"
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

void bindAll(QSqlQuery &q, const QVariantList &params)
{
    for (const QVariant &value : params)
        q.addBindValue(value);
}

} // namespace

Database::Database(const Engine &engine, QString location, QString connectionName)
    : m_engine(&engine)
    , m_location(std::move(location))
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

void Database::checkFile(const QString &location)
{
    Engine::forLocation(location).checkLocation(location);
}

std::shared_ptr<Database> Database::shared(const QString &location)
{
    const QString key = Engine::forLocation(location).absoluteLocation(location);
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
    std::shared_ptr<Database> db(new Database(engine, engine.absoluteLocation(location), nextConnectionName()));
    db->openConnection();
    db->checkSchema();
    return db;
}

std::shared_ptr<Database> Database::create(const QString &location)
{
    const Engine &engine = Engine::forLocation(location);
    engine.createLocation(location);
    try {
        std::shared_ptr<Database> db(new Database(engine, engine.absoluteLocation(location), nextConnectionName()));
        db->openConnection();
        Schema::create(*db);
        return db;
    } catch (...) {
        engine.discardLocation(location); // only what createLocation() made
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
    m_db = QSqlDatabase::addDatabase(m_engine->driverName(), m_connectionName);
    m_readOnly = m_engine->open(m_db, m_location, defaultBusyTimeout()) == Engine::Access::ReadOnly;
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

void Database::setBusyTimeout(int milliseconds)
{
    m_engine->setBusyTimeout(m_db, milliseconds);
}

int Database::execute(const QString &sql, const QVariantList &params)
{
    QSqlQuery q(m_db);
    if (!q.prepare(sql))
        throw errorFrom(q);
    bindAll(q, params);
    if (!q.exec())
        throw errorFrom(q);
    const int rows = q.numRowsAffected();
    q.finish();
    return rows;
}

QSqlQuery Database::query(const QString &sql, const QVariantList &params)
{
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    // A read kept out by another workstation's write saved nothing: said so, not "Nothing was saved".
    const auto failed = [this, &q] {
        const AppError error = errorFrom(q);
        return m_transactionDepth > 0 ? error : DataError::lockedAs(error, QStringLiteral("The records could not be read."));
    };
    if (!q.prepare(sql))
        throw failed();
    bindAll(q, params);
    if (!q.exec())
        throw failed();
    return q;
}

void Database::beginWrite()
{
    if (m_readOnly)
        throw readOnlyError();
    if (m_transactionDepth == 0) {
        execute(m_engine->beginWriteStatement());
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
    return m_engine->readOnlyError(m_location);
}

qint64 Database::reserveKey(const QString &table, const QString &keyField)
{
    WriteTransaction write(*this);
    const qint64 key = m_engine->reserveKey(*this, table, keyField);
    write.commit();
    if (key <= 0)
        throw DataError::make(DataError::Generic, QStringLiteral("no key could be reserved for %1").arg(table));
    return key;
}

AppError Database::errorFrom(const QSqlQuery &query) const
{
    return m_engine->error(query.lastError(), m_location);
}
