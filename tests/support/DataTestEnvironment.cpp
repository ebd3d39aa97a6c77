#include "DataTestEnvironment.h"

#include "core/Settings.h"
#include "data/Database.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
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
void withConnection(const QString &databaseFile, const std::function<void(QSqlDatabase &)> &work)
{
    static std::atomic<int> counter {0};
    const QString name = QStringLiteral("test-environment-%1").arg(++counter);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(databaseFile);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open())
            QTest::qFail(qPrintable(QStringLiteral("cannot open %1: %2").arg(databaseFile, db.lastError().text())),
                         __FILE__, __LINE__);
        else
            work(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

bool run(QSqlQuery &q, const QString &sql, const QVariantList &params)
{
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
}

DataTestEnvironment::~DataTestEnvironment() = default;

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

QVariant DataTestEnvironment::scalar(const QString &databaseFile, const QString &sql, const QVariantList &params)
{
    QVariant result;
    withConnection(databaseFile, [&](QSqlDatabase &db) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (run(q, sql, params) && q.next())
            result = q.value(0);
        q.finish();
    });
    return result;
}

QSqlRecord DataTestEnvironment::row(const QString &databaseFile, const QString &sql, const QVariantList &params)
{
    QSqlRecord result;
    withConnection(databaseFile, [&](QSqlDatabase &db) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (run(q, sql, params) && q.next())
            result = q.record();
        q.finish();
    });
    return result;
}

void DataTestEnvironment::exec(const QString &databaseFile, const QString &sql, const QVariantList &params)
{
    withConnection(databaseFile, [&](QSqlDatabase &db) {
        QSqlQuery q(db);
        run(q, sql, params);
        q.finish();
    });
}
