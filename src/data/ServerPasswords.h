#pragma once

#include <QString>
#include <functional>
#include <optional>

// What the data layer asks when a database server wants a password that neither
// libpq's password file (~/.pgpass) nor its environment (PGPASSWORD) gives.
struct PasswordRequest
{
    QString server;   // "db.example.org:5432"
    QString database; // the database's name on the server
    QString user;     // the user the password is for
    bool refused = false; // the password given last time was not accepted
    QString reason;   // the server's words when it refused one
};

// The answer: the password, or nullopt when the user gave none (Cancel).
using PasswordProvider = std::function<std::optional<QString>(const PasswordRequest &request)>;

// The passwords a server asked for, kept in this process's memory only (never
// written anywhere), so a reconnection or a second connection does not ask again.
namespace ServerPasswords {

// Installed once by the program (the windows install a password box; a tool none,
// so a server that asks is refused with a message). Called on the thread that
// opens the connection.
void setProvider(PasswordProvider provider);
// nullopt when no provider is installed or the user gave none.
std::optional<QString> ask(const PasswordRequest &request);

// The password kept for a server address's identity (its URL without password).
QString remembered(const QString &identity);
void remember(const QString &identity, const QString &password);
void forget(const QString &identity);

} // namespace ServerPasswords
