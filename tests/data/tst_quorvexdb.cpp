// quorvex-db through its real executable, on a database file and on the test
// server: create never overwrites, copy moves a whole database file with its
// photographs to a server in one transaction, check reports what it finds.
#include "DataTestEnvironment.h"
#include "data/Database.h"
#include "data/PhotoStore.h"
#include "data/Recordset.h"
#include "data/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlRecord>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray fileBytes(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every row of `table` in key order, each value as text (a date as yyyy-MM-dd on both engines).
QStringList rowsOf(const QString &location, const SourceDef &table)
{
    QStringList rows;
    const QString key = table.keyField;
    for (const QString &id : DataTestEnvironment::column(location, u"SELECT %1 FROM %2 ORDER BY %1"_s.arg(key, table.name))) {
        const QSqlRecord record = DataTestEnvironment::row(location, u"SELECT * FROM %1 WHERE %2 = ?"_s.arg(table.name, key),
                                                           {id.toLongLong()});
        QStringList values;
        for (const FieldDef &field : table.fields) {
            const QVariant value = record.value(field.name); // found without regard to case
            values << (value.isNull() ? u"NULL"_s : value.toString());
        }
        rows << values.join(u'|');
    }
    return rows;
}

} // namespace

class QuorvexDbTest : public QObject
{
    Q_OBJECT

    QString m_err;
    QString m_out;
    std::unique_ptr<DataTestEnvironment> m_env;
    bool m_server = false;

