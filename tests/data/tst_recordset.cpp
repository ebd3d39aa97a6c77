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

namespace {

// Expects `statement` to fail with the data error `number`.
#define QVERIFY_DATA_ERROR(statement, expected)                                                                   \
    do {                                                                                                        \
        try {                                                                                                   \
            statement;                                                                                          \
            QFAIL("no error from: " #statement);                                                                \
        } catch (const AppError &error_) {                                                                      \
            QCOMPARE(error_.number(), int(expected));                                                             \
        }                                                                                                       \
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

QString firstName(Recordset &rs)
{
    return rs.value(QStringLiteral("FirstName")).toString();
}

} // namespace

class RecordsetTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void emptySetHasNoCurrentRow();
    void movesPositionsAndFields();
    void addNewEditCancelAndUpdate();
    void deleteMovesOffTheRow();
    void quotesAreJustCharacters();
    void writeConflictKeepsBothSidesSafe();
    void rowDeletedElsewhere();
    void bookmarks();
    void findWithTheEnginesLike();
    void likePattern();
    void typedValuesAndExactCurrency();
    void donationsQueryInsertUpdateDelete();
    void listenerSeesActionsAndMayCancel();
    void orderedSources();

private:
    std::unique_ptr<TestEnvironment> m_env;
    QString m_file;
    std::shared_ptr<Database> m_db;
};

void RecordsetTest::init()
{
    m_env = std::make_unique<TestEnvironment>();
    m_file = m_env->createDatabase(m_env->folder(QStringLiteral("db")));
    TestEnvironment::exec(m_file, QStringLiteral("INSERT INTO Program (ProgramID, Name) VALUES (12, 'Gala'), (13, 'Fair')"));
    TestEnvironment::exec(m_file, QStringLiteral(
        "INSERT INTO Attendees (AttendeeID, ProgramID, FirstName, LastName, City) VALUES "
        "(1, 12, 'Anne', 'Lee', 'Lyon'), (2, 12, 'Bob', 'Smith', NULL), (3, 13, 'Hanna', 'Other', 'Oslo'), "
        "(4, 12, 'Joanna', 'Ng', 'Paris'), (5, 12, 'Émile', 'Zola', 'Médan')"));
    m_db = Database::openSeparate(m_file);
}

void RecordsetTest::cleanup()
{
    m_db.reset();
    m_env.reset();
}

void RecordsetTest::emptySetHasNoCurrentRow()
{
    Recordset rs(m_db, QStringLiteral("Select * from Attendees where ProgramID =99"));
    QVERIFY(rs.bof());
    QVERIFY(rs.eof());
    QCOMPARE(rs.recordCount(), 0);
    QCOMPARE(rs.absolutePosition(), -1);
    QVERIFY_DATA_ERROR(rs.moveNext(), DataError::NoCurrentRecord);
    QVERIFY_DATA_ERROR(rs.moveFirst(), DataError::NoCurrentRecord);
    QVERIFY_DATA_ERROR(rs.value(QStringLiteral("FirstName")), DataError::NoCurrentRecord);
    QVERIFY_DATA_ERROR(rs.deleteRow(), DataError::NoCurrentRecord);
    rs.findFirst(QStringLiteral("FirstName LIKE '*'"));
    QVERIFY(rs.noMatch());
}

void RecordsetTest::movesPositionsAndFields()
{
    Recordset rs(m_db, QStringLiteral("Select * from Attendees where ProgramID =12"));
    QCOMPARE(rs.recordCount(), 4);
    QVERIFY(!rs.bof() && !rs.eof());
    QCOMPARE(rs.absolutePosition(), 0);
    QCOMPARE(firstName(rs), QStringLiteral("Anne"));
    rs.moveNext();
    QCOMPARE(rs.absolutePosition(), 1);
    QCOMPARE(rs.value(QStringLiteral("city")), QVariant()); // NULL, and the name matched without case
    rs.moveLast();
    QCOMPARE(firstName(rs), QStringLiteral("Émile"));
    QCOMPARE(rs.absolutePosition(), 3);
    rs.moveNext();
    QVERIFY(rs.eof() && !rs.bof());
    QCOMPARE(rs.absolutePosition(), -1);
    QVERIFY_DATA_ERROR(rs.moveNext(), DataError::NoCurrentRecord);
    rs.movePrevious();
    QCOMPARE(firstName(rs), QStringLiteral("Émile"));
    rs.moveFirst();
    rs.movePrevious();
    QVERIFY(rs.bof() && !rs.eof());
    QVERIFY_DATA_ERROR(rs.movePrevious(), DataError::NoCurrentRecord);
    rs.moveNext();
    QCOMPARE(firstName(rs), QStringLiteral("Anne"));
    rs.setAbsolutePosition(2);
    QCOMPARE(firstName(rs), QStringLiteral("Joanna"));
    QVERIFY_DATA_ERROR(rs.setAbsolutePosition(4), DataError::InvalidArgument);

    // Fields by name and index, in the stored order, typed.
    QCOMPARE(rs.fieldCount(), 20);
    QCOMPARE(rs.fieldName(0), QStringLiteral("AttendeeID"));
    QCOMPARE(rs.fieldIndex(QStringLiteral("lastname")), 6);
    QCOMPARE(rs.fieldIndex(QStringLiteral("Nope")), -1);
    QCOMPARE(rs.value(0).typeId(), QMetaType::LongLong);
    QCOMPARE(rs.value(0).toLongLong(), 4);
    QCOMPARE(rs.currentKey(), 4);
    QCOMPARE(rs.value(6).toString(), QStringLiteral("Ng"));
    QVERIFY_DATA_ERROR(rs.value(QStringLiteral("Nope")), DataError::UnknownField);

    // A move shows what another workstation saved meanwhile.
    TestEnvironment::exec(m_file, QStringLiteral("UPDATE Attendees SET FirstName = 'Annie' WHERE AttendeeID = 1"));
    QCOMPARE(firstName(rs), QStringLiteral("Joanna"));
    rs.moveFirst();
    QCOMPARE(firstName(rs), QStringLiteral("Annie"));
    // valueAt reads another row without moving.
    QCOMPARE(rs.valueAt(3, rs.fieldIndex(QStringLiteral("LastName"))).toString(), QStringLiteral("Zola"));
    QCOMPARE(rs.absolutePosition(), 0);
    rs.requery();
    QCOMPARE(rs.recordCount(), 4);
    rs.close();
    QVERIFY_DATA_ERROR(rs.moveFirst(), DataError::ObjectClosed);
}

void RecordsetTest::addNewEditCancelAndUpdate()
{
    Recordset rs(m_db, QStringLiteral("Select * from Attendees where ProgramID =12"));
    rs.moveNext(); // Bob
    rs.addNew();
    QCOMPARE(rs.editMode(), EditMode::Adding);
    QCOMPARE(rs.absolutePosition(), -1);
    const qint64 key = rs.value(QStringLiteral("AttendeeID")).toLongLong();
    QVERIFY(key > 5); // known before the row is saved: the photograph is named after it
    QCOMPARE(rs.currentKey(), key);
    QCOMPARE(rs.value(QStringLiteral("FirstName")), QVariant());
    // Another workstation adding at the same time gets another key.
    {
        auto other = Database::openSeparate(m_file);
        Recordset rs2(other, QStringLiteral("Attendees"));
        rs2.addNew();
        QVERIFY(rs2.currentKey() != key);
        rs2.cancelUpdate();
    }
    // Cancelled: nothing stored, and the row before is current again.
    rs.cancelUpdate();
    QCOMPARE(rs.editMode(), EditMode::None);
    QCOMPARE(firstName(rs), QStringLiteral("Bob"));
    QCOMPARE(TestEnvironment::scalar(m_file, QStringLiteral("SELECT count(*) FROM Attendees")).toInt(), 5);

    rs.addNew();
    const qint64 newKey = rs.currentKey();
    rs.setValue(QStringLiteral("ProgramID"), QStringLiteral("12"));
    rs.setValue(QStringLiteral("FirstName"), QStringLiteral("Zoë"));
    rs.update();
    QCOMPARE(rs.editMode(), EditMode::None);
    QCOMPARE(TestEnvironment::scalar(m_file, QStringLiteral("SELECT FirstName FROM Attendees WHERE AttendeeID = ? AND ProgramID = 12"),
                                     {newKey}).toString(), QStringLiteral("Zoë"));
    // The saved row is appended to the set and is the current row.
    QCOMPARE(rs.recordCount(), 5);
    QCOMPARE(rs.absolutePosition(), 4);
    QCOMPARE(rs.currentKey(), newKey);

    // Edit: the pending value shows at once; cancel restores the stored value.
    rs.moveFirst();
    rs.setValue(QStringLiteral("LastName"), QStringLiteral("Leigh"));
    QCOMPARE(rs.editMode(), EditMode::Editing);
    QCOMPARE(rs.value(QStringLiteral("LastName")).toString(), QStringLiteral("Leigh"));
    rs.cancelUpdate();
    QCOMPARE(rs.value(QStringLiteral("LastName")).toString(), QStringLiteral("Lee"));
    QVERIFY_DATA_ERROR(rs.update(), DataError::UpdateWithoutEdit);
    rs.setValue(QStringLiteral("LastName"), QStringLiteral("Leigh"));
    rs.update();
    QCOMPARE(TestEnvironment::scalar(m_file, QStringLiteral("SELECT LastName FROM Attendees WHERE AttendeeID = 1")).toString(),
             QStringLiteral("Leigh"));
    // A move drops a pending edit that nobody saved.
    rs.setValue(QStringLiteral("LastName"), QStringLiteral("Dropped"));
    rs.moveNext();
    QCOMPARE(TestEnvironment::scalar(m_file, QStringLiteral("SELECT LastName FROM Attendees WHERE AttendeeID = 1")).toString(),
             QStringLiteral("Leigh"));
    // The key is the database's.
    QVERIFY_DATA_ERROR(rs.setValue(QStringLiteral("AttendeeID"), 99), DataError::Generic);
    rs.setValue(QStringLiteral("AttendeeID"), rs.currentKey()); // the same value is harmless
    QVERIFY_DATA_ERROR(rs.setValue(QStringLiteral("ProgramID"), QStringLiteral("twelve")), DataError::TypeMismatch);
}

void RecordsetTest::deleteMovesOffTheRow()
{
    TestEnvironment::exec(m_file, QStringLiteral("INSERT INTO Donations (AttendeeID, Amount) VALUES (2, 10000), (4, 20000)"));
    Recordset rs(m_db, QStringLiteral("Select * from Attendees where ProgramID =12"));
    rs.moveNext(); // Bob
    rs.deleteRow();
    QCOMPARE(rs.recordCount(), 3);
    QCOMPARE(rs.absolutePosition(), -1);
    QVERIFY_DATA_ERROR(rs.value(QStringLiteral("FirstName")), DataError::RecordDeleted);
    QVERIFY(!rs.eof());
    // Its donations went with it, in the same statement; the others stay.
    QCOMPARE(TestEnvironment::scalar(m_file, QStringLiteral("SELECT count(*) FROM Attendees WHERE AttendeeID = 2")).toInt(), 0);
    QCOMPARE(TestEnvironment::scalar(m_file, QStringLiteral("SELECT group_concat(AttendeeID) FROM Donations")).toString(),
             QStringLiteral("4"));
    rs.moveNext();
    QCOMPARE(firstName(rs), QStringLiteral("Joanna"));
    QCOMPARE(rs.absolutePosition(), 1);
    rs.movePrevious();
    QCOMPARE(firstName(rs), QStringLiteral("Anne"));

    // Deleting the last row leaves the set after its end.
    rs.moveLast();
    rs.deleteRow();
    QVERIFY(!rs.eof());
    rs.moveNext();
    QVERIFY(rs.eof());
    rs.movePrevious();
    QCOMPARE(firstName(rs), QStringLiteral("Joanna"));
    // Deleting every row: both ends at once.
    rs.deleteRow();
    rs.moveFirst();
    rs.deleteRow();
    QVERIFY(rs.bof() && rs.eof());
    QCOMPARE(rs.recordCount(), 0);
    QCOMPARE(TestEnvironment::scalar(m_file, QStringLiteral("SELECT count(*) FROM Attendees")).toInt(), 1);
}

void RecordsetTest::quotesAreJustCharacters()
{
    Recordset rs(m_db, QStringLiteral("Attendees"));
    rs.addNew();
    rs.setValue(QStringLiteral("LastName"), QStringLiteral("O'Brien"));
    rs.setValue(QStringLiteral("FirstName"), QStringLiteral("Robert'); DROP TABLE Attendees; --"));
    rs.update();
    QCOMPARE(TestEnvironment::scalar(m_file, QStringLiteral("SELECT count(*) FROM Attendees WHERE LastName = 'O''Brien'")).toInt(), 1);

    Recordset byName(m_db, QStringLiteral("SELECT * FROM Attendees WHERE LastName = 'O''Brien' OR LastName = \"Zola\""));
    QCOMPARE(byName.recordCount(), 2);
    byName.findFirst(QStringLiteral("FirstName LIKE '*''); DROP*'"));
    QVERIFY(!byName.noMatch());
    QCOMPARE(byName.value(QStringLiteral("LastName")).toString(), QStringLiteral("O'Brien"));
    // A criterion trying to close the literal early is just a text that matches nothing.
    byName.findFirst(QStringLiteral("LastName = 'x'' OR ''1''=''1'"));
    QVERIFY(byName.noMatch());
    // An unclosed quote is a clear syntax error; an unknown field is named.
    QVERIFY_DATA_ERROR(byName.findFirst(QStringLiteral("LastName LIKE '*O'Brien*'")), DataError::SyntaxError);
    QVERIFY_DATA_ERROR(byName.findFirst(QStringLiteral("Nope = 1")), DataError::UnknownField);
    QVERIFY_DATA_ERROR((Recordset(m_db, QStringLiteral("Select * from Nowhere"))), DataError::UnknownSource);
    QCOMPARE(TestEnvironment::scalar(m_file, QStringLiteral("SELECT count(*) FROM Attendees")).toInt(), 6);
}

void RecordsetTest::writeConflictKeepsBothSidesSafe()
{
    auto otherDb = Database::openSeparate(m_file);
    Recordset a(m_db, QStringLiteral("Select * from Attendees where ProgramID =12"));
    Recordset b(otherDb, QStringLiteral("Select * from Attendees where ProgramID =12"));
    a.setValue(QStringLiteral("City"), QStringLiteral("Lille"));   // A reads and starts typing
    b.setValue(QStringLiteral("City"), QStringLiteral("Nantes"));  // B saves first
    b.update();
    QVERIFY_DATA_ERROR(a.update(), DataError::WriteConflict);
    QCOMPARE(TestEnvironment::scalar(m_file, QStringLiteral("SELECT City FROM Attendees WHERE AttendeeID = 1")).toString(),
             QStringLiteral("Nantes"));
    // A's typing is still there to be seen and copied.
    QCOMPARE(a.editMode(), EditMode::Editing);
    QCOMPARE(a.value(QStringLiteral("City")).toString(), QStringLiteral("Lille"));
    // A change of another field counts too: the row is no longer what A read.
    QVERIFY_DATA_ERROR(a.update(), DataError::WriteConflict);
    // After reloading the row, A's change goes through.
    a.cancelUpdate();
    QCOMPARE(a.value(QStringLiteral("City")).toString(), QStringLiteral("Nantes"));
    a.setValue(QStringLiteral("City"), QStringLiteral("Lille"));
    a.update();
    QCOMPARE(TestEnvironment::scalar(m_file, QStringLiteral("SELECT City FROM Attendees WHERE AttendeeID = 1")).toString(),
             QStringLiteral("Lille"));
    // A NULL that was read is compared as NULL (Bob has no city).
    a.moveNext();
    a.setValue(QStringLiteral("City"), QStringLiteral("Metz"));
    a.update();
    QCOMPARE(TestEnvironment::scalar(m_file, QStringLiteral("SELECT City FROM Attendees WHERE AttendeeID = 2")).toString(),
             QStringLiteral("Metz"));
}

void RecordsetTest::rowDeletedElsewhere()
{
    Recordset a(m_db, QStringLiteral("Select * from Attendees where ProgramID =12"));
    a.setValue(QStringLiteral("City"), QStringLiteral("Lille"));
    TestEnvironment::exec(m_file, QStringLiteral("DELETE FROM Attendees WHERE AttendeeID IN (1, 2)"));
    QVERIFY_DATA_ERROR(a.update(), DataError::RecordDeleted);
    QCOMPARE(a.value(QStringLiteral("City")).toString(), QStringLiteral("Lille"));
    QCOMPARE(TestEnvironment::scalar(m_file, QStringLiteral("SELECT count(*) FROM Attendees WHERE AttendeeID = 1")).toInt(), 0);
    // Moving on skips rows that are gone.
    a.cancelUpdate();
    a.moveNext();
    QCOMPARE(firstName(a), QStringLiteral("Joanna"));
    QCOMPARE(a.recordCount(), 2);
}

void RecordsetTest::bookmarks()
{
    Recordset rs(m_db, QStringLiteral("Select * from Attendees where ProgramID =12"));
    rs.moveNext();
    rs.moveNext();
    const QByteArray mark = rs.bookmark();
    rs.moveFirst();
    rs.setBookmark(mark);
    QCOMPARE(firstName(rs), QStringLiteral("Joanna"));
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
    Recordset rs(m_db, QStringLiteral("Select * from Attendees where ProgramID =12"));
    // Added elsewhere after the set was opened: not one of its rows.
    TestEnvironment::exec(m_file, QStringLiteral("INSERT INTO Attendees (ProgramID, FirstName) VALUES (12, 'Annabel')"));
    rs.findFirst(QStringLiteral("FirstName LIKE '*ANN*'"));
    QVERIFY(!rs.noMatch());
    QCOMPARE(firstName(rs), QStringLiteral("Anne"));
    rs.findNext(QStringLiteral("FirstName LIKE '*ann*'"));
    QCOMPARE(firstName(rs), QStringLiteral("Joanna"));
    rs.findNext(QStringLiteral("FirstName LIKE '*ann*'"));
    QVERIFY(rs.noMatch());
    QCOMPARE(firstName(rs), QStringLiteral("Joanna")); // stays where it was; Hanna (event 13) and Annabel are not ours
    rs.findPrevious(QStringLiteral("FirstName LIKE '*ann*'"));
    QCOMPARE(firstName(rs), QStringLiteral("Anne"));
    rs.findLast(QStringLiteral("LastName LIKE '?o*' OR LastName = 'NG'"));
    QCOMPARE(firstName(rs), QStringLiteral("Émile"));
    // Case is ignored for every alphabet.
    rs.findFirst(QStringLiteral("FirstName LIKE '*ÉMILE*'"));
    QVERIFY(!rs.noMatch());
    QCOMPARE(rs.value(QStringLiteral("LastName")).toString(), QStringLiteral("Zola"));
    rs.findFirst(QStringLiteral("City LIKE 'MÉ*' AND NOT City IS NULL"));
    QVERIFY(!rs.noMatch());
    rs.findFirst(QStringLiteral("City IS NULL"));
    QCOMPARE(firstName(rs), QStringLiteral("Bob"));
    rs.findFirst(QStringLiteral("AttendeeID > 1 AND AttendeeID <= 4 AND FirstName <> 'bob'"));
    QCOMPARE(firstName(rs), QStringLiteral("Joanna"));
    rs.findFirst(QStringLiteral("[AttendeeID] IN (2, 5) AND NOT (FirstName NOT LIKE 'b*')"));
    QCOMPARE(firstName(rs), QStringLiteral("Bob"));
    rs.findLast(QStringLiteral("lastname BETWEEN 'l' AND 'O' or City = 'PARIS'"));
    QCOMPARE(firstName(rs), QStringLiteral("Joanna"));
    // Find skips rows deleted here and starts again from the top.
    rs.deleteRow();
    rs.findFirst(QStringLiteral("FirstName LIKE '*nn*'"));
    QCOMPARE(firstName(rs), QStringLiteral("Anne"));
    rs.findNext(QStringLiteral("FirstName LIKE '*nn*'"));
    QVERIFY(rs.noMatch());
    // From before the first row, FindNext starts at the first.
    rs.moveFirst();
    rs.movePrevious();
    rs.findNext(QStringLiteral("FirstName LIKE 'a*'"));
    QCOMPARE(firstName(rs), QStringLiteral("Anne"));
}

void RecordsetTest::likePattern()
{
    auto like = [](const char *value, const char *pattern) {
        return LikePattern(QString::fromUtf8(pattern)).matches(QString::fromUtf8(value));
    };
    QVERIFY(like("Joanne", "*ann*"));
    QVERIFY(like("JOANNE", "*ann*"));
    QVERIFY(!like("Jon", "*ann*"));
    QVERIFY(like("Émile", "*ÉMILE*"));
    QVERIFY(like("straße", "*STRAßE*"));
    QVERIFY(like("Дмитрий", "*ДМИТ*"));
    QVERIFY(like("Bob", "B?b"));
    QVERIFY(!like("Bob", "B?"));
    QVERIFY(like("Room 12", "Room ##"));
    QVERIFY(!like("Room 1a", "Room ##"));
    QVERIFY(like("cat", "[a-c]at"));
    QVERIFY(!like("rat", "[a-c]at"));
    QVERIFY(like("rat", "[!a-c]at"));
    QVERIFY(like("a*b", "a[*]b"));
    QVERIFY(!like("axb", "a[*]b"));
    // % and _ are ordinary characters here.
    QVERIFY(like("50% off", "*50%*"));
    QVERIFY(!like("500 off", "*50%*"));
    QVERIFY(!like("abc", "a_c"));
    QVERIFY(like("a_c", "a_c"));
    QVERIFY(like("", "*"));
    QVERIFY(!like("", "?"));
    QVERIFY(like("aaa", "*a*a*a*"));
    QVERIFY(!like("aa", "*a*a*a*"));
    // The same through SQL, on ASCII and other text.
    Recordset rs(m_db, QStringLiteral("Attendees"));
    rs.findFirst(QStringLiteral("FirstName LIKE '%'"));
    QVERIFY(rs.noMatch());
    rs.findFirst(QStringLiteral("LastName LIKE 'z_la'"));
    QVERIFY(rs.noMatch());
    rs.findFirst(QStringLiteral("LastName LIKE 'z?la'"));
    QVERIFY(!rs.noMatch());
}

void RecordsetTest::typedValuesAndExactCurrency()
{
    Recordset rs(m_db, QStringLiteral("Select * from Program"));
    rs.addNew();
    const qint64 id = rs.currentKey();
    QCOMPARE(rs.value(QStringLiteral("FundRaising")), QVariant(false));
    const Currency tenth = *Currency::parse(QStringLiteral("0.1"));
    const Currency fifth = *Currency::parse(QStringLiteral("0.2"));
    rs.setValue(QStringLiteral("Name"), QStringLiteral("Auction"));
    rs.setValue(QStringLiteral("TargetAmt"), QVariant::fromValue(Currency::fromRaw(tenth.raw() + fifth.raw())));
    rs.setValue(QStringLiteral("ActualAmt"), 0.3); // from a spin box: rounded to ten-thousandths, exactly
    rs.setValue(QStringLiteral("FundRaising"), true);
    rs.setValue(QStringLiteral("DateStart"), QDate(2024, 3, 5));
    rs.setValue(QStringLiteral("DateEnd"), QStringLiteral("2024-03-07"));
    rs.update();
    auto sql = [&](const char *s) { return TestEnvironment::scalar(m_file, QString::fromLatin1(s), {id}); };
    QCOMPARE(sql("SELECT typeof(TargetAmt) || typeof(ActualAmt) FROM Program WHERE ProgramID = ?").toString(),
             QStringLiteral("integerinteger"));
    QCOMPARE(sql("SELECT TargetAmt FROM Program WHERE ProgramID = ?").toLongLong(), 3000);
    QCOMPARE(sql("SELECT ActualAmt FROM Program WHERE ProgramID = ?").toLongLong(), 3000);
    QCOMPARE(sql("SELECT FundRaising FROM Program WHERE ProgramID = ?").toInt(), 1);
    QCOMPARE(sql("SELECT DateStart || ' ' || DateEnd FROM Program WHERE ProgramID = ?").toString(),
             QStringLiteral("2024-03-05 2024-03-07"));

    // Read back, typed at the boundary.
    const QVariant target = rs.value(QStringLiteral("TargetAmt"));
    QCOMPARE(target.metaType(), QMetaType::fromType<Currency>());
    QCOMPARE(target.value<Currency>(), *Currency::parse(QStringLiteral("0.3")));
    QCOMPARE(rs.value(QStringLiteral("FundRaising")).typeId(), QMetaType::Bool);
    QCOMPARE(rs.value(QStringLiteral("FundRaising")).toBool(), true);
    QCOMPARE(rs.value(QStringLiteral("DateStart")).toDate(), QDate(2024, 3, 5));
    QCOMPARE(rs.value(QStringLiteral("Description")), QVariant());
    // Criteria compare amounts and dates as stored.
    rs.findFirst(QStringLiteral("TargetAmt = 0.30 AND DateStart = #3/5/2024# AND FundRaising = True"));
    QVERIFY(!rs.noMatch());
    QCOMPARE(rs.currentKey(), id);
    // Text for an amount is parsed; a bad one is refused before anything is written.
    rs.setValue(QStringLiteral("TargetAmt"), QStringLiteral("$1,234.5"));
    QVERIFY_DATA_ERROR(rs.setValue(QStringLiteral("ActualAmt"), QStringLiteral("lots")), DataError::TypeMismatch);
    QVERIFY_DATA_ERROR(rs.setValue(QStringLiteral("DateEnd"), QStringLiteral("31/31/2024")), DataError::TypeMismatch);
    rs.setValue(QStringLiteral("DateEnd"), QString()); // a cleared date is NULL
    rs.update();
    QCOMPARE(sql("SELECT TargetAmt FROM Program WHERE ProgramID = ?").toLongLong(), 12345000);
    QVERIFY(sql("SELECT DateEnd FROM Program WHERE ProgramID = ?").isNull());
}

void RecordsetTest::donationsQueryInsertUpdateDelete()
{
    TestEnvironment::exec(m_file, QStringLiteral("INSERT INTO Donations (AttendeeID, Amount, RegFee, PaymentType) VALUES "
                                                 "(4, 100000, 1, 'Cash'), (1, 5000, 0, 'Check')"));
    Recordset rs(m_db, QStringLiteral("SELECT * FROM qryDon_Fees WHERE AttendeeID =4"));
    QCOMPARE(rs.recordCount(), 1);
    QCOMPARE(rs.value(QStringLiteral("Amount")).value<Currency>().toString(), QStringLiteral("10.00"));
    rs.addNew();
    const qint64 key = rs.value(QStringLiteral("DonationID")).toLongLong();
    QVERIFY(key > 2);
    rs.setValue(QStringLiteral("AttendeeID"), 4);
    rs.setValue(QStringLiteral("Amount"), QStringLiteral("25.5"));
    rs.setValue(QStringLiteral("PaymentType"), QStringLiteral("Check"));
    rs.setValue(QStringLiteral("DonDate"), QDate(2024, 1, 2));
    rs.update(); // through the query's trigger, with the reserved key
    QCOMPARE(TestEnvironment::scalar(m_file, QStringLiteral("SELECT Amount FROM Donations WHERE DonationID = ? AND AttendeeID = 4"),
                                     {key}).toLongLong(), 255000);
    QCOMPARE(rs.recordCount(), 2);
    rs.setValue(QStringLiteral("RegFee"), true);
    rs.update();
    QCOMPARE(TestEnvironment::scalar(m_file, QStringLiteral("SELECT RegFee FROM Donations WHERE DonationID = ?"), {key}).toInt(), 1);
    // A conflict is found through the query as well (checked against its table).
    TestEnvironment::exec(m_file, QStringLiteral("UPDATE Donations SET PaymentType = 'Cash' WHERE DonationID = ?"), {key});
    rs.setValue(QStringLiteral("Amount"), QStringLiteral("1"));
    QVERIFY_DATA_ERROR(rs.update(), DataError::WriteConflict);
    rs.cancelUpdate();
    rs.deleteRow();
    QCOMPARE(TestEnvironment::scalar(m_file, QStringLiteral("SELECT count(*) FROM Donations")).toInt(), 2 - 0);
    QCOMPARE(TestEnvironment::scalar(m_file, QStringLiteral("SELECT count(*) FROM Donations WHERE DonationID = ?"), {key}).toInt(), 0);
}

void RecordsetTest::listenerSeesActionsAndMayCancel()
{
    Recordset rs(m_db, QStringLiteral("Select * from Attendees where ProgramID =12"));
    RecordingListener listener;
    rs.setListener(&listener);
    rs.moveNext();
    rs.moveLast();
    rs.movePrevious();
    rs.moveFirst();
    rs.findFirst(QStringLiteral("FirstName = 'Bob'"));
    rs.setBookmark(rs.bookmark());
    QCOMPARE(listener.actions, (QList<int> {DataAction::MoveNext, DataAction::MoveLast, DataAction::MovePrevious,
                                            DataAction::MoveFirst, DataAction::Find, DataAction::Bookmark}));
    QCOMPARE(listener.currentChanges, 6);

    // Cancelled: nothing moves, nothing is written.
    listener.actions.clear();
    listener.currentChanges = 0;
    listener.onBefore = [](int) { return false; };
    rs.setValue(QStringLiteral("City"), QStringLiteral("Kept"));
    rs.moveNext();
    rs.update();
    rs.cancelUpdate();
    rs.deleteRow();
    rs.addNew();
    QCOMPARE(firstName(rs), QStringLiteral("Bob"));
    QCOMPARE(listener.currentChanges, 0);
    QCOMPARE(TestEnvironment::scalar(m_file, QStringLiteral("SELECT count(*) FROM Attendees")).toInt(), 5);
    QCOMPARE(listener.actions, (QList<int> {DataAction::MoveNext, DataAction::Update, DataAction::Delete, DataAction::AddNew}));

    // A data control saving inside the hook: the update does not come back to it.
    listener.actions.clear();
    listener.onBefore = [&](int action) {
        if (action == DataAction::MoveNext && rs.editMode() != EditMode::None)
            rs.update();
        return true;
    };
    rs.setValue(QStringLiteral("City"), QStringLiteral("Saved"));
    rs.moveNext();
    QCOMPARE(listener.actions, (QList<int> {DataAction::MoveNext}));
    QCOMPARE(firstName(rs), QStringLiteral("Joanna"));
    QCOMPARE(TestEnvironment::scalar(m_file, QStringLiteral("SELECT City FROM Attendees WHERE AttendeeID = 2")).toString(),
             QStringLiteral("Saved"));
    listener.actions.clear();
    rs.setValue(QStringLiteral("City"), QStringLiteral("Quiet"));
    rs.updateWithoutNotify();
    QVERIFY(listener.actions.isEmpty());
    // AddNew, its cancel and requery tell that the current row changed.
    listener.currentChanges = 0;
    rs.addNew();
    rs.cancelUpdate();
    rs.requery();
    QCOMPARE(listener.currentChanges, 3);
    rs.setListener(nullptr);

    // Leaving a new row of an empty set: a move is allowed, and a listener may save the row first.
    Recordset empty(m_db, QStringLiteral("Select * from Attendees where ProgramID =13 and LastName = 'none'"));
    RecordingListener saver;
    saver.onBefore = [&](int action) {
        if (action != DataAction::Update && empty.editMode() != EditMode::None)
            empty.update();
        return true;
    };
    empty.setListener(&saver);
    empty.addNew();
    empty.setValue(QStringLiteral("LastName"), QStringLiteral("none"));
    empty.setValue(QStringLiteral("ProgramID"), 13);
    empty.movePrevious();
    QCOMPARE(empty.recordCount(), 1);
    QVERIFY(empty.bof());
    empty.moveNext();
    QCOMPARE(empty.value(QStringLiteral("LastName")).toString(), QStringLiteral("none"));
    QCOMPARE(TestEnvironment::scalar(m_file, QStringLiteral("SELECT count(*) FROM Attendees WHERE LastName = 'none'")).toInt(), 1);
    empty.setListener(nullptr);
}

void RecordsetTest::orderedSources()
{
    Recordset rs(m_db, QStringLiteral("select * from ATTENDEES where ProgramID = 12 order by LastName desc"));
    QCOMPARE(firstName(rs), QStringLiteral("Émile"));
    rs.moveNext();
    QCOMPARE(firstName(rs), QStringLiteral("Bob"));
    rs.findNext(QStringLiteral("FirstName LIKE '*n*'"));
    QCOMPARE(firstName(rs), QStringLiteral("Joanna")); // Ng before Lee, in the set's own order
    rs.findNext(QStringLiteral("FirstName LIKE '*n*'"));
    QCOMPARE(firstName(rs), QStringLiteral("Anne"));
    rs.findPrevious(QStringLiteral("FirstName LIKE '*n*'"));
    QCOMPARE(firstName(rs), QStringLiteral("Joanna"));
    rs.addNew();
    rs.setValue(QStringLiteral("ProgramID"), 12);
    rs.setValue(QStringLiteral("FirstName"), QStringLiteral("Ann"));
    rs.setValue(QStringLiteral("LastName"), QStringLiteral("Adams"));
    rs.update();
    rs.findLast(QStringLiteral("FirstName LIKE 'ann*'"));
    QCOMPARE(rs.value(QStringLiteral("LastName")).toString(), QStringLiteral("Adams"));
    rs.findFirst(QStringLiteral("FirstName LIKE 'ann*'"));
    QCOMPARE(rs.value(QStringLiteral("LastName")).toString(), QStringLiteral("Lee"));
    Recordset office(m_db, QStringLiteral("Office"));
    QCOMPARE(office.recordCount(), 4);
    QCOMPARE(office.fieldName(2), QStringLiteral("OfficeDesc"));
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
