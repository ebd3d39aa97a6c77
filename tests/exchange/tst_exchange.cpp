// Attendee lists in and out: the readers (encodings, separators, quoting, XLSX),
// the columns guessed from headers, the duplicate choices, the import's all or
// nothing, the export read back by LibreOffice, files LibreOffice wrote imported,
// and quorvex-db's import and export commands.
#include "DataTestEnvironment.h"
#include "LibreOffice.h"
#include "data/Currency.h"
#include "data/CardPrintLog.h"
#include "data/CheckInLog.h"
#include "data/Database.h"
#include "exchange/AttendeeImport.h"
#include "exchange/CsvReader.h"
#include "exchange/EventExport.h"
#include "exchange/ExchangeProgress.h"
#include "exchange/FieldMatcher.h"
#include "exchange/SheetReader.h"
#include "exchange/TextDecoding.h"
#include "exchange/XlsxReader.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringDecoder>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using Rows = QList<QStringList>;

// Names in several scripts, a quote, a comma and a line break: what must come back.
const Rows People = {
    {u"Zoë"_s, u"Ångström-Öberg"_s, u"zoe@example.org"_s, u"Malmö"_s, u"O'Brien said \"hi\", then left\nline two"_s},
    {u"Δημήτρης"_s, u"Παπαδόπουλος"_s, u""_s, u"Αθήνα"_s, u""_s},
    {u"Юлия"_s, u"Смирнова"_s, u"julia@example.org"_s, u"Москва"_s, u""_s},
    {u"小明"_s, u"王"_s, u""_s, u"北京"_s, u"  blanks kept  "_s},
    {u"محمد"_s, u"علي"_s, u"m@example.org"_s, u"القاهرة"_s, u""_s},
    {u"José"_s, u"Núñez, Jr."_s, u""_s, u"Lima"_s, u""_s},
};
const QStringList PeopleColumns = {u"FirstName"_s, u"LastName"_s, u"EmailName"_s, u"City"_s, u"Note"_s};

// Amounts in ten-thousandths (to the cent), registration fee, dates, type.
struct Gift
{
    qint64 raw;
    bool fee;
    QString donDate, paymentDate, type;
};
const QList<Gift> Gifts = {{100, false, u"2026-03-01"_s, u"2026-03-02"_s, u"Cash"_s},
                           {125000, true, u"1999-12-31"_s, u"2000-01-01"_s, u"Check"_s},
                           {12345678900, false, u"2026-02-28"_s, u""_s, u"Check"_s},
                           {1000, false, u""_s, u"2026-01-15"_s, u""_s}};

QByteArray csvBytes(const QStringList &lines)
{
    return lines.join(u"\r\n"_s).toUtf8() + "\r\n";
}

QList<QStringList> cellsOf(const SheetTable &table)
{
    QList<QStringList> rows {table.header};
    for (const SheetRow &row : table.rows)
        rows << row.cells;
    return rows;
}

} // namespace

class ExchangeTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<DataTestEnvironment> m_env;
    QString m_file;

    // The database of the row's engine; false (the row skipped) when no test server runs.
    bool onEngine()
    {
        QFETCH(TestEngine, engine);
        if (!DataTestEnvironment::engineAvailable(engine))
            return false;
        if (engine == TestEngine::Server)
            m_file = m_env->createDatabase(engine);
        return true;
    }
    QString write(const QString &name, const QByteArray &bytes) const
    {
        const QString path = m_env->folder(u"files"_s) + name;
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    QVariant sql(const QString &statement, const QVariantList &params = {}) const
    {
        return DataTestEnvironment::scalar(m_file, statement, params);
    }
    ImportReport importFile(const QString &path, const QString &event, DuplicateChoice choice = DuplicateChoice::Skip,
                            ExchangeProgress *progress = nullptr) const
    {
        const SheetTable table = SheetReader::read(path);
        ImportOptions options;
        options.eventName = event;
        options.duplicates = choice;
        options.mapping = FieldMatcher::guess(table.header);
        auto db = Database::openSeparate(m_file);
        return AttendeeImport::run(*db, table, options, progress);
    }
    // Every table's rows, to show that nothing was written.
    QString everything() const
    {
        return QStringList {sql(u"SELECT count(*) FROM Program"_s).toString(),
                            sql(u"SELECT count(*) FROM Attendees"_s).toString(),
                            sql(u"SELECT count(*) FROM Donations"_s).toString()}
            .join(u'/');
    }
    qint64 addAttendee(qint64 event, const QString &first, const QString &last, const QString &email,
                       const QString &city = QString()) const
    {
        DataTestEnvironment::exec(m_file, u"INSERT INTO Attendees (ProgramID, FirstName, LastName, EmailName, City) "
                                          "VALUES (?, ?, ?, ?, ?)"_s,
                                  {event, first, last, email.isEmpty() ? QVariant() : email, city});
        return sql(u"SELECT max(AttendeeID) FROM Attendees"_s).toLongLong();
    }
    static int runTool(const QStringList &args, QString *out = nullptr, QString *err = nullptr)
    {
        QProcess tool;
        tool.start(qEnvironmentVariable("QUORVEX_TOOLS_DIR") + u"/quorvex-db"_s, args);
        if (!tool.waitForFinished(120000))
            return -1;
        if (out)
            *out = QString::fromUtf8(tool.readAllStandardOutput());
        if (err)
            *err = QString::fromUtf8(tool.readAllStandardError());
        return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    }
    // The event's people and gifts, stored with plain SQL.
    void fillEvent(qint64 event) const
    {
        DataTestEnvironment::exec(m_file, u"INSERT INTO Program (ProgramID, Name) VALUES (?, 'Fair')"_s, {event});
        QList<qint64> keys;
        for (const QStringList &p : People)
            DataTestEnvironment::exec(m_file, u"INSERT INTO Attendees (ProgramID, FirstName, LastName, EmailName, "
                                              "City, Note, PostalCode, HomePhone) VALUES (?, ?, ?, ?, ?, ?, "
                                              "'01234', '+1 555 0100')"_s,
                                      {event, p[0], p[1], p[2].isEmpty() ? QVariant() : p[2], p[3],
                                       p[4].isEmpty() ? QVariant() : p[4]});
        const qint64 first = sql(u"SELECT min(AttendeeID) FROM Attendees"_s).toLongLong();
        for (qsizetype i = 0; i < Gifts.size(); ++i) {
            const Gift &g = Gifts[i];
            DataTestEnvironment::exec(m_file, u"INSERT INTO qryDon_Fees (AttendeeID, Amount, RegFee, DonDate, "
                                              "PaymentDate, PaymentType) VALUES (?, ?, ?, ?, ?, ?)"_s,
                                      {first + i % 2, g.raw, g.fee ? 1 : 0,
                                       g.donDate.isEmpty() ? QVariant() : g.donDate,
                                       g.paymentDate.isEmpty() ? QVariant() : g.paymentDate,
                                       g.type.isEmpty() ? QVariant() : g.type});
        }
    }
    // What the database holds, as the export's rows should read: text, amounts as
    // exact decimals, dates yyyy-MM-dd, Yes/No.
    Rows storedRows(const QString &select) const
    {
        Rows rows;
        auto db = Database::openSeparate(m_file);
        QSqlQuery q = db->query(select);
        while (q.next()) {
            QStringList row;
            for (int i = 0; i < q.record().count(); ++i)
                row << q.value(i).toString();
            rows << row;
        }
        q.finish();
        return rows;
    }

private slots:
    void init()
    {
        m_env = std::make_unique<DataTestEnvironment>();
        m_file = m_env->createDatabase(m_env->folder(u"db"_s));
    }

    void readsCsvAsWritten_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Rows>("cells");
        QTest::addColumn<QList<int>>("lines");
        const Rows plain = {{u"First"_s, u"Last"_s}, {u"Zoë"_s, u"Öberg"_s}, {u"Ann"_s, u"Lee"_s}};
        QTest::newRow("comma, UTF-8") << QByteArray("First,Last\nZo\xC3\xAB,\xC3\x96" "berg\nAnn,Lee\n") << plain
                                      << QList<int> {2, 3};
        QTest::newRow("semicolon, UTF-8 with a BOM, CR LF")
            << QByteArray("\xEF\xBB\xBF" "First;Last\r\nZo\xC3\xAB;\xC3\x96" "berg\r\nAnn;Lee\r\n") << plain
            << QList<int> {2, 3};
        QTest::newRow("tab, Windows-1252, blank line")
            << QByteArray("First\tLast\r\nZo\xEB\t\xD6" "berg\r\n\r\nAnn\tLee") << plain << QList<int> {2, 4};
        QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
        QTest::newRow("bar, UTF-16 with a BOM")
            << QByteArray(utf16(u"First|Last\nZoë|Öberg\nAnn|Lee\n"_s)) << plain << QList<int> {2, 3};
        QStringEncoder utf16be(QStringEncoder::Utf16BE, QStringEncoder::Flag::WriteBom);
        QTest::newRow("UTF-16 big endian") << QByteArray(utf16be(u"First,Last\rZoë,Öberg\rAnn,Lee"_s)) << plain
                                           << QList<int> {2, 3};
        QTest::newRow("quoted separators, quotes and line breaks")
            << QByteArray("Name;Note;City\n\"Lee; Ann\";\"said \"\"hi\"\"\r\nand\nleft\";Rome\nBo;;\"Oslo\"\n")
            << Rows {{u"Name"_s, u"Note"_s, u"City"_s},
                     {u"Lee; Ann"_s, u"said \"hi\"\r\nand\nleft"_s, u"Rome"_s},
                     {u"Bo"_s, u""_s, u"Oslo"_s}}
            << QList<int> {2, 5};
        QTest::newRow("commas inside quotes do not outvote semicolons")
            << QByteArray("A;B\n\"x, y, z\";1\n\"p, q\";2\n")
            << Rows {{u"A"_s, u"B"_s}, {u"x, y, z"_s, u"1"_s}, {u"p, q"_s, u"2"_s}} << QList<int> {2, 3};
    }
    void readsCsvAsWritten()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Rows, cells);
        QFETCH(QList<int>, lines);
        const SheetTable table = SheetReader::read(write(u"in.csv"_s, bytes));
        QCOMPARE(cellsOf(table), cells);
        QList<int> read;
        for (const SheetRow &row : table.rows)
            read << row.line;
        QCOMPARE(read, lines);
    }

    void guessesColumnsFromHeaders_data()
    {
        QTest::addColumn<QStringList>("header");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("usual words")
            << QStringList {u"Given name"_s, u"Surname"_s, u"E-mail address"_s, u"Street"_s, u"Postcode"_s,
                            u"Mobile"_s, u"Phone"_s, u"Town"_s}
            << QStringList {u"FirstName"_s, u"LastName"_s, u"EmailName"_s, u"Address"_s, u"PostalCode"_s,
                            u"MobilePhone"_s, u"HomePhone"_s, u"City"_s};
        QTest::newRow("an old database's own field names")
            << QStringList {u"AttendeeID"_s, u"ProgramID"_s, u"Picture"_s, u"TitleName"_s, u"FirstName"_s,
                            u"MiddleInitial"_s, u"LastName"_s, u"StateOrProvince"_s, u"EmailName"_s, u"Note"_s}
            << QStringList {u""_s, u""_s, u""_s, u"TitleName"_s, u"FirstName"_s, u"MiddleInitial"_s,
                            u"LastName"_s, u"StateOrProvince"_s, u"EmailName"_s, u"Note"_s};
        QTest::newRow("the window's captions, case and accents aside")
            << QStringList {u"FIRST NAME:"_s, u"Last Name:"_s, u"ZipCode:"_s, u"State/Province:"_s, u"Émail"_s}
            << QStringList {u"FirstName"_s, u"LastName"_s, u"PostalCode"_s, u"StateOrProvince"_s, u"EmailName"_s};
        QTest::newRow("the better match wins, each field once")
            << QStringList {u"Phone"_s, u"Home Phone"_s, u"First name (as on card)"_s, u"Given name"_s,
                            u"Name"_s, u"Zip/Postal code"_s, u"Family name"_s, u"Amount paid"_s}
            << QStringList {u""_s, u"HomePhone"_s, u""_s, u"FirstName"_s, u""_s, u"PostalCode"_s,
                            u"LastName"_s, u"Amount"_s};
    }
    void guessesColumnsFromHeaders()
    {
        QFETCH(QStringList, header);
        QFETCH(QStringList, fields);
        QCOMPARE(FieldMatcher::guess(header), fields);
    }

    // Against the event's attendees and within the file: the e-mail without regard
    // to case, else the names without regard to case and accents.
    void duplicateChoices_data()
    {
        QTest::addColumn<TestEngine>("engine");
        QTest::addColumn<int>("choice");
        QTest::addColumn<QList<int>>("addedUpdatedSkipped");
        QTest::addColumn<QStringList>("annJoseDana"); // City of each afterwards
        for (const auto &[engine, name] : {std::pair {TestEngine::File, "file"}, {TestEngine::Server, "server"}}) {
            QTest::addRow("skip, %s", name) << engine << int(DuplicateChoice::Skip) << QList<int> {2, 0, 3}
                                            << QStringList {u"Oslo"_s, u""_s, u"Bergen"_s};
            QTest::addRow("update, %s", name) << engine << int(DuplicateChoice::Update) << QList<int> {2, 3, 0}
                                              << QStringList {u"Rome"_s, u"Lima"_s, u"Tromsø"_s};
            QTest::addRow("add, %s", name) << engine << int(DuplicateChoice::Add) << QList<int> {5, 0, 0}
                                           << QStringList {u"Oslo"_s, u""_s, u"Bergen"_s};
        }
    }
    void duplicateChoices()
    {
        if (!onEngine())
            QSKIP("no test server: run the tests through ctest");
        QFETCH(int, choice);
        QFETCH(QList<int>, addedUpdatedSkipped);
        QFETCH(QStringList, annJoseDana);
        DataTestEnvironment::exec(m_file, u"INSERT INTO Program (ProgramID, Name) VALUES (1, 'Fair'), (2, 'Gala')"_s);
        const qint64 ann = addAttendee(1, u"Ann"_s, u"Lee"_s, u"ann@x.org"_s, u"Oslo"_s);
        const qint64 jose = addAttendee(1, u"José"_s, u"Núñez"_s, QString());
        addAttendee(1, u"Chris"_s, u"Doe"_s, u"chris@a.org"_s);
        addAttendee(2, u"Dana"_s, u"Roe"_s, u"dana@x.org"_s); // another event's: no duplicate
        const QString file = write(u"dups.csv"_s, csvBytes({u"First name,Last name,Email,City"_s,
                                                            u"Annie,Lee-Smith,ANN@X.ORG,Rome"_s,
                                                            u"jose,NUNEZ,,Lima"_s,
                                                            u"Chris,Doe,chris@b.org,Paris"_s,
                                                            u"Dana,Roe,dana@x.org,Bergen"_s,
                                                            u"DANA,roe,,Tromsø"_s}));
        const ImportReport report = importFile(file, u"fair"_s, DuplicateChoice(choice));
        QVERIFY2(report.complete(), qPrintable(report.text()));
        QCOMPARE((QList<int> {report.added, report.updated, report.skipped}), addedUpdatedSkipped);
        QCOMPARE(report.eventId, 1);
        QCOMPARE(sql(u"SELECT count(*) FROM Attendees WHERE ProgramID = 1"_s).toInt(), 3 + report.added);
        const qint64 dana = sql(u"SELECT min(AttendeeID) FROM Attendees WHERE ProgramID = 1 AND lower(FirstName) = 'dana'"_s)
                                .toLongLong();
        QCOMPARE((QStringList {sql(u"SELECT City FROM Attendees WHERE AttendeeID = ?"_s, {ann}).toString(),
                               sql(u"SELECT City FROM Attendees WHERE AttendeeID = ?"_s, {jose}).toString(),
                               sql(u"SELECT City FROM Attendees WHERE AttendeeID = ?"_s, {dana}).toString()}),
                 annJoseDana);
        if (choice == int(DuplicateChoice::Update)) // an empty cell changes nothing
            QCOMPARE(sql(u"SELECT EmailName FROM Attendees WHERE AttendeeID = ?"_s, {dana}).toString(),
                     u"dana@x.org"_s);
    }

    // All or nothing: every refused row is named with its line and reason, and
    // nothing is written; a cancel writes nothing either.
    void refusedRowsAndCancelWriteNothing_data() { DataTestEnvironment::addEngineRows(); }
    void refusedRowsAndCancelWriteNothing()
    {
        if (!onEngine())
            QSKIP("no test server: run the tests through ctest");
        const QString before = everything();
        const QString file = write(u"bad.csv"_s,
                                   csvBytes({u"FirstName,LastName,PostalCode,Amount,Donation Date"_s,
                                             u"Ann,Lee,12345,5,2026-01-02"_s,
                                             u"Bo,\"Long\nname\",123456789012345678901,,"_s,
                                             u"Cy,Ray,1,5,2026-02-30"_s,
                                             u",,,,"_s,
                                             u"Di,Fox,2,five,"_s,
                                             u",,3,,"_s,
                                             u"Ed,Ng,4,,,surplus"_s}));
        const ImportReport report = importFile(file, u"New event"_s);
        QVERIFY(!report.written);
        QCOMPARE(report.refused.size(), 5);
        const QList<std::pair<int, QString>> expected = {
            {3, u"ZipCode is 21 characters long; at most 20 fit."_s}, {5, u"is no date"_s}, {7, u"is no amount"_s}, {8, u"neither a first"_s},
            {9, u"6 values where the header names 5"_s}};
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QCOMPARE(report.refused[i].line, expected[i].first);
            QVERIFY2(report.refused[i].reason.contains(expected[i].second), qPrintable(report.refused[i].reason));
        }
        QVERIFY(report.text().contains(u"Nothing was imported"_s));
        QCOMPARE(everything(), before);

        ExchangeProgress progress;
        progress.cancelled = true;
        const QString good = write(u"good.csv"_s, csvBytes({u"FirstName,LastName"_s, u"Ann,Lee"_s}));
        try {
            importFile(good, u"New event"_s, DuplicateChoice::Skip, &progress);
            QFAIL("a cancelled import went on");
        } catch (const AppError &error) {
            QVERIFY2(error.description().contains(u"Cancelled"_s), qPrintable(error.description()));
        }
        QCOMPARE(everything(), before);
    }

    void badFilesSayWhatIsWrong_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << QByteArray() << u"is empty"_s;
        QTest::newRow("only a byte-order mark and blanks") << QByteArray("\xEF\xBB\xBF \r\n") << u"is empty"_s;
        QByteArray junk(4096, '\0');
        for (char &c : junk)
            c = char(QRandomGenerator::global()->bounded(256));
        junk[0] = 'x'; // not a signature
        junk[10] = '\0';
        QTest::newRow("binary junk") << junk << u"neither an XLSX workbook nor a CSV"_s;
        QTest::newRow("old .xls") << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + QByteArray(600, '\0'))
                                  << u"Excel 97-2003"_s;
        QTest::newRow("zip cut short") << QByteArray("PK\x03\x04" + QByteArray(300, 'x')) << u"not a whole XLSX"_s;
        QTest::newRow("quote never closed") << QByteArray("A,B\n1,2\n3,\"open\n4,5\n") << u"starts on line 3"_s;
    }
    void badFilesSayWhatIsWrong()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        const QString before = everything();
        try {
            importFile(write(u"bad.csv"_s, bytes), u"Fair"_s);
            QFAIL("a bad file was read");
        } catch (const AppError &error) {
            QVERIFY2(error.description().contains(message), qPrintable(error.description()));
        }
        QCOMPARE(everything(), before);
    }

    // An XLSX cut anywhere, and one line of 10 MB: refused clearly, quickly, nothing written.
    void truncatedWorkbookAndHugeLine()
    {
        fillEvent(1);
        const QString whole = m_env->folder(u"files"_s) + u"whole.xlsx"_s;
        EventExport::write(*Database::openSeparate(m_file), 1, EventExport::Kind::Attendees, whole);
        QFile f(whole);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        const QString before = everything();
        for (const double part : {0.3, 0.6, 0.95}) {
            const QString cut = write(u"cut.xlsx"_s, bytes.left(qsizetype(bytes.size() * part)));
            try {
                importFile(cut, u"Fair"_s);
                QFAIL("a truncated workbook was read");
            } catch (const AppError &error) {
                QVERIFY2(error.description().contains(u"not a whole XLSX workbook"_s), qPrintable(error.description()));
            }
        }
        const QByteArray huge = "FirstName,LastName,Note\r\nAnn,Lee," + QByteArray(10 * 1024 * 1024, 'x') + "\r\n";
        const ImportReport report = importFile(write(u"huge.csv"_s, huge), u"Fair"_s);
        QCOMPARE(report.refused.size(), 1);
        QVERIFY2(report.refused[0].reason.contains(u"Note is 10485760 characters long; at most 4000 fit"_s),
                 qPrintable(report.refused[0].reason));
        QCOMPARE(everything(), before);
    }

    // Our exports, opened by LibreOffice and saved as CSV, give back what the database holds.
    void libreOfficeReadsOurExports_data()
    {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<int>("kind");
        QTest::addColumn<TestEngine>("engine");
        QTest::newRow("attendees, XLSX") << u"xlsx"_s << int(EventExport::Kind::Attendees) << TestEngine::File;
        QTest::newRow("attendees, CSV") << u"csv"_s << int(EventExport::Kind::Attendees) << TestEngine::File;
        QTest::newRow("donations, XLSX") << u"xlsx"_s << int(EventExport::Kind::Donations) << TestEngine::File;
        QTest::newRow("donations, CSV") << u"csv"_s << int(EventExport::Kind::Donations) << TestEngine::File;
        // The server's own types (exact amounts, dates) come out the same.
        QTest::newRow("attendees, CSV, server") << u"csv"_s << int(EventExport::Kind::Attendees) << TestEngine::Server;
        QTest::newRow("donations, XLSX, server") << u"xlsx"_s << int(EventExport::Kind::Donations) << TestEngine::Server;
    }
    void libreOfficeReadsOurExports()
    {
        if (!onEngine())
            QSKIP("no test server: run the tests through ctest");
        QFETCH(QString, extension);
        QFETCH(int, kind);
        fillEvent(7);
        const bool people = kind == int(EventExport::Kind::Attendees);
        const QString out = m_env->folder(u"out"_s) + u"event."_s + extension;
        const int written = EventExport::write(*Database::openSeparate(m_file), 7, EventExport::Kind(kind), out);
        // Our CSV is read with every column as text, as the file holds it; a workbook's
        // cells come back as their values (amounts without thousands separators).
        const int columns = people ? 22 : 8; // the attendees' fields, CheckedIn and CardsPrinted
        QStringList asText;
        for (int i = 1; i <= columns; ++i)
            asText << u"%1/2"_s.arg(i);
        const QString converted = LibreOffice::convert(
            out, u"csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false"_s, m_env->folder(u"lo"_s),
            extension == u"csv" ? u"CSV:44,34,76,1,"_s + asText.join(u'/') : QString());
        QVERIFY(!converted.isEmpty());
        const Rows read = cellsOf(CsvReader::read(TextDecoding::decode([&] {
                                                      QFile f(converted);
                                                      return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
                                                  }())
                                                      .text));
        Rows stored = storedRows(
            people ? u"SELECT AttendeeID, ProgramID, Picture, TitleName, FirstName, MiddleInitial, LastName, "
                     "OfficeName, Address, City, StateOrProvince, PostalCode, Country, Chapter, EmailName, "
                     "HomePhone, WorkPhone, MobilePhone, FaxNumber, Note, 'No', '0' FROM Attendees WHERE "
                     "ProgramID = 7 ORDER BY AttendeeID"_s
                   : u"SELECT d.AttendeeID, a.FirstName, a.LastName, d.Amount, CASE d.RegFee WHEN 0 THEN 'No' ELSE "
                     "'Yes' END, d.DonDate, d.PaymentDate, d.PaymentType FROM Donations d JOIN Attendees a ON "
                     "a.AttendeeID = d.AttendeeID ORDER BY d.AttendeeID, d.DonationID"_s);
        QCOMPARE(written, stored.size());
        QCOMPARE(read.size(), stored.size() + 1);
        QCOMPARE(read.at(0).size(), columns);
        for (qsizetype r = 0; r < stored.size(); ++r) {
            QStringList row = read.at(r + 1);
            while (row.size() < columns)
                row << QString();
            if (!people) { // the amount, to the ten-thousandth
                const std::optional<Currency> amount = Currency::parse(row[3]);
                QVERIFY2(amount, qPrintable(row[3]));
                row[3] = QString::number(amount->raw());
            }
            QCOMPARE(row, stored.at(r));
        }
    }

    // Sheets LibreOffice writes import to exactly their rows: an XLSX with date
    // cells, and a ";" CSV in UTF-16 with a byte-order mark.
    void importsWhatLibreOfficeWrites_data()
    {
        QTest::addColumn<QString>("convertTo");
        QTest::newRow("XLSX") << u"xlsx"_s;
        QTest::newRow("CSV, semicolon, BOM") << u"csv:Text - txt - csv (StarCalc):59,34,65535,1"_s;
    }
    void importsWhatLibreOfficeWrites()
    {
        QFETCH(QString, convertTo);
        QStringList lines {u"Given name,Family name,E-mail,Town,Notes,Amount paid,Donation date"_s};
        for (qsizetype i = 0; i < People.size(); ++i) {
            QStringList cells = People[i];
            for (QString &cell : cells)
                cell = u"\"%1\""_s.arg(QString(cell).replace(u"\""_s, u"\"\""_s));
            lines << cells.join(u',') + u",%1,%2"_s.arg(i % 2 ? u"1234.5"_s : u"0.01"_s, u"2026-03-0%1"_s.arg(i + 1));
        }
        const QString source = write(u"people.csv"_s, csvBytes(lines));
        const QString sheet = LibreOffice::convert(source, convertTo, m_env->folder(u"lo"_s), u"CSV:44,34,76,1"_s);
        QVERIFY(!sheet.isEmpty());
        if (sheet.endsWith(u".xlsx"_s)) { // read in stretches on several threads, the same rows and numbers
            const SheetTable whole = XlsxReader::read(sheet);
            const SheetTable stretched = XlsxReader::read(sheet, 64);
            QCOMPARE(cellsOf(stretched), cellsOf(whole));
            QCOMPARE(stretched.rows.back().line, whole.rows.back().line);
            QCOMPARE(whole.rows.back().line, People.size() + 1);
        }
        const ImportReport report = importFile(sheet, u"Fair"_s);
        QVERIFY2(report.complete(), qPrintable(report.text()));
        QCOMPARE(report.added, People.size());
        const Rows stored = storedRows(u"SELECT FirstName, LastName, coalesce(EmailName, ''), City, coalesce(Note, ''), "
                                       "Amount, DonDate FROM Attendees a JOIN Donations d ON d.AttendeeID = "
                                       "a.AttendeeID ORDER BY a.AttendeeID"_s);
        QCOMPARE(stored.size(), People.size());
        for (qsizetype i = 0; i < People.size(); ++i) {
            QStringList expected = People[i];
            expected[4] = expected[4].trimmed(); // cells are trimmed on the way in
            expected << (i % 2 ? u"12345000"_s : u"100"_s) << u"2026-03-0%1"_s.arg(i + 1);
            QCOMPARE(stored[i], expected);
        }
    }

    // Check-ins and printed cards are exported with the attendees.
    void exportsCheckInsAndPrints()
    {
        fillEvent(1);
        const QString file = m_env->folder(u"out"_s) + u"people.csv"_s;
        auto db = Database::openSeparate(m_file);
        const qint64 first = sql(u"SELECT min(AttendeeID) FROM Attendees"_s).toLongLong();
        CheckInLog::checkIn(*db, first + 1, u"DESK-1"_s);
        for (const qint64 key : {first, first, first + 1})
            CardPrintLog::record(*db, key, u"Large"_s, u"Office"_s, u"DESK-1"_s);
        EventExport::write(*db, 1, EventExport::Kind::Attendees, file);
        const SheetTable table = SheetReader::read(file);
        QCOMPARE(table.header.mid(20), (QStringList {u"CheckedIn"_s, u"CardsPrinted"_s}));
        QCOMPARE(table.rows[0].cells.mid(20), (QStringList {u"No"_s, u"2"_s}));
        QCOMPARE(table.rows[1].cells.mid(20), (QStringList {u"Yes"_s, u"1"_s}));
        QCOMPARE(table.rows[2].cells.mid(20), (QStringList {u"No"_s, u"0"_s}));
    }

    void commandLine()
    {
        const QString folder = QFileInfo(m_file).absolutePath();
        const QString list = write(u"list.csv"_s, csvBytes({u"Surname;Given name;Postcode"_s, u"Lee;Ann;0150"_s,
                                                            u"Fox;Di;0151"_s, u"lee;ann;"_s}));
        QString out, err;
        QCOMPARE(runTool({u"import"_s, folder, list, u"--event"_s, u"Gala"_s}, &out, &err), 0);
        QCOMPARE(out, u"Event: Gala (made by this import)\nAdded: 2\nUpdated: 0\nSkipped: 1\nRefused: 0\n"_s);
        QCOMPARE(sql(u"SELECT PostalCode FROM Attendees WHERE FirstName = 'Di'"_s).toString(), u"0151"_s);
        // --map: a column the guess missed, and a field left out.
        const QString other = write(u"other.csv"_s, csvBytes({u"Nom,Prénom,Courriel,Postcode"_s,
                                                              u"Ray,Cy,cy@x.org,9"_s}));
        QCOMPARE(runTool({u"import"_s, m_file, other, u"--event"_s, u"gala"_s, u"--map"_s, u"LastName=nom"_s,
                          u"--map"_s, u"FirstName=Prénom"_s, u"--map"_s, u"EmailName=Courriel"_s, u"--map"_s,
                          u"PostalCode="_s, u"--duplicates"_s, u"add"_s},
                         &out, &err),
                 0);
        QCOMPARE(sql(u"SELECT EmailName || '/' || coalesce(PostalCode, 'none') FROM Attendees WHERE LastName = "
                     "'Ray'"_s)
                     .toString(),
                 u"cy@x.org/none"_s);
        const QString bad = write(u"bad.csv"_s, csvBytes({u"FirstName,LastName"_s, u"Ann,\"x\"\"\"\"y\""_s,
                                                          u",,"_s + QString(60, u'z')}));
        QCOMPARE(runTool({u"import"_s, folder, bad, u"--event"_s, u"Gala"_s}, &out, &err), 1);
        QVERIFY2(out.contains(u"line 3:"_s) && err.contains(u"nothing was imported"_s), qPrintable(out + err));
        QCOMPARE(runTool({u"import"_s, folder, list, u"--event"_s, u"Gala"_s, u"--duplicates"_s, u"maybe"_s}), 2);
        QCOMPARE(runTool({u"import"_s, folder, list}), 2);

        const QString xlsx = m_env->folder(u"out"_s) + u"gala.xlsx"_s;
        QCOMPARE(runTool({u"export"_s, folder, u"--event"_s, u"GALA"_s, u"--attendees"_s, xlsx}, &out, &err), 0);
        QCOMPARE(SheetReader::read(xlsx).rows.size(), size_t(3));
        QCOMPARE(runTool({u"export"_s, folder, u"--event"_s, u"Nope"_s, u"--donations"_s, xlsx}, &out, &err), 1);
        QVERIFY2(err.contains(u"no event is named \"Nope\""_s), qPrintable(err));
        QCOMPARE(runTool({u"export"_s, folder, u"--event"_s, u"Gala"_s, u"--donations"_s,
                          m_env->folder(u"out"_s) + u"gala.ods"_s}, &out, &err), 1);
        QCOMPARE(runTool({u"export"_s, folder, u"--event"_s, u"Gala"_s, u"--attendees"_s,
                          m_env->root() + u"no/such/folder/gala.xlsx"_s}, &out, &err), 1);
        QVERIFY2(err.contains(u"does not exist"_s), qPrintable(err));
        QCOMPARE(runTool({u"export"_s, folder, u"--event"_s, u"Gala"_s}), 2);

        // A server's URL as the target, both ways.
        if (!DataTestEnvironment::engineAvailable(TestEngine::Server))
            return;
        m_file = m_env->createDatabase(TestEngine::Server);
        QCOMPARE(runTool({u"import"_s, m_file, list, u"--event"_s, u"Gala"_s}, &out, &err), 0);
        QCOMPARE(out, u"Event: Gala (made by this import)\nAdded: 2\nUpdated: 0\nSkipped: 1\nRefused: 0\n"_s);
        QCOMPARE(runTool({u"import"_s, m_file, bad, u"--event"_s, u"Gala"_s}, &out, &err), 1);
        QCOMPARE(sql(u"SELECT count(*) FROM Attendees"_s).toInt(), 2);
        const QString csv = m_env->folder(u"out"_s) + u"server.csv"_s;
        QCOMPARE(runTool({u"export"_s, m_file, u"--event"_s, u"gala"_s, u"--attendees"_s, csv}, &out, &err), 0);
        const SheetTable exported = SheetReader::read(csv);
        QCOMPARE(exported.rows.size(), size_t(2));
        QCOMPARE(exported.rows[1].cells.mid(4, 3), (QStringList {u"Di"_s, QString(), u"Fox"_s}));
    }
};

QTEST_GUILESS_MAIN(ExchangeTest)
#include "tst_exchange.moc"
