#pragma once

#include <QMetaType>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The engines the data tests run each body against.
enum class TestEngine { File, Server };
Q_DECLARE_METATYPE(TestEngine)

// A test's own world: a temporary settings store and a temporary folder for the
// database, the program's folder and pictures. Never the user's. (The windows'
// tests use TestEnvironment, which adds the fake camera and the context.)
class DataTestEnvironment
{
public:
    DataTestEnvironment();
    virtual ~DataTestEnvironment();

    // The rows "file" and "server" of a test's initTestCase_data(), so that every
    // test function runs once on a database file and once on the test server.
    static void addEngineRows();
    // False when `engine` is the server and none was started (a test program run
    // by hand, outside CTest): the test then skips its server row.
    static bool engineAvailable(TestEngine engine);

    QString root() const;              // the temporary folder, ending with a separator
    QString settingsFolder() const;
    // A folder (created) below root, ending with a separator.
    QString folder(const QString &name) const;
    // Creates an empty Quorvex.mdb with the schema in `folder` and returns its file name.
    QString createDatabase(const QString &folder) const;
    // A fresh database with the schema on `engine`: a file in the folder "db", or a
    // database of the test server (dropped with the environment); its location.
    QString createDatabase(TestEngine engine);
    // A server database with nothing in it (dropped with the environment).
    QString createEmptyServerDatabase();

    // Plain SQL for checking results, on a connection of its own to `location` (a
    // file or a server URL): the first column of the first row.
    static QVariant scalar(const QString &location, const QString &sql, const QVariantList &params = {});
    // The first column of every row, as text.
    static QStringList column(const QString &location, const QString &sql, const QVariantList &params = {});
    // The first row, every column (empty when there is none).
    static QSqlRecord row(const QString &location, const QString &sql, const QVariantList &params = {});
    // Runs a statement on its own connection (preparing data the way another workstation would).
    static void exec(const QString &location, const QString &sql, const QVariantList &params = {});
    static bool isServer(const QString &location);

private:
    QTemporaryDir m_dir;
    QStringList m_serverDatabases;
};
