#pragma once

#include <QStringList>

class Database;
class Engine;

// How a database of an earlier schema becomes one of Schema::Version. Each
// version after the first has one step (the statements that take a database of
// the version before to it); a new database is the first schema plus every step
// (Schema::createStatements), so an upgraded database and a new one are alike.
namespace SchemaMigration {

// The statements that take a database of schema `version` to `version + 1`
// (1 <= version < Schema::Version).
QStringList step(const Engine &engine, int version);

// Brings `db` (a Quorvex database of an earlier schema) to Schema::Version in one
// write transaction, keeping every row: all the steps and the new version, or
// nothing. Another desk that upgraded first leaves nothing to do. Returns the
// version found (Schema::Version when nothing was done).
int upgrade(Database &db);

} // namespace SchemaMigration
