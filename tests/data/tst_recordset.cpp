// The dynaset recordset, each body run on a database file and on the test server:
// moves, positions and bookmarks, adding, editing and deleting, optimistic locking
// between two workstations, finds with the engine's LIKE and caseless comparisons
// for every alphabet, typed values and the listener hooks. Results are checked
// with plain SQL on a connection of the test's own.
#include "DataTestEnvironment.h"
#include "ThrownError.h"
#include "data/Currency.h"
#include "data/DataError.h"
#include "data/Database.h"
#include "data/Engine.h"
#include "data/LookupTable.h"
#include "data/Recordset.h"
#include "data/SqliteFunctions.h"

#include <QDate>
#include <QTest>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

struct RecordingListener : RecordsetListener
{
    QList<DataAction> actions;
    int currentChanges = 0;
    std::function<bool(DataAction)> onBefore;

    bool recordsetBeforeAction(DataAction action) override
    {
        actions << action;
        return !onBefore || onBefore(action);
    }
    void recordsetCurrentChanged() override { ++currentChanges; }
};

QString firstName(Recordset &rs) { return rs.value(u"FirstName"_s).toString(); }

// Types values into the pending row, field by field.
void setValues(Recordset &rs, std::initializer_list<std::pair<const char *, QVariant>> values)
{
    for (const auto &[field, value] : values)
        rs.setValue(QString::fromLatin1(field), value);
}

const QString Event12 = u"Select * from Attendees where ProgramID =12"_s; // Anne, Bob, Joanna, Émile

} // namespace

class RecordsetTest : public QObject
{
    Q_OBJECT

    QVariant sql(const QString &statement, const QVariantList &params = {}) const
    {
        return DataTestEnvironment::scalar(m_file, statement, params);
    }

    std::unique_ptr<DataTestEnvironment> m_env;
    QString m_file; // the database's location: a file or a server URL
    bool m_server = false;
    std::shared_ptr<Database> m_db;

private slots:
    void initTestCase_data() { DataTestEnvironment::addEngineRows(); }

    void init()
    {
        QFETCH_GLOBAL(TestEngine, engine);
        if (!DataTestEnvironment::engineAvailable(engine))
            QSKIP("no test server: run the data tests through ctest");
        m_server = engine == TestEngine::Server;
        m_db.reset();
        m_env = std::make_unique<DataTestEnvironment>();
        m_file = m_env->createDatabase(engine);
        DataTestEnvironment::exec(m_file, u"INSERT INTO Program (ProgramID, Name) VALUES (12, 'Gala'), (13, 'Fair')"_s);
        DataTestEnvironment::exec(m_file, u"INSERT INTO Attendees (AttendeeID, ProgramID, FirstName, LastName, City) VALUES "
                                      "(1, 12, 'Anne', 'Lee', 'Lyon'), (2, 12, 'Bob', 'Smith', NULL), (3, 13, 'Hanna', 'Other', 'Oslo'), "
                                      "(4, 12, 'Joanna', 'Ng', 'Paris'), (5, 12, 'Émile', 'Zola', 'Médan')"_s);
        m_db = Database::openSeparate(m_file);
    }
    void cleanup()
    {
        m_db.reset();
        m_env.reset();
    }

