// The database file and its connections: the checks made before a file is opened,
// read-only and locked files, key reservation, the schema's own rules, currency
// and the quorvex-db tool.
#include "TestEnvironment.h"
#include "data/Currency.h"
#include "data/DataError.h"
#include "data/Database.h"
#include "data/Recordset.h"
#include "data/Schema.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

namespace {

QByteArray fileBytes(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

void writeBytes(const QString &file, const QByteArray &bytes)
{
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// A second workstation holding the write lock, on a plain connection of its own.
class LockHolder
{
public:
    explicit LockHolder(const QString &file)
    {
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("lock-holder"));
        m_db.setDatabaseName(file);
        m_db.open();
        QSqlQuery(QStringLiteral("BEGIN IMMEDIATE"), m_db).finish();
        QSqlQuery(QStringLiteral("UPDATE Title SET TitleDesc = 'held' WHERE TitleID = 1"), m_db).finish();
    }
    void release()
    {
        if (!m_db.isOpen())
            return;
        QSqlQuery(QStringLiteral("ROLLBACK"), m_db).finish();
        m_db.close();
    }
    ~LockHolder()
    {
        release();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("lock-holder"));
    }

private:
    QSqlDatabase m_db;
};

QString toolPath()
{
    const QString dir = qEnvironmentVariable("QUORVEX_TOOLS_DIR");
    return QDir(dir.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/../../tools") : dir)
        .filePath(QStringLiteral("quorvex-db"));
}

} // namespace

class DatabaseTest : public QObject
{
    Q_OBJECT

private slots:
    void badFilesAreRefusedAndLeftAlone_data();
    void badFilesAreRefusedAndLeftAlone();
    void connectionsAreSharedPerFileAndSeparateOnRequest();
    void readOnlyFileReadsButRefusesWrites();
    void lockedDatabaseWaitsThenFailsWithoutHalfWrites();
    void reserveKeyHandsOutEachKeyOnce();
    void schemaRules();
    void currencyIsExact();
    void toolCreatesAndNeverOverwrites();
    void cleanup() { Database::setDefaultBusyTimeout(5000); }
};

void DatabaseTest::badFilesAreRefusedAndLeftAlone_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("create");
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

    QTest::newRow("missing") << QByteArray() << false << int(DataError::FileNotFound) << "does not exist";
    QTest::newRow("empty") << QByteArray() << true << int(DataError::UnrecognizedFormat) << "is empty";
    QTest::newRow("random bytes") << random << true << int(DataError::UnrecognizedFormat) << "not a Quorvex database";
    QTest::newRow("Access/Jet") << jet << true << int(DataError::UnrecognizedFormat) << "Access (Jet) database";
}

void DatabaseTest::badFilesAreRefusedAndLeftAlone()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, create);
    QFETCH(int, number);
    QFETCH(QString, phrase);

    TestEnvironment env;
    const QString file = env.folder(QStringLiteral("db")) + QStringLiteral("Quorvex.mdb");
    if (create)
        writeBytes(file, bytes);

    for (const auto &open : {&Database::shared, &Database::openSeparate}) {
        try {
            (void)open(file);
            QFAIL("the file was accepted");
        } catch (const AppError &error) {
            QCOMPARE(error.number(), number);
            QVERIFY2(error.description().contains(QDir::toNativeSeparators(file)), qPrintable(error.description()));
            QVERIFY2(error.description().contains(phrase), qPrintable(error.description()));
            QCOMPARE(error.source(), QStringLiteral("Quorvex database"));
        }
    }
    QCOMPARE(QFileInfo::exists(file), create); // a missing file is not made
    if (create)
        QCOMPARE(fileBytes(file), bytes);
    QVERIFY(!QFileInfo::exists(file + QStringLiteral("-journal")));
}

void DatabaseTest::connectionsAreSharedPerFileAndSeparateOnRequest()
{
    TestEnvironment env;
    const QString file = env.createDatabase(env.folder(QStringLiteral("db")));
    {
        auto a = Database::shared(file);
        auto b = Database::shared(QDir(env.root()).filePath(QStringLiteral("db/../db/Quorvex.mdb")));
        QCOMPARE(a.get(), b.get());
        auto c = Database::openSeparate(file);
        QVERIFY(c.get() != a.get());
        QVERIFY(c->connection().connectionName() != a->connection().connectionName());
        QSqlQuery mode = a->query(QStringLiteral("PRAGMA journal_mode"));
        QVERIFY(mode.next());
        QCOMPARE(mode.value(0).toString(), QStringLiteral("delete"));
    }
    // A file without our tables is refused by name, and not changed.
    const QString other = env.folder(QStringLiteral("other")) + QStringLiteral("Quorvex.mdb");
    TestEnvironment::exec(other, QStringLiteral("CREATE TABLE Something (x)"));
    const QByteArray before = fileBytes(other);
    try {
        (void)Database::shared(other);
        QFAIL("a database without the schema was accepted");
    } catch (const AppError &error) {
        QCOMPARE(error.number(), int(DataError::UnrecognizedFormat));
        QVERIFY(error.description().contains(QStringLiteral("no Attendees table")));
        QVERIFY(error.description().contains(QDir::toNativeSeparators(other)));
    }
    QCOMPARE(fileBytes(other), before);
}

