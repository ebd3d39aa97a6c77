// The grid model over a recordset: checked by Qt's model tester, edited through
// setData and through a real table view, results checked with plain SQL.
#include "data/Currency.h"
#include "data/DataControl.h"
#include "data/DataError.h"
#include "data/Database.h"
#include "data/Recordset.h"
#include "data/RecordsetModel.h"

#include "TestEnvironment.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

namespace {

const QStringList DonationFields = {"AttendeeID", "Amount", "RegFee", "DonDate", "PaymentDate", "PaymentType"};
enum Column { AttendeeCol, AmountCol, RegFeeCol, DonDateCol, PaymentDateCol, PaymentTypeCol };

// Two donations of attendee 1 and one of attendee 2.
struct Donations
{
    TestEnvironment env;
    QString file;
    std::unique_ptr<Recordset> rs;

    Donations()
    {
        file = env.createDatabase(env.folder(QStringLiteral("db")));
        TestEnvironment::exec(file, QStringLiteral("INSERT INTO Donations (AttendeeID, Amount, RegFee, DonDate, "
                                                   "PaymentDate, PaymentType) VALUES "
                                                   "(1, 500000, 1, '2024-05-01', '2024-05-02', 'Check'), "
                                                   "(1, 123456, 0, '2024-06-01', NULL, 'Cash'), "
                                                   "(2, 10000, 0, '2024-06-03', NULL, 'Cash')"));
        rs = std::make_unique<Recordset>(Database::shared(file),
                                         QStringLiteral("SELECT * FROM qryDon_Fees WHERE AttendeeID =1"));
    }

    QVariant stored(const QString &field, qint64 key) const
    {
        return TestEnvironment::scalar(file, QStringLiteral("SELECT %1 FROM Donations WHERE DonationID = ?").arg(field),
                                       {key});
    }
};

// Counts what the recordset tells its listener.
struct CountingListener : RecordsetListener
{
    int before = 0;
    int changed = 0;
    bool recordsetBeforeAction(int) override
    {
        ++before;
        return true;
    }
    void recordsetCurrentChanged() override { ++changed; }
};

} // namespace

class TestRecordsetModel : public QObject
{
    Q_OBJECT
private slots:
    void showsRowsWithoutMovingTheRecordset();
    void editingACellWritesTheRowWithItsKey();
    void addRowStartsANewRecordWithItsKey();
    void badValuesAndConflictsAreReported();
    void tableViewEditsWriteTheRow();
    void followsTheDataControlsRefresh();
};

