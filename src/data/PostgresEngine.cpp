#include "PostgresEngine.h"

#include "NameFold.h"

#include "DataError.h"
#include "Database.h"
#include "ServerAddress.h"
#include "ServerDiagnosis.h"
#include "ServerPasswords.h"
#include "SqliteFunctions.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <libpq-fe.h>

namespace {

// The collations the schema makes: caseless comparison and ordering (ICU's root
// order at the secondary strength: letter case aside, accents not), and the one
// the case-insensitive regular expressions of LIKE fold case with (the server's
// own locale may be "C", which folds ASCII only).
const QString NoCase = QStringLiteral("quorvex_nocase");
const QString Fold = QStringLiteral("quorvex_fold");
const QString VersionTable = QStringLiteral("QuorvexSchema");
const QString NameKey = QStringLiteral("quorvex_name_key");
constexpr int PasswordAttempts = 3;

ServerAddress addressOf(const QString &location)
{
    const std::optional<ServerAddress> address = ServerAddress::parse(location);
    if (!address)
        throw DataError::makeWithText(DataError::CannotOpenFile,
                                      QStringLiteral("\"%1\" is not a database server address Quorvex can read. "
                                                     "Write it as postgresql://USER@HOST:PORT/DATABASE, for "
                                                     "example postgresql://desk@db.example.org:5432/quorvex.")
                                          .arg(location.trimmed()));
    return *address;
}

// libpq's options: the URL's own, and what a desk needs unless the URL says
// otherwise: a connection attempt that gives up, and a lost server (a cable out)
// noticed within seconds rather than the system's minutes.
QList<std::pair<QString, QString>> connectionOptions(const ServerAddress &address)
{
    QList<std::pair<QString, QString>> options = address.options;
    const std::pair<const char *, const char *> defaults[] = {
        {"connect_timeout", "5"}, {"application_name", "Quorvex"}, {"keepalives_idle", "10"},
        {"keepalives_interval", "5"}, {"keepalives_count", "3"}, {"tcp_user_timeout", "15000"},
    };
    for (const auto &[key, value] : defaults) {
        if (address.option(QLatin1String(key)).isEmpty())
            options.append({QLatin1String(key), QLatin1String(value)});
    }
    return options;
}

// The options as QPSQL passes them to libpq: key='value' pairs (its separator ';'
// becomes a blank).
QString driverOptions(const QList<std::pair<QString, QString>> &options)
{
    QStringList pairs;
    for (const auto &[key, value] : options) {
        QString quoted = value;
        quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\''), QLatin1String("\\'"));
        pairs << key + QStringLiteral("='") + quoted + QLatin1Char('\'');
    }
    return pairs.join(QLatin1Char(';'));
}

QString where(const ServerAddress &address)
{
    return QStringLiteral("the database \"%1\" on the server %2").arg(address.database, address.server());
}

AppError unreachable(const ServerAddress &address, const QString &reason)
{
    return DataError::makeWithText(
        DataError::ServerUnreachable,
        QStringLiteral("The database server %1 cannot be reached (%2). Check that the server is running and that "
                       "this computer reaches it over the network, then try again.")
            .arg(address.server(), reason));
}

// A statement run on a connection before the Database around it exists.
bool run(QSqlDatabase &connection, const QString &sql)
{
    QSqlQuery q(connection);
    const bool ok = q.exec(sql);
    q.finish();
    return ok;
}

QString sqlState(const QSqlError &error)
{
    return error.nativeErrorCode().trimmed();
}

// The sequence behind a table's autonumber key.
QString sequenceOf(const QString &table, const QString &keyField)
{
    // pg_get_serial_sequence reads the table as a name (folded) but the column literally.
    return QStringLiteral("pg_get_serial_sequence('%1', '%2')").arg(table.toLower(), keyField.toLower());
}

qint64 scalar(Database &db, const QString &sql, const QVariantList &params = {})
{
    QSqlQuery q = db.query(sql, params);
    const qint64 value = q.next() ? q.value(0).toLongLong() : 0;
    q.finish();
    return value;
}

} // namespace

// ---- the location ---------------------------------------------------------------

QString PostgresEngine::absoluteLocation(const QString &location) const
{
    const std::optional<ServerAddress> address = ServerAddress::parse(location);
    return address ? address->url() : location.trimmed();
}

