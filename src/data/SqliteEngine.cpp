#include "SqliteEngine.h"

#include "NameFold.h"

#include "DataError.h"
#include "Database.h"
#include "SqliteFunctions.h"
#include "WriteTransaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <sqlite3.h>

namespace {

// Whether the file may be written: the write permission of the file (honoured even
// for an administrator, who could write regardless) and of its folder (SQLite writes
// its journal beside the file).
bool writable(const QFileInfo &info)
{
    // The mode bits, not WriteUser: that one asks the system, which lets an administrator write anything.
    const auto writeBits = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (!info.isWritable() || !(info.permissions() & writeBits))
        return false;
    const QFileInfo folder(info.absolutePath());
    return folder.isWritable();
}

sqlite3 *handleOf(const QSqlDatabase &connection)
{
    const QVariant handle = connection.driver() ? connection.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

// Currency holds whole ten-thousandths only: a binary float never gets in.
QString columnDefinition(const FieldDef &field)
{
    switch (field.kind) {
    case FieldKind::Integer:
        return field.name + QStringLiteral(" INTEGER");
    case FieldKind::Text:
    case FieldKind::Date: // ISO text, "yyyy-MM-dd"
    case FieldKind::DateTime: // ISO text in UTC, "yyyy-MM-ddTHH:mm:ss.zzzZ", which sorts as it reads
        return field.name + QStringLiteral(" TEXT");
    case FieldKind::Currency:
        return QStringLiteral("%1 INTEGER CHECK (typeof(%1) IN ('integer', 'null'))").arg(field.name);
    case FieldKind::YesNo:
        return QStringLiteral("%1 INTEGER NOT NULL DEFAULT 0 CHECK (%1 IN (0, 1))").arg(field.name);
    }
    return field.name;
}

bool isKey(const FieldDef &field, const SourceDef &source)
{
    return field.name.compare(source.keyField, Qt::CaseInsensitive) == 0;
}

} // namespace

// ---- the location ---------------------------------------------------------------

QString SqliteEngine::absoluteLocation(const QString &location) const
{
    return QFileInfo(location).absoluteFilePath();
}

QString SqliteEngine::displayName(const QString &location) const
{
    return QDir::toNativeSeparators(QFileInfo(location).absoluteFilePath());
}

void SqliteEngine::checkLocation(const QString &location) const
{
    using namespace DataError;
    const QString name = displayName(location);
    const QFileInfo info(location);
    if (!info.exists())
        throw makeWithText(FileNotFound, QStringLiteral("The database file \"%1\" does not exist. Check the "
                                                        "database folder, or make a new database with "
                                                        "quorvex-db create.").arg(name));
    if (!info.isFile())
        throw makeWithText(CannotOpenFile, QStringLiteral("\"%1\" is a folder, not a database file. Choose the "
                                                          "folder that holds Quorvex.mdb.").arg(name));
    QFile f(location);
    if (!f.open(QIODevice::ReadOnly))
        throw makeWithText(CannotOpenFile, QStringLiteral("The database file \"%1\" cannot be read (%2). Check "
                                                          "that you may read it, then try again.")
                                               .arg(name, f.errorString()));
    const QByteArray head = f.read(100);
    f.close();
    if (head.isEmpty())
        throw makeWithText(UnrecognizedFormat, QStringLiteral("The database file \"%1\" is empty (0 bytes): it "
                                                              "holds no data. Restore it from a backup, or make a "
                                                              "new database with quorvex-db create.").arg(name));
    static const QByteArray jetMagic("\x00\x01\x00\x00", 4);
    if (head.startsWith(jetMagic)
        && (head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB"))
        throw makeWithText(UnrecognizedFormat, QStringLiteral("\"%1\" is an Access (Jet) database file; Quorvex "
                                                              "needs a database made by quorvex-db. Make one "
                                                              "with quorvex-db create and enter the data there.")
                                                   .arg(name));
    static const QByteArray sqliteMagic("SQLite format 3\0", 16);
    if (!head.startsWith(sqliteMagic))
        throw makeWithText(UnrecognizedFormat, QStringLiteral("\"%1\" is not a Quorvex database (it is not a "
                                                              "database file at all, or it is damaged). Choose "
                                                              "the right file, or make a new database with "
                                                              "quorvex-db create.").arg(name));
}

void SqliteEngine::createLocation(const QString &location) const
{
    const QString name = displayName(location);
    QFile f(location);
    // NewOnly: refuse an existing file, even one that appears between check and creation.
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (QFileInfo::exists(location))
            throw DataError::makeWithText(DataError::CannotOpenFile,
                                          QStringLiteral("\"%1\" already exists; it was left as it is. Choose "
                                                         "another folder, or move the file away first.")
                                              .arg(name));
        throw DataError::makeWithText(DataError::CannotOpenFile,
                                      QStringLiteral("The database file \"%1\" cannot be made (%2). Check that the "
                                                     "folder exists and that you may write there.")
                                          .arg(name, f.errorString()));
    }
    f.close();
}

void SqliteEngine::discardLocation(const QString &location) const noexcept
{
    QFile::remove(location);
}

// ---- the connection -------------------------------------------------------------

QString SqliteEngine::driverName() const
{
    return QStringLiteral("QSQLITE");
}

Engine::Access SqliteEngine::open(QSqlDatabase &connection, const QString &location, int busyTimeoutMs) const
{
    const bool readOnly = !writable(QFileInfo(location));
    connection.setDatabaseName(location);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs);
    if (readOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    connection.setConnectOptions(options);
    if (!connection.open())
        throw DataError::makeWithText(DataError::CannotOpenFile,
                                      QStringLiteral("The database file \"%1\" cannot be opened (%2). Check that it "
                                                     "exists and that you may read it, then try again.")
                                          .arg(displayName(location), connection.lastError().text()));
    if (!SqliteFunctions::install(handleOf(connection)))
        throw DataError::make(DataError::Generic, QStringLiteral("the search functions could not be installed"));
    if (!readOnly) {
        // Rollback-journal mode: its locking is the one that holds on network shares.
        ignoreErrors([&connection] { QSqlQuery(QStringLiteral("PRAGMA journal_mode=DELETE"), connection).finish(); });
    }
    return readOnly ? Access::ReadOnly : Access::ReadWrite;
}

void SqliteEngine::setBusyTimeout(QSqlDatabase &connection, int milliseconds) const
{
    if (sqlite3 *handle = handleOf(connection))
        sqlite3_busy_timeout(handle, milliseconds);
}

QString SqliteEngine::beginWriteStatement() const
{
    // A deferred BEGIN would take the write lock only at the first write, and two
    // such readers-turned-writers fail at once instead of waiting for each other.
    return QStringLiteral("BEGIN IMMEDIATE");
}

qint64 SqliteEngine::reserveKey(Database &db, const QString &table, const QString &keyField) const
{
    // sqlite_sequence has no unique constraint on name, so the row is made only
    // when none exists, inside the write lock.
    WriteTransaction write(db);
    qint64 key = 0;
    QSqlQuery bump = db.query(QStringLiteral("UPDATE sqlite_sequence SET seq = seq + 1 WHERE name = ? RETURNING seq"),
                              {table});
    const bool bumped = bump.next();
    if (bumped)
        key = bump.value(0).toLongLong();
    bump.finish();
    if (!bumped) {
        db.execute(QStringLiteral("INSERT INTO sqlite_sequence (name, seq) SELECT ?, coalesce((SELECT max(%1) "
                                  "FROM %2), 0) + 1 WHERE NOT EXISTS (SELECT 1 FROM sqlite_sequence WHERE name = ?)")
                       .arg(keyField, table),
                   {table, table});
        QSqlQuery read = db.query(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?"), {table});
        if (read.next())
            key = read.value(0).toLongLong();
        read.finish();
    }
    write.commit();
    return key;
}

void SqliteEngine::lockTableForWrite(Database &, const QString &) const
{
    // BEGIN IMMEDIATE took the file's write lock already.
}

qint64 SqliteEngine::highestKey(Database &db, const QString &table, const QString &keyField) const
{
    QSqlQuery q = db.query(QStringLiteral("SELECT max(coalesce((SELECT max(%1) FROM %2), 0), coalesce((SELECT "
                                          "max(seq) FROM sqlite_sequence WHERE name = ?), 0))")
                               .arg(keyField, table),
                           {table});
    const qint64 key = q.next() ? q.value(0).toLongLong() : 0;
    q.finish();
    return key;
}

void SqliteEngine::keepKeysAbove(Database &db, const QString &table, const QString &keyField, qint64 key) const
{
    if (highestKey(db, table, keyField) >= key)
        return;
    if (db.execute(QStringLiteral("UPDATE sqlite_sequence SET seq = ? WHERE name = ?"), {key, table}) == 0)
        db.execute(QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES (?, ?)"), {table, key});
}

AppError SqliteEngine::error(const QSqlError &error, const QString &location) const
{
    const int code = error.nativeErrorCode().toInt() & 0xff; // the primary result code
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    const QString where = location.isEmpty() ? QString() : displayName(location) + QStringLiteral(": ");
    switch (code) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return DataError::make(DataError::Locked, where + text);
    case SQLITE_READONLY:
        return DataError::make(DataError::ReadOnly, where + text);
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return DataError::make(DataError::UnrecognizedFormat, where + text);
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        return DataError::make(DataError::CannotOpenFile, where + text);
    case SQLITE_CONSTRAINT:
        if (text.contains(QLatin1String("UNIQUE")) || text.contains(QLatin1String("PRIMARY KEY")))
            return DataError::make(DataError::DuplicateKey, where + text);
        return DataError::make(DataError::TypeMismatch, where + text);
    default:
        break;
    }
    if (text.contains(QLatin1String("no such column")))
        return DataError::make(DataError::UnknownField, where + text);
    if (text.contains(QLatin1String("no such table")))
        return DataError::make(DataError::UnknownSource, where + text);
    if (text.contains(QLatin1String("syntax error")))
        return DataError::make(DataError::SyntaxError, where + text);
    return DataError::make(DataError::Generic, where + text);
}

AppError SqliteEngine::readOnlyError(const QString &location) const
{
    return DataError::makeWithText(DataError::ReadOnly,
                                   QStringLiteral("The database file \"%1\" is read-only, so nothing can be "
                                                  "changed. Ask for write permission on the file and its folder, "
                                                  "then open it again.")
                                       .arg(displayName(location)));
}

bool SqliteEngine::connectionLost(const QSqlDatabase &, const QSqlError &) const
{
    return false; // a file has no connection to lose
}

AppError SqliteEngine::connectionLostError(const QString &location) const
{
    return DataError::make(DataError::CannotOpenFile, displayName(location));
}

// ---- the schema -----------------------------------------------------------------

int SqliteEngine::schemaVersion(Database &db) const
{
    QSqlQuery q = db.query(QStringLiteral("PRAGMA user_version"));
    const int version = q.next() ? q.value(0).toInt() : 0;
    q.finish();
    return version;
}

qint64 SqliteEngine::changeCounter(Database &db) const
{
    // Moves when another connection commits; this connection's own commits leave it.
    QSqlQuery &q = db.select(QStringLiteral("PRAGMA data_version"));
    const qint64 counter = q.next() ? q.value(0).toLongLong() : -1;
    q.finish();
    return counter;
}

bool SqliteEngine::hasTable(Database &db, const QString &table) const
{
    QSqlQuery q = db.query(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?"),
                           {table});
    const bool found = q.next() && q.value(0).toInt() > 0;
    q.finish();
    return found;
}

void SqliteEngine::checkNewDatabase(Database &) const
{
    // A new file takes any text.
}

AppError SqliteEngine::missingSchemaError(const QString &location) const
{
    return DataError::makeWithText(DataError::UnrecognizedFormat,
                                   QStringLiteral("The file \"%1\" is a database, but not a Quorvex database: it "
                                                  "has no Attendees table. Make a new database with quorvex-db "
                                                  "create.").arg(displayName(location)));
}

QStringList SqliteEngine::schemaPrelude() const
{
    return {}; // the collation and the LIKE function are installed on each connection
}

QStringList SqliteEngine::createPhotoTable() const
{
    return {}; // photographs stay files in the "Pic" folder beside the database
}

QStringList SqliteEngine::notifyChanges(const SourceDef &) const
{
    return {}; // desks that watch the file look at its change counter (PRAGMA data_version)
}

QStringList SqliteEngine::integrityProblems(Database &db) const
{
    QStringList problems;
    QSqlQuery q = db.query(QStringLiteral("PRAGMA integrity_check"));
    while (q.next()) {
        const QString line = q.value(0).toString();
        if (line != QLatin1String("ok"))
            problems << line;
    }
    q.finish();
    return problems;
}

// AUTOINCREMENT keys, so that a key reserved for a new row (reserveKey) is never
// handed out twice, even after the row with the largest key was deleted.
QString SqliteEngine::createTable(const SourceDef &table) const
{
    QStringList columns;
    for (const FieldDef &field : table.fields)
        columns << (isKey(field, table) ? field.name + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT")
                                        : columnDefinition(field));
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(table.name, columns.join(QStringLiteral(", ")));
}

// A view with INSTEAD OF triggers; it shows the base table's own key, so each row
// can be addressed. A Yes/No left out of an insert or update is No.
QStringList SqliteEngine::createUpdatableView(const SourceDef &view) const
{
    QStringList names;
    QStringList newValues;
    QStringList assignments;
    for (const FieldDef &field : view.fields) {
        const QString value = field.kind == FieldKind::YesNo ? QStringLiteral("coalesce(NEW.%1, 0)").arg(field.name)
                                                             : QStringLiteral("NEW.") + field.name;
        names << field.name;
        newValues << value;
        assignments << field.name + QStringLiteral(" = ") + value;
    }
    const QString list = names.join(QStringLiteral(", "));
    const QString whereKey = QStringLiteral("WHERE %1 = OLD.%1").arg(view.keyField);
    return {
        QStringLiteral("CREATE VIEW %1 AS SELECT %2 FROM %3").arg(view.name, list, view.baseTable),
        QStringLiteral("CREATE TRIGGER %1_Insert INSTEAD OF INSERT ON %1 BEGIN INSERT INTO %2 (%3) VALUES (%4); END")
            .arg(view.name, view.baseTable, list, newValues.join(QStringLiteral(", "))),
        QStringLiteral("CREATE TRIGGER %1_Update INSTEAD OF UPDATE ON %1 BEGIN UPDATE %2 SET %3 %4; END")
            .arg(view.name, view.baseTable, assignments.join(QStringLiteral(", ")), whereKey),
        QStringLiteral("CREATE TRIGGER %1_Delete INSTEAD OF DELETE ON %1 BEGIN DELETE FROM %2 %3; END")
            .arg(view.name, view.baseTable, whereKey),
    };
}

QStringList SqliteEngine::cascadeDelete(const QString &parentTable, const QString &childTable,
                                        const QString &keyField) const
{
    return {QStringLiteral("CREATE TRIGGER %1_Delete%2 AFTER DELETE ON %1 BEGIN DELETE FROM %2 WHERE %3 = OLD.%3; END")
                .arg(parentTable, childTable, keyField)};
}

QStringList SqliteEngine::setSchemaVersion(int version) const
{
    return {QStringLiteral("PRAGMA user_version = %1").arg(version)};
}

QStringList SqliteEngine::createNameSearch() const
{
    // The names by the event's key and their first letter: the search reads the
    // entries of the letters that fold to the typed first letter, and only them.
    // Built-in functions only (the folding is this program's, so it stays out of
    // the schema: any other tool can still write the file).
    return {QStringLiteral("CREATE INDEX Attendees_FirstInitial ON Attendees (ProgramID, unicode(substr(FirstName, "
                           "1, 1)), FirstName, LastName)"),
            QStringLiteral("CREATE INDEX Attendees_LastInitial ON Attendees (ProgramID, unicode(substr(LastName, 1, "
                           "1)), LastName, FirstName)")};
}

// ---- SQL pieces -----------------------------------------------------------------

SqlFragment SqliteEngine::startsWithFolded(const QString &column, const QString &foldedPrefix) const
{
    // The first letter picks the index entries (createNameSearch); the folded
    // comparison decides among them.
    SqlFragment f;
    QStringList marks;
    for (const char32_t letter : NameFold::lettersFoldingTo(foldedPrefix.front())) {
        marks << QStringLiteral("?");
        f.params << qint64(letter);
    }
    f.sql = QStringLiteral("unicode(substr(%1, 1, 1)) IN (%2) AND %3(%1, ?)")
                .arg(column, marks.join(QStringLiteral(", ")), QLatin1String(SqliteFunctions::StartsFunction));
    f.params << foldedPrefix;
    return f;
}

SqlFragment SqliteEngine::like(const QString &column, const QString &pattern) const
{
    return {QStringLiteral("%1(%2, ?)").arg(QLatin1String(SqliteFunctions::LikeFunction), column), {pattern}};
}

QString SqliteEngine::caseless(const QString &column) const
{
    return column + QStringLiteral(" COLLATE ") + QLatin1String(SqliteFunctions::NoCaseCollation);
}

QString SqliteEngine::nullSafeEquals(const QString &column) const
{
    return column + QStringLiteral(" IS ?");
}