void TestRecordsetModel::showsRowsWithoutMovingTheRecordset()
{
    Donations d;
    d.rs->moveLast();
    CountingListener listener;
    d.rs->setListener(&listener);
    RecordsetModel model(d.rs.get(), DonationFields);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setHeaders({"AttendeeID", "Amount", "Reg Fee?", "Donation Date", "Payment Date", "Payment Type"});

    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.columnCount(), 6);
    QCOMPARE(model.headerData(RegFeeCol, Qt::Horizontal).toString(), QStringLiteral("Reg Fee?"));
    QCOMPARE(model.data(model.index(0, AmountCol)).toString(), QStringLiteral("50.00"));
    QCOMPARE(model.data(model.index(1, AmountCol)).toString(), QStringLiteral("12.35"));
    QCOMPARE(model.data(model.index(0, RegFeeCol), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QCOMPARE(model.data(model.index(1, RegFeeCol), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QCOMPARE(model.data(model.index(0, DonDateCol)).toDate(), QDate(2024, 5, 1));
    QVERIFY(!model.data(model.index(1, PaymentDateCol)).isValid());
    QCOMPARE(model.data(model.index(1, PaymentTypeCol)).toString(), QStringLiteral("Cash"));
    QCOMPARE(model.data(model.index(0, AttendeeCol)).toLongLong(), 1);
    QVERIFY(model.flags(model.index(0, RegFeeCol)) & Qt::ItemIsUserCheckable);
    QVERIFY(model.flags(model.index(0, AmountCol)) & Qt::ItemIsEditable);

    // Reading moved nothing and told the listener nothing.
    QCOMPARE(d.rs->absolutePosition(), 1);
    QCOMPARE(listener.before, 0);
    QCOMPARE(listener.changed, 0);

    model.setAllowAddRow(true);
    QCOMPARE(model.rowCount(), 3);
    QVERIFY(model.isAddRow(2));
    QCOMPARE(model.headerData(2, Qt::Vertical).toString(), QStringLiteral("*"));
    QVERIFY(!model.data(model.index(2, AmountCol)).isValid());

    // Another workstation adds a row of attendee 1: a reload after a requery shows it.
    TestEnvironment::exec(d.file, QStringLiteral("INSERT INTO Donations (AttendeeID, Amount) VALUES (1, 70000)"));
    d.rs->requery();
    model.reload();
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(model.data(model.index(2, AmountCol)).toString(), QStringLiteral("7.00"));
    d.rs->setListener(nullptr);
}

void TestRecordsetModel::editingACellWritesTheRowWithItsKey()
{
    Donations d;
    RecordsetModel model(d.rs.get(), DonationFields);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const qint64 first = model.rowKey(0);
    const qint64 second = model.rowKey(1);
    QVERIFY(first > 0 && second > first);

    QVERIFY(model.setData(model.index(1, AmountCol), QStringLiteral("12.5")));
    QVERIFY(model.setData(model.index(1, RegFeeCol), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(model.pendingRow(), 1);
    QCOMPARE(d.rs->editMode(), EditMode::Editing);
    QCOMPARE(d.rs->absolutePosition(), 1);
    QCOMPARE(d.stored("Amount", second).toLongLong(), 123456); // not yet written
    QCOMPARE(model.data(model.index(1, AmountCol)).toString(), QStringLiteral("12.50"));

    // Editing another row writes the pending one first.
    QVERIFY(model.setData(model.index(0, PaymentTypeCol), QStringLiteral("Cash")));
    QCOMPARE(d.stored("Amount", second).toLongLong(), 125000);
    QCOMPARE(d.stored("RegFee", second).toInt(), 1);
    QCOMPARE(d.stored("PaymentType", first).toString(), QStringLiteral("Check"));
    QCOMPARE(model.pendingRow(), 0);

    QVERIFY(model.submit());
    QCOMPARE(d.stored("PaymentType", first).toString(), QStringLiteral("Cash"));
    QCOMPARE(model.pendingRow(), -1);
    QCOMPARE(d.rs->editMode(), EditMode::None);

    // A date cell takes a date; revert drops the pending change.
    QVERIFY(model.setData(model.index(1, PaymentDateCol), QDate(2024, 7, 9)));
    QCOMPARE(model.data(model.index(1, PaymentDateCol)).toDate(), QDate(2024, 7, 9));
    model.revert();
    QVERIFY(!model.data(model.index(1, PaymentDateCol)).isValid());
    QVERIFY(d.stored("PaymentDate", second).isNull());
    QVERIFY(model.submit()); // nothing pending
}

void TestRecordsetModel::addRowStartsANewRecordWithItsKey()
{
    Donations d;
    RecordsetModel model(d.rs.get(), DonationFields);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setAllowAddRow(true);
    // The owner links the new row to the attendee and fills the defaults.
    connect(&model, &RecordsetModel::rowAdded, &model, [&model](int row) {
        model.setData(model.index(row, AttendeeCol), 1);
        model.setData(model.index(row, PaymentTypeCol), QStringLiteral("Check"));
    });
    QSignalSpy added(&model, &RecordsetModel::rowAdded);

    QVERIFY(model.setData(model.index(2, AmountCol), QStringLiteral("7")));
    QCOMPARE(added.count(), 1);
    QCOMPARE(model.rowCount(), 4); // two stored, the new one, the add row
    QVERIFY(model.isAddRow(3));
    const qint64 key = model.rowKey(2);
    QVERIFY(key > 3);
    QCOMPARE(d.rs->editMode(), EditMode::Adding);
    QCOMPARE(TestEnvironment::scalar(d.file, "SELECT count(*) FROM Donations WHERE DonationID = ?", {key}).toInt(), 0);

    QVERIFY(model.submit());
    QCOMPARE(d.stored("AttendeeID", key).toLongLong(), 1);
    QCOMPARE(d.stored("Amount", key).toLongLong(), 70000);
    QCOMPARE(d.stored("PaymentType", key).toString(), QStringLiteral("Check"));
    QCOMPARE(model.data(model.index(2, AmountCol)).toString(), QStringLiteral("7.00"));

    // The saved row is edited like any other.
    QVERIFY(model.setData(model.index(2, AmountCol), QStringLiteral("8")));
    QVERIFY(model.submit());
    QCOMPARE(d.stored("Amount", key).toLongLong(), 80000);

    // A new row dropped before it is written leaves nothing behind.
    QVERIFY(model.setData(model.index(3, AmountCol), QStringLiteral("9")));
    const qint64 dropped = model.rowKey(3);
    QCOMPARE(model.rowCount(), 5);
    model.revert();
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(TestEnvironment::scalar(d.file, "SELECT count(*) FROM Donations WHERE DonationID = ?", {dropped}).toInt(),
             0);
    QCOMPARE(TestEnvironment::scalar(d.file, "SELECT count(*) FROM Donations").toInt(), 4);
}

void TestRecordsetModel::badValuesAndConflictsAreReported()
{
    Donations d;
    RecordsetModel model(d.rs.get(), DonationFields);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy errors(&model, &RecordsetModel::dataError);
    const qint64 first = model.rowKey(0);

    QVERIFY(!model.setData(model.index(0, AmountCol), QStringLiteral("ten")));
    QCOMPARE(errors.count(), 1);
    QVERIFY(errors.at(0).at(0).toString().contains(QStringLiteral("ten")));
    QCOMPARE(model.data(model.index(0, AmountCol)).toString(), QStringLiteral("50.00"));

    // Another workstation changes the row being edited: the write fails, the
    // pending value stays, nothing is overwritten.
    QVERIFY(model.setData(model.index(0, AmountCol), QStringLiteral("60")));
    Database::openSeparate(d.file)->execute(QStringLiteral("UPDATE Donations SET Amount = 1 WHERE DonationID = ?"),
                                            {first});
    QVERIFY(!model.submit());
    QCOMPARE(errors.count(), 2);
    QCOMPARE(errors.at(1).at(0).toString(), DataError::make(DataError::WriteConflict).description());
    QCOMPARE(model.pendingRow(), 0);
    QCOMPARE(model.data(model.index(0, AmountCol)).toString(), QStringLiteral("60.00"));
    QCOMPARE(d.stored("Amount", first).toLongLong(), 1);
    // Leaving the row cannot write it either: the edit of another row is refused.
    QVERIFY(!model.setData(model.index(1, AmountCol), QStringLiteral("3")));
    model.revert();
    QCOMPARE(model.data(model.index(0, AmountCol)).toString(), QStringLiteral("0.00"));
    QCOMPARE(model.pendingRow(), -1);
}

void TestRecordsetModel::tableViewEditsWriteTheRow()
{
    Donations d;
    RecordsetModel model(d.rs.get(), DonationFields);
    model.setAllowAddRow(true);
    QTableView view;
    view.setModel(&model);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const qint64 second = model.rowKey(1);

    const QModelIndex cell = model.index(1, PaymentTypeCol);
    view.setCurrentIndex(cell);
    view.edit(cell);
    auto *editor = view.findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("Card"));
    QTest::keyClick(editor, Qt::Key_Return); // closes the editor and submits the row
    QTRY_COMPARE(d.stored("PaymentType", second).toString(), QStringLiteral("Card"));
    QCOMPARE(model.data(cell).toString(), QStringLiteral("Card"));
    QCOMPARE(model.pendingRow(), -1);
}

void TestRecordsetModel::followsTheDataControlsRefresh()
{
    Donations d;
    DataControl dc;
    dc.setDatabaseName(d.file);
    dc.setRecordSource(QStringLiteral("SELECT * FROM qryDon_Fees WHERE AttendeeID =1"));
    dc.refresh();
    RecordsetModel model(dc.recordset(), DonationFields);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    connect(&dc, &DataControl::recordsetOpened, &model, &RecordsetModel::setRecordset);
    QCOMPARE(model.rowCount(), 2);

    // The data control is told of the grid's edits as moves of its own.
    int validations = 0;
    connect(&dc, &DataControl::validate, &dc, [&validations](int &, bool &) { ++validations; });
    QVERIFY(model.setData(model.index(1, AmountCol), QStringLiteral("2")));
    QCOMPARE(validations, 1); // the move to row 1 (bookmark)
    QCOMPARE(dc.recordset()->absolutePosition(), 1);
    QVERIFY(model.submit());
    QCOMPARE(validations, 2); // the update

    dc.setRecordSource(QStringLiteral("SELECT * FROM qryDon_Fees WHERE AttendeeID =2"));
    dc.refresh();
    QCOMPARE(model.recordset(), dc.recordset());
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.data(model.index(0, AmountCol)).toString(), QStringLiteral("1.00"));
}

QTEST_MAIN(TestRecordsetModel)
#include "tst_recordsetmodel.moc"