QString PostgresEngine::displayName(const QString &location) const
{
    return absoluteLocation(location);
}

void PostgresEngine::checkLocation(const QString &location) const
{
    (void)addressOf(location);
    if (!QSqlDatabase::isDriverAvailable(driverName()))
        throw DataError::makeWithText(DataError::CannotOpenFile,
                                      QStringLiteral("Qt's driver for PostgreSQL servers (QPSQL) is not installed, "
                                                     "so %1 cannot be opened. Install it (on Debian the package "
                                                     "libqt6sql6-psql), then try again.")
                                          .arg(where(addressOf(location))));
}

void PostgresEngine::createLocation(const QString &location) const
{
    // The database itself is made by the server's administrator (createdb); the
    // schema goes into it in one transaction.
    checkLocation(location);
}

void PostgresEngine::discardLocation(const QString &) const noexcept
{
    // Nothing was made outside the transaction that was rolled back.
}

// ---- the connection -------------------------------------------------------------

QString PostgresEngine::driverName() const
{
    return QStringLiteral("QPSQL");
}

Engine::Access PostgresEngine::open(QSqlDatabase &connection, const QString &location, int busyTimeoutMs) const
{
    checkLocation(location);
    const ServerAddress address = addressOf(location);
    const QString identity = address.url();
    const QList<std::pair<QString, QString>> options = connectionOptions(address);
    connection.setHostName(address.host);
    connection.setPort(address.port);
    connection.setUserName(address.user);
    connection.setDatabaseName(address.database);
    connection.setConnectOptions(driverOptions(options));

    QString password = address.password.isEmpty() ? ServerPasswords::remembered(identity) : address.password;
    bool asked = false;
    for (int attempt = 0;; ++attempt) {
        connection.setPassword(password);
        if (connection.open())
            break;
        const ServerDiagnosis diagnosis = ServerDiagnosis::of(address, password, options);
        using Outcome = ServerDiagnosis::Outcome;
        // libpq's own first line when the diagnosis has no words of its own (a server out of reach).
        QString reason = diagnosis.reason;
        if (reason.isEmpty()) {
            reason = connection.lastError().databaseText().trimmed();
            reason.truncate(reason.indexOf(QLatin1Char('\n')) < 0 ? reason.size() : reason.indexOf(QLatin1Char('\n')));
        }
        switch (diagnosis.outcome) {
        case Outcome::Connected:
            if (attempt < 2)
                continue; // a passing failure: try again
            throw DataError::makeWithText(DataError::CannotOpenFile,
                                          QStringLiteral("The database \"%1\" on the server %2 cannot be opened (%3). "
                                                             "Try again.")
                                              .arg(address.database, address.server(),
                                                   connection.lastError().text().trimmed()));
        case Outcome::Unreachable:
            throw unreachable(address, reason);
        case Outcome::Refused:
            throw DataError::makeWithText(
                DataError::CannotOpenFile,
                QStringLiteral("The server %1 refused to open the database \"%2\" for %3 (%4). Check the user and "
                               "the database named in the address \"%5\" with the server's administrator, then "
                               "try again.")
                    .arg(address.server(), address.database, address.userName(), reason, identity));
        case Outcome::NeedsPassword:
        case Outcome::PasswordRefused:
            break;
        }
        // A password is wanted: one the URL gives is not asked for again, one kept is forgotten.
        const bool refused = diagnosis.outcome == Outcome::PasswordRefused;
        if (refused)
            ServerPasswords::forget(identity);
        if ((refused && !address.password.isEmpty()) || attempt >= PasswordAttempts)
            throw DataError::makeWithText(
                DataError::LoginRefused,
                QStringLiteral("The server %1 refused the login of %2 (%3). Check the user name and the password, "
                               "then try again.")
                    .arg(address.server(), address.userName(), reason));
        const std::optional<QString> answer =
            ServerPasswords::ask({address.server(), address.database, address.user, refused, reason});
        if (!answer)
            throw DataError::makeWithText(
                DataError::LoginRefused,
                QStringLiteral("The server %1 asks for the password of %2 for the database \"%3\", and none was "
                               "given, so the database was not opened. Give the password (or put it in the "
                               "password file ~/.pgpass), then try again.")
                    .arg(address.server(), address.userName(), address.database));
        password = *answer;
        asked = true;
    }
    if (asked)
        ServerPasswords::remember(identity, password);

    // Only warnings and errors (no notices of "IF NOT EXISTS" on standard error).
    run(connection, QStringLiteral("SET client_min_messages = warning"));
    setBusyTimeout(connection, busyTimeoutMs);
    // Read-only when the user may not change the attendees, or the server only reads (a standby).
    QSqlQuery access(connection);
    bool readOnly = false;
    if (access.exec(QStringLiteral("SELECT CASE WHEN to_regclass('attendees') IS NULL THEN true ELSE "
                                   "has_table_privilege('attendees', 'UPDATE') END, "
                                   "current_setting('transaction_read_only')"))
        && access.next())
        readOnly = !access.value(0).toBool() || access.value(1).toString() == QLatin1String("on");
    access.finish();
    return readOnly ? Access::ReadOnly : Access::ReadWrite;
}