    int run(const QStringList &args)
    {
        const QString toolsDir = qEnvironmentVariable("QUORVEX_TOOLS_DIR", QCoreApplication::applicationDirPath() + u"/../../tools"_s);
        QProcess p;
        p.start(QDir(toolsDir).filePath(u"quorvex-db"_s), args);
        if (!p.waitForFinished(60000))
            return -100;
        m_out = QString::fromLocal8Bit(p.readAllStandardOutput());
        m_err = QString::fromLocal8Bit(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -101;
    }

private slots:
    void initTestCase_data() { DataTestEnvironment::addEngineRows(); }

    void init()
    {
        QFETCH_GLOBAL(TestEngine, engine);
        if (!DataTestEnvironment::engineAvailable(engine))
            QSKIP("no test server: run the data tests through ctest");
        m_server = engine == TestEngine::Server;
        m_env = std::make_unique<DataTestEnvironment>();
    }
    void cleanup() { m_env.reset(); }

    void createMakesTheSchemaAndNeverOverwrites()
    {
        const QString target = m_server ? m_env->createEmptyServerDatabase() : m_env->folder(u"made"_s);
        const QString location = m_server ? target : target + u"Quorvex.mdb"_s;
        const auto sql = [&](const QString &statement) { return DataTestEnvironment::scalar(location, statement); };
        QCOMPARE(run({u"create"_s, target}), 0);
        QCOMPARE(sql(m_server ? u"SELECT Version FROM QuorvexSchema"_s : u"PRAGMA user_version"_s).toInt(), Schema::Version);
        // With the common titles and offices, for the lists of the registration window.
        QCOMPARE(sql(u"SELECT (SELECT count(*) FROM Title) || ' ' || (SELECT count(*) FROM Office)"_s).toString(), u"5 4"_s);
        (void)Database::openSeparate(location); // the program accepts what the tool makes

        DataTestEnvironment::exec(location, u"INSERT INTO Program (Name) VALUES ('Kept')"_s);
        const QByteArray before = m_server ? QByteArray() : fileBytes(location);
        QCOMPARE(run({u"create"_s, target}), 1);
        QVERIFY2(m_err.contains(m_server ? u"already has Quorvex tables"_s : u"already exists"_s), qPrintable(m_err));
        QCOMPARE(run({u"create-if-missing"_s, target}), 0);
        QVERIFY(m_err.isEmpty());
        QCOMPARE(sql(u"SELECT count(*) FROM Program WHERE Name = 'Kept'"_s).toInt(), 1);
        if (!m_server)
            QCOMPARE(fileBytes(location), before);

        const QString fresh = m_server ? m_env->createEmptyServerDatabase() : m_env->folder(u"fresh"_s);
        QCOMPARE(run({u"create-if-missing"_s, fresh}), 0);
        (void)Database::openSeparate(m_server ? fresh : fresh + u"Quorvex.mdb"_s);
        QCOMPARE(run({}), 2);
        QVERIFY(m_err.contains(u"Usage"_s));
        QCOMPARE(run({u"create"_s, target, target}), 2);
        if (m_server) {
            QCOMPARE(run({u"create"_s, QString(target).replace(QRegularExpression(u"/[^/]*$"_s), u"/no_such_db"_s)}), 1);
            QVERIFY2(m_err.contains(u"refused to open the database \"no_such_db\""_s), qPrintable(m_err));
        } else {
            QCOMPARE(run({u"create"_s, m_env->root() + u"no-such-folder"_s}), 1);
            QVERIFY(m_err.contains(u"does not exist"_s));
        }
    }

    void copyMovesAFileWithItsPhotographs()
    {
        if (!m_server)
            QSKIP("copies a file to a server");
        const QString folder = m_env->folder(u"desk"_s);
        const QString file = m_env->createDatabase(folder);
        const auto exec = [&](const QString &statement) { DataTestEnvironment::exec(file, statement); };
        exec(u"INSERT INTO Program (ProgramID, Name, DateStart, DateEnd, FundRaising, TargetAmt) VALUES "
             "(3, 'Gala ''24', '2024-03-05', NULL, 1, 12345678), (9, 'Fair', NULL, '2024-12-31', 0, -5000)"_s);
        exec(u"INSERT INTO Attendees (AttendeeID, ProgramID, FirstName, LastName, City, Picture) VALUES "
             "(17, 3, 'Zoë', 'O''Brien', 'Köln', 'Pic\\17.jpg'), (18, 3, 'Дмитрий', 'Иванов', NULL, 'Pic\\18.jpg'), "
             "(25, 9, 'Bo', 'Ng', 'Oslo', '')"_s);
        exec(u"INSERT INTO Donations (DonationID, AttendeeID, Amount, RegFee, DonDate, PaymentType) VALUES "
             "(4, 17, 250000, 1, '2024-03-05', 'Cash'), (5, 25, 1, 0, NULL, 'Check')"_s);
        exec(u"INSERT INTO Office (OfficeName, OfficeDesc) VALUES ('Warden', 'Warden')"_s);
        exec(u"INSERT INTO CheckIns (AttendeeID, CheckedIn, Desk) VALUES (17, '2024-03-05T09:15:00.250Z', 'DESK-1')"_s);
        exec(u"INSERT INTO CardPrints (AttendeeID, Printed, CardSize, Printer, Desk) VALUES (25, "
             "'2024-03-05T09:16:00.000Z', 'Large', 'Front', 'DESK-2')"_s);
        // The file handed out attendee keys up to 40 (new attendees never saved).
        exec(u"UPDATE sqlite_sequence SET seq = 40 WHERE name = 'Attendees'"_s);
        QDir(folder).mkpath(u"Pic"_s);
        QImage photo(32, 24, QImage::Format_RGB32);
        photo.fill(Qt::darkCyan);
        QVERIFY(photo.save(folder + u"Pic/17.jpg"_s, "JPEG")); // 18's photograph is missing
        const QByteArray jpeg = fileBytes(folder + u"Pic/17.jpg"_s);

        const QString url = m_env->createEmptyServerDatabase();
        QCOMPARE(run({u"copy"_s, folder, url}), 0);
        QVERIFY2(m_out.contains(u"Attendees 3"_s) && m_out.contains(u"photographs: 1"_s), qPrintable(m_out));
        QVERIFY2(m_out.contains(u"names no file in the Pic folder"_s) && m_out.contains(u": 18"_s), qPrintable(m_out));
        for (const char *table : {"Program", "Attendees", "Donations", "Office", "Title"}) {
            const SourceDef &def = *Schema::source(QString::fromLatin1(table));
            QCOMPARE(rowsOf(url, def), rowsOf(file, def));
        }
        QCOMPARE(DataTestEnvironment::scalar(url, u"SELECT Photo FROM Photos WHERE AttendeeID = 17"_s).toByteArray(), jpeg);
        QCOMPARE(DataTestEnvironment::scalar(url, u"SELECT count(*) FROM Photos"_s).toInt(), 1);
        QCOMPARE(DataTestEnvironment::scalar(url, u"SELECT count(*) FROM CheckIns WHERE AttendeeID = 17 AND CheckedIn = "
                                                  "'2024-03-05 09:15:00.25+00' AND Desk = 'DESK-1'"_s).toInt(), 1);
        QCOMPARE(DataTestEnvironment::scalar(url, u"SELECT count(*) FROM CardPrints WHERE AttendeeID = 25 AND Printed = "
                                                  "'2024-03-05 09:16:00+00' AND Printer = 'Front'"_s).toInt(), 1);

        // The program works on the copy: the key after the file's last, the photograph shown from the server.
        {
            Recordset rs(Database::openSeparate(url), u"Select * from Attendees where ProgramID =3"_s);
            QCOMPARE(rs.value(u"LastName"_s).toString(), u"O'Brien"_s);
            rs.addNew();
            QCOMPARE(rs.currentKey(), 41);
            rs.cancelUpdate();
            const QString shown = PhotoStore::forLocation(url)->photoFile(u"17"_s, rs.value(u"Picture"_s).toString());
            QCOMPARE(fileBytes(shown), jpeg);
        }

        // Never into a database that has tables; nothing at all when a row cannot be copied.
        QCOMPARE(run({u"copy"_s, folder, url}), 1);
        QVERIFY2(m_err.contains(u"already has Quorvex tables"_s), qPrintable(m_err));
        exec(u"UPDATE Donations SET DonDate = 'soon' WHERE DonationID = 5"_s);
        const QString other = m_env->createEmptyServerDatabase();
        QCOMPARE(run({u"copy"_s, folder, other}), 1);
        QVERIFY2(m_err.contains(u"Donations rows with the keys 4 to 5"_s) && m_err.contains(u"Nothing was copied"_s),
                 qPrintable(m_err));
        QCOMPARE(DataTestEnvironment::scalar(other, u"SELECT count(*) FROM information_schema.tables WHERE "
                                                    "table_schema = 'public'"_s).toInt(), 0);
        // A wrong command line.
        QCOMPARE(run({u"copy"_s, folder}), 2);
        QCOMPARE(run({u"copy"_s, url, url}), 2);
        QCOMPARE(run({u"copy"_s, folder, folder}), 2);
    }

    void checkTellsWhatItFinds()
    {
        const QString location = m_env->createDatabase(m_server ? TestEngine::Server : TestEngine::File);
        const QString target = m_server ? location : QFileInfo(location).absolutePath();
        QCOMPARE(run({u"check"_s, target}), 0);
        QVERIFY2(m_out.contains(u"Schema version: %1"_s.arg(Schema::Version)) && m_out.contains(u"Title: 5 rows"_s)
                     && m_out.contains(u"No problems found"_s), qPrintable(m_out));

        // What the program leaves by design is a note; a donation of no attendee is a problem.
        DataTestEnvironment::exec(location, u"INSERT INTO Attendees (AttendeeID, ProgramID, Picture) VALUES (5, 99, 'Pic\\5.jpg')"_s);
        QCOMPARE(run({u"check"_s, target}), 0);
        QVERIFY2(m_out.contains(u"1 attendees belong to an event that was deleted"_s)
                     && m_out.contains(u"1 attendees name a photograph that is not there"_s), qPrintable(m_out));
        DataTestEnvironment::exec(location, u"INSERT INTO Donations (AttendeeID, Amount) VALUES (6, 10000)"_s);
        if (m_server)
            DataTestEnvironment::exec(location, u"DROP COLLATION quorvex_fold"_s);
        QCOMPARE(run({u"check"_s, target}), 1);
        QVERIFY2(m_out.contains(u"Problem: 1 donations belong to no attendee"_s), qPrintable(m_out));
        if (m_server)
            QVERIFY2(m_out.contains(u"Problem: the collation quorvex_fold is missing"_s), qPrintable(m_out));
        QVERIFY2(m_err.contains(u"problem(s) found"_s), qPrintable(m_err));

        QCOMPARE(run({u"check"_s, m_env->root() + u"nowhere"_s}), 1);
        QCOMPARE(run({u"check"_s}), 2);
    }
};

QTEST_GUILESS_MAIN(QuorvexDbTest)
#include "tst_quorvexdb.moc"