    void movesPositionsBookmarksAndDeletes()
    {
        // An empty set has no current row: every read or move of one fails.
        Recordset empty(m_db, u"Select * from Attendees where ProgramID =99"_s);
        QVERIFY(empty.bof() && empty.eof());
        QVERIFY_APP_ERROR(empty.moveNext(), DataError::NoCurrentRecord);
        QVERIFY_APP_ERROR(empty.moveFirst(), DataError::NoCurrentRecord);
        QVERIFY_APP_ERROR(empty.value(u"FirstName"_s), DataError::NoCurrentRecord);
        QVERIFY_APP_ERROR(empty.deleteRow(), DataError::NoCurrentRecord);
        empty.findFirst(u"FirstName LIKE '*'"_s);
        QVERIFY(empty.noMatch());

        Recordset rs(m_db, Event12);
        QCOMPARE(rs.recordCount(), 4);
        QCOMPARE(firstName(rs), u"Anne"_s); // opened on the first row
        // Each move in turn and where it lands; no name: past that end, where one more move fails.
        using Move = void (Recordset::*)();
        const struct { Move move; const char *name; int position; } moves[] = {
            {&Recordset::moveNext, "Bob", 1},   {&Recordset::moveLast, "Émile", 3},    {&Recordset::moveNext, nullptr, -1},
            {&Recordset::movePrevious, "Émile", 3}, {&Recordset::moveFirst, "Anne", 0}, {&Recordset::movePrevious, nullptr, -1},
            {&Recordset::moveNext, "Anne", 0},
        };
        for (const auto &m : moves) {
            (rs.*m.move)();
            QCOMPARE(rs.absolutePosition(), m.position);
            QCOMPARE(rs.eof(), !m.name && m.move == &Recordset::moveNext);
            QCOMPARE(rs.bof(), !m.name && m.move == &Recordset::movePrevious);
            if (m.name)
                QCOMPARE(firstName(rs), QString::fromUtf8(m.name));
            else
                QVERIFY_APP_ERROR((rs.*m.move)(), DataError::NoCurrentRecord);
        }
        // A move shows what another workstation saved meanwhile.
        DataTestEnvironment::exec(m_file, u"UPDATE Attendees SET FirstName = 'Annie' WHERE AttendeeID = 1"_s);
        rs.moveFirst();
        QCOMPARE(firstName(rs), u"Annie"_s);

        // Fields by name (without case) and index, in the stored order, typed; Bob's City is NULL.
        rs.moveNext();
        QCOMPARE(rs.value(u"city"_s), QVariant());
        QCOMPARE(rs.fieldIndex(u"lastname"_s), 6);
        QCOMPARE(rs.fieldIndex(u"Nope"_s), -1);
        QCOMPARE(rs.value(6).toString(), u"Smith"_s);
        QCOMPARE(rs.value(0).typeId(), QMetaType::LongLong);
        QVERIFY_APP_ERROR(rs.value(u"Nope"_s), DataError::UnknownField);
        // Positions and bookmarks lead to a row.
        const QByteArray bob = rs.bookmark();
        rs.setAbsolutePosition(2);
        QCOMPARE(firstName(rs), u"Joanna"_s);
        rs.setBookmark(bob);
        QCOMPARE(rs.absolutePosition(), 1);
        QCOMPARE(firstName(rs), u"Bob"_s);

        // Deleted: reads and bookmarks of the row fail, moves go on from where it was.
        rs.deleteRow();
        QCOMPARE(sql(u"SELECT count(*) FROM Attendees WHERE AttendeeID = 2"_s).toInt(), 0);
        QCOMPARE(rs.recordCount(), 3);
        QCOMPARE(rs.absolutePosition(), -1);
        QVERIFY(!rs.eof());
        QVERIFY_APP_ERROR(rs.value(u"FirstName"_s), DataError::RecordDeleted);
        QVERIFY_APP_ERROR(rs.bookmark(), DataError::RecordDeleted);
        QVERIFY_APP_ERROR(rs.setBookmark(bob), DataError::RecordDeleted);
        QVERIFY_APP_ERROR(rs.setBookmark("garbage"), DataError::InvalidArgument);
        QVERIFY_APP_ERROR(rs.setAbsolutePosition(3), DataError::InvalidArgument); // three rows left
        rs.moveNext();
        QCOMPARE(firstName(rs), u"Joanna"_s);
        QCOMPARE(rs.absolutePosition(), 1);
        rs.movePrevious();
        QCOMPARE(firstName(rs), u"Annie"_s);
        rs.addNew();
        QVERIFY_APP_ERROR(rs.bookmark(), DataError::NoCurrentRecord);
        rs.close();
        QVERIFY_APP_ERROR(rs.moveFirst(), DataError::ObjectClosed);
    }