void PostgresEngine::setBusyTimeout(QSqlDatabase &connection, int milliseconds) const
{
    run(connection, QStringLiteral("SET lock_timeout = %1").arg(std::max(milliseconds, 1)));
}

QString PostgresEngine::beginWriteStatement() const
{
    // Rows are locked as they are written; nothing to take at once.
    return QStringLiteral("BEGIN");
}

void PostgresEngine::lockTableForWrite(Database &db, const QString &table) const
{
    // Conflicts with itself and with every write, not with reading.
    db.execute(QStringLiteral("LOCK TABLE %1 IN SHARE ROW EXCLUSIVE MODE").arg(table));
}

qint64 PostgresEngine::reserveKey(Database &db, const QString &table, const QString &keyField) const
{
    // nextval() never hands a number out twice, not even to two desks at once, and
    // needs no transaction (it is never rolled back). Rows written with keys of
    // their own (by hand, or a reporting tool) may lie ahead of the sequence: then
    // it is drawn on past them, never set back.
    if (db.isReadOnly())
        throw db.readOnlyError();
    const QString sequence = sequenceOf(table, keyField);
    QSqlQuery q = db.query(QStringLiteral("SELECT nextval(%1), (SELECT max(%2) FROM %3)").arg(sequence, keyField, table));
    qint64 key = 0;
    qint64 highest = 0;
    if (q.next()) {
        key = q.value(0).toLongLong();
        highest = q.value(1).toLongLong();
    }
    q.finish();
    while (key > 0 && key <= highest) {
        key = scalar(db, QStringLiteral("SELECT max(nextval(%1)) FROM generate_series(1, ?)").arg(sequence),
                     {highest - key + 1});
        highest = scalar(db, QStringLiteral("SELECT coalesce(max(%1), 0) FROM %2").arg(keyField, table));
    }
    return key;
}

qint64 PostgresEngine::highestKey(Database &db, const QString &table, const QString &keyField) const
{
    return scalar(db, QStringLiteral("SELECT greatest(coalesce((SELECT max(%1) FROM %2), 0), "
                                     "coalesce(pg_sequence_last_value(%3::regclass), 0))")
                          .arg(keyField, table, sequenceOf(table, keyField)));
}

void PostgresEngine::keepKeysAbove(Database &db, const QString &table, const QString &keyField, qint64 key) const
{
    if (key < 1)
        return;
    QSqlQuery q = db.query(QStringLiteral("SELECT setval(%1, greatest(?, coalesce(pg_sequence_last_value(%1::regclass), 0)))")
                               .arg(sequenceOf(table, keyField)),
                           {key});
    q.finish();
}