void DatabaseTest::readOnlyFileReadsButRefusesWrites()
{
    TestEnvironment env;
    const QString file = env.createDatabase(env.folder(QStringLiteral("db")));
    TestEnvironment::exec(file, QStringLiteral("INSERT INTO Attendees (ProgramID, FirstName) VALUES (1, 'Ann')"));
    QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const QByteArray before = fileBytes(file);
    {
        auto db = Database::openSeparate(file);
        QVERIFY(db->isReadOnly());
        Recordset rs(db, QStringLiteral("Select * from Attendees where ProgramID =1"));
        QCOMPARE(rs.recordCount(), 1);
        QCOMPARE(rs.value(QStringLiteral("FirstName")).toString(), QStringLiteral("Ann"));
        QVERIFY(!rs.updatable());

        rs.setValue(QStringLiteral("FirstName"), QStringLiteral("Anna")); // typing is kept...
        try {
            rs.update(); // ...but not written
            QFAIL("a read-only file was written");
        } catch (const AppError &error) {
            QCOMPARE(error.number(), int(DataError::ReadOnly));
            QVERIFY(error.description().contains(QStringLiteral("read-only")));
            QVERIFY(error.description().contains(QDir::toNativeSeparators(file)));
        }
        QCOMPARE(rs.editMode(), EditMode::Editing);
        QCOMPARE(rs.value(QStringLiteral("FirstName")).toString(), QStringLiteral("Anna"));
        for (const auto &write : std::initializer_list<std::function<void()>> {
                 [&] { rs.addNew(); }, [&] { rs.deleteRow(); },
                 [&] { db->execute(QStringLiteral("UPDATE Attendees SET FirstName = 'X'")); }}) {
            try {
                write();
                QFAIL("a read-only file was written");
            } catch (const AppError &error) {
                QCOMPARE(error.number(), int(DataError::ReadOnly));
            }
        }
    }
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(fileBytes(file), before);
    QCOMPARE(TestEnvironment::scalar(file, QStringLiteral("SELECT FirstName FROM Attendees")).toString(),
             QStringLiteral("Ann"));
}

void DatabaseTest::lockedDatabaseWaitsThenFailsWithoutHalfWrites()
{
    TestEnvironment env;
    const QString file = env.createDatabase(env.folder(QStringLiteral("db")));
    TestEnvironment::exec(file, QStringLiteral("INSERT INTO Attendees (ProgramID, FirstName, LastName) VALUES (1, 'Ann', 'Lee')"));
    Database::setDefaultBusyTimeout(300);
    auto db = Database::openSeparate(file);
    Recordset rs(db, QStringLiteral("Attendees"));
    LockHolder other(file);

    // Reading goes on while another workstation writes.
    QCOMPARE(rs.value(QStringLiteral("LastName")).toString(), QStringLiteral("Lee"));
    rs.setValue(QStringLiteral("FirstName"), QStringLiteral("Anne"));
    rs.setValue(QStringLiteral("LastName"), QStringLiteral("Leigh"));
    QElapsedTimer waited;
    waited.start();
    try {
        rs.update();
        QFAIL("the write went through a held lock");
    } catch (const AppError &error) {
        QCOMPARE(error.number(), int(DataError::Locked));
    }
    QVERIFY2(waited.elapsed() >= 250, "the writer did not wait for the lock");
    QCOMPARE(rs.editMode(), EditMode::Editing);
    QCOMPARE(rs.value(QStringLiteral("LastName")).toString(), QStringLiteral("Leigh"));
    try {
        rs.cancelUpdate();
        rs.addNew();
        QFAIL("a key was reserved through a held lock");
    } catch (const AppError &error) {
        QCOMPARE(error.number(), int(DataError::Locked));
        QCOMPARE(rs.editMode(), EditMode::None);
    }

    other.release();
    QCOMPARE(TestEnvironment::scalar(file, QStringLiteral("SELECT FirstName || ' ' || LastName FROM Attendees")).toString(),
             QStringLiteral("Ann Lee"));
    rs.setValue(QStringLiteral("FirstName"), QStringLiteral("Anne"));
    rs.setValue(QStringLiteral("LastName"), QStringLiteral("Leigh"));
    rs.update();
    QCOMPARE(TestEnvironment::scalar(file, QStringLiteral("SELECT FirstName || ' ' || LastName FROM Attendees")).toString(),
             QStringLiteral("Anne Leigh"));
}

