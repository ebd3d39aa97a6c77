#pragma once

#include <QSqlRecord>
#include <QString>
#include <QTemporaryDir>

// A test's own world: a temporary settings store and a temporary folder for the
// database, the program's folder and pictures. Never the user's. (The windows'
// tests use TestEnvironment, which adds the fake camera and the context.)
class DataTestEnvironment
{
public:
    DataTestEnvironment();
    virtual ~DataTestEnvironment();

    QString root() const;              // the temporary folder, ending with a separator
    QString settingsFolder() const;
    // A folder (created) below root, ending with a separator.
    QString folder(const QString &name) const;
    // Creates an empty Quorvex.mdb with the schema in `folder` and returns its file name.
    QString createDatabase(const QString &folder) const;
    // Plain SQL for checking results: the first column of the first row.
    static QVariant scalar(const QString &databaseFile, const QString &sql, const QVariantList &params = {});
    // The first row, every column (empty when there is none).
    static QSqlRecord row(const QString &databaseFile, const QString &sql, const QVariantList &params = {});
    // Runs a statement on its own connection (preparing data the way another workstation would).
    static void exec(const QString &databaseFile, const QString &sql, const QVariantList &params = {});

private:
    QTemporaryDir m_dir;
};
