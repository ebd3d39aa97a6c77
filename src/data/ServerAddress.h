#pragma once

#include <QList>
#include <QString>
#include <optional>
#include <utility>

// A database server's address, read from a libpq connection URL such as
// postgresql://desk@db.example.org:5432/quorvex?sslmode=require. Query
// parameters pass through to libpq as they are (sslmode, connect_timeout, ...).
// A password in the URL is used but never shown: url() and the messages leave
// it out.
struct ServerAddress
{
    QString host;     // empty: libpq's default (the local socket)
    int port = -1;    // -1: libpq's default (5432)
    QString user;     // empty: libpq's default (the login name)
    QString password; // empty: none in the URL
    QString database; // empty: libpq's default (the user's name)
    QList<std::pair<QString, QString>> options;

    // nullopt when `url` is not a postgresql:// (or postgres://) URL that can be read.
    static std::optional<ServerAddress> parse(const QString &url);

    // The URL without the password, in one spelling: the address's identity.
    QString url() const;
    // "db.example.org:5432", as messages name the server.
    QString server() const;
    // The user as messages name it ("the default user" when none is given).
    QString userName() const;
    // The value of option `key`; empty when not given.
    QString option(const QString &key) const;
};