void DatabaseTest::reserveKeyHandsOutEachKeyOnce()
{
    TestEnvironment env;
    const QString file = env.createDatabase(env.folder(QStringLiteral("db")));
    // Rows whose sequence entry is missing (made by hand): counting starts after the largest key.
    TestEnvironment::exec(file, QStringLiteral("INSERT INTO Attendees (AttendeeID, ProgramID) VALUES (7, 1)"));
    TestEnvironment::exec(file, QStringLiteral("DELETE FROM sqlite_sequence WHERE name = 'Attendees'"));
    auto a = Database::openSeparate(file);
    auto b = Database::openSeparate(file);
    QList<qint64> keys;
    for (int i = 0; i < 3; ++i) {
        keys << a->reserveKey(QStringLiteral("Attendees"), QStringLiteral("AttendeeID"));
        keys << b->reserveKey(QStringLiteral("Attendees"), QStringLiteral("AttendeeID"));
    }
    QCOMPARE(keys, (QList<qint64> {8, 9, 10, 11, 12, 13}));
    QCOMPARE(TestEnvironment::scalar(file, QStringLiteral("SELECT count(*) FROM sqlite_sequence WHERE name = 'Attendees'")).toInt(), 1);
    // A reserved key can be used for the row, and the database never hands it out again.
    a->execute(QStringLiteral("INSERT INTO Attendees (AttendeeID, ProgramID) VALUES (?, 1)"), {keys.first()});
    TestEnvironment::exec(file, QStringLiteral("INSERT INTO Attendees (ProgramID) VALUES (1)"));
    QCOMPARE(TestEnvironment::scalar(file, QStringLiteral("SELECT max(AttendeeID) FROM Attendees")).toLongLong(), 14);
}

void DatabaseTest::schemaRules()
{
    TestEnvironment env;
    const QString file = env.createDatabase(env.folder(QStringLiteral("db")));
    auto sql = [&](const QString &s) { return TestEnvironment::scalar(file, s); };
    QCOMPARE(sql(QStringLiteral("PRAGMA user_version")).toInt(), Schema::Version);
    QCOMPARE(sql(QStringLiteral("SELECT group_concat(TitleName, ',') FROM Title")).toString(), QStringLiteral("Mr.,Mrs.,Ms.,Dr.,Rev."));
    QCOMPARE(sql(QStringLiteral("SELECT group_concat(OfficeName, ',') FROM Office")).toString(),
             QStringLiteral("President,Secretary,Treasurer,Member"));
    // Every field the program names exists under that name, in the known sources.
    for (const SourceDef &def : Schema::sources()) {
        QStringList names;
        for (const FieldDef &f : def.fields)
            names << f.name;
        TestEnvironment::exec(file, QStringLiteral("SELECT %1 FROM %2 LIMIT 0").arg(names.join(QStringLiteral(", ")), def.name));
    }

    TestEnvironment::exec(file, QStringLiteral("INSERT INTO Program (ProgramID, Name) VALUES (12, 'Gala')"));
    TestEnvironment::exec(file, QStringLiteral("INSERT INTO Attendees (AttendeeID, ProgramID, FirstName) VALUES (17, 12, 'Ann'), (18, 12, 'Bo')"));
    // The donations query takes inserts, updates and deletes through to its table.
    TestEnvironment::exec(file, QStringLiteral("INSERT INTO qryDon_Fees (AttendeeID, Amount, RegFee, PaymentType) VALUES "
                                               "(17, 250000, 1, 'Cash'), (17, 100000, 0, 'Check'), (18, 5000, 0, 'Cash')"));
    QCOMPARE(sql(QStringLiteral("SELECT count(*) FROM Donations WHERE AttendeeID = 17")).toInt(), 2);
    TestEnvironment::exec(file, QStringLiteral("UPDATE qryDon_Fees SET Amount = 7500 WHERE AttendeeID = 18"));
    QCOMPARE(sql(QStringLiteral("SELECT Amount FROM Donations WHERE AttendeeID = 18")).toLongLong(), 7500);
    TestEnvironment::exec(file, QStringLiteral("DELETE FROM qryDon_Fees WHERE PaymentType = 'Check'"));
    QCOMPARE(sql(QStringLiteral("SELECT count(*) FROM Donations")).toInt(), 2);
    // Money is never a float; Yes/No is 0 or 1.
    {
        auto db = Database::openSeparate(file);
        for (const QString &bad : {QStringLiteral("INSERT INTO Donations (AttendeeID, Amount) VALUES (18, 0.3)"),
                                   QStringLiteral("INSERT INTO Donations (AttendeeID, RegFee) VALUES (18, 2)"),
                                   QStringLiteral("UPDATE Program SET TargetAmt = 1.5")}) {
            try {
                db->execute(bad);
                QFAIL(qPrintable(QStringLiteral("accepted: ") + bad));
            } catch (const AppError &) {
            }
        }
    }
    // Deleting an attendee takes its donations; deleting an event keeps its attendees.
    TestEnvironment::exec(file, QStringLiteral("DELETE FROM Attendees WHERE AttendeeID = 17"));
    QCOMPARE(sql(QStringLiteral("SELECT count(*) FROM Donations WHERE AttendeeID = 17")).toInt(), 0);
    QCOMPARE(sql(QStringLiteral("SELECT count(*) FROM Donations WHERE AttendeeID = 18")).toInt(), 1);
    TestEnvironment::exec(file, QStringLiteral("DELETE FROM Program WHERE ProgramID = 12"));
    QCOMPARE(sql(QStringLiteral("SELECT count(*) FROM Attendees WHERE ProgramID = 12")).toInt(), 1);
}

