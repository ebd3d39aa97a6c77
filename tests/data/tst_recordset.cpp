// The dynaset recordset: moves and positions, adding, editing and deleting,
// optimistic locking between two workstations, bookmarks, finds with the engine's
// LIKE, typed values, the donations query and the listener hooks. Results are
// checked with plain SQL on a connection of the test's own.
#include "TestEnvironment.h"
#include "data/Currency.h"
#include "data/DataError.h"
#include "data/Database.h"
#include "data/Recordset.h"
#include "data/SqliteFunctions.h"

#include <QDate>
#include <QTest>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

// Expects `statement` to fail with the data error `number`.
#define QVERIFY_DATA_ERROR(statement, expected)                                                                 \
    do {                                                                                                      \
        try { statement; QFAIL("no error from: " #statement); }                                               \
        catch (const AppError &error_) { QCOMPARE(error_.number(), int(expected)); }                          \
    } while (false)

class RecordingListener : public RecordsetListener
{
public:
    QList<int> actions;
    int currentChanges = 0;
    std::function<bool(int)> onBefore;

    bool recordsetBeforeAction(int action) override
    {
        actions << action;
        return onBefore ? onBefore(action) : true;
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

private slots:
    void init();
    void cleanup();

    void movesPositionsAndFields();
    void addNewEditCancelAndUpdate();
    void deleteMovesOffTheRow();
    void quotesAreJustCharacters();
    void writeConflictKeepsBothSidesSafe();
    void bookmarks();
    void findWithTheEnginesLike();
    void likePattern();
    void typedValuesAndExactCurrency();
    void donationsQueryInsertUpdateDelete();
    void listenerSeesActionsAndMayCancel();

private:
    // Plain SQL on the test's own connection: the first column of the first row.
    QVariant sql(const QString &statement, const QVariantList &params = {}) const
    {
        return TestEnvironment::scalar(m_file, statement, params);
    }

    std::unique_ptr<TestEnvironment> m_env;
    QString m_file;
    std::shared_ptr<Database> m_db;
};

void RecordsetTest::init()
{
    m_env = std::make_unique<TestEnvironment>();
    m_file = m_env->createDatabase(m_env->folder(u"db"_s));
    TestEnvironment::exec(m_file, u"INSERT INTO Program (ProgramID, Name) VALUES (12, 'Gala'), (13, 'Fair')"_s);
    TestEnvironment::exec(m_file, u"INSERT INTO Attendees (AttendeeID, ProgramID, FirstName, LastName, City) VALUES "
                                  "(1, 12, 'Anne', 'Lee', 'Lyon'), (2, 12, 'Bob', 'Smith', NULL), (3, 13, 'Hanna', 'Other', 'Oslo'), "
                                  "(4, 12, 'Joanna', 'Ng', 'Paris'), (5, 12, 'Émile', 'Zola', 'Médan')"_s);
    m_db = Database::openSeparate(m_file);
}

void RecordsetTest::cleanup()
{
    m_db.reset();
    m_env.reset();
}

void RecordsetTest::movesPositionsAndFields()
{
    // An empty set has no current row: every read or move of one fails.
    {
        Recordset empty(m_db, u"Select * from Attendees where ProgramID =99"_s);
        QVERIFY(empty.bof() && empty.eof());
        QCOMPARE(empty.recordCount(), 0);
        QCOMPARE(empty.absolutePosition(), -1);
        QVERIFY_DATA_ERROR(empty.moveNext(), DataError::NoCurrentRecord);
        QVERIFY_DATA_ERROR(empty.moveFirst(), DataError::NoCurrentRecord);
        QVERIFY_DATA_ERROR(empty.value(u"FirstName"_s), DataError::NoCurrentRecord);
        QVERIFY_DATA_ERROR(empty.deleteRow(), DataError::NoCurrentRecord);
        empty.findFirst(u"FirstName LIKE '*'"_s);
        QVERIFY(empty.noMatch());
    }

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
            QVERIFY_DATA_ERROR((rs.*m.move)(), DataError::NoCurrentRecord);
    }
    rs.moveNext();
    QCOMPARE(rs.value(u"city"_s), QVariant()); // Bob's NULL, and the name matched without case
    rs.setAbsolutePosition(2);
    QCOMPARE(firstName(rs), u"Joanna"_s);
    QVERIFY_DATA_ERROR(rs.setAbsolutePosition(4), DataError::InvalidArgument);

    // Fields by name (without case) and index, in the stored order, typed.
    QCOMPARE(rs.fieldIndex(u"lastname"_s), 6);
    QCOMPARE(rs.fieldIndex(u"Nope"_s), -1);
    QCOMPARE(rs.value(0).typeId(), QMetaType::LongLong);
    QCOMPARE(rs.currentKey(), 4);
    QCOMPARE(rs.value(6).toString(), u"Ng"_s);
    QVERIFY_DATA_ERROR(rs.value(u"Nope"_s), DataError::UnknownField);

    // A move shows what another workstation saved meanwhile.
    TestEnvironment::exec(m_file, u"UPDATE Attendees SET FirstName = 'Annie' WHERE AttendeeID = 1"_s);
    rs.moveFirst();
    QCOMPARE(firstName(rs), u"Annie"_s);
    rs.close();
    QVERIFY_DATA_ERROR(rs.moveFirst(), DataError::ObjectClosed);
}

void RecordsetTest::addNewEditCancelAndUpdate()
{
    Recordset rs(m_db, Event12);
    rs.moveNext(); // Bob
    rs.addNew();
    QCOMPARE(rs.editMode(), EditMode::Adding);
    QCOMPARE(rs.absolutePosition(), -1);
    const qint64 key = rs.value(u"AttendeeID"_s).toLongLong();
    QVERIFY(key > 5); // known before the row is saved: the photograph is named after it
    QCOMPARE(rs.currentKey(), key);
    QCOMPARE(rs.value(u"FirstName"_s), QVariant());
    // Cancelled: nothing stored, and the row before is current again.
    rs.cancelUpdate();
    QCOMPARE(rs.editMode(), EditMode::None);
    QCOMPARE(firstName(rs), u"Bob"_s);
    QCOMPARE(sql(u"SELECT count(*) FROM Attendees"_s).toInt(), 5);

    rs.addNew();
    const qint64 newKey = rs.currentKey();
    setValues(rs, {{"ProgramID", u"12"_s}, {"FirstName", u"Zoë"_s}}); // text for a number is converted
    rs.update();
    QCOMPARE(rs.editMode(), EditMode::None);
    QCOMPARE(sql(u"SELECT FirstName FROM Attendees WHERE AttendeeID = ? AND ProgramID = 12"_s, {newKey}).toString(), u"Zoë"_s);
    // The saved row is appended to the set and is the current row.
    QCOMPARE(rs.recordCount(), 5);
    QCOMPARE(rs.absolutePosition(), 4);
    QCOMPARE(rs.currentKey(), newKey);

    // Edit: the pending value shows at once; cancel restores the stored value.
    const QString lastName1 = u"SELECT LastName FROM Attendees WHERE AttendeeID = 1"_s;
    rs.moveFirst();
    rs.setValue(u"LastName"_s, u"Leigh"_s);
    QCOMPARE(rs.editMode(), EditMode::Editing);
    QCOMPARE(rs.value(u"LastName"_s).toString(), u"Leigh"_s);
    rs.cancelUpdate();
    QCOMPARE(rs.value(u"LastName"_s).toString(), u"Lee"_s);
    QVERIFY_DATA_ERROR(rs.update(), DataError::UpdateWithoutEdit);
    rs.setValue(u"LastName"_s, u"Leigh"_s);
    rs.update();
    QCOMPARE(sql(lastName1).toString(), u"Leigh"_s);
    // A move drops a pending edit that nobody saved.
    rs.setValue(u"LastName"_s, u"Dropped"_s);
    rs.moveNext();
    QCOMPARE(sql(lastName1).toString(), u"Leigh"_s);
    // The key is the database's; the same value is harmless.
    QVERIFY_DATA_ERROR(rs.setValue(u"AttendeeID"_s, 99), DataError::Generic);
    rs.setValue(u"AttendeeID"_s, rs.currentKey());
    QVERIFY_DATA_ERROR(rs.setValue(u"ProgramID"_s, u"twelve"_s), DataError::TypeMismatch);
}

void RecordsetTest::deleteMovesOffTheRow()
{
    TestEnvironment::exec(m_file, u"INSERT INTO Donations (AttendeeID, Amount) VALUES (2, 10000), (4, 20000)"_s);
    Recordset rs(m_db, Event12);
    rs.moveNext(); // Bob
    rs.deleteRow();
    QCOMPARE(rs.recordCount(), 3);
    QCOMPARE(rs.absolutePosition(), -1);
    QVERIFY_DATA_ERROR(rs.value(u"FirstName"_s), DataError::RecordDeleted);
    QVERIFY(!rs.eof());
    // Its donations went with it; the others stay.
    QCOMPARE(sql(u"SELECT count(*) FROM Attendees WHERE AttendeeID = 2"_s).toInt(), 0);
    QCOMPARE(sql(u"SELECT group_concat(AttendeeID) FROM Donations"_s).toString(), u"4"_s);
    rs.moveNext();
    QCOMPARE(firstName(rs), u"Joanna"_s);
    QCOMPARE(rs.absolutePosition(), 1);
    rs.movePrevious();
    QCOMPARE(firstName(rs), u"Anne"_s);

    // Deleting the last row leaves the set after its end.
    rs.moveLast();
    rs.deleteRow();
    QVERIFY(!rs.eof());
    rs.moveNext();
    QVERIFY(rs.eof());
    rs.movePrevious();
    QCOMPARE(firstName(rs), u"Joanna"_s);
    // Deleting every row: both ends at once.
    rs.deleteRow();
    rs.moveFirst();
    rs.deleteRow();
    QVERIFY(rs.bof() && rs.eof());
    QCOMPARE(rs.recordCount(), 0);
    QCOMPARE(sql(u"SELECT count(*) FROM Attendees"_s).toInt(), 1);
}

void RecordsetTest::quotesAreJustCharacters()
{
    Recordset rs(m_db, u"Attendees"_s);
    rs.addNew();
    rs.setValue(u"LastName"_s, u"O'Brien"_s);
    rs.setValue(u"FirstName"_s, u"Robert'); DROP TABLE Attendees; --"_s);
    rs.update();
    QCOMPARE(sql(u"SELECT count(*) FROM Attendees WHERE LastName = 'O''Brien'"_s).toInt(), 1);

    Recordset byName(m_db, u"SELECT * FROM Attendees WHERE LastName = 'O''Brien' OR LastName = \"Zola\""_s);
    QCOMPARE(byName.recordCount(), 2);
    byName.findFirst(u"FirstName LIKE '*''); DROP*'"_s);
    QVERIFY(!byName.noMatch());
    QCOMPARE(byName.value(u"LastName"_s).toString(), u"O'Brien"_s);
    // A criterion trying to close the literal early is just a text that matches nothing.
    byName.findFirst(u"LastName = 'x'' OR ''1''=''1'"_s);
    QVERIFY(byName.noMatch());
    // An unclosed quote is a clear syntax error; an unknown field or source is named.
    QVERIFY_DATA_ERROR(byName.findFirst(u"LastName LIKE '*O'Brien*'"_s), DataError::SyntaxError);
    QVERIFY_DATA_ERROR(byName.findFirst(u"Nope = 1"_s), DataError::UnknownField);
    QVERIFY_DATA_ERROR((Recordset(m_db, u"Select * from Nowhere"_s)), DataError::UnknownSource);
    QCOMPARE(sql(u"SELECT count(*) FROM Attendees"_s).toInt(), 6);
}

void RecordsetTest::writeConflictKeepsBothSidesSafe()
{
    const QString city1 = u"SELECT City FROM Attendees WHERE AttendeeID = 1"_s;
    Recordset a(m_db, Event12);
    Recordset b(Database::openSeparate(m_file), Event12);
    a.setValue(u"City"_s, u"Lille"_s);   // A reads and starts typing
    b.setValue(u"City"_s, u"Nantes"_s);  // B saves first
    b.update();
    QVERIFY_DATA_ERROR(a.update(), DataError::WriteConflict);
    QCOMPARE(sql(city1).toString(), u"Nantes"_s);
    // A's typing is still there to be seen and copied, and trying again still conflicts.
    QCOMPARE(a.editMode(), EditMode::Editing);
    QCOMPARE(a.value(u"City"_s).toString(), u"Lille"_s);
    QVERIFY_DATA_ERROR(a.update(), DataError::WriteConflict);
    // After reloading the row, A's change goes through.
    a.cancelUpdate();
    QCOMPARE(a.value(u"City"_s).toString(), u"Nantes"_s);
    a.setValue(u"City"_s, u"Lille"_s);
    a.update();
    QCOMPARE(sql(city1).toString(), u"Lille"_s);
    // A NULL that was read is compared as NULL (Bob has no city).
    a.moveNext();
    a.setValue(u"City"_s, u"Metz"_s);
    a.update();
    QCOMPARE(sql(u"SELECT City FROM Attendees WHERE AttendeeID = 2"_s).toString(), u"Metz"_s);

    // The row deleted elsewhere: the typing stays, nothing is written back, moves skip it.
    a.moveFirst();
    a.setValue(u"City"_s, u"Lens"_s);
    TestEnvironment::exec(m_file, u"DELETE FROM Attendees WHERE AttendeeID IN (1, 2)"_s);
    QVERIFY_DATA_ERROR(a.update(), DataError::RecordDeleted);
    QCOMPARE(a.value(u"City"_s).toString(), u"Lens"_s);
    QCOMPARE(sql(u"SELECT count(*) FROM Attendees WHERE AttendeeID = 1"_s).toInt(), 0);
    a.cancelUpdate();
    a.moveNext();
    QCOMPARE(firstName(a), u"Joanna"_s);
    QCOMPARE(a.recordCount(), 2);
}

void RecordsetTest::bookmarks()
{
    Recordset rs(m_db, Event12);
    rs.setAbsolutePosition(2);
    const QByteArray mark = rs.bookmark();
    rs.moveFirst();
    rs.setBookmark(mark);
    QCOMPARE(firstName(rs), u"Joanna"_s);
    QCOMPARE(rs.absolutePosition(), 2);
    rs.moveFirst();
    const QByteArray first = rs.bookmark();
    rs.deleteRow();
    QVERIFY_DATA_ERROR(rs.setBookmark(first), DataError::RecordDeleted);
    QVERIFY_DATA_ERROR(rs.setBookmark("garbage"), DataError::InvalidArgument);
    QVERIFY_DATA_ERROR(rs.bookmark(), DataError::RecordDeleted);
    rs.addNew();
    QVERIFY_DATA_ERROR(rs.bookmark(), DataError::NoCurrentRecord);
}

void RecordsetTest::findWithTheEnginesLike()
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
    TestEnvironment::exec(m_file, u"INSERT INTO Attendees (ProgramID, FirstName) VALUES (12, 'Annabel')"_s);
    using Find = void (Recordset::*)(const QString &);
    // Each find in turn and the row it lands on; none: no match, and the current row stays.
    const struct { Find find; const char *criteria; const char *found; } finds[] = {
        {&Recordset::findFirst, "FirstName LIKE '*ANN*'", "Anne"},
        {&Recordset::findNext, "FirstName LIKE '*ann*'", "Joanna"},
        {&Recordset::findNext, "FirstName LIKE '*ann*'", nullptr},
        {&Recordset::findPrevious, "FirstName LIKE '*ann*'", "Anne"},
        {&Recordset::findLast, "LastName LIKE '?o*' OR LastName = 'NG'", "Émile"},
        {&Recordset::findFirst, "City IS NULL", "Bob"},
        {&Recordset::findFirst, "FirstName LIKE '*ÉMILE*'", "Émile"}, // case folded for every alphabet
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
    rs.moveFirst();
    rs.movePrevious();
    rs.findNext(u"FirstName LIKE 'a*'"_s);
    QCOMPARE(firstName(rs), u"Anne"_s);
}

void RecordsetTest::likePattern()
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
        {"aaa", "*a*a*a*", true},     {"aa", "*a*a*a*", false},
    };
    for (const auto &c : cases) {
        const LikePattern pattern(QString::fromUtf8(c.pattern));
        const QByteArray utf8(c.value);
        QVERIFY2(pattern.matches(QString::fromUtf8(utf8)) == c.match, c.pattern);
        QVERIFY2(pattern.matchesUtf8(utf8.constData(), int(utf8.size())) == c.match, c.pattern); // as SQLite hands it
    }
    // The same through SQL.
    Recordset rs(m_db, u"Attendees"_s);
    rs.findFirst(u"FirstName LIKE '%'"_s);
    QVERIFY(rs.noMatch());
    rs.findFirst(u"LastName LIKE 'z_la'"_s);
    QVERIFY(rs.noMatch());
    rs.findFirst(u"LastName LIKE 'z?la'"_s);
    QVERIFY(!rs.noMatch());
}