    void addNewEditCancelAndUpdate()
    {
        Recordset rs(m_db, Event12);
        rs.moveNext(); // Bob
        rs.addNew();
        const qint64 key = rs.currentKey();
        QVERIFY(key > 5); // known before the row is saved: the photograph is named after it
        QCOMPARE(rs.value(u"AttendeeID"_s).toLongLong(), key);
        // Cancelled: nothing stored, and the row before is current again.
        rs.cancelUpdate();
        QCOMPARE(firstName(rs), u"Bob"_s);
        QCOMPARE(sql(u"SELECT count(*) FROM Attendees"_s).toInt(), 5);

        rs.addNew();
        const qint64 newKey = rs.currentKey();
        setValues(rs, {{"ProgramID", u"12"_s}, {"FirstName", u"Zoë"_s}}); // text for a number is converted
        rs.update();
        QCOMPARE(sql(u"SELECT FirstName FROM Attendees WHERE AttendeeID = ? AND ProgramID = 12"_s, {newKey}).toString(), u"Zoë"_s);
        QCOMPARE(rs.currentKey(), newKey); // the saved row is the current row

        // Edit: the pending value shows at once; cancel restores the stored value.
        rs.moveFirst();
        rs.setValue(u"LastName"_s, u"Leigh"_s);
        QCOMPARE(rs.value(u"LastName"_s).toString(), u"Leigh"_s);
        rs.cancelUpdate();
        QCOMPARE(rs.value(u"LastName"_s).toString(), u"Lee"_s);
        QVERIFY_APP_ERROR(rs.update(), DataError::UpdateWithoutEdit);
        // A move drops a pending edit that nobody saved.
        rs.setValue(u"LastName"_s, u"Dropped"_s);
        rs.moveNext();
        QCOMPARE(sql(u"SELECT LastName FROM Attendees WHERE AttendeeID = 1"_s).toString(), u"Lee"_s);
        // The key is the database's; the same value is harmless.
        QVERIFY_APP_ERROR(rs.setValue(u"AttendeeID"_s, 99), DataError::Generic);
        rs.setValue(u"AttendeeID"_s, rs.currentKey());
        QVERIFY_APP_ERROR(rs.setValue(u"ProgramID"_s, u"twelve"_s), DataError::TypeMismatch);
    }

    void quotesAreJustCharacters()
    {
        Recordset rs(m_db, u"Attendees"_s);
        rs.addNew();
        setValues(rs, {{"LastName", u"O'Brien"_s}, {"FirstName", u"Robert'); DROP TABLE Attendees; --"_s}});
        rs.update();

        Recordset byName(m_db, u"SELECT * FROM Attendees WHERE LastName = 'O''Brien' OR LastName = \"Zola\""_s);
        QCOMPARE(byName.recordCount(), 2);
        byName.findFirst(u"FirstName LIKE '*''); DROP*'"_s);
        QCOMPARE(byName.value(u"LastName"_s).toString(), u"O'Brien"_s);
        // A criterion trying to close the literal early is just a text that matches nothing.
        byName.findFirst(u"LastName = 'x'' OR ''1''=''1'"_s);
        QVERIFY(byName.noMatch());
        // An unclosed quote is a clear syntax error; an unknown field or source is named.
        QVERIFY_APP_ERROR(byName.findFirst(u"LastName LIKE '*O'Brien*'"_s), DataError::SyntaxError);
        QVERIFY_APP_ERROR(byName.findFirst(u"Nope = 1"_s), DataError::UnknownField);
        QVERIFY_APP_ERROR((Recordset(m_db, u"Select * from Nowhere"_s)), DataError::UnknownSource);
    }

    void writeConflictKeepsBothSidesSafe()
    {
        const QString city1 = u"SELECT City FROM Attendees WHERE AttendeeID = 1"_s;
        Recordset a(m_db, Event12);
        Recordset b(Database::openSeparate(m_file), Event12);
        a.setValue(u"City"_s, u"Lille"_s);   // A reads and starts typing
        b.setValue(u"City"_s, u"Nantes"_s);  // B saves first
        b.update();
        QVERIFY_APP_ERROR(a.update(), DataError::WriteConflict);
        QCOMPARE(sql(city1).toString(), u"Nantes"_s);
        // A's typing is still there to be seen and copied, and trying again still conflicts.
        QCOMPARE(a.value(u"City"_s).toString(), u"Lille"_s);
        QVERIFY_APP_ERROR(a.update(), DataError::WriteConflict);
        // After reloading the row, A's change goes through.
        a.cancelUpdate();
        QCOMPARE(a.value(u"City"_s).toString(), u"Nantes"_s);
        a.setValue(u"City"_s, u"Lille"_s);
        a.update();
        QCOMPARE(sql(city1).toString(), u"Lille"_s);

        // The row deleted elsewhere: the typing stays, nothing is written back, moves skip it.
        a.setValue(u"City"_s, u"Lens"_s);
        DataTestEnvironment::exec(m_file, u"DELETE FROM Attendees WHERE AttendeeID IN (1, 2)"_s);
        QVERIFY_APP_ERROR(a.update(), DataError::RecordDeleted);
        QCOMPARE(a.value(u"City"_s).toString(), u"Lens"_s);
        QCOMPARE(sql(u"SELECT count(*) FROM Attendees WHERE AttendeeID = 1"_s).toInt(), 0);
        a.cancelUpdate();
        a.moveNext();
        QCOMPARE(firstName(a), u"Joanna"_s);
        QCOMPARE(a.recordCount(), 2);
    }