void DatabaseTest::currencyIsExact()
{
    const auto tenth = Currency::parse(QStringLiteral("0.1"));
    const auto fifth = Currency::parse(QStringLiteral("0.2"));
    QVERIFY(tenth && fifth);
    QCOMPARE(Currency::fromRaw(tenth->raw() + fifth->raw()), *Currency::parse(QStringLiteral("0.3")));
    QCOMPARE(Currency::parse(QStringLiteral("1,234.50"))->raw(), 12345000);
    QCOMPARE(Currency::parse(QStringLiteral("$5"))->raw(), 50000);
    QCOMPARE(Currency::parse(QStringLiteral("-$3.1234"))->raw(), -31234);
    for (const char *bad : {"", "abc", "1.23456", "1..2", "12a", ",5", "5,"})
        QVERIFY2(!Currency::parse(QString::fromLatin1(bad)), bad);
    QCOMPARE(Currency::fromRaw(125000).toString(), QStringLiteral("12.50"));
    QCOMPARE(Currency::fromRaw(-31234).toString(), QStringLiteral("-3.1234"));
    QCOMPARE(Currency::fromRaw(0).toString(), QStringLiteral("0.00"));
    QCOMPARE(Currency::fromRaw(-5000).toString(), QStringLiteral("-0.50"));
    registerCurrencyType();
    QCOMPARE(QVariant::fromValue(Currency::fromRaw(25000)).toString(), QStringLiteral("2.50"));
}

void DatabaseTest::toolCreatesAndNeverOverwrites()
{
    TestEnvironment env;
    const QString folder = env.folder(QStringLiteral("made"));
    const QString file = folder + QStringLiteral("Quorvex.mdb");
    auto run = [](const QStringList &args, QString *err = nullptr) {
        QProcess p;
        p.start(toolPath(), args);
        if (!p.waitForFinished(30000))
            return -100;
        if (err)
            *err = QString::fromLocal8Bit(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -101;
    };
    QCOMPARE(run({QStringLiteral("create"), folder}), 0);
    QCOMPARE(TestEnvironment::scalar(file, QStringLiteral("PRAGMA user_version")).toInt(), Schema::Version);
    QCOMPARE(TestEnvironment::scalar(file, QStringLiteral("SELECT count(*) FROM Title")).toInt(), 5);
    (void)Database::openSeparate(file); // the program accepts what the tool makes

    TestEnvironment::exec(file, QStringLiteral("INSERT INTO Program (Name) VALUES ('Kept')"));
    const QByteArray before = fileBytes(file);
    QString err;
    QVERIFY(run({QStringLiteral("create"), folder}, &err) != 0);
    QVERIFY2(err.contains(QStringLiteral("already exists")), qPrintable(err));
    QCOMPARE(run({QStringLiteral("create-if-missing"), folder}, &err), 0);
    QVERIFY(err.isEmpty());
    QCOMPARE(fileBytes(file), before);

    const QString fresh = env.folder(QStringLiteral("fresh"));
    QCOMPARE(run({QStringLiteral("create-if-missing"), fresh}), 0);
    QVERIFY(QFileInfo::exists(fresh + QStringLiteral("Quorvex.mdb")));
    QVERIFY(run({}, &err) != 0);
    QVERIFY(err.contains(QStringLiteral("Usage")));
    QVERIFY(run({QStringLiteral("create"), env.root() + QStringLiteral("no-such-folder")}, &err) != 0);
    QVERIFY(err.contains(QStringLiteral("does not exist")));
}

QTEST_GUILESS_MAIN(DatabaseTest)
#include "tst_database.moc"
