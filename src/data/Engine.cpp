#include "Engine.h"

#include "PostgresEngine.h"
#include "SqliteEngine.h"

bool Engine::isServerLocation(const QString &location)
{
    const QString trimmed = location.trimmed();
    return trimmed.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
           || trimmed.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

const Engine &Engine::forLocation(const QString &location)
{
    static const SqliteEngine sqlite;
    static const PostgresEngine postgres;
    if (isServerLocation(location))
        return postgres;
    return sqlite;
}
