// The database file and its connections: the checks made before a file is opened,
// read-only and locked files, write transactions, key reservation, the lookup
// tables, the schema's own rules, currency and the quorvex-db tool.
#include "DataTestEnvironment.h"
#include "ThrownError.h"
#include "data/Currency.h"
#include "data/DataError.h"
#include "data/Database.h"
#include "data/LookupTable.h"
#include "data/Recordset.h"
#include "data/Schema.h"
#include "data/WriteTransaction.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSemaphore>
#include <QSqlDatabase>
#include <QTest>
#include <QThread>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

QByteArray fileBytes(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class DatabaseTest : public QObject
{
    Q_OBJECT

    QVariant sql(const QString &statement, const QVariantList &params = {}) const
    {
        return DataTestEnvironment::scalar(m_file, statement, params);
    }

    std::unique_ptr<DataTestEnvironment> m_env;
    QString m_file; // a fresh database with the schema, for each test

private slots:
    void init()
    {
        m_env = std::make_unique<DataTestEnvironment>();
        m_file = m_env->createDatabase(m_env->folder(u"db"_s));
    }
    void cleanup() { Database::setDefaultBusyTimeout(5000); }

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
    }

    void badFilesAreRefusedAndLeftAlone()
    {
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

    void connectionsAreSharedPerFileAndSeparateOnRequest()
    {
        auto a = Database::shared(m_file);
        auto b = Database::shared(QDir(m_env->root()).filePath(u"db/../db/Quorvex.mdb"_s));
        QCOMPARE(a.get(), b.get());
        auto c = Database::openSeparate(m_file);
        QVERIFY(c.get() != a.get());
        // The rollback journal, whose locking holds on network shares.
        QSqlQuery mode = a->query(u"PRAGMA journal_mode"_s);
        QVERIFY(mode.next());
        QCOMPARE(mode.value(0).toString(), u"delete"_s);
    }

    void readOnlyFileReadsButRefusesWrites()
    {
        DataTestEnvironment::exec(m_file, u"INSERT INTO Attendees (ProgramID, FirstName) VALUES (1, 'Ann')"_s);
        QVERIFY(QFile::setPermissions(m_file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        const QByteArray before = fileBytes(m_file);
        {
            auto db = Database::openSeparate(m_file);
            Recordset rs(db, u"Select * from Attendees where ProgramID =1"_s);
            QCOMPARE(rs.value(u"FirstName"_s).toString(), u"Ann"_s);
            QVERIFY(!rs.updatable());

            rs.setValue(u"FirstName"_s, u"Anna"_s); // typing is kept...
            const std::optional<AppError> error = thrownError([&] { rs.update(); }); // ...but not written
            QVERIFY(error && error->number() == DataError::ReadOnly);
            QVERIFY2(error->description().contains(u"read-only"_s) && error->description().contains(QDir::toNativeSeparators(m_file)),
                     qPrintable(error->description()));
            QCOMPARE(rs.value(u"FirstName"_s).toString(), u"Anna"_s);
            QVERIFY_APP_ERROR(rs.addNew(), DataError::ReadOnly);
            QVERIFY_APP_ERROR(rs.deleteRow(), DataError::ReadOnly);
            QVERIFY_APP_ERROR(db->execute(u"UPDATE Attendees SET FirstName = 'X'"_s), DataError::ReadOnly);
        }
        QFile::setPermissions(m_file, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(fileBytes(m_file), before);
    }

    void lockedDatabaseWaitsThenFailsWithoutHalfWrites()
    {
        const QString name = u"SELECT FirstName || ' ' || LastName FROM Attendees"_s;
        DataTestEnvironment::exec(m_file, u"INSERT INTO Attendees (ProgramID, FirstName, LastName) VALUES (1, 'Ann', 'Lee')"_s);
        Database::setDefaultBusyTimeout(300);
        Recordset rs(Database::openSeparate(m_file), u"Attendees"_s);
        auto other = Database::openSeparate(m_file); // another workstation, in the middle of a write
        other->beginWrite();
        other->execute(u"UPDATE Title SET TitleDesc = 'held' WHERE TitleID = 1"_s);

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
        // A new row's key cannot be reserved either, and no half-new row is left.
        rs.cancelUpdate();
        QVERIFY_APP_ERROR(rs.addNew(), DataError::Locked);
        QCOMPARE(rs.editMode(), EditMode::None);

        other->rollback();
        QCOMPARE(sql(name).toString(), u"Ann Lee"_s);
        typeBoth();
        rs.update();
        QCOMPARE(sql(name).toString(), u"Anne Leigh"_s);
    }

    void reserveKeyHandsOutEachKeyOnce()
    {
        // Rows whose sequence entry is missing (made by hand): counting starts after the largest key.
        DataTestEnvironment::exec(m_file, u"INSERT INTO Attendees (AttendeeID, ProgramID) VALUES (7, 1)"_s);
        DataTestEnvironment::exec(m_file, u"DELETE FROM sqlite_sequence WHERE name = 'Attendees'"_s);
        auto a = Database::openSeparate(m_file);
        auto b = Database::openSeparate(m_file);
        QList<qint64> keys;
        for (int i = 0; i < 3; ++i) {
            keys << a->reserveKey(u"Attendees"_s, u"AttendeeID"_s);
            keys << b->reserveKey(u"Attendees"_s, u"AttendeeID"_s);
        }
        QCOMPARE(keys, (QList<qint64> {8, 9, 10, 11, 12, 13}));
        QCOMPARE(sql(u"SELECT count(*) FROM sqlite_sequence WHERE name = 'Attendees'"_s).toInt(), 1);
        // A reserved key can be used for the row, and the database never hands it out again.
        a->execute(u"INSERT INTO Attendees (AttendeeID, ProgramID) VALUES (?, 1)"_s, {keys.first()});
        DataTestEnvironment::exec(m_file, u"INSERT INTO Attendees (ProgramID) VALUES (1)"_s);
        QCOMPARE(sql(u"SELECT max(AttendeeID) FROM Attendees"_s).toLongLong(), 14);
    }

    void writeTransactionCommitsOnlyWhenToldAndNests()
    {
        const QString names = u"SELECT ifnull(group_concat(Name, ' '), '') FROM (SELECT Name FROM Program ORDER BY Name)"_s;
        auto db = Database::openSeparate(m_file);
        const auto insert = [&](const QString &name) { db->execute(u"INSERT INTO Program (Name) VALUES (?)"_s, {name}); };

        // Left without commit (an error on the way out): nothing stays, and the lock is free again.
        QVERIFY(thrownError([&] {
            WriteTransaction write(*db);
            insert(u"lost"_s);
            throw DataError::make(DataError::Generic);
        }));
        QCOMPARE(sql(names).toString(), QString());
        DataTestEnvironment::exec(m_file, u"INSERT INTO Program (Name) VALUES ('other')"_s);

        // Nested: only the outermost commit makes the rows visible to another connection.
        {
            WriteTransaction outer(*db);
            insert(u"outer"_s);
            {
                WriteTransaction inner(*db);
                insert(u"inner"_s);
                inner.commit();
            }
            QCOMPARE(sql(names).toString(), u"other"_s);
            outer.commit();
        }
        QCOMPARE(sql(names).toString(), u"inner other outer"_s);

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
        QCOMPARE(sql(names).toString(), u"inner other outer"_s);
        DataTestEnvironment::exec(m_file, u"INSERT INTO Program (Name) VALUES ('free')"_s);
    }

    void lookupTableAddsEachValueOnce()
    {
        const auto rows = [&](const QString &name) {
            return sql(u"SELECT count(*) FROM Office WHERE OfficeName = ? AND OfficeDesc = ?"_s, {name, name}).toInt();
        };
        const auto all = [&] { return sql(u"SELECT count(*) FROM Office"_s).toInt(); }; // 4 common offices
        const QStringList connections = QSqlDatabase::connectionNames();
        LookupTable office(m_file, u"Office"_s);

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
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"other-workstation"_s);
                db.setDatabaseName(m_file);
                db.open();
                QSqlQuery(u"BEGIN IMMEDIATE"_s, db).finish();
                QSqlQuery(u"INSERT INTO Office (OfficeName, OfficeDesc) VALUES ('Warden', 'Warden')"_s, db).finish();
                writing.release();
                QThread::msleep(300);
                QSqlQuery(u"COMMIT"_s, db).finish();
                db.close();
            }
            QSqlDatabase::removeDatabase(u"other-workstation"_s);
        });
        writing.acquire();
        const bool added = office.add(u"warden"_s);
        other.join();
        QVERIFY(!added);
        QCOMPARE(sql(u"SELECT group_concat(OfficeName) FROM Office WHERE OfficeName LIKE 'warden'"_s).toString(), u"Warden"_s);

        // Sorted without regard to case; deleted by a criteria text, which compares text so too.
        DataTestEnvironment::exec(m_file, u"INSERT INTO Office (OfficeName, OfficeDesc) VALUES ('chair', 'c'), ('Chair', 'c')"_s);
        QCOMPARE(office.values(), (QStringList {u" O'Brien Hall"_s, u"Chair"_s, u"chair"_s, u"Member"_s, u"President"_s,
                                                u"Secretary"_s, u"Treasurer"_s, u"Warden"_s}));
        QCOMPARE(office.deleteWhere(u"OfficeName = 'CHAIR'"_s), 2);
        QCOMPARE(all(), 6);
        QVERIFY_APP_ERROR(office.deleteWhere(u"OfficeName = 'x"_s), DataError::SyntaxError);
        QCOMPARE(all(), 6);
        // Each call released its own connection; an unknown table is refused.
        QCOMPARE(QSqlDatabase::connectionNames(), connections);
        QVERIFY_APP_ERROR(LookupTable(m_file, u"Nowhere"_s), DataError::UnknownSource);
    }

    void schemaRules()
    {
        // Every field the program names exists under that name, in the known sources.
        for (const SourceDef &def : Schema::sources()) {
            QStringList names;
            for (const FieldDef &f : def.fields)
                names << f.name;
            DataTestEnvironment::exec(m_file, u"SELECT %1 FROM %2 LIMIT 0"_s.arg(names.join(u", "_s), def.name));
        }

        const auto exec = [&](const QString &statement) { DataTestEnvironment::exec(m_file, statement); };
        exec(u"INSERT INTO Program (ProgramID, Name) VALUES (12, 'Gala')"_s);
        exec(u"INSERT INTO Attendees (AttendeeID, ProgramID, FirstName) VALUES (17, 12, 'Ann'), (18, 12, 'Bo')"_s);
        // The donations query takes inserts, updates and deletes through to its table.
        exec(u"INSERT INTO qryDon_Fees (AttendeeID, Amount, RegFee, PaymentType) VALUES "
             "(17, 250000, 1, 'Cash'), (17, 100000, 0, 'Check'), (18, 5000, 0, 'Cash')"_s);
        QCOMPARE(sql(u"SELECT count(*) FROM Donations WHERE AttendeeID = 17"_s).toInt(), 2);
        exec(u"UPDATE qryDon_Fees SET Amount = 7500 WHERE AttendeeID = 18"_s);
        QCOMPARE(sql(u"SELECT Amount FROM Donations WHERE AttendeeID = 18"_s).toLongLong(), 7500);
        exec(u"DELETE FROM qryDon_Fees WHERE PaymentType = 'Check'"_s);
        QCOMPARE(sql(u"SELECT count(*) FROM Donations"_s).toInt(), 2);
        // Money is never a float; Yes/No is 0 or 1.
        auto db = Database::openSeparate(m_file);
        for (const QString &bad : {u"INSERT INTO Donations (AttendeeID, Amount) VALUES (18, 0.3)"_s,
                                   u"INSERT INTO Donations (AttendeeID, RegFee) VALUES (18, 2)"_s,
                                   u"UPDATE Program SET TargetAmt = 1.5"_s})
            QVERIFY2(thrownError([&] { db->execute(bad); }), qPrintable(u"accepted: "_s + bad));
        // Deleting an attendee takes its donations; deleting an event keeps its attendees.
        exec(u"DELETE FROM Attendees WHERE AttendeeID = 17"_s);
        QCOMPARE(sql(u"SELECT group_concat(AttendeeID) FROM Donations"_s).toString(), u"18"_s);
        exec(u"DELETE FROM Program WHERE ProgramID = 12"_s);
        QCOMPARE(sql(u"SELECT count(*) FROM Attendees WHERE ProgramID = 12"_s).toInt(), 1);
    }

    void currencyIsExact()
    {
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

    void toolCreatesAndNeverOverwrites()
    {
        const QString folder = m_env->folder(u"made"_s);
        const QString file = folder + u"Quorvex.mdb"_s;
        const QString toolsDir = qEnvironmentVariable("QUORVEX_TOOLS_DIR", QCoreApplication::applicationDirPath() + u"/../../tools"_s);
        QString err;
        auto run = [&](const QStringList &args) {
            QProcess p;
            p.start(QDir(toolsDir).filePath(u"quorvex-db"_s), args);
            if (!p.waitForFinished(30000))
                return -100;
            err = QString::fromLocal8Bit(p.readAllStandardError());
            return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -101;
        };
        QCOMPARE(run({u"create"_s, folder}), 0);
        QCOMPARE(DataTestEnvironment::scalar(file, u"PRAGMA user_version"_s).toInt(), Schema::Version);
        // With the common titles and offices, for the lists of the registration window.
        QCOMPARE(DataTestEnvironment::scalar(file, u"SELECT (SELECT count(*) FROM Title) || ' ' || (SELECT count(*) FROM Office)"_s), u"5 4"_s);
        (void)Database::openSeparate(file); // the program accepts what the tool makes

        DataTestEnvironment::exec(file, u"INSERT INTO Program (Name) VALUES ('Kept')"_s);
        const QByteArray before = fileBytes(file);
        QVERIFY(run({u"create"_s, folder}) != 0);
        QVERIFY2(err.contains(u"already exists"_s), qPrintable(err));
        QCOMPARE(run({u"create-if-missing"_s, folder}), 0);
        QVERIFY(err.isEmpty());
        QCOMPARE(fileBytes(file), before);

        const QString fresh = m_env->folder(u"fresh"_s);
        QCOMPARE(run({u"create-if-missing"_s, fresh}), 0);
        QVERIFY(QFileInfo::exists(fresh + u"Quorvex.mdb"_s));
        QVERIFY(run({}) != 0);
        QVERIFY(err.contains(u"Usage"_s));
        QVERIFY(run({u"create"_s, m_env->root() + u"no-such-folder"_s}) != 0);
        QVERIFY(err.contains(u"does not exist"_s));
    }
};

QTEST_GUILESS_MAIN(DatabaseTest)
#include "tst_database.moc"