AppError PostgresEngine::error(const QSqlError &error, const QString &location) const
{
    const QString state = sqlState(error);
    QString text = error.databaseText().trimmed();
    // The driver appends the state in parentheses, and psql's pointer lines: the first line says it.
    const qsizetype newline = text.indexOf(QLatin1Char('\n'));
    if (newline > 0)
        text.truncate(newline);
    if (text.startsWith(QLatin1String("ERROR:")))
        text = text.mid(6).trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    const QString detail = displayName(location) + QStringLiteral(": ") + text;
    if (state == QLatin1String("55P03") || state == QLatin1String("40P01"))
        return DataError::make(DataError::Locked, detail);
    if (state == QLatin1String("40001"))
        return DataError::make(DataError::WriteConflict, detail);
    if (state == QLatin1String("23505"))
        return DataError::make(DataError::DuplicateKey, detail);
    if (state == QLatin1String("25006") || state == QLatin1String("42501"))
        return DataError::make(DataError::ReadOnly, detail);
    if (state == QLatin1String("42P01"))
        return DataError::make(DataError::UnknownSource, detail);
    if (state == QLatin1String("42703"))
        return DataError::make(DataError::UnknownField, detail);
    if (state == QLatin1String("42601"))
        return DataError::make(DataError::SyntaxError, detail);
    // Integrity constraints (a Yes/No that is not 0 or 1, a NULL where none may be)
    // and values the column's type cannot read.
    if (state.startsWith(QLatin1String("23")) || state.startsWith(QLatin1String("22"))
        || state == QLatin1String("42804"))
        return DataError::make(DataError::TypeMismatch, detail);
    if (state.startsWith(QLatin1String("08")))
        return connectionLostError(location);
    return DataError::make(DataError::Generic, detail);
}

AppError PostgresEngine::readOnlyError(const QString &location) const
{
    const ServerAddress address = addressOf(location);
    return DataError::makeWithText(DataError::ReadOnly,
                                   QStringLiteral("The database \"%1\" on the server %2 may only be read by %3, so "
                                                  "nothing can be changed; nothing was saved. Ask the server's "
                                                  "administrator for permission to write, then open it again.")
                                       .arg(address.database, address.server(), address.userName()));
}

bool PostgresEngine::connectionLost(const QSqlDatabase &connection, const QSqlError &error) const
{
    // The driver closes itself when libpq finds the connection gone.
    if (!connection.isOpen())
        return true;
    const QString state = sqlState(error);
    return state.startsWith(QLatin1String("08")) || state == QLatin1String("57P01") || state == QLatin1String("57P02")
           || state == QLatin1String("57P03");
}

void PostgresEngine::deliverNotices(Database &db) const
{
    // An idle listening connection is not always woken by another connection's
    // commit (found by trying on 15: the notice waited on the server until this
    // connection's next statement). A statement of nothing hands it over; the
    // driver then passes it on after the result.
    db.execute(QStringLiteral("SELECT 1"));
}

bool PostgresEngine::connectionAlive(const QSqlDatabase &connection) const
{
    if (!connection.isOpen())
        return false;
    // The driver reads the socket of a subscribed connection as data arrives, so a
    // server that went away has left libpq's status bad without a statement run.
    const QVariant handle = connection.driver()->handle();
    if (qstrcmp(handle.typeName(), "PGconn*") != 0)
        return true;
    PGconn *pg = *static_cast<PGconn *const *>(handle.constData());
    return pg && PQstatus(pg) == CONNECTION_OK;
}

AppError PostgresEngine::connectionLostError(const QString &location) const
{
    const std::optional<ServerAddress> address = ServerAddress::parse(location);
    return DataError::makeWithText(
        DataError::ServerUnreachable,
        QStringLiteral("The connection to the database server %1 was lost (the server was restarted, or the "
                       "network is down). Nothing was saved and what you typed is kept. When the server is back, "
                       "try again: the connection is made again by itself.")
            .arg(address ? address->server() : location));
}

// ---- the schema -----------------------------------------------------------------

int PostgresEngine::schemaVersion(Database &db) const
{
    if (!hasTable(db, VersionTable))
        return 0;
    return int(scalar(db, QStringLiteral("SELECT coalesce(max(Version), 0) FROM %1").arg(VersionTable)));
}

bool PostgresEngine::hasTable(Database &db, const QString &table) const
{
    return scalar(db, QStringLiteral("SELECT count(*) FROM information_schema.tables WHERE table_schema = "
                                     "current_schema() AND table_name = lower(?)"),
                  {table})
           > 0;
}

