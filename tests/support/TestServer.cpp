#include "TestServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <atomic>

namespace {

QString readLine(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).trimmed() : QString();
}

QString stateFolder()
{
    return qEnvironmentVariable("QUORVEX_TEST_SERVER");
}

QString serverScript()
{
    return qEnvironmentVariable("QUORVEX_PG_SERVER_SCRIPT");
}

// Runs `sql` on the maintenance database of the server at `url`, outside any transaction.
bool runOn(const QString &url, const QString &sql)
{
    static std::atomic<int> counter {0};
    const QString name = QStringLiteral("test-server-%1").arg(++counter);
    bool ok = false;
    {
        const QUrl address(url);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(address.host());
        db.setPort(address.port());
        db.setUserName(address.userName());
        db.setDatabaseName(address.path().mid(1));
        if (db.open()) {
            QSqlQuery q(db);
            ok = q.exec(QStringLiteral("SET client_min_messages = warning")) && q.exec(sql);
            if (!ok)
                qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
            q.finish();
        } else {
            qWarning("cannot reach the test server %s: %s", qPrintable(url), qPrintable(db.lastError().text()));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace

namespace TestServer {

bool available()
{
    return !stateFolder().isEmpty() && !maintenanceUrl().isEmpty();
}

QString maintenanceUrl()
{
    return stateFolder().isEmpty() ? QString() : readLine(QDir(stateFolder()).filePath(QStringLiteral("url")));
}

QString urlOf(const QString &database, const QString &user)
{
    QUrl url(maintenanceUrl());
    url.setUserName(user);
    url.setPath(QLatin1Char('/') + database);
    return url.toString();
}

QString createEmptyDatabase()
{
    static std::atomic<int> counter {0};
    const QString name = QStringLiteral("quorvex_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    if (!runOn(maintenanceUrl(), QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name))
        || !runOn(maintenanceUrl(), QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE template0").arg(name)))
        return QString();
    return urlOf(name);
}

void dropDatabase(const QString &url)
{
    const QString name = QUrl(url).path().mid(1);
    if (!name.isEmpty())
        runOn(maintenanceUrl(), QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
}

PrivateServer::PrivateServer()
{
    static std::atomic<int> counter {0};
    m_state = QDir::temp().filePath(
        QStringLiteral("quorvex-private-server-%1-%2").arg(QCoreApplication::applicationPid()).arg(++counter));
    if (script(QStringLiteral("start")))
        m_url = readLine(QDir(m_state).filePath(QStringLiteral("url")));
}

PrivateServer::~PrivateServer()
{
    script(QStringLiteral("stop"));
    QDir(m_state).removeRecursively();
}

bool PrivateServer::halt()
{
    return script(QStringLiteral("halt"));
}

bool PrivateServer::resume()
{
    return script(QStringLiteral("resume"));
}

bool PrivateServer::script(const QString &command)
{
    if (serverScript().isEmpty())
        return false;
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QStringLiteral("bash"), {serverScript(), command, m_state});
    return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace TestServer