void RecordsetTest::typedValuesAndExactCurrency()
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
    QCOMPARE(stored("TargetAmt || ' ' || ActualAmt || ' ' || FundRaising"), u"3000 3000 1"_s); // a float would read "3000.0"
    QCOMPARE(stored("DateStart || ' ' || DateEnd"), u"2024-03-05 2024-03-07"_s);

    // Read back, typed at the boundary.
    const QVariant target = rs.value(u"TargetAmt"_s);
    QCOMPARE(target.metaType(), QMetaType::fromType<Currency>());
    QCOMPARE(target.value<Currency>(), *Currency::parse(u"0.3"_s));
    QCOMPARE(rs.value(u"FundRaising"_s), QVariant(true));
    QCOMPARE(rs.value(u"DateStart"_s).toDate(), QDate(2024, 3, 5));
    // Criteria compare amounts and dates as stored.
    rs.findFirst(u"TargetAmt = 0.30 AND DateStart = #3/5/2024# AND FundRaising = True"_s);
    QVERIFY(!rs.noMatch());
    QCOMPARE(rs.currentKey(), id);
    // Text for an amount is parsed; a bad one is refused before anything is written.
    rs.setValue(u"TargetAmt"_s, u"$1,234.5"_s);
    QVERIFY_DATA_ERROR(rs.setValue(u"ActualAmt"_s, u"lots"_s), DataError::TypeMismatch);
    QVERIFY_DATA_ERROR(rs.setValue(u"DateEnd"_s, u"31/31/2024"_s), DataError::TypeMismatch);
    rs.setValue(u"DateEnd"_s, QString()); // a cleared date is NULL
    rs.update();
    QCOMPARE(stored("TargetAmt || ' ' || ActualAmt || ' ' || ifnull(DateEnd, 'null')"), u"12345000 3000 null"_s);
}

