#include "ServerDiagnosis.h"

#include "ServerAddress.h"

#include <QByteArrayList>
#include <libpq-fe.h>
#include <memory>
#include <vector>

namespace {

// libpq's keyword and value arrays, kept alive while libpq reads them.
class ConnectionParameters
{
public:
    void add(const char *keyword, const QString &value)
    {
        if (value.isEmpty())
            return;
        m_keys.append(QByteArray(keyword));
        m_values.append(value.toUtf8());
    }
    void add(const QString &keyword, const QString &value)
    {
        add(keyword.toUtf8().constData(), value);
    }
    const char *const *keywords()
    {
        build();
        return m_keyPointers.data();
    }
    const char *const *values()
    {
        build();
        return m_valuePointers.data();
    }

private:
    void build()
    {
        m_keyPointers.clear();
        m_valuePointers.clear();
        for (qsizetype i = 0; i < m_keys.size(); ++i) {
            m_keyPointers.push_back(m_keys.at(i).constData());
            m_valuePointers.push_back(m_values.at(i).constData());
        }
        m_keyPointers.push_back(nullptr);
        m_valuePointers.push_back(nullptr);
    }

    QByteArrayList m_keys;
    QByteArrayList m_values;
    std::vector<const char *> m_keyPointers;
    std::vector<const char *> m_valuePointers;
};

QString oneLine(const char *message)
{
    QString text = QString::fromUtf8(message).trimmed();
    // libpq adds hints on further lines ("Is the server running on that host..."): the first says what happened.
    const qsizetype newline = text.indexOf(QLatin1Char('\n'));
    if (newline > 0)
        text.truncate(newline);
    return text.trimmed();
}

} // namespace

ServerDiagnosis ServerDiagnosis::of(const ServerAddress &address, const QString &password,
                                    const QList<std::pair<QString, QString>> &options)
{
    ConnectionParameters parameters;
    parameters.add("host", address.host);
    parameters.add("port", address.port > 0 ? QString::number(address.port) : QString());
    parameters.add("user", address.user);
    parameters.add("password", password);
    parameters.add("dbname", address.database);
    for (const auto &[key, value] : options)
        parameters.add(key, value);

    ServerDiagnosis diagnosis;
    // Asked first whether anyone answers: a server out of reach costs one wait, not two.
    const PGPing ping = PQpingParams(parameters.keywords(), parameters.values(), 0);
    if (ping == PQPING_NO_RESPONSE || ping == PQPING_REJECT) {
        diagnosis.outcome = Outcome::Unreachable;
        if (ping == PQPING_REJECT)
            diagnosis.reason = QStringLiteral("the server is starting up or shutting down");
        return diagnosis;
    }
    const std::unique_ptr<PGconn, decltype(&PQfinish)> connection(
        PQconnectdbParams(parameters.keywords(), parameters.values(), 0), &PQfinish);
    if (!connection) {
        diagnosis.reason = QStringLiteral("out of memory");
        return diagnosis;
    }
    if (PQstatus(connection.get()) == CONNECTION_OK) {
        diagnosis.outcome = Outcome::Connected;
        return diagnosis;
    }
    diagnosis.reason = oneLine(PQerrorMessage(connection.get()));
    if (PQconnectionNeedsPassword(connection.get()))
        diagnosis.outcome = Outcome::NeedsPassword;
    else if (PQconnectionUsedPassword(connection.get()))
        diagnosis.outcome = Outcome::PasswordRefused;
    else
        diagnosis.outcome = Outcome::Refused;
    return diagnosis;
}
