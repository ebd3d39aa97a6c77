#pragma once

// A PostgreSQL server for the benchmarks: the one QUORVEX_BENCH_SERVER names (the
// URL of a maintenance database, for a server on another machine), or a
// throwaway one on this machine started through the tests' own script, with
// fsync on like a real server, and stopped at the end. Each benchmark makes a
// database of its own there.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUrl>

#include <cstdio>

class BenchServer
{
public:
    BenchServer()
    {
        m_url = qEnvironmentVariable("QUORVEX_BENCH_SERVER");
        if (!m_url.isEmpty())
            return;
        m_state = QDir(m_dir.path()).filePath(QStringLiteral("server"));
        if (script(QStringLiteral("start"))) {
            QFile url(QDir(m_state).filePath(QStringLiteral("url")));
            if (url.open(QIODevice::ReadOnly))
                m_url = QString::fromUtf8(url.readAll()).trimmed();
        }
        if (m_url.isEmpty())
            std::fprintf(stderr, "bench: no PostgreSQL server (set QUORVEX_BENCH_SERVER or install postgresql)\n");
    }
    ~BenchServer()
    {
        if (!m_state.isEmpty())
            script(QStringLiteral("stop"));
    }
    BenchServer(const BenchServer &) = delete;
    BenchServer &operator=(const BenchServer &) = delete;

    bool available() const { return !m_url.isEmpty(); }

    // A new empty UTF8 database named `name` (dropped first if there), and its URL.
    QString createDatabase(const QString &name) const
    {
        run(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
        run(QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE template0").arg(name));
        QUrl url(m_url);
        url.setPath(QLatin1Char('/') + name);
        return url.toString();
    }

private:
    bool script(const QString &command)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QUORVEX_PG_DURABLE"), QStringLiteral("1"));
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QStringLiteral("bash"), {QStringLiteral(QUORVEX_PG_SERVER_SCRIPT), command, m_state});
        return p.waitForFinished(180000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

    void run(const QString &sql) const
    {
        const QString name = QStringLiteral("bench-server-maintenance");
        {
            const QUrl url(m_url);
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
            db.setHostName(url.host());
            db.setPort(url.port());
            db.setUserName(url.userName());
            db.setPassword(url.password());
            db.setDatabaseName(url.path().mid(1));
            if (!db.open() || !QSqlQuery(db).exec(sql))
                std::fprintf(stderr, "bench: %s failed: %s\n", qPrintable(sql), qPrintable(db.lastError().text()));
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

    QTemporaryDir m_dir;
    QString m_state;
    QString m_url;
};