    void findWithTheEnginesLike()
    {
        Recordset rs(m_db, Event12);
        // An ordered source keeps its order for finds; a row it adds is one of its rows.
        Recordset byName(m_db, u"select * from ATTENDEES where ProgramID = 12 order by LastName desc"_s);
        QCOMPARE(firstName(byName), u"Émile"_s);
        byName.findNext(u"FirstName LIKE '*n*'"_s);
        QCOMPARE(firstName(byName), u"Joanna"_s); // Ng before Lee
        byName.findNext(u"FirstName LIKE '*n*'"_s);
        QCOMPARE(firstName(byName), u"Anne"_s);
        byName.addNew();
        setValues(byName, {{"ProgramID", 12}, {"FirstName", u"Ann"_s}, {"LastName", u"Adams"_s}});
        byName.update();
        byName.findLast(u"FirstName LIKE 'ann*'"_s);
        QCOMPARE(byName.value(u"LastName"_s).toString(), u"Adams"_s);

        // Added elsewhere after the set was opened: not one of its rows (nor is Hanna, of event 13).
        DataTestEnvironment::exec(m_file, u"INSERT INTO Attendees (ProgramID, FirstName) VALUES (12, 'Annabel')"_s);
        using Find = void (Recordset::*)(const QString &);
        // Each find in turn and the row it lands on; none: no match, and the current row stays.
        const struct { Find find; const char *criteria; const char *found; } finds[] = {
            {&Recordset::findFirst, "FirstName LIKE '*ANN*'", "Anne"},
            {&Recordset::findNext, "FirstName LIKE '*ann*'", "Joanna"},
            {&Recordset::findNext, "FirstName LIKE '*ann*'", nullptr},
            {&Recordset::findPrevious, "FirstName LIKE '*ann*'", "Anne"},
            {&Recordset::findLast, "LastName LIKE '?o*' OR LastName = 'NG'", "Émile"},
            {&Recordset::findFirst, "City IS NULL", "Bob"},
            {&Recordset::findFirst, "AttendeeID > 1 AND AttendeeID <= 4 AND FirstName <> 'bob'", "Joanna"},
            {&Recordset::findFirst, "[AttendeeID] IN (2, 5) AND NOT (FirstName NOT LIKE 'b*')", "Bob"},
            {&Recordset::findLast, "lastname BETWEEN 'l' AND 'O' or City = 'PARIS'", "Joanna"},
        };
        QString current;
        for (const auto &f : finds) {
            (rs.*f.find)(QString::fromUtf8(f.criteria));
            QVERIFY2(rs.noMatch() == !f.found, f.criteria);
            if (f.found)
                current = QString::fromUtf8(f.found);
            QCOMPARE(firstName(rs), current);
        }
        // Find skips rows deleted here (Joanna).
        rs.deleteRow();
        rs.findFirst(u"FirstName LIKE '*nn*'"_s);
        QCOMPARE(firstName(rs), u"Anne"_s);
        rs.findNext(u"FirstName LIKE '*nn*'"_s);
        QVERIFY(rs.noMatch());
        // From before the first row, FindNext starts at the first.
        rs.movePrevious();
        rs.findNext(u"FirstName LIKE 'a*'"_s);
        QCOMPARE(firstName(rs), u"Anne"_s);
    }

