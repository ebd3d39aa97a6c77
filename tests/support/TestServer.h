#pragma once

#include <QString>

// The throwaway PostgreSQL server the tests run against: started by CTest's
// fixture (tests/server/pg_server.sh) before the tests that need it and stopped
// after them; its state folder is named by QUORVEX_TEST_SERVER. Each test makes
// databases of its own there.
namespace TestServer {

// Whether a server was started for this run (the data tests skip their server
// rows when run by hand without one, and say so).
bool available();
// The URL of its maintenance database (user postgres, no password).
QString maintenanceUrl();
// A new, empty database (UTF8, no tables) and its URL.
QString createEmptyDatabase();
// Drops a database made by createEmptyDatabase(), closing what is still connected.
void dropDatabase(const QString &url);
// The URL of another database of the same server, as `user`.
QString urlOf(const QString &database, const QString &user = QStringLiteral("postgres"));

// A server of a test's own, which the test may stop and start again under its
// connections (a server restarted; the shared one must stay up for the others).
class PrivateServer
{
public:
    PrivateServer();  // starts it; url() is empty when that failed
    ~PrivateServer(); // stops it and removes its data
    PrivateServer(const PrivateServer &) = delete;
    PrivateServer &operator=(const PrivateServer &) = delete;

    QString maintenanceUrl() const { return m_url; }
    bool halt();   // the server stops, its data kept
    bool resume(); // it starts again on the same port

private:
    bool script(const QString &command);
    QString m_state;
    QString m_url;
};

} // namespace TestServer
