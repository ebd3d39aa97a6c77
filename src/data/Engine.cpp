#include "Engine.h"

#include "SqliteEngine.h"

const Engine &Engine::forLocation(const QString &location)
{
    // Every location is a database file for now; a server's URL (postgresql://...)
    // will be told apart here.
    Q_UNUSED(location);
    static const SqliteEngine sqlite;
    return sqlite;
}