    void likePattern()
    {
        // * ? # [set] [!set], case folded for every alphabet; % and _ are ordinary characters.
        const struct { const char *value, *pattern; bool match; } cases[] = {
            {"Joanne", "*ann*", true},    {"JOANNE", "*ann*", true},     {"Jon", "*ann*", false},
            {"Émile", "*ÉMILE*", true},   {"straße", "*STRAßE*", true},  {"Дмитрий", "*ДМИТ*", true},
            {"Bob", "B?b", true},         {"Bob", "B?", false},          {"Room 12", "Room ##", true},
            {"Room 1a", "Room ##", false}, {"cat", "[a-c]at", true},     {"rat", "[a-c]at", false},
            {"rat", "[!a-c]at", true},    {"a*b", "a[*]b", true},        {"axb", "a[*]b", false},
            {"50% off", "*50%*", true},   {"500 off", "*50%*", false},   {"abc", "a_c", false},
            {"a_c", "a_c", true},         {"", "*", true},               {"", "?", false},
            {"aaa", "*a*a*a*", true},     {"aa", "*a*a*a*", false},      {"a.c", "a.c", true},
            {"abc", "a.c", false},        {"a+b(c)", "a+b(c)", true},    {"x", "[]", false},
            {"Ωμέγα", "ΩΜΈ?Α", true},     {"CAT", "[A-C]at", true},      {"a\\b", "a\\b", true},
        };
        for (const auto &c : cases) {
            const QString value = QString::fromUtf8(c.value);
            const QString text = QString::fromUtf8(c.pattern);
            if (!m_server) {
                const LikePattern pattern(text);
                const QByteArray utf8(c.value);
                QVERIFY2(pattern.matches(value) == c.match, c.pattern);
                QVERIFY2(pattern.matchesUtf8(utf8.constData(), int(utf8.size())) == c.match, c.pattern); // as SQLite hands it
            }
            // The engine's LIKE as the criteria use it.
            const SqlFragment like = m_db->engine().like(u"CAST(? AS TEXT)"_s, text);
            QSqlQuery q = m_db->query(u"SELECT CASE WHEN %1 THEN 1 ELSE 0 END"_s.arg(like.sql), QVariantList {value} + like.params);
            QVERIFY(q.next());
            QVERIFY2(q.value(0).toBool() == c.match, qPrintable(value + u" LIKE "_s + text));
            q.finish();
        }
        // The same through a find.
        Recordset rs(m_db, u"Attendees"_s);
        rs.findFirst(u"FirstName LIKE '%' OR LastName LIKE 'z_la'"_s);
        QVERIFY(rs.noMatch());
    }

    void caselessComparisonAgreesWithQt()
    {
        if (m_server)
            QSKIP("the file's own collation; the server's is caselessForEveryAlphabet");
        // The collation behind text comparisons and orderings, ASCII or not.
        const char *const pairs[][2] = {
            {"abc", "ABD"}, {"ABD", "abc"}, {"abc", "ab"}, {"Lee", "lee"}, {"", "a"}, {"O'Brien", "o'brien hall"},
            {"Zola", "émile"}, {"émile", "EMILE"}, {"Émile", "émile"}, {"Ab", "aÉ"}, {"_x", "Ax"}, {"Дмитрий", "дмитрий"},
        };
        for (const auto &pair : pairs) {
            const QString a = QString::fromUtf8(pair[0]);
            const QString b = QString::fromUtf8(pair[1]);
            const int expected = QString::compare(a, b, Qt::CaseInsensitive);
            QSqlQuery q = m_db->query(u"SELECT (? COLLATE QUORVEX_NOCASE < ?), (? COLLATE QUORVEX_NOCASE = ?)"_s, {a, b, a, b});
            QVERIFY(q.next());
            QVERIFY2(q.value(0).toBool() == (expected < 0) && q.value(1).toBool() == (expected == 0),
                     qPrintable(a + u" / "_s + b));
        }
    }

    void caselessForEveryAlphabet()
    {
        // Letter case aside in every alphabet, accents not: finds, criteria, orderings and the lookup lists.
        DataTestEnvironment::exec(m_file, u"INSERT INTO Attendees (AttendeeID, ProgramID, FirstName, LastName) VALUES "
                                          "(21, 14, 'Hans', 'MÜLLER'), (22, 14, 'Дмитрий', 'Иванов'), "
                                          "(23, 14, 'Ωμέγα', 'Παπάς'), (24, 14, 'Emile', 'Muller')"_s);
        Recordset rs(m_db, u"Select * from Attendees where ProgramID = 14"_s);
        const struct { const char *criteria; qint64 key; } finds[] = {
            {"LastName LIKE '*müll*'", 21}, {"LastName = 'müller'", 21}, {"FirstName = 'ДМИТРИЙ'", 22},
            {"LastName LIKE 'иван*'", 22}, {"FirstName LIKE 'ΩΜΈΓΑ'", 23}, {"LastName IN ('ΠΑΠΆΣ')", 23},
            {"LastName = 'MULLER'", 24},
        };
        for (const auto &f : finds) {
            rs.findFirst(QString::fromUtf8(f.criteria));
            QVERIFY2(!rs.noMatch() && rs.currentKey() == f.key, f.criteria);
        }
        rs.findFirst(u"FirstName = 'émile'"_s);
        QVERIFY(rs.noMatch()); // an accent is not a letter case
        Recordset byName(m_db, u"Select * from Attendees where ProgramID = 14 order by LastName"_s);
        QCOMPARE(byName.value(u"LastName"_s).toString(), u"Muller"_s); // before "MÜLLER" on both
        LookupTable office(m_file, u"Office"_s);
        QVERIFY(office.add(u"Président"_s));
        QVERIFY(office.contains(u"PRÉSIDENT"_s) && !office.add(u"président"_s));
        if (m_server) // the test server's own text: UTF8, whatever the machine's locale
            QCOMPARE(sql(u"SELECT current_setting('server_encoding')"_s).toString(), u"UTF8"_s);
    }

