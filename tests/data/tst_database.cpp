// The database and its connections, each body run on a database file and on the
// test server: the checks made before a database is opened, read-only and locked
// databases, write transactions, key reservation, the lookup tables, the schema's
// own rules and currency; on the server also the password a server asks for and a
// connection lost under a desk.
#include "DataTestEnvironment.h"
#include "TestServer.h"
#include "ThrownError.h"
#include "data/AttendeeSearch.h"
#include "data/CardPrintLog.h"
#include "data/CheckInLog.h"
#include "data/Currency.h"
#include "data/DataError.h"
#include "data/Database.h"
#include "data/Engine.h"
#include "data/LookupTable.h"
#include "data/PhotoStore.h"
#include "data/Recordset.h"
#include "data/Schema.h"
#include "data/SchemaMigration.h"
#include "data/ServerAddress.h"
#include "data/ServerPasswords.h"
#include "data/WriteTransaction.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSemaphore>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QUrl>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

QByteArray fileBytes(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The server as messages name it: "127.0.0.1:PORT".
QString serverOf(const QString &url)
{
    const QUrl u(url);
    return u.host() + u':' + QString::number(u.port());
}

// A role of the test server that may log in; made once per server.
void ensureRole(const QString &maintenance, const QString &role, const QString &password = QString())
{
    const QString login = password.isEmpty() ? u"LOGIN"_s : u"LOGIN PASSWORD '%1'"_s.arg(password);
    DataTestEnvironment::exec(maintenance, u"DO $$ BEGIN CREATE ROLE %1 %2; EXCEPTION WHEN duplicate_object THEN "
                                           "ALTER ROLE %1 %2; END $$"_s.arg(role, login));
}

} // namespace

class DatabaseTest : public QObject
{
    Q_OBJECT

    QVariant sql(const QString &statement, const QVariantList &params = {}) const
    {
        return DataTestEnvironment::scalar(m_location, statement, params);
    }
    void exec(const QString &statement, const QVariantList &params = {}) const
    {
        DataTestEnvironment::exec(m_location, statement, params);
    }

    std::unique_ptr<DataTestEnvironment> m_env;
    QString m_location; // a fresh database with the schema, for each test
    bool m_server = false;

private slots:
    void initTestCase_data() { DataTestEnvironment::addEngineRows(); }

    void init()
    {
        QFETCH_GLOBAL(TestEngine, engine);
        if (!DataTestEnvironment::engineAvailable(engine))
            QSKIP("no test server: run the data tests through ctest");
        m_server = engine == TestEngine::Server;
        m_env = std::make_unique<DataTestEnvironment>();
        m_location = m_env->createDatabase(engine);
    }
    void cleanup()
    {
        Database::setDefaultBusyTimeout(5000);
        ServerPasswords::setProvider({});
        m_env.reset();
    }

    void badFilesAreRefusedAndLeftAlone_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("sql"); // makes an SQLite file of someone else's instead
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("phrase");

        QByteArray random(4096, Qt::Uninitialized);
        QRandomGenerator gen(42);
        for (char &c : random)
            c = char(gen.bounded(256));
        random[0] = 'X'; // never an SQLite header by chance
        QByteArray jet(2048, '\0');
        jet.replace(0, 4, QByteArray("\x00\x01\x00\x00", 4));
        jet.replace(4, 15, "Standard Jet DB");
        const int format = DataError::UnrecognizedFormat;

