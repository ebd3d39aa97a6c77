#include "ServerPasswords.h"

#include <QHash>
#include <mutex>

namespace {

// Connections are opened on several threads (a benchmark's desks, for one).
std::mutex g_mutex;

PasswordProvider &provider()
{
    static PasswordProvider installed;
    return installed;
}

QHash<QString, QString> &passwords()
{
    static QHash<QString, QString> kept;
    return kept;
}

} // namespace

namespace ServerPasswords {

void setProvider(PasswordProvider newProvider)
{
    const std::lock_guard lock(g_mutex);
    provider() = std::move(newProvider);
}

std::optional<QString> ask(const PasswordRequest &request)
{
    PasswordProvider ask;
    {
        const std::lock_guard lock(g_mutex);
        ask = provider();
    }
    // Asked without the lock held: a box waits for the user.
    if (!ask)
        return std::nullopt;
    return ask(request);
}

QString remembered(const QString &identity)
{
    const std::lock_guard lock(g_mutex);
    return passwords().value(identity);
}

void remember(const QString &identity, const QString &password)
{
    const std::lock_guard lock(g_mutex);
    passwords().insert(identity, password);
}

void forget(const QString &identity)
{
    const std::lock_guard lock(g_mutex);
    passwords().remove(identity);
}

} // namespace ServerPasswords