    void typedValuesAndExactCurrency()
    {
        Recordset rs(m_db, u"Select * from Program"_s);
        rs.addNew();
        const qint64 id = rs.currentKey();
        QCOMPARE(rs.value(u"FundRaising"_s), QVariant(false));
        setValues(rs, {{"Name", u"Auction"_s}, {"TargetAmt", QVariant::fromValue(*Currency::parse(u"0.3"_s))},
                       {"ActualAmt", 0.3}, // from a spin box: rounded to ten-thousandths, exactly
                       {"FundRaising", true}, {"DateStart", QDate(2024, 3, 5)}, {"DateEnd", u"2024-03-07"_s}});
        rs.update();
        const auto stored = [&](const char *fields) {
            return sql(u"SELECT %1 FROM Program WHERE ProgramID = ?"_s.arg(QLatin1StringView(fields)), {id}).toString();
        };
        // A float would read "3000.0".
        QCOMPARE(stored("TargetAmt || ' ' || ActualAmt || ' ' || FundRaising || ' ' || DateStart || ' ' || DateEnd"),
                 u"3000 3000 1 2024-03-05 2024-03-07"_s);

        // Read back, typed at the boundary.
        QCOMPARE(rs.value(u"TargetAmt"_s).value<Currency>(), *Currency::parse(u"0.3"_s));
        QCOMPARE(rs.value(u"FundRaising"_s), QVariant(true));
        QCOMPARE(rs.value(u"DateStart"_s), QVariant(QDate(2024, 3, 5)));
        // Criteria compare amounts and dates as stored.
        rs.findFirst(u"TargetAmt = 0.30 AND DateStart = #3/5/2024# AND FundRaising = True"_s);
        QVERIFY(!rs.noMatch());
        QCOMPARE(rs.currentKey(), id);
        // A bad amount or date is refused before anything is written; a cleared date is NULL.
        QVERIFY_APP_ERROR(rs.setValue(u"ActualAmt"_s, u"lots"_s), DataError::TypeMismatch);
        QVERIFY_APP_ERROR(rs.setValue(u"DateEnd"_s, u"31/31/2024"_s), DataError::TypeMismatch);
        rs.setValue(u"DateEnd"_s, QString());
        rs.update();
        QCOMPARE(stored("ActualAmt || ' ' || CASE WHEN DateEnd IS NULL THEN 'null' ELSE 'set' END"), u"3000 null"_s);
    }

    // A text typed into a field and the same text in a find criterion are read alike:
    // stored as the plain SQL column shows, and found again; or refused by both.
    void typedTextAndCriteriaReadAlike_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored"); // empty: refused