        QTest::newRow("missing") << QByteArray() << QString() << int(DataError::FileNotFound) << "does not exist";
        QTest::newRow("empty") << QByteArray() << QString() << format << "is empty";
        QTest::newRow("random bytes") << random << QString() << format << "not a Quorvex database";
        QTest::newRow("Access/Jet") << jet << QString() << format << "Access (Jet) database";
        QTest::newRow("other schema") << QByteArray() << u"CREATE TABLE Something (x)"_s << format << "no Attendees table";
        QTest::newRow("newer schema") << QByteArray() << u"PRAGMA user_version = 99"_s << format << "newer version";
    }

    void badFilesAreRefusedAndLeftAlone()
    {
        if (m_server)
            QSKIP("a file's own checks; the server's are badServerDatabasesAreRefused");
        QFETCH(QByteArray, bytes);
        QFETCH(QString, sql);
        QFETCH(int, number);
        QFETCH(QString, phrase);
        const bool create = number != DataError::FileNotFound;

        const QString file = m_env->folder(u"bad"_s) + u"Quorvex.mdb"_s;
        if (!sql.isEmpty()) {
            DataTestEnvironment::exec(file, sql);
            bytes = fileBytes(file);
        } else if (create) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        }

        for (const auto &open : {&Database::shared, &Database::openSeparate}) {
            const std::optional<AppError> error = thrownError([&] { (void)open(file); });
            QVERIFY(error);
            QCOMPARE(error->number(), number);
            QVERIFY2(error->description().contains(QDir::toNativeSeparators(file)), qPrintable(error->description()));
            QVERIFY2(error->description().contains(phrase), qPrintable(error->description()));
            QCOMPARE(error->source(), u"Quorvex database"_s);
        }
        QCOMPARE(QFileInfo::exists(file), create); // a missing file is not made
        QCOMPARE(fileBytes(file), bytes);
        QVERIFY(!QFileInfo::exists(file + u"-journal"_s));
    }

    void badServerDatabasesAreRefused()
    {
        if (!m_server)
            QSKIP("a server's own checks; the file's are badFilesAreRefusedAndLeftAlone");
        const QString other = m_env->createEmptyServerDatabase();
        DataTestEnvironment::exec(other, u"CREATE TABLE Something (x INTEGER)"_s);
        DataTestEnvironment::exec(m_location, u"UPDATE QuorvexSchema SET Version = 99"_s);
        QUrl closed(m_location);
        closed.setPort(1); // nothing listens there
        QUrl missing(m_location);
        missing.setPath(u"/no_such_database"_s);
        QUrl stranger(m_location);
        stranger.setUserName(u"no_such_user"_s);

        const struct { QString url; int number; const char *phrase; } cases[] = {
            {closed.toString(), DataError::ServerUnreachable, "cannot be reached"},
            {missing.toString(), DataError::CannotOpenFile, "refused to open the database \"no_such_database\""},
            {stranger.toString(), DataError::CannotOpenFile, "for \"no_such_user\""},
            {other, DataError::UnrecognizedFormat, "no Attendees table"},
            {m_location, DataError::UnrecognizedFormat, "newer version"},
            {u"postgresql://desk@db.example.org:port/x"_s, DataError::CannotOpenFile, "not a database server address"},
        };
        for (const auto &c : cases) {
            for (const auto &open : {&Database::shared, &Database::openSeparate}) {
                const std::optional<AppError> error = thrownError([&] { (void)open(c.url); });
                QVERIFY2(error, qPrintable(c.url));
                QVERIFY2(error->number() == c.number, qPrintable(c.url + u": "_s + error->description()));
                QVERIFY2(error->description().contains(QString::fromUtf8(c.phrase)), qPrintable(error->description()));
                // The server is named (and the address, where it could be read).
                const QString named = c.number == DataError::CannotOpenFile && c.url.contains(u":port"_s)
                                          ? c.url : serverOf(c.url);
                QVERIFY2(error->description().contains(named), qPrintable(error->description()));
            }
        }
        // Refused, and left as they were.
        QCOMPARE(DataTestEnvironment::column(other, u"SELECT table_name FROM information_schema.tables WHERE "
                                                    "table_schema = 'public'"_s),
                 QStringList {u"something"_s});
        QCOMPARE(sql(u"SELECT Version FROM QuorvexSchema"_s).toInt(), 99);
    }

    void connectionsAreSharedPerDatabaseAndSeparateOnRequest()
    {
        auto a = Database::shared(m_location);
        const QString sameOtherwise = m_server ? QString(m_location).replace(u"postgresql://"_s, u"postgres://"_s)
                                               : QDir(m_env->root()).filePath(u"db/../db/Quorvex.mdb"_s);
        auto b = Database::shared(sameOtherwise);
        QCOMPARE(a.get(), b.get());
        auto c = Database::openSeparate(m_location);
        QVERIFY(c.get() != a.get());
        if (!m_server) {
            // The rollback journal, whose locking holds on network shares.
            QSqlQuery mode = a->query(u"PRAGMA journal_mode"_s);
            QVERIFY(mode.next());
            QCOMPARE(mode.value(0).toString(), u"delete"_s);
        }
    }

    void readOnlyDatabaseReadsButRefusesWrites()
    {
        exec(u"INSERT INTO Attendees (ProgramID, FirstName) VALUES (1, 'Ann')"_s);
        QString location = m_location;
        QString phrase = u"read-only"_s;
        QString named = QDir::toNativeSeparators(m_location);
        QByteArray before;
        if (m_server) {
            // A user who may only read.
            ensureRole(TestServer::maintenanceUrl(), u"quorvex_reader"_s);
            exec(u"GRANT SELECT ON ALL TABLES IN SCHEMA public TO quorvex_reader"_s);
            QUrl reader(m_location);
            reader.setUserName(u"quorvex_reader"_s);
            location = reader.toString();
            phrase = u"may only be read by \"quorvex_reader\""_s;
            named = serverOf(m_location);
        } else {
            QVERIFY(QFile::setPermissions(m_location, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
            before = fileBytes(m_location);
        }
        {
            auto db = Database::openSeparate(location);
            Recordset rs(db, u"Select * from Attendees where ProgramID =1"_s);
            QCOMPARE(rs.value(u"FirstName"_s).toString(), u"Ann"_s);
            QVERIFY(!rs.updatable());

            rs.setValue(u"FirstName"_s, u"Anna"_s); // typing is kept...
            const std::optional<AppError> error = thrownError([&] { rs.update(); }); // ...but not written
            QVERIFY(error && error->number() == DataError::ReadOnly);
            QVERIFY2(error->description().contains(phrase) && error->description().contains(named),
                     qPrintable(error->description()));
            QCOMPARE(rs.value(u"FirstName"_s).toString(), u"Anna"_s);
            QVERIFY_APP_ERROR(rs.addNew(), DataError::ReadOnly);
            QVERIFY_APP_ERROR(rs.deleteRow(), DataError::ReadOnly);
            QVERIFY_APP_ERROR(db->execute(u"UPDATE Attendees SET FirstName = 'X'"_s), DataError::ReadOnly);
        }
        if (!m_server) {
            QFile::setPermissions(m_location, QFile::ReadOwner | QFile::WriteOwner);
            QCOMPARE(fileBytes(m_location), before);
        }
        QCOMPARE(sql(u"SELECT FirstName FROM Attendees"_s).toString(), u"Ann"_s);
    }

    void lockedRowWaitsThenFailsWithoutHalfWrites()
    {
        const QString name = u"SELECT FirstName || ' ' || LastName FROM Attendees"_s;
        exec(u"INSERT INTO Attendees (AttendeeID, ProgramID, FirstName, LastName) VALUES (1, 1, 'Ann', 'Lee')"_s);
        Database::setDefaultBusyTimeout(300);
        Recordset rs(Database::openSeparate(m_location), u"Attendees"_s);
        auto other = Database::openSeparate(m_location); // another workstation, in the middle of a write
        other->beginWrite();
        other->execute(u"UPDATE Attendees SET City = 'held' WHERE AttendeeID = 1"_s);

        // Reading goes on while another workstation writes; writing waits, then fails whole.
        QCOMPARE(rs.value(u"LastName"_s).toString(), u"Lee"_s);
        const auto typeBoth = [&] {
            rs.setValue(u"FirstName"_s, u"Anne"_s);
            rs.setValue(u"LastName"_s, u"Leigh"_s);
        };
        typeBoth();
        QElapsedTimer waited;
        waited.start();
        QVERIFY_APP_ERROR(rs.update(), DataError::Locked);
        QVERIFY2(waited.elapsed() >= 250, "the writer did not wait for the lock");
        QCOMPARE(rs.value(u"LastName"_s).toString(), u"Leigh"_s);
        rs.cancelUpdate();
        if (m_server) {
            // A server locks rows, not the database: a new attendee's key is had at once.
            rs.addNew();
            QVERIFY(rs.currentKey() > 1);
            rs.cancelUpdate();
        } else {
            // The file is locked whole: no key can be reserved either, and no half-new row is left.
            QVERIFY_APP_ERROR(rs.addNew(), DataError::Locked);
            QCOMPARE(rs.editMode(), EditMode::None);
        }

        other->rollback();
        QCOMPARE(sql(name).toString(), u"Ann Lee"_s);
        typeBoth();
        rs.update();
        QCOMPARE(sql(name).toString(), u"Anne Leigh"_s);
    }

    void reserveKeyHandsOutEachKeyOnce()
    {
        // A row written with a key of its own (by hand): counting goes on after the largest key.
        exec(u"INSERT INTO Attendees (AttendeeID, ProgramID) VALUES (7, 1)"_s);
        if (!m_server)
            exec(u"DELETE FROM sqlite_sequence WHERE name = 'Attendees'"_s);
        auto a = Database::openSeparate(m_location);
        auto b = Database::openSeparate(m_location);
        QList<qint64> keys;
        for (int i = 0; i < 3; ++i) {
            keys << a->reserveKey(u"Attendees"_s, u"AttendeeID"_s);
            keys << b->reserveKey(u"Attendees"_s, u"AttendeeID"_s);
        }
        QCOMPARE(keys, (QList<qint64> {8, 9, 10, 11, 12, 13}));
        if (!m_server)
            QCOMPARE(sql(u"SELECT count(*) FROM sqlite_sequence WHERE name = 'Attendees'"_s).toInt(), 1);
        // A reserved key can be used for the row, and the database never hands it out again.
        a->execute(u"INSERT INTO Attendees (AttendeeID, ProgramID) VALUES (?, 1)"_s, {keys.first()});
        exec(u"INSERT INTO Attendees (ProgramID) VALUES (1)"_s);
        QCOMPARE(sql(u"SELECT max(AttendeeID) FROM Attendees"_s).toLongLong(), 14);
    }

    void writeTransactionCommitsOnlyWhenToldAndNests()
    {
        const auto names = [&] {
            return DataTestEnvironment::column(m_location, u"SELECT Name FROM Program ORDER BY Name"_s).join(u' ');
        };
        auto db = Database::openSeparate(m_location);
        const auto insert = [&](const QString &name) { db->execute(u"INSERT INTO Program (Name) VALUES (?)"_s, {name}); };

        // Left without commit (an error on the way out): nothing stays, and the lock is free again.
        QVERIFY(thrownError([&] {
            WriteTransaction write(*db);
            insert(u"lost"_s);
            throw DataError::make(DataError::Generic);
        }));
        QCOMPARE(names(), QString());
        exec(u"INSERT INTO Program (Name) VALUES ('other')"_s);

        // Nested: only the outermost commit makes the rows visible to another connection.
        {
            WriteTransaction outer(*db);
            insert(u"outer"_s);
            {
                WriteTransaction inner(*db);
                insert(u"inner"_s);
                inner.commit();
            }
            QCOMPARE(names(), u"other"_s);
            outer.commit();
        }
        QCOMPARE(names(), u"inner other outer"_s);

        // An inner guard left without commit undoes the whole write; the outer commit says so.
        {
            WriteTransaction outer(*db);
            insert(u"a"_s);
            {
                WriteTransaction inner(*db);
                insert(u"b"_s);
            }
            QVERIFY_APP_ERROR(outer.commit(), DataError::Generic);
        }
        QCOMPARE(names(), u"inner other outer"_s);
        exec(u"INSERT INTO Program (Name) VALUES ('free')"_s);
    }

    void lookupTableAddsEachValueOnce()
    {
        const auto rows = [&](const QString &name) {
            return sql(u"SELECT count(*) FROM Office WHERE OfficeName = ? AND OfficeDesc = ?"_s, {name, name}).toInt();
        };
        const auto all = [&] { return sql(u"SELECT count(*) FROM Office"_s).toInt(); }; // 4 common offices
        const QStringList connections = QSqlDatabase::connectionNames();
        LookupTable office(m_location, u"Office"_s);

        // Stored once, in both text columns as given; the same value again, letter case aside, adds nothing.
        QVERIFY(office.add(u" O'Brien Hall"_s));
        QCOMPARE(rows(u" O'Brien Hall"_s), 1);
        QVERIFY(!office.add(u" o'BRIEN hall"_s));
        QVERIFY(!office.add(u"MEMBER"_s));
        QCOMPARE(all(), 5);
        QVERIFY(office.contains(u"member"_s) && !office.contains(u"Members"_s));

        // Another workstation stores the value while this one waits for the write lock: still one row.
        QSemaphore writing;
        std::thread other([&] {
            auto db = Database::openSeparate(m_location);
            db->beginWrite();
            db->engine().lockTableForWrite(*db, u"Office"_s); // as it adds a value
            db->execute(u"INSERT INTO Office (OfficeName, OfficeDesc) VALUES ('Warden', 'Warden')"_s);
            writing.release();
            QThread::msleep(300);
            db->commit();
        });
        writing.acquire();
        const bool added = office.add(u"warden"_s);
        other.join();
        QVERIFY(!added);
        QCOMPARE(DataTestEnvironment::column(m_location, u"SELECT OfficeName FROM Office WHERE lower(OfficeName) = 'warden'"_s),
                 QStringList {u"Warden"_s});

        // Sorted without regard to case; deleted by a criteria text, which compares text so too.
        exec(u"INSERT INTO Office (OfficeName, OfficeDesc) VALUES ('chair', 'c'), ('Chair', 'c')"_s);
        QCOMPARE(office.values(), (QStringList {u" O'Brien Hall"_s, u"Chair"_s, u"chair"_s, u"Member"_s, u"President"_s,
                                                u"Secretary"_s, u"Treasurer"_s, u"Warden"_s}));
        QCOMPARE(office.deleteWhere(u"OfficeName = 'CHAIR'"_s), 2);
        QCOMPARE(all(), 6);
        QVERIFY_APP_ERROR(office.deleteWhere(u"OfficeName = 'x"_s), DataError::SyntaxError);
        QCOMPARE(all(), 6);
        // Each call released its own connection; an unknown table is refused.
        QCOMPARE(QSqlDatabase::connectionNames(), connections);
        QVERIFY_APP_ERROR(LookupTable(m_location, u"Nowhere"_s), DataError::UnknownSource);
    }

    void schemaRules()
    {
        // Every field the program names exists under that name, in the known sources.
        for (const SourceDef &def : Schema::sources()) {
            QStringList names;
            for (const FieldDef &f : def.fields)
                names << f.name;
            exec(u"SELECT %1 FROM %2 LIMIT 0"_s.arg(names.join(u", "_s), def.name));
        }

        exec(u"INSERT INTO Program (ProgramID, Name) VALUES (12, 'Gala')"_s);
        exec(u"INSERT INTO Attendees (AttendeeID, ProgramID, FirstName) VALUES (17, 12, 'Ann'), (18, 12, 'Bo')"_s);
        // The schema's names work as written, in any letter case (psql, a reporting tool).
        QCOMPARE(sql(u"Select count(*) from Attendees where ProgramID = 12"_s).toInt(), 2);
        QCOMPARE(sql(u"select count(*) from ATTENDEES where programid = 12"_s).toInt(), 2);
        // The donations query takes inserts, updates and deletes through to its table.
        exec(u"INSERT INTO qryDon_Fees (AttendeeID, Amount, RegFee, PaymentType) VALUES "
             "(17, 250000, 1, 'Cash'), (17, 100000, 0, 'Check'), (18, 5000, 0, 'Cash')"_s);
        exec(u"INSERT INTO qryDon_Fees (AttendeeID, Amount) VALUES (18, 1)"_s);
        QCOMPARE(sql(u"SELECT RegFee FROM Donations WHERE Amount = 1"_s).toInt(), 0); // left out: No
        exec(u"DELETE FROM Donations WHERE Amount = 1"_s);
        QCOMPARE(sql(u"SELECT count(*) FROM Donations WHERE AttendeeID = 17"_s).toInt(), 2);
        exec(u"UPDATE qryDon_Fees SET Amount = 7500 WHERE AttendeeID = 18"_s);
        QCOMPARE(sql(u"SELECT Amount FROM Donations WHERE AttendeeID = 18"_s).toLongLong(), 7500);
        exec(u"DELETE FROM qryDon_Fees WHERE PaymentType = 'Check'"_s);
        QCOMPARE(sql(u"SELECT count(*) FROM Donations"_s).toInt(), 2);
        // Yes/No is 0 or 1; money is never a float (the server's BIGINT cannot hold one at all).
        auto db = Database::openSeparate(m_location);
        QStringList refused {u"INSERT INTO Donations (AttendeeID, RegFee) VALUES (18, 2)"_s};
        if (!m_server)
            refused << u"INSERT INTO Donations (AttendeeID, Amount) VALUES (18, 0.3)"_s << u"UPDATE Program SET TargetAmt = 1.5"_s;
        for (const QString &bad : refused)
            QVERIFY2(thrownError([&] { db->execute(bad); }), qPrintable(u"accepted: "_s + bad));
        // Deleting an attendee takes its donations; deleting an event keeps its attendees.
        exec(u"DELETE FROM Attendees WHERE AttendeeID = 17"_s);
        QCOMPARE(DataTestEnvironment::column(m_location, u"SELECT AttendeeID FROM Donations"_s), QStringList {u"18"_s});
        exec(u"DELETE FROM Program WHERE ProgramID = 12"_s);
        QCOMPARE(sql(u"SELECT count(*) FROM Attendees WHERE ProgramID = 12"_s).toInt(), 1);

        if (m_server) {
            // Every change is announced for the desks that listen ("table key"), and text is UTF8.
            QCOMPARE(sql(u"SELECT current_setting('server_encoding')"_s).toString(), u"UTF8"_s);
            QSqlDriver *driver = db->connection().driver();
            QVERIFY(driver->subscribeToNotification(u"quorvex"_s));
            QSignalSpy notices(driver, &QSqlDriver::notification);
            exec(u"UPDATE Attendees SET City = 'Lyon' WHERE AttendeeID = 18"_s);
            QTRY_VERIFY(!notices.isEmpty());
            QCOMPARE(notices.first().at(2).toString(), u"attendees 18"_s);
        }
    }

    // A database of the first schema gains CheckIns and CardPrints when opened, once,
    // keeping every row; one that can only be read is refused and left as it was.
    void earlierSchemaIsUpgradedOnOpening()
    {
        const QString old = m_server ? m_env->createEmptyServerDatabase() : m_env->folder(u"old"_s) + u"Quorvex.mdb"_s;
        {
            auto db = Database::openEmpty(old);
            WriteTransaction write(*db);
            for (const QString &statement : Schema::firstSchemaStatements(db->engine()) + db->engine().setSchemaVersion(1))
                db->execute(statement);
            write.commit();
        }
        DataTestEnvironment::exec(old, u"INSERT INTO Program (ProgramID, Name) VALUES (3, 'Gala')"_s);
        DataTestEnvironment::exec(old, u"INSERT INTO Attendees (AttendeeID, ProgramID, FirstName) VALUES (7, 3, 'Ann'), "
                                       "(8, 3, 'Bo')"_s);
        DataTestEnvironment::exec(old, u"INSERT INTO Donations (AttendeeID, Amount) VALUES (7, 50000)"_s);
        const QString version = m_server ? u"SELECT Version FROM QuorvexSchema"_s : u"PRAGMA user_version"_s;
        const QString rows = u"SELECT (SELECT count(*) FROM Program) || '/' || (SELECT count(*) FROM Attendees) || '/' "
                             "|| (SELECT count(*) FROM Donations) || '/' || (SELECT count(*) FROM Title)"_s;
        const QString before = DataTestEnvironment::scalar(old, rows).toString();

        if (!m_server) {
            QVERIFY(QFile::setPermissions(old, QFile::ReadOwner));
            const QByteArray bytes = fileBytes(old);
            const std::optional<AppError> error = thrownError([&] { (void)Database::openSeparate(old); });
            QVERIFY(error && error->number() == DataError::ReadOnly);
            QVERIFY2(error->description().contains(u"earlier version"_s), qPrintable(error->description()));
            QCOMPARE(fileBytes(old), bytes);
            QVERIFY(QFile::setPermissions(old, QFile::ReadOwner | QFile::WriteOwner));
        }

        auto db = Database::openSeparate(old);
        QCOMPARE(db->upgradedFrom(), 1);
        QCOMPARE(DataTestEnvironment::scalar(old, version).toInt(), Schema::Version);
        QCOMPARE(DataTestEnvironment::scalar(old, rows).toString(), before);
        QCOMPARE(Database::openSeparate(old)->upgradedFrom(), 0); // once
        QCOMPARE(SchemaMigration::upgrade(*db), Schema::Version);
        QCOMPARE(AttendeeSearch::byName(*db, 3, u"BO"_s).size(), 1);

        // The new tables at work: one check-in per attendee, undone on request;
        // every card print kept; both go with their attendee.
        QVERIFY(!CheckInLog::checkIn(*db, 7, u"DESK-A"_s));
        const std::optional<CheckInRecord> again = CheckInLog::checkIn(*db, 7, u"DESK-B"_s);
        QVERIFY(again && again->desk == u"DESK-A"_s);
        QVERIFY(qAbs(again->checkedIn.secsTo(QDateTime::currentDateTimeUtc())) < 60);
        QVERIFY(!CheckInLog::checkIn(*db, 8, u"DESK-B"_s));
        QVERIFY(CheckInLog::undo(*db, 8));
        QVERIFY(!CheckInLog::undo(*db, 8));
        QCOMPARE(CheckInLog::checkedInAmong(*db, 3), QSet<qint64> {7});
        CardPrintLog::record(*db, 8, u"Small"_s, u"Front"_s, u"DESK-A"_s);
        CardPrintLog::record(*db, 8, u"Large"_s, u"Back office"_s, u"DESK-B"_s);
        const std::optional<CardPrintRecord> last = CardPrintLog::last(*db, 8);
        QVERIFY(last && last->cardSize == u"Large"_s && last->printer == u"Back office"_s && last->desk == u"DESK-B"_s);
        QVERIFY(!CardPrintLog::last(*db, 7));
        QCOMPARE(CardPrintLog::printedAmong(*db, 3), QSet<qint64> {8});
        DataTestEnvironment::exec(old, u"DELETE FROM Attendees"_s);
        QCOMPARE(DataTestEnvironment::scalar(old, u"SELECT (SELECT count(*) FROM CheckIns) + (SELECT count(*) FROM "
                                                  "CardPrints)"_s).toInt(), 0);
    }

    // The desk's name search: the beginning of a first or last name, letter case and
    // accents aside, of the one event, in name order.
    void nameSearchIgnoresCaseAndAccents()
    {
        exec(u"INSERT INTO Attendees (AttendeeID, ProgramID, FirstName, LastName) VALUES (1, 3, 'José', 'Núñez'), "
             "(2, 3, 'Ann', 'NUNES'), (3, 3, 'Zoë', 'Jose'), (4, 3, 'Łukasz', 'Müller-Øster'), (5, 3, 'Seán', "
             "'O''Brien'), (6, 4, 'Jose', 'Nunez'), (7, 3, NULL, NULL)"_s);
        auto db = Database::openSeparate(m_location);
        const QList<std::pair<QString, QList<qint64>>> cases {
            {u"nunez"_s, {1}},        {u"NÚÑE"_s, {2, 1}},    {u"nu"_s, {2, 1}},     {u"jose"_s, {3, 1}},
            {u"  jose   nu "_s, {1}}, {u"nu jo"_s, {1}},   {u"lukasz"_s, {4}},    {u"muller-o"_s, {4}},
            {u"o'b"_s, {5}},          {u"sean o"_s, {5}},  {u"x"_s, {}},          {u"   "_s, {}},
            {u"%"_s, {}},             {u"_"_s, {}},
        };
        for (const auto &[typed, expected] : cases) {
            QList<qint64> found;
            for (const AttendeeMatch &match : AttendeeSearch::byName(*db, 3, typed))
                found << match.attendeeId;
            QVERIFY2(found == expected, qPrintable(typed));
        }
        QCOMPARE(AttendeeSearch::byName(*db, 3, u"n"_s, 1).size(), 1);
    }

    void photographsAreSharedBetweenDesks()
    {
        exec(u"INSERT INTO Attendees (AttendeeID, ProgramID, Picture) VALUES (17, 1, 'Pic\\17.jpg')"_s);
        const QString stored = PhotoStore::storedPath(u"17"_s);
        QCOMPARE(stored, u"Pic\\17.jpg"_s);
        // Each desk keeps its copies in a folder of its own.
        const auto atDesk = [&](const char *desk) { PhotoStore::setCacheFolder(m_env->folder(QString::fromLatin1(desk))); };
        const auto snap = [&](const QByteArray &jpeg) {
            atDesk("desk-a");
            const auto store = PhotoStore::forLocation(m_location);
            QDir().mkpath(QFileInfo(store->newPhotoFile(u"17"_s)).absolutePath());
            QFile f(store->newPhotoFile(u"17"_s));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(jpeg) == jpeg.size());
            f.close();
            store->store(u"17"_s);
        };
        const auto shownAtDeskB = [&] {
            atDesk("desk-b");
            return fileBytes(PhotoStore::forLocation(m_location)->photoFile(u"17"_s, stored));
        };

        snap("first photograph");
        QCOMPARE(shownAtDeskB(), QByteArray("first photograph"));
        if (!m_server) // the file's photographs stay in its Pic folder, as every workstation reads them
            QCOMPARE(fileBytes(QFileInfo(m_location).absolutePath() + u"/Pic/17.jpg"_s), QByteArray("first photograph"));
        snap("second photograph");
        QCOMPARE(shownAtDeskB(), QByteArray("second photograph")); // the copy kept at desk B is not shown
        QCOMPARE(PhotoStore::forLocation(m_location)->photoFile(u"17"_s, QString()), QString()); // no Picture, no photo
        if (m_server) {
            // Read only when shown: one row per photographed attendee, gone with the attendee.
            QCOMPARE(sql(u"SELECT count(*) FROM Photos"_s).toInt(), 1);
            exec(u"DELETE FROM Attendees WHERE AttendeeID = 17"_s);
            QCOMPARE(sql(u"SELECT count(*) FROM Photos"_s).toInt(), 0);
            QCOMPARE(PhotoStore::forLocation(m_location)->photoFile(u"17"_s, stored), QString());
        }
    }

    void currencyIsExact()
    {
        if (m_server)
            QSKIP("the same on every engine");
        // Text in, ten-thousandths stored (never through a float): null for what is not an amount.
        const struct { const char *text; std::optional<qint64> raw; } parsed[] = {
            {"1,234.50", 12345000}, {"$5", 50000}, {"-$3.1234", -31234}, {"", {}}, {"abc", {}},
            {"1.23456", {}}, {"1..2", {}}, {"12a", {}}, {",5", {}}, {"5,", {}},
        };
        for (const auto &p : parsed) {
            const auto value = Currency::parse(QString::fromLatin1(p.text));
            QVERIFY2(value.has_value() == p.raw.has_value(), p.text);
            if (value)
                QCOMPARE(value->raw(), *p.raw);
        }
        // Shown with two decimals at least, all four when needed, also through QVariant.
        const struct { qint64 raw; const char *text; } shown[] = {{125000, "12.50"}, {-31234, "-3.1234"}, {0, "0.00"}, {-5000, "-0.50"}};
        for (const auto &v : shown)
            QCOMPARE(Currency::fromRaw(v.raw).toString(), QString::fromLatin1(v.text));
        registerCurrencyType();
        QCOMPARE(QVariant::fromValue(Currency::fromRaw(25000)).toString(), u"2.50"_s);
    }

    void serverAsksForThePasswordOnce()
    {
        if (!m_server)
            QSKIP("a file asks for no password");
        // A user the server wants a password of, which neither libpq's file nor its environment gives.
        qputenv("PGPASSFILE", QFile::encodeName(m_env->root() + u"no-pgpass"_s));
        qunsetenv("PGPASSWORD");
        ensureRole(TestServer::maintenanceUrl(), u"password_user"_s, u"s3cret"_s);
        exec(u"GRANT ALL ON ALL TABLES IN SCHEMA public TO password_user"_s);
        QUrl url(m_location);
        url.setUserName(u"password_user"_s);
        const QString location = url.toString();
        const QString identity = ServerAddress::parse(location)->url();
        ServerPasswords::forget(identity);

        // No one to ask, or nobody answers: refused, saying what the server wants.
        for (const bool withProvider : {false, true}) {
            if (withProvider)
                ServerPasswords::setProvider([](const PasswordRequest &) { return std::nullopt; });
            const std::optional<AppError> error = thrownError([&] { (void)Database::openSeparate(location); });
            QVERIFY(error && error->number() == DataError::LoginRefused);
            QVERIFY2(error->description().contains(u"asks for the password of \"password_user\""_s)
                         && error->description().contains(serverOf(location)),
                     qPrintable(error->description()));
        }

        // A wrong answer is asked again, saying so; the right one opens and is kept in memory.
        QList<PasswordRequest> asked;
        QStringList answers {u"wrong"_s, u"s3cret"_s};
        ServerPasswords::setProvider([&](const PasswordRequest &request) -> std::optional<QString> {
            asked << request;
            return answers.isEmpty() ? std::nullopt : std::optional<QString>(answers.takeFirst());
        });
        auto db = Database::openSeparate(location);
        QCOMPARE(asked.size(), 2);
        QVERIFY(!asked.at(0).refused && asked.at(1).refused);
        QCOMPARE(asked.at(0).user, u"password_user"_s);
        QCOMPARE(asked.at(0).server, serverOf(location));
        QCOMPARE(asked.at(0).database, QUrl(location).path().mid(1));
        (void)Database::openSeparate(location);
        QCOMPARE(asked.size(), 2);
        // Never written anywhere: the address the program keeps has no password.
        QVERIFY(!db->location().contains(u"s3cret"_s));
        ServerPasswords::forget(identity);

        // A password in the address is used as it is, never asked for again, and not shown.
        for (const char *given : {"s3cret", "wrong"}) {
            QUrl withPassword(location);
            withPassword.setPassword(QString::fromLatin1(given));
            const std::optional<AppError> error = thrownError([&] {
                QVERIFY(!Database::openSeparate(withPassword.toString())->location().contains(QLatin1String(given)));
            });
            QCOMPARE(error.has_value(), qstrcmp(given, "wrong") == 0);
            if (error)
                QVERIFY2(error->number() == DataError::LoginRefused && error->description().contains(u"refused the login"_s)
                             && !error->description().contains(u"wrong"_s),
                         qPrintable(error->description()));
        }
        QCOMPARE(asked.size(), 2);
    }

    void lostConnectionNeverHalfWritesAndReconnects()
    {
        if (!m_server)
            QSKIP("a file has no connection to lose");
        TestServer::PrivateServer server;
        QVERIFY2(!server.maintenanceUrl().isEmpty(), "the private server did not start");
        const QString location = server.maintenanceUrl();
        Database::create(location);
        DataTestEnvironment::exec(location, u"INSERT INTO Attendees (AttendeeID, ProgramID, LastName) VALUES (1, 1, 'Lee')"_s);
        const auto count = [&] { return DataTestEnvironment::scalar(location, u"SELECT count(*) FROM Attendees"_s).toInt(); };
        auto db = Database::openSeparate(location);
        Recordset rs(db, u"Select * from Attendees where ProgramID =1"_s);

        // Restarted while the desk was idle: the next use connects again by itself.
        QVERIFY(server.halt() && server.resume());
        rs.moveFirst();
        QCOMPARE(rs.value(u"LastName"_s).toString(), u"Lee"_s);

        // Lost in the middle of a write: the write fails whole, naming the server.
        {
            WriteTransaction write(*db);
            db->execute(u"INSERT INTO Attendees (AttendeeID, ProgramID, LastName) VALUES (2, 1, 'Half')"_s);
            QVERIFY(server.halt());
            const std::optional<AppError> error =
                thrownError([&] { db->execute(u"INSERT INTO Attendees (AttendeeID, ProgramID, LastName) VALUES (3, 1, 'Other')"_s); });
            QVERIFY(error && error->number() == DataError::ServerUnreachable);
            QVERIFY2(error->description().contains(serverOf(location)), qPrintable(error->description()));
            QVERIFY_APP_ERROR(write.commit(), DataError::Generic);
        }
        // While the server is away: typing stays, the save fails clearly.
        rs.setValue(u"LastName"_s, u"Leigh"_s);
        const std::optional<AppError> away = thrownError([&] { rs.update(); });
        QVERIFY(away && away->number() == DataError::ServerUnreachable);
        QVERIFY2(away->description().contains(u"cannot be reached"_s), qPrintable(away->description()));
        QCOMPARE(rs.value(u"LastName"_s).toString(), u"Leigh"_s);

        // Back: nothing of the broken write was kept, and the save goes through when repeated.
        QVERIFY(server.resume());
        QCOMPARE(count(), 1);
        rs.update();
        QCOMPARE(DataTestEnvironment::scalar(location, u"SELECT LastName FROM Attendees WHERE AttendeeID = 1"_s).toString(),
                 u"Leigh"_s);
        rs.addNew();
        rs.setValue(u"ProgramID"_s, 1);
        rs.update();
        QCOMPARE(count(), 2);
    }
};

QTEST_GUILESS_MAIN(DatabaseTest)
#include "tst_database.moc"