void RecordsetTest::donationsQueryInsertUpdateDelete()
{
    TestEnvironment::exec(m_file, u"INSERT INTO Donations (AttendeeID, Amount, RegFee, PaymentType) VALUES "
                                  "(4, 100000, 1, 'Cash'), (1, 5000, 0, 'Check')"_s);
    Recordset rs(m_db, u"SELECT * FROM qryDon_Fees WHERE AttendeeID =4"_s);
    QCOMPARE(rs.recordCount(), 1);
    QCOMPARE(rs.value(u"Amount"_s).value<Currency>().toString(), u"10.00"_s);
    rs.addNew();
    const qint64 key = rs.value(u"DonationID"_s).toLongLong();
    QVERIFY(key > 2);
    setValues(rs, {{"AttendeeID", 4}, {"Amount", u"25.5"_s}, {"PaymentType", u"Check"_s}, {"DonDate", QDate(2024, 1, 2)}});
    rs.update(); // through the query's trigger, with the reserved key
    QCOMPARE(sql(u"SELECT Amount FROM Donations WHERE DonationID = ? AND AttendeeID = 4"_s, {key}).toLongLong(), 255000);
    QCOMPARE(rs.recordCount(), 2);
    rs.setValue(u"RegFee"_s, true);
    rs.update();
    QCOMPARE(sql(u"SELECT RegFee FROM Donations WHERE DonationID = ?"_s, {key}).toInt(), 1);
    // A conflict is found through the query as well (checked against its table).
    TestEnvironment::exec(m_file, u"UPDATE Donations SET PaymentType = 'Cash' WHERE DonationID = ?"_s, {key});
    rs.setValue(u"Amount"_s, u"1"_s);
    QVERIFY_DATA_ERROR(rs.update(), DataError::WriteConflict);
    rs.cancelUpdate();
    rs.deleteRow();
    QCOMPARE(sql(u"SELECT count(*) FROM Donations"_s).toInt(), 2);
    QCOMPARE(sql(u"SELECT count(*) FROM Donations WHERE DonationID = ?"_s, {key}).toInt(), 0);
}

