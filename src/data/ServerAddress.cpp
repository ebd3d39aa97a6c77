#include "ServerAddress.h"

#include <QUrl>
#include <QUrlQuery>

std::optional<ServerAddress> ServerAddress::parse(const QString &text)
{
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("postgresql") && scheme != QLatin1String("postgres")))
        return std::nullopt;
    ServerAddress address;
    address.host = url.host(QUrl::FullyDecoded);
    address.port = url.port(-1);
    address.user = url.userName(QUrl::FullyDecoded);
    address.password = url.password(QUrl::FullyDecoded);
    address.database = url.path(QUrl::FullyDecoded);
    if (address.database.startsWith(QLatin1Char('/')))
        address.database.remove(0, 1);
    if (address.database.contains(QLatin1Char('/')))
        return std::nullopt;
    const QUrlQuery query(url);
    for (const auto &[key, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (key.isEmpty())
            return std::nullopt;
        // Given twice in the URL, the last one counts (as libpq reads a conninfo string).
        const QString lower = key.toLower();
        if (lower == QLatin1String("password")) {
            address.password = value;
            continue;
        }
        if (lower == QLatin1String("host") || lower == QLatin1String("port") || lower == QLatin1String("user")
            || lower == QLatin1String("dbname")) {
            if (lower == QLatin1String("host"))
                address.host = value;
            else if (lower == QLatin1String("user"))
                address.user = value;
            else if (lower == QLatin1String("dbname"))
                address.database = value;
            else {
                bool ok = false;
                address.port = value.toInt(&ok);
                if (!ok)
                    return std::nullopt;
            }
            continue;
        }
        address.options.append({key, value});
    }
    return address;
}

QString ServerAddress::url() const
{
    QUrl url;
    url.setScheme(QStringLiteral("postgresql"));
    url.setUserName(user);
    QUrlQuery query;
    // A socket folder is not a URL host: it goes into the query, as libpq reads it.
    if (host.startsWith(QLatin1Char('/')))
        query.addQueryItem(QStringLiteral("host"), host);
    else
        url.setHost(host);
    url.setPort(port);
    url.setPath(QLatin1Char('/') + database);
    for (const auto &[key, value] : options)
        query.addQueryItem(key, value);
    if (!query.isEmpty())
        url.setQuery(query);
    return url.toString();
}

QString ServerAddress::server() const
{
    const QString name = host.isEmpty() ? QStringLiteral("localhost") : host;
    return port > 0 ? name + QLatin1Char(':') + QString::number(port) : name;
}

QString ServerAddress::userName() const
{
    return user.isEmpty() ? QStringLiteral("the default user") : QLatin1Char('"') + user + QLatin1Char('"');
}

QString ServerAddress::option(const QString &key) const
{
    for (const auto &[name, value] : options) {
        if (name.compare(key, Qt::CaseInsensitive) == 0)
            return value;
    }
    return QString();
}
