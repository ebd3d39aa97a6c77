// The grid model over a recordset, on a database file and on the test server:
// checked by Qt's model tester, edited through setData and through a real table
// view, results checked with plain SQL.
#include "data/DataError.h"
#include "data/Database.h"
#include "data/Recordset.h"
#include "data/RecordsetModel.h"

#include "DataTestEnvironment.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

namespace {

const QStringList DonationFields = {"AttendeeID", "Amount", "RegFee", "DonDate", "PaymentDate", "PaymentType"};
enum Column { AttendeeCol, AmountCol, RegFeeCol, DonDateCol, PaymentDateCol, PaymentTypeCol };
const QString DonationsOf1 = QStringLiteral("SELECT * FROM qryDon_Fees WHERE AttendeeID =1");

// Two donations of attendee 1 and one of attendee 2, and a model (under the tester) over attendee 1's.
struct Donations
{
    DataTestEnvironment env;
    QString file; // the database's location
    std::unique_ptr<Recordset> rs;
    std::unique_ptr<RecordsetModel> model;
    std::unique_ptr<QAbstractItemModelTester> tester;

    explicit Donations(TestEngine engine)
        : file(env.createDatabase(engine))
    {
        DataTestEnvironment::exec(file, QStringLiteral("INSERT INTO Donations (AttendeeID, Amount, RegFee, DonDate, "
                                                   "PaymentDate, PaymentType) VALUES "
                                                   "(1, 500000, 1, '2024-05-01', '2024-05-02', 'Check'), "
                                                   "(1, 123456, 0, '2024-06-01', NULL, 'Cash'), "
                                                   "(2, 10000, 0, '2024-06-03', NULL, 'Cash')"));
        rs = std::make_unique<Recordset>(Database::shared(file), DonationsOf1);
        watch(new RecordsetModel(rs.get(), DonationFields));
    }
    ~Donations()
    {
        // The model and the recordset go before the database they read.
        tester.reset();
        model.reset();
        rs.reset();
    }
    void watch(RecordsetModel *m)
    {
        model.reset(m);
        tester = std::make_unique<QAbstractItemModelTester>(m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    }
    QString text(int row, int column) const { return model->data(model->index(row, column)).toString(); }
    bool set(int row, int column, const QVariant &value, int role = Qt::EditRole)
    {
        return model->setData(model->index(row, column), value, role);
    }
    QVariant stored(const QString &field, qint64 key) const
    {
        return DataTestEnvironment::scalar(file, QStringLiteral("SELECT %1 FROM Donations WHERE DonationID = ?").arg(field),
                                       {key});
    }
};

// Counts what the recordset tells its listener.
struct CountingListener : RecordsetListener
{
    int calls = 0;
    bool recordsetBeforeAction(DataAction) override { return ++calls; }
    void recordsetCurrentChanged() override { ++calls; }
};

} // namespace

class TestRecordsetModel : public QObject
{
    Q_OBJECT
    TestEngine m_engine = TestEngine::File;

private slots:
    void initTestCase_data() { DataTestEnvironment::addEngineRows(); }
    void init()
    {
        QFETCH_GLOBAL(TestEngine, engine);
        if (!DataTestEnvironment::engineAvailable(engine))
            QSKIP("no test server: run the data tests through ctest");
        m_engine = engine;
    }

