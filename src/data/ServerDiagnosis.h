#pragma once

#include <QList>
#include <QString>
#include <utility>

struct ServerAddress;

// Why a connection to a database server failed, asked of libpq itself (Qt's
// driver keeps only a message, in the user's language): the server cannot be
// reached, it wants a password that was not given, it refused the one given, or
// it refused for another reason (no such database or user, not allowed from
// here). Made only after a failed connection.
struct ServerDiagnosis
{
    enum class Outcome {
        Connected,       // it worked this time (the failure was passing)
        Unreachable,     // nobody answers at the address, or the server is starting or stopping
        NeedsPassword,   // a password is wanted and none was given
        PasswordRefused, // the password given was not accepted
        Refused,         // refused for another reason, said in `reason`
    };
    Outcome outcome = Outcome::Refused;
    QString reason; // libpq's words, one line

    // Tries `address` with `password` (empty: none beyond libpq's own sources) and
    // the connection options `options`.
    static ServerDiagnosis of(const ServerAddress &address, const QString &password,
                              const QList<std::pair<QString, QString>> &options);
};