void PostgresEngine::checkNewDatabase(Database &db) const
{
    QSqlQuery q = db.query(QStringLiteral("SELECT current_setting('server_encoding')"));
    const QString encoding = q.next() ? q.value(0).toString() : QString();
    q.finish();
    if (encoding.compare(QLatin1String("UTF8"), Qt::CaseInsensitive) != 0) {
        const ServerAddress address = addressOf(db.location());
        throw DataError::makeWithText(
            DataError::UnrecognizedFormat,
            QStringLiteral("The database \"%1\" on the server %2 stores text as %3, which cannot hold every "
                           "alphabet; Quorvex needs UTF8. Make the database with: createdb -E UTF8 -T template0 "
                           "%1; then try again.")
                .arg(address.database, address.server(), encoding));
    }
}

AppError PostgresEngine::missingSchemaError(const QString &location) const
{
    const ServerAddress address = addressOf(location);
    return DataError::makeWithText(
        DataError::UnrecognizedFormat,
        QStringLiteral("The database \"%1\" on the server %2 is not a Quorvex database: it has no Attendees table. "
                       "Make the tables with quorvex-db create %3 (or copy a database file there with "
                       "quorvex-db copy), then try again.")
            .arg(address.database, address.server(), address.url()));
}

QStringList PostgresEngine::schemaPrelude() const
{
    return {
        QStringLiteral("CREATE COLLATION IF NOT EXISTS %1 (provider = icu, locale = 'und-u-ks-level2', "
                       "deterministic = false)").arg(NoCase),
        QStringLiteral("CREATE COLLATION IF NOT EXISTS %1 (provider = icu, locale = 'und')").arg(Fold),
        // "table key" on the channel, for every row written; the key column is the trigger's argument.
        QStringLiteral("CREATE FUNCTION Quorvex_Notify() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                       "PERFORM pg_notify('%1', lower(TG_TABLE_NAME) || ' ' || coalesce((CASE WHEN TG_OP = "
                       "'DELETE' THEN to_jsonb(OLD) ELSE to_jsonb(NEW) END) ->> TG_ARGV[0], '')); "
                       "RETURN NULL; END $$").arg(QLatin1String(ChangeChannel)),
    };
}

QString PostgresEngine::createTable(const SourceDef &table) const
{
    QStringList columns;
    for (const FieldDef &field : table.fields) {
        if (field.name.compare(table.keyField, Qt::CaseInsensitive) == 0) {
            columns << field.name + QStringLiteral(" BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY");
            continue;
        }
        switch (field.kind) {
        case FieldKind::Integer:
            columns << field.name + QStringLiteral(" BIGINT");
            break;
        case FieldKind::Text:
            columns << field.name + QStringLiteral(" TEXT");
            break;
        case FieldKind::Date:
            columns << field.name + QStringLiteral(" DATE");
            break;
        case FieldKind::DateTime:
            columns << field.name + QStringLiteral(" TIMESTAMPTZ");
            break;
        case FieldKind::Currency: // whole ten-thousandths, as on the file
            columns << field.name + QStringLiteral(" BIGINT");
            break;
        case FieldKind::YesNo:
            columns << QStringLiteral("%1 SMALLINT NOT NULL DEFAULT 0 CHECK (%1 IN (0, 1))").arg(field.name);
            break;
        }
    }
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(table.name, columns.join(QStringLiteral(", ")));
}

QStringList PostgresEngine::createUpdatableView(const SourceDef &view) const
{
    // A view of one table's columns is updatable as it is; what an insert leaves
    // out gets the table's defaults (a Yes/No is No).
    QStringList names;
    for (const FieldDef &field : view.fields)
        names << field.name;
    return {QStringLiteral("CREATE VIEW %1 AS SELECT %2 FROM %3").arg(view.name, names.join(QStringLiteral(", ")), view.baseTable)};
}

QStringList PostgresEngine::cascadeDelete(const QString &parentTable, const QString &childTable,
                                          const QString &keyField) const
{
    // A trigger rather than a foreign key: the relation is the program's, and a
    // donation may be written for an attendee key another desk has just deleted.
    const QString name = QStringLiteral("%1_Delete_%2").arg(parentTable, childTable);
    return {
        QStringLiteral("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN DELETE FROM %2 WHERE %3 = "
                       "OLD.%3; RETURN OLD; END $$").arg(name, childTable, keyField),
        QStringLiteral("CREATE TRIGGER %1 AFTER DELETE ON %2 FOR EACH ROW EXECUTE FUNCTION %1()").arg(name, parentTable),
    };
}

QStringList PostgresEngine::createPhotoTable() const
{
    // One row per attendee with a photograph: read only when the attendee is shown.
    const SourceDef photos {QStringLiteral("Photos"), QStringLiteral("Photos"), QStringLiteral("AttendeeID"), {}};
    QStringList statements {QStringLiteral("CREATE TABLE Photos (AttendeeID BIGINT PRIMARY KEY, Photo BYTEA NOT NULL, "
                                           "Changed TIMESTAMPTZ NOT NULL DEFAULT CURRENT_TIMESTAMP)")};
    statements += cascadeDelete(QStringLiteral("Attendees"), QStringLiteral("Photos"), QStringLiteral("AttendeeID"));
    statements += notifyChanges(photos);
    return statements;
}

QStringList PostgresEngine::notifyChanges(const SourceDef &table) const
{
    return {QStringLiteral("CREATE TRIGGER %1_Notify AFTER INSERT OR UPDATE OR DELETE ON %1 FOR EACH ROW EXECUTE "
                           "FUNCTION Quorvex_Notify('%2')")
                .arg(table.baseTable, table.keyField.toLower())};
}

QStringList PostgresEngine::setSchemaVersion(int version) const
{
    return {
        QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (Version INTEGER NOT NULL)").arg(VersionTable),
        QStringLiteral("DELETE FROM %1").arg(VersionTable),
        QStringLiteral("INSERT INTO %1 (Version) VALUES (%2)").arg(VersionTable).arg(version),
    };
}

QStringList PostgresEngine::integrityProblems(Database &db) const
{
    // The server keeps its own files whole; what it cannot know is whether the
    // collations the comparisons rely on are still there.
    QStringList problems;
    for (const QString &collation : {NoCase, Fold}) {
        if (scalar(db, QStringLiteral("SELECT count(*) FROM pg_collation WHERE collname = ?"), {collation}) == 0)
            problems << QStringLiteral("the collation %1 is missing").arg(collation);
    }
    return problems;
}

QStringList PostgresEngine::createNameSearch() const
{
    // The folded names in byte order beside the event's key: a prefix is a range
    // of this index. translate() takes the accents off, as NameFold does.
    QString from = NameFold::accentedLetters();
    QString to = NameFold::plainLetters();
    QStringList statements {
        QStringLiteral("CREATE FUNCTION %1(name TEXT) RETURNS TEXT LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ "
                       "SELECT lower(translate(name, '%2', '%3')) $$")
            .arg(NameKey, from.replace(u'\'', QStringLiteral("''")), to.replace(u'\'', QStringLiteral("''"))),
    };
    for (const char *column : {"FirstName", "LastName"})
        statements << QStringLiteral("CREATE INDEX Attendees_%2Key ON Attendees (ProgramID, (%1(%2)) COLLATE \"C\")")
                          .arg(NameKey, QLatin1String(column));
    return statements;
}

// ---- SQL pieces -----------------------------------------------------------------

SqlFragment PostgresEngine::startsWithFolded(const QString &column, const QString &foldedPrefix) const
{
    // The names from the prefix up to the prefix with its last letter one higher:
    // a range of the index in byte order, which is code point order in UTF-8.
    QString above = foldedPrefix;
    above.back() = QChar(char16_t(above.back().unicode() + 1));
    const QString key = QStringLiteral("(%1(%2) COLLATE \"C\")").arg(NameKey, column);
    return {QStringLiteral("(%1 >= ? AND %1 < ?)").arg(key), {foldedPrefix, above}};
}

SqlFragment PostgresEngine::like(const QString &column, const QString &pattern) const
{
    // LIKE and ILIKE know neither # nor [set]: the pattern becomes a regular
    // expression, matched without regard to case under the folding collation.
    return {QStringLiteral("(%1 COLLATE %2) ~* ?").arg(column, Fold), {LikePattern(pattern).toRegularExpression()}};
}

QString PostgresEngine::caseless(const QString &column) const
{
    return QStringLiteral("(%1 COLLATE %2)").arg(column, NoCase);
}

QString PostgresEngine::nullSafeEquals(const QString &column) const
{
    return column + QStringLiteral(" IS NOT DISTINCT FROM ?");
}
