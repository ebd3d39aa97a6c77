#include "DataTestEnvironment.h"

#include "TestServer.h"
#include "core/Settings.h"
#include "data/Database.h"
#include "data/PhotoStore.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QUrl>
#include <atomic>
#include <functional>

namespace {

QString withSeparator(const QString &path)
{
    const QString native = QDir::toNativeSeparators(path);
    return native.endsWith(QDir::separator()) ? native : native + QDir::separator();
}

// Runs `work` on a connection of its own (plain SQL, not the code under test),
// then closes it: nothing is left open that could hold a lock.
void withConnection(const QString &location, const std::function<void(QSqlDatabase &)> &work)
{
    static std::atomic<int> counter {0};
    const QString name = QStringLiteral("test-environment-%1").arg(++counter);
    {
        QSqlDatabase db;
        if (DataTestEnvironment::isServer(location)) {
            const QUrl url(location);
            db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
            db.setHostName(url.host());
            db.setPort(url.port());
            db.setUserName(url.userName());
            db.setDatabaseName(url.path().mid(1));
        } else {
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(location);
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        }
        if (!db.open())
            QTest::qFail(qPrintable(QStringLiteral("cannot open %1: %2").arg(location, db.lastError().text())),
                         __FILE__, __LINE__);
        else
            work(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

bool run(QSqlQuery &q, const QString &sql, const QVariantList &params)
{
    // Without values a statement runs as it is (a server prepares no CREATE or SET).
    if (params.isEmpty()) {
        if (!q.exec(sql)) {
            QTest::qFail(qPrintable(QStringLiteral("cannot run \"%1\": %2").arg(sql, q.lastError().text())),
                         __FILE__, __LINE__);
            return false;
        }
        return true;
    }
    if (!q.prepare(sql)) {
        QTest::qFail(qPrintable(QStringLiteral("cannot prepare \"%1\": %2").arg(sql, q.lastError().text())),
                     __FILE__, __LINE__);
        return false;
    }
    for (const QVariant &value : params)
        q.addBindValue(value);
    if (!q.exec()) {
        QTest::qFail(qPrintable(QStringLiteral("cannot run \"%1\": %2").arg(sql, q.lastError().text())),
                     __FILE__, __LINE__);
        return false;
    }
    return true;
}

} // namespace

DataTestEnvironment::DataTestEnvironment()
{
    Settings::setStoreFolderForTesting(settingsFolder());
    PhotoStore::setCacheFolder(folder(QStringLiteral("photo-cache")));
}

DataTestEnvironment::~DataTestEnvironment()
{
    for (const QString &url : std::as_const(m_serverDatabases))
        TestServer::dropDatabase(url);
}

void DataTestEnvironment::addEngineRows()
{
    QTest::addColumn<TestEngine>("engine");
    QTest::newRow("file") << TestEngine::File;
    QTest::newRow("server") << TestEngine::Server;
}

bool DataTestEnvironment::engineAvailable(TestEngine engine)
{
    return engine == TestEngine::File || TestServer::available();
}

bool DataTestEnvironment::isServer(const QString &location)
{
    return location.startsWith(QLatin1String("postgresql://"));
}

QString DataTestEnvironment::createDatabase(TestEngine engine)
{
    if (engine == TestEngine::File)
        return createDatabase(folder(QStringLiteral("db")));
    const QString url = createEmptyServerDatabase();
    Database::create(url); // the schema and the common titles and offices; closed again at once
    return url;
}

QString DataTestEnvironment::createEmptyServerDatabase()
{
    const QString url = TestServer::createEmptyDatabase();
    if (url.isEmpty())
        QTest::qFail("no database could be made on the test server", __FILE__, __LINE__);
    else
        m_serverDatabases << url;
    return url;
}

QString DataTestEnvironment::root() const
{
    return withSeparator(m_dir.path());
}

QString DataTestEnvironment::settingsFolder() const
{
    return folder(QStringLiteral("settings"));
}

QString DataTestEnvironment::folder(const QString &name) const
{
    const QString path = QDir(m_dir.path()).filePath(name);
    QDir().mkpath(path);
    return withSeparator(path);
}

QString DataTestEnvironment::createDatabase(const QString &folder) const
{
    QDir().mkpath(folder);
    const QString file = QDir(folder).filePath(QStringLiteral("Quorvex.mdb"));
    Database::create(file); // the schema and the common titles and offices; closed again at once
    return file;
}

QVariant DataTestEnvironment::scalar(const QString &location, const QString &sql, const QVariantList &params)
{
    QVariant result;
    withConnection(location, [&](QSqlDatabase &db) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (run(q, sql, params) && q.next())
            result = q.value(0);
        q.finish();
    });
    return result;
}

QStringList DataTestEnvironment::column(const QString &location, const QString &sql, const QVariantList &params)
{
    QStringList result;
    withConnection(location, [&](QSqlDatabase &db) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (run(q, sql, params)) {
            while (q.next())
                result << q.value(0).toString();
        }
        q.finish();
    });
    return result;
}

QSqlRecord DataTestEnvironment::row(const QString &location, const QString &sql, const QVariantList &params)
{
    QSqlRecord result;
    withConnection(location, [&](QSqlDatabase &db) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (run(q, sql, params) && q.next())
            result = q.record();
        q.finish();
    });
    return result;
}

void DataTestEnvironment::exec(const QString &location, const QString &sql, const QVariantList &params)
{
    withConnection(location, [&](QSqlDatabase &db) {
        QSqlQuery q(db);
        run(q, sql, params);
        q.finish();
    });
}
