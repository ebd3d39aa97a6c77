#pragma once

#include "Engine.h"

// The embedded engine: one SQLite file ("Quorvex.mdb") that several workstations
// share, in rollback-journal mode (its locking holds on network shares). The LIKE
// of the criteria and the caseless comparison are our own function and collation
// (SqliteFunctions), installed on every connection.
class SqliteEngine final : public Engine
{
public:
    QString absoluteLocation(const QString &location) const override;
    QString displayName(const QString &location) const override;
    void checkLocation(const QString &location) const override;
    void createLocation(const QString &location) const override;
    void discardLocation(const QString &location) const noexcept override;

    QString driverName() const override;
    Access open(QSqlDatabase &connection, const QString &location, int busyTimeoutMs) const override;
    void setBusyTimeout(QSqlDatabase &connection, int milliseconds) const override;
    QString beginWriteStatement() const override;
    void lockTableForWrite(Database &db, const QString &table) const override;
    qint64 reserveKey(Database &db, const QString &table, const QString &keyField) const override;
    qint64 highestKey(Database &db, const QString &table, const QString &keyField) const override;
    void keepKeysAbove(Database &db, const QString &table, const QString &keyField, qint64 key) const override;
    AppError error(const QSqlError &error, const QString &location) const override;
    AppError readOnlyError(const QString &location) const override;
    bool connectionLost(const QSqlDatabase &connection, const QSqlError &error) const override;
    AppError connectionLostError(const QString &location) const override;

    int schemaVersion(Database &db) const override;
    bool hasTable(Database &db, const QString &table) const override;
    void checkNewDatabase(Database &db) const override;
    AppError missingSchemaError(const QString &location) const override;
    QStringList schemaPrelude() const override;
    QString createTable(const SourceDef &table) const override;
    QStringList createUpdatableView(const SourceDef &view) const override;
    QStringList cascadeDelete(const QString &parentTable, const QString &childTable,
                              const QString &keyField) const override;
    QStringList createPhotoTable() const override;
    QStringList notifyChanges(const SourceDef &table) const override;
    QStringList setSchemaVersion(int version) const override;
    QStringList createNameSearch() const override;
    QStringList integrityProblems(Database &db) const override;

    QString changeChannel() const override { return {}; }
    void deliverNotices(Database &) const override {}
    qint64 changeCounter(Database &db) const override;
    bool connectionAlive(const QSqlDatabase &) const override { return true; }
    bool keepsPhotosInDatabase() const override { return false; }

    SqlFragment like(const QString &column, const QString &pattern) const override;
    QString caseless(const QString &column) const override;
    SqlFragment startsWithFolded(const QString &column, const QString &foldedPrefix) const override;
    QString nullSafeEquals(const QString &column) const override;
};