void RecordsetTest::listenerSeesActionsAndMayCancel()
{
    RecordingListener listener; // outlives the recordset it listens to
    Recordset rs(m_db, Event12);
    rs.setListener(&listener);
    rs.moveNext();
    rs.moveLast();
    rs.movePrevious();
    rs.moveFirst();
    rs.findFirst(u"FirstName = 'Bob'"_s);
    rs.setBookmark(rs.bookmark());
    QCOMPARE(listener.actions, (QList<int> {DataAction::MoveNext, DataAction::MoveLast, DataAction::MovePrevious,
                                            DataAction::MoveFirst, DataAction::Find, DataAction::Bookmark}));
    QCOMPARE(listener.currentChanges, 6);

    // Cancelled: nothing moves, nothing is written.
    listener.actions.clear();
    listener.currentChanges = 0;
    listener.onBefore = [](int) { return false; };
    rs.setValue(u"City"_s, u"Kept"_s);
    rs.moveNext();
    rs.update();
    rs.cancelUpdate();
    rs.deleteRow();
    rs.addNew();
    QCOMPARE(firstName(rs), u"Bob"_s);
    QCOMPARE(listener.currentChanges, 0);
    QCOMPARE(sql(u"SELECT count(*) FROM Attendees"_s).toInt(), 5);
    QCOMPARE(listener.actions, (QList<int> {DataAction::MoveNext, DataAction::Update, DataAction::Delete, DataAction::AddNew}));

    // A data control saving inside the hook: the update does not come back to it.
    listener.actions.clear();
    listener.onBefore = [&](int action) {
        if (action == DataAction::MoveNext && rs.editMode() != EditMode::None)
            rs.update();
        return true;
    };
    rs.setValue(u"City"_s, u"Saved"_s);
    rs.moveNext();
    QCOMPARE(listener.actions, (QList<int> {DataAction::MoveNext}));
    QCOMPARE(firstName(rs), u"Joanna"_s);
    QCOMPARE(sql(u"SELECT City FROM Attendees WHERE AttendeeID = 2"_s).toString(), u"Saved"_s);
    listener.actions.clear();
    rs.setValue(u"City"_s, u"Quiet"_s);
    rs.updateWithoutNotify();
    QVERIFY(listener.actions.isEmpty());
    // AddNew, its cancel and requery tell that the current row changed.
    listener.currentChanges = 0;
    rs.addNew();
    rs.cancelUpdate();
    rs.requery();
    QCOMPARE(listener.currentChanges, 3);

    // Leaving a new row of an empty set: a move is allowed, and a listener may save the row first.
    RecordingListener saver;
    Recordset empty(m_db, u"Select * from Attendees where ProgramID =13 and LastName = 'none'"_s);
    saver.onBefore = [&](int action) {
        if (action != DataAction::Update && empty.editMode() != EditMode::None)
            empty.update();
        return true;
    };
    empty.setListener(&saver);
    empty.addNew();
    setValues(empty, {{"LastName", u"none"_s}, {"ProgramID", 13}});
    empty.movePrevious();
    QCOMPARE(empty.recordCount(), 1);
    QVERIFY(empty.bof());
    empty.moveNext();
    QCOMPARE(empty.value(u"LastName"_s).toString(), u"none"_s);
    QCOMPARE(sql(u"SELECT count(*) FROM Attendees WHERE LastName = 'none'"_s).toInt(), 1);
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    RecordsetTest test;
    try {
        return QTest::qExec(&test, argc, argv);
    } catch (const AppError &error) {
        qCritical("unexpected data error: %s", error.what());
        return 1;
    }
}
#include "tst_recordset.moc"