        const struct { const char *field, *text, *stored; } rows[] = {
            {"DateStart", "2024-03-05", "2024-03-05"}, {"DateStart", "3/5/2024", "2024-03-05"},
            {"DateStart", "03/05/2024", "2024-03-05"}, {"DateStart", "3/5/29", "2029-03-05"},
            {"DateStart", "3/5/30", "1930-03-05"},     {"DateStart", "2/29/00", "2000-02-29"},
            {"DateStart", "3-5-2024", "2024-03-05"},   {"DateStart", "5 Mar 2024", "2024-03-05"},
            {"DateStart", "Mar 5 2024", "2024-03-05"}, {"DateStart", "Mar 5, 2024", "2024-03-05"},
            {"DateStart", "31/31/2024", ""},           {"DateStart", "2/30/2024", ""},
            {"DateStart", "3/5/124", ""},              {"DateStart", "tomorrow", ""},
            {"FundRaising", "Yes", "1"}, {"FundRaising", "on", "1"}, {"FundRaising", "-1", "1"},
            {"FundRaising", "FALSE", "0"}, {"FundRaising", "off", "0"}, {"FundRaising", "maybe", ""},
            {"TargetAmt", "$5", "50000"}, {"TargetAmt", "1,234.50", "12345000"}, {"TargetAmt", "(5.00)", "-50000"},
            {"TargetAmt", "1.23456", ""}, {"TargetAmt", "five", ""},
        };
        for (const auto &r : rows)
            QTest::addRow("%s %s", r.field, r.text) << QString::fromLatin1(r.field) << QString::fromLatin1(r.text)
                                                    << QString::fromLatin1(r.stored);
    }

    void typedTextAndCriteriaReadAlike()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, stored);
        const QString literal = field == u"DateStart"_s ? u"#%1#"_s.arg(text) : u"'%1'"_s.arg(text);

        Recordset rs(m_db, u"Program"_s);
        rs.addNew();
        const qint64 id = rs.currentKey();
        const QString criteria = u"ProgramID = %1 AND %2 = %3"_s.arg(id).arg(field, literal);
        if (stored.isEmpty()) {
            QVERIFY_APP_ERROR(rs.setValue(field, text), DataError::TypeMismatch);
            QVERIFY_APP_ERROR(rs.findFirst(criteria), DataError::TypeMismatch);
            return;
        }
        rs.setValue(field, text);
        rs.update();
        QCOMPARE(sql(u"SELECT %1 FROM Program WHERE ProgramID = ?"_s.arg(field), {id}).toString(), stored);
        rs.moveFirst();
        rs.findFirst(criteria);
        QVERIFY2(!rs.noMatch(), qPrintable(criteria));
        QCOMPARE(rs.currentKey(), id);
    }

    void takesInOtherWorkstationsRowsWithoutMoving()
    {
        Recordset rs(m_db, Event12); // Anne 1, Bob 2, Joanna 4, Émile 5
        rs.moveNext();
        const auto other = [&](const QString &statement) { DataTestEnvironment::exec(m_file, statement); };
        const auto names = [&] {
            QStringList shown;
            for (int p = 0; p < rs.recordCount(); ++p)
                shown << rs.valueAt(p, rs.fieldIndex(u"FirstName"_s)).toString();
            return shown;
        };

        // Another desk adds one to the event, moves one out, deletes one and changes the current row.
        other(u"INSERT INTO Attendees (AttendeeID, ProgramID, FirstName) VALUES (3000, 12, 'Zed'), (6, 12, 'Abe')"_s);
        other(u"UPDATE Attendees SET ProgramID = 13 WHERE AttendeeID = 4"_s);
        other(u"DELETE FROM Attendees WHERE AttendeeID = 1"_s);
        other(u"UPDATE Attendees SET FirstName = 'Robert' WHERE AttendeeID = 2"_s);
        QVERIFY(!rs.takeInChanges());
        QCOMPARE(rs.currentKey(), 2);
        QCOMPARE(firstName(rs), u"Robert"_s);
        QCOMPARE(rs.absolutePosition(), 0);
        // Those kept in their order, the new ones at the end in the set's order.
        QCOMPARE(names(), QStringList({u"Robert"_s, u"Émile"_s, u"Abe"_s, u"Zed"_s}));

        // Typing pending: it stays, and its save meets the optimistic check.
        rs.setValue(u"LastName"_s, u"Mine"_s);
        other(u"UPDATE Attendees SET LastName = 'Theirs' WHERE AttendeeID = 2"_s);
        other(u"DELETE FROM Attendees WHERE AttendeeID = 5"_s);
        QVERIFY(!rs.takeInChanges());
        QCOMPARE(rs.value(u"LastName"_s).toString(), u"Mine"_s);
        QCOMPARE(rs.recordCount(), 3);
        QVERIFY_APP_ERROR(rs.update(), DataError::WriteConflict);
        QCOMPARE(sql(u"SELECT LastName FROM Attendees WHERE AttendeeID = 2"_s).toString(), u"Theirs"_s);
        rs.cancelUpdate();

        // A new row being added stays pending while the set changes under it.
        rs.addNew();
        const qint64 added = rs.currentKey();
        setValues(rs, {{"FirstName", u"New"_s}, {"ProgramID", 12}});
        other(u"INSERT INTO Attendees (AttendeeID, ProgramID, FirstName) VALUES (7, 12, 'Ida')"_s);
        rs.takeInChanges();
        QCOMPARE(rs.editMode(), EditMode::Adding);
        QCOMPARE(rs.currentKey(), added);
        rs.update();
        QCOMPARE(firstName(rs), u"New"_s);
        QCOMPARE(rs.recordCount(), 5);

        // The current row deleted elsewhere with nothing typed: the row after it is current.
        rs.moveFirst(); // Robert, then Abe
        other(u"DELETE FROM Attendees WHERE AttendeeID = 2"_s);
        QVERIFY(rs.takeInChanges());
        QCOMPARE(firstName(rs), u"Abe"_s);
        QCOMPARE(rs.recordCount(), 4);
        // The last row deleted: the new last row.
        rs.moveLast();
        other(u"DELETE FROM Attendees WHERE AttendeeID = "_s + QString::number(added));
        QVERIFY(rs.takeInChanges());
        QCOMPARE(rs.absolutePosition(), rs.recordCount() - 1);
        QCOMPARE(rs.recordCount(), 3);
    }

    void listenerSeesActionsAndMayCancel()
    {
        RecordingListener listener; // outlives the recordsets it listens to
        Recordset rs(m_db, Event12);
        rs.setListener(&listener);
        rs.moveNext();
        rs.moveLast();
        rs.movePrevious();
        rs.moveFirst();
        rs.findFirst(u"FirstName = 'Bob'"_s);
        rs.setBookmark(rs.bookmark());
        QCOMPARE(listener.actions, (QList<DataAction> {DataAction::MoveNext, DataAction::MoveLast, DataAction::MovePrevious,
                                                DataAction::MoveFirst, DataAction::Find, DataAction::Bookmark}));
        QCOMPARE(listener.currentChanges, 6);

        // Cancelled: nothing moves, nothing is written.
        listener.actions.clear();
        listener.currentChanges = 0;
        listener.onBefore = [](DataAction) { return false; };
        rs.setValue(u"City"_s, u"Kept"_s);
        rs.moveNext();
        rs.update();
        rs.cancelUpdate();
        rs.deleteRow();
        rs.addNew();
        QCOMPARE(firstName(rs), u"Bob"_s);
        QCOMPARE(listener.currentChanges, 0);
        QCOMPARE(sql(u"SELECT count(*) FROM Attendees WHERE City = 'Kept'"_s).toInt(), 0);
        QCOMPARE(listener.actions, (QList<DataAction> {DataAction::MoveNext, DataAction::Update, DataAction::Delete, DataAction::AddNew}));

        // A data control saving inside the hook: the update does not come back to it.
        listener.actions.clear();
        listener.onBefore = [&](DataAction action) {
            if (action == DataAction::MoveNext && rs.editMode() != EditMode::None)
                rs.update();
            return true;
        };
        rs.setValue(u"City"_s, u"Saved"_s);
        rs.moveNext();
        QCOMPARE(listener.actions, (QList<DataAction> {DataAction::MoveNext}));
        QCOMPARE(firstName(rs), u"Joanna"_s);
        QCOMPARE(sql(u"SELECT City FROM Attendees WHERE AttendeeID = 2"_s).toString(), u"Saved"_s);
        // AddNew, its cancel and requery tell that the current row changed.
        listener.currentChanges = 0;
        rs.addNew();
        rs.cancelUpdate();
        rs.requery();
        QCOMPARE(listener.currentChanges, 3);

        // Leaving a new row of an empty set: a move is allowed, and a listener may save the row first.
        Recordset empty(m_db, u"Select * from Attendees where ProgramID =13 and LastName = 'none'"_s);
        listener.onBefore = [&](DataAction action) {
            if (action != DataAction::Update && empty.editMode() != EditMode::None)
                empty.update();
            return true;
        };
        empty.setListener(&listener);
        empty.addNew();
        setValues(empty, {{"LastName", u"none"_s}, {"ProgramID", 13}});
        empty.movePrevious();
        QCOMPARE(empty.recordCount(), 1);
        QVERIFY(empty.bof());
        empty.moveNext();
        QCOMPARE(empty.value(u"LastName"_s).toString(), u"none"_s); // read back from the file
    }
};

QTEST_GUILESS_MAIN(RecordsetTest)
#include "tst_recordset.moc"