    void showsRowsWithoutMovingTheRecordset()
    {
        Donations d(m_engine);
        d.rs->moveLast();
        CountingListener listener;
        d.rs->setListener(&listener);
        d.model->reload();
        QCOMPARE(d.model->rowCount(), 2);
        QCOMPARE(d.text(0, AmountCol), QStringLiteral("50.00"));
        QCOMPARE(d.text(1, AmountCol), QStringLiteral("12.35"));
        QCOMPARE(d.model->data(d.model->index(0, RegFeeCol), Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(d.model->data(d.model->index(0, DonDateCol)).toDate(), QDate(2024, 5, 1));
        QVERIFY(!d.model->data(d.model->index(1, PaymentDateCol)).isValid());
        // Reading moved nothing and told the listener (the data control) nothing.
        QCOMPARE(d.rs->absolutePosition(), 1);
        QCOMPARE(listener.calls, 0);
        d.rs->setListener(nullptr);

        // Another workstation adds a row of attendee 1: a reload after a requery shows it.
        DataTestEnvironment::exec(d.file, QStringLiteral("INSERT INTO Donations (AttendeeID, Amount) VALUES (1, 70000)"));
        d.rs->requery();
        d.model->reload();
        QCOMPARE(d.model->rowCount(), 3);
        QCOMPARE(d.text(2, AmountCol), QStringLiteral("7.00"));
    }

    void editingACellWritesTheRowWithItsKey()
    {
        Donations d(m_engine);
        const qint64 first = d.model->rowKey(0), second = d.model->rowKey(1);
        QVERIFY(d.set(1, AmountCol, QStringLiteral("12.5")));
        QVERIFY(d.set(1, RegFeeCol, Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(d.rs->absolutePosition(), 1);
        QCOMPARE(d.stored("Amount", second).toLongLong(), 123456); // not yet written
        QCOMPARE(d.text(1, AmountCol), QStringLiteral("12.50"));

        // Editing another row writes the pending one first.
        QVERIFY(d.set(0, PaymentTypeCol, QStringLiteral("Cash")));
        QCOMPARE(d.stored("Amount", second).toLongLong(), 125000);
        QCOMPARE(d.stored("RegFee", second).toInt(), 1);
        QCOMPARE(d.stored("PaymentType", first).toString(), QStringLiteral("Check"));
        QVERIFY(d.model->submit());
        QCOMPARE(d.stored("PaymentType", first).toString(), QStringLiteral("Cash"));
        QCOMPARE(d.model->pendingRow(), -1);

        // A date cell takes a date; revert drops the pending change.
        QVERIFY(d.set(1, PaymentDateCol, QDate(2024, 7, 9)));
        QCOMPARE(d.model->data(d.model->index(1, PaymentDateCol)).toDate(), QDate(2024, 7, 9));
        d.model->revert();
        QVERIFY(!d.model->data(d.model->index(1, PaymentDateCol)).isValid());
        QVERIFY(d.stored("PaymentDate", second).isNull());
    }

    void addRowStartsANewRecordWithItsKey()
    {
        Donations d(m_engine);
        d.model->setAllowAddRow(true);
        // The owner links the new row to the attendee and fills the defaults.
        connect(d.model.get(), &RecordsetModel::rowAdded, d.model.get(), [&d](int row) {
            d.set(row, AttendeeCol, 1);
            d.set(row, PaymentTypeCol, QStringLiteral("Check"));
        });
        QVERIFY(d.set(2, AmountCol, QStringLiteral("7")));
        QCOMPARE(d.model->rowCount(), 4); // two stored, the new one, the add row
        const qint64 key = d.model->rowKey(2);
        QVERIFY(d.stored("Amount", key).isNull()); // not yet written

        QVERIFY(d.model->submit());
        QCOMPARE(d.stored("AttendeeID", key).toLongLong(), 1);
        QCOMPARE(d.stored("Amount", key).toLongLong(), 70000);
        QCOMPARE(d.stored("PaymentType", key).toString(), QStringLiteral("Check"));
        // The saved row is edited like any other.
        QVERIFY(d.set(2, AmountCol, QStringLiteral("8")));
        QVERIFY(d.model->submit());
        QCOMPARE(d.stored("Amount", key).toLongLong(), 80000);

        // A new row dropped before it is written leaves nothing behind.
        QVERIFY(d.set(3, AmountCol, QStringLiteral("9")));
        QCOMPARE(d.model->rowCount(), 5);
        d.model->revert();
        QCOMPARE(d.model->rowCount(), 4);
        QCOMPARE(DataTestEnvironment::scalar(d.file, "SELECT count(*) FROM Donations").toInt(), 4);
    }

    void badValuesAndConflictsAreReported()
    {
        Donations d(m_engine);
        QSignalSpy errors(d.model.get(), &RecordsetModel::dataError);
        const qint64 first = d.model->rowKey(0);
        QVERIFY(!d.set(0, AmountCol, QStringLiteral("ten")));
        QCOMPARE(errors.count(), 1);
        QVERIFY(errors.at(0).at(0).toString().contains(QStringLiteral("ten")));
        QCOMPARE(d.text(0, AmountCol), QStringLiteral("50.00"));

        // Another workstation changes the row being edited: the write fails, the
        // pending value stays, nothing is overwritten.
        QVERIFY(d.set(0, AmountCol, QStringLiteral("60")));
        Database::openSeparate(d.file)->execute(QStringLiteral("UPDATE Donations SET Amount = 1 WHERE DonationID = ?"),
                                                {first});
        QVERIFY(!d.model->submit());
        QCOMPARE(errors.count(), 2);
        QCOMPARE(errors.at(1).at(0).toString(), DataError::make(DataError::WriteConflict).description());
        QCOMPARE(d.model->pendingRow(), 0);
        QCOMPARE(d.text(0, AmountCol), QStringLiteral("60.00"));
        QCOMPARE(d.stored("Amount", first).toLongLong(), 1);
        // Leaving the row cannot write it either: the edit of another row is refused.
        QVERIFY(!d.set(1, AmountCol, QStringLiteral("3")));
        d.model->revert();
        QCOMPARE(d.text(0, AmountCol), QStringLiteral("0.00"));
        QCOMPARE(d.model->pendingRow(), -1);
    }

    void tableViewEditsWriteTheRow()
    {
        Donations d(m_engine);
        QTableView view;
        view.setModel(d.model.get());
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QModelIndex cell = d.model->index(1, PaymentTypeCol);
        view.setCurrentIndex(cell);
        view.edit(cell);
        auto *editor = view.findChild<QLineEdit *>();
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("Card"));
        QTest::keyClick(editor, Qt::Key_Return); // closes the editor and submits the row
        QTRY_COMPARE(d.stored("PaymentType", d.model->rowKey(1)).toString(), QStringLiteral("Card"));
        QCOMPARE(d.model->pendingRow(), -1);
    }

};

QTEST_MAIN(TestRecordsetModel)
#include "tst_recordsetmodel.moc"
