// The donations and fees grid: the attendee's rows in the user's formats, the cell
// editors, the keys, Save and Delete from the window, no rows (and no input) while
// no stored attendee is current, and a new row's defaults and link, typed while
// another workstation holds the lock.

#include "ListsFixture.h"

#include "data/Database.h"

#include <QAbstractItemModelTester>
#include <QCalendarWidget>
#include <QDateEdit>

class TestDonations : public QObject
{
    Q_OBJECT

private:
    using Col = DonationsPanel::Column;
    QModelIndex at(int row, int column) const { return f.model()->index(row, column); }
    // The cell becomes current in the focused grid.
    void go(int row, int column) const
    {
        f.grid()->setFocus();
        QTRY_VERIFY(f.grid()->hasFocus() || f.grid()->isAncestorOf(QApplication::focusWidget()));
        f.grid()->setCurrentIndex(at(row, column));
    }
    // Types into the current cell: the first key opens its editor, the rest go to the editor.
    static void typeIntoCell(DonationsGrid *grid, const QString &text)
    {
        QTest::keyClick(grid, text.at(0).toLatin1());
        QWidget *editor = grid->openEditor();
        QVERIFY(editor);
        QTest::keyClicks(editor, text.mid(1));
    }
    void addDonation(qint64 attendee, const char *values) const
    {
        TestEnvironment::exec(f.file, QStringLiteral("INSERT INTO Donations (AttendeeID, Amount, RegFee, DonDate, "
                                                     "PaymentDate, PaymentType) VALUES (?, %1)").arg(values),
                              {attendee});
    }
    QVariant donation(const char *column, const QString &where, const QVariantList &params = {}) const
    {
        return f.sql(QStringLiteral("SELECT %1 FROM Donations WHERE %2").arg(column, where), params);
    }
    ListsFixture f;

private slots:
    void init() { f.setUp(); }
    void cleanup()
    {
        f.tearDown();
        Database::setDefaultBusyTimeout(5000);
    }

    void rowsOfTheAttendeeShownInTheUsersFormats()
    {
        f.addEvent(1);
        const qint64 ann = f.addAttendee(1, "Ann", "Lee");
        const qint64 bob = f.addAttendee(1, "Bob", "Ray");
        addDonation(ann, "12345000, 1, '2026-01-02', NULL, 'Cash'");
        addDonation(bob, "500000, 0, '2025-12-24', '2025-12-31', 'Check'");
        f.open(1);

        QStringList captions;
        for (int c = 0; c < f.model()->columnCount(); ++c)
            captions << f.model()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(captions, QStringList({"AttendeeID", "Amount", "Reg Fee?", "Donation Date", "Payment Date",
                                        "Payment Type"}));
        const auto row = [this](int r) {
            QStringList cells;
            for (int c = 0; c < 6; ++c)
                cells << f.cell(r, c);
            return cells;
        };
        QCOMPARE(f.gridRows(), 1);
        QCOMPARE(row(0), QStringList({QString::number(ann), "$1,234.50", "Yes", "1/2/2026", "", "Cash"}));
        // The link is the program's to write.
        QVERIFY(!(f.model()->flags(at(0, Col::AttendeeCol)) & Qt::ItemIsEditable));
        QVERIFY(f.model()->flags(at(0, Col::AmountCol)) & Qt::ItemIsEditable);

        // The next attendee's rows only; another locale's formats.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        f.arrow(2);
        QCOMPARE(f.gridRows(), 1);
        QCOMPARE(row(0), QStringList({QString::number(bob), QStringLiteral("50,00\u00a0€"), "No", "24.12.2025",
                                      "31.12.2025", "Check"}));
    }

    void cellEditorsWriteIntoTheCell()
    {
        f.addEvent(1);
        const qint64 ann = f.addAttendee(1, "Ann", "Lee");
        addDonation(ann, "100000, 1, '2026-01-02', NULL, 'Cash'");
        addDonation(ann, "200000, 0, '2026-01-03', NULL, 'Check'");
        f.open(1);
        const qint64 first = f.model()->rowKey(0);
        const auto stored = [&](const char *column) { return donation(column, "DonationID = ?", {first}).toString(); };

        // Reg Fee?: the list over the cell with the cell's value chosen; a choice goes into the cell at once.
        go(0, Col::RegFeeCol);
        QTest::keyClick(f.grid(), Qt::Key_F2);
        auto *paid = f.grid()->findChild<QComboBox *>("cboPaid");
        QVERIFY(paid);
        QCOMPARE(paid->geometry(), f.grid()->visualRect(at(0, Col::RegFeeCol)));
        QCOMPARE(paid->currentText(), "Yes");
        QCOMPARE(paid->accessibleName(), "Reg Fee?");
        QTest::keyClick(paid, Qt::Key_Up);
        QCOMPARE(f.cell(0, Col::RegFeeCol), "No");
        QCOMPARE(stored("RegFee"), "1"); // written when the row is left

        // Payment Type: Tab from the list commits and moves on; the row is written on leaving it.
        go(0, Col::PaymentTypeCol);
        QTest::keyClick(f.grid(), Qt::Key_F2);
        auto *payType = f.grid()->findChild<QComboBox *>("cboPayType");
        QVERIFY(payType);
        QCOMPARE(payType->currentText(), "Cash");
        QTest::keyClick(payType, Qt::Key_Down);
        QCOMPARE(f.cell(0, Col::PaymentTypeCol), "Check");

        // A date from the calendar that the cell's button drops down.
        go(0, Col::PaymentDateCol);
        QTest::keyClick(f.grid(), Qt::Key_F2);
        auto *date = f.grid()->findChild<QDateEdit *>();
        QVERIFY(date);
        QCOMPARE(date->date(), QDate::currentDate()); // an empty cell starts at today
        date->setDate(QDate(2026, 2, 27));
        QTest::mouseClick(date, Qt::LeftButton, {}, QPoint(date->width() - 4, date->height() / 2));
        QCalendarWidget *cal = date->calendarWidget();
        QCOMPARE(cal->objectName(), "cal");
        QTRY_VERIFY(cal->isVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(!cal->isVisible());
        QCOMPARE(f.cell(0, Col::PaymentDateCol), "2/28/2026");

        // An amount in the user's locale (here German: the comma is the decimal point).
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        go(0, Col::AmountCol);
        typeIntoCell(f.grid(), "1.234,5");
        QTest::keyClick(f.grid()->openEditor(), Qt::Key_Tab);
        QCOMPARE(f.cell(0, Col::AmountCol), QStringLiteral("1.234,50\u00a0€"));
        QCOMPARE(stored("Amount"), "100000"); // not before the row is left

        go(1, Col::AmountCol); // leaving the row writes it
        QCOMPARE(stored("Amount||'/'||RegFee||'/'||PaymentDate||'/'||PaymentType"), "12345000/0/2026-02-28/Check");
        // Letters cannot be typed into an amount; the other row is untouched.
        typeIntoCell(f.grid(), "2x");
        QCOMPARE(qobject_cast<QLineEdit *>(f.grid()->openEditor())->text(), "2");
        QCOMPARE(donation("Amount", "DonationID = ?", {f.model()->rowKey(1)}).toLongLong(), 200000);
    }

    void keysMoveBetweenCellsAndTabLeavesAtTheEnd()
    {
        f.addEvent(1);
        const qint64 ann = f.addAttendee(1, "Ann", "Lee");
        f.addDonation(ann, 5);
        f.open(1);
        DonationsGrid *grid = f.grid();
        const auto current = [grid] { return std::pair(grid->currentIndex().row(), grid->currentIndex().column()); };

        // From a cell, a key, to a cell: Down reaches the new-row line, Tab and Backtab wrap across rows.
        const struct { int row, column, key, toRow, toColumn; } moves[] = {
            {0, 0, Qt::Key_Right, 0, 1}, {0, 1, Qt::Key_Down, 1, 1}, {0, 5, Qt::Key_Tab, 1, 0}, {1, 0, Qt::Key_Backtab, 0, 5}};
        for (const auto &m : moves) {
            go(m.row, m.column);
            QTest::keyClick(grid, Qt::Key(m.key));
            QCOMPARE(current(), std::pair(m.toRow, m.toColumn));
        }
        // Past the last cell the focus goes on to the next control, before the first cell back.
        go(1, 5);
        QTest::keyClick(grid, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.window->datPrimaryRS()->button(0));
        go(0, 0);
        QTest::keyClick(grid, Qt::Key_Backtab);
        QVERIFY(f.window->attendeePanel()->isAncestorOf(QApplication::focusWidget()));
        QCOMPARE(f.rows("Donations"), 1); // moving wrote nothing
    }

    void noStoredAttendeeMeansNoRowsAndNoInput()
    {
        f.addEvent(1);
        f.addEvent(2);
        const qint64 ann = f.addAttendee(2, "Ann", "Lee");
        f.addDonation(ann, 5);
        TestEnvironment::exec(f.file, "INSERT INTO Donations (AttendeeID, Amount) VALUES (NULL, 10000)");
        // An event without attendees: nothing shown, not even the rows of no attendee.
        f.open(1);
        QCOMPARE(f.model()->rowCount(), 0);
        QVERIFY(!f.grid()->isEnabled());
        delete f.window.data();

        f.open(2);
        QAbstractItemModelTester tester(f.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(f.grid()->isEnabled());
        QCOMPARE(f.gridRows(), 1);
        // A new row still being typed when New is given belongs to the attendee it was typed for.
        go(1, Col::AmountCol);
        typeIntoCell(f.grid(), "7");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(f.counter().left(5), "0 of ");
        QCOMPARE(f.rows("Donations WHERE AttendeeID = ? AND Amount = 70000", {ann}), 1);
        QCOMPARE(f.model()->rowCount(), 0);
        QVERIFY(!f.grid()->isEnabled());

        // Saved, the new attendee is current with an empty grid of its own.
        QTest::keyClicks(f.field(1), "Cy");
        f.action("mnuFileSave")->trigger();
        const qint64 cy = f.sql("SELECT AttendeeID FROM Attendees WHERE FirstName = 'Cy'").toLongLong();
        QCOMPARE(f.field(1)->text(), "Cy");
        QCOMPARE(f.window->donationsPanel()->attendeeId(), QString::number(cy));
        QVERIFY(f.grid()->isEnabled());
        QCOMPARE(f.gridRows(), 0);
        go(0, Col::AmountCol);
        typeIntoCell(f.grid(), "9");
        // Deleting the attendee drops the row being typed: no donation of nobody is left behind.
        f.field(1)->setFocus();
        f.dialogs->answer(MsgAnswer::Yes);
        f.action("mnuFileDel")->trigger();
        QCOMPARE(f.rows("Attendees WHERE AttendeeID = ?", {cy}), 0);
        QCOMPARE(f.rows("Donations WHERE AttendeeID = ? OR Amount = 90000", {cy}), 0);
        QCOMPARE(f.rows("Donations"), 3);
    }

    void saveAndDeleteFromTheWindow()
    {
        f.addEvent(1);
        const qint64 ann = f.addAttendee(1, "Ann", "Lee");
        for (int amount : {10, 20, 30})
            f.addDonation(ann, amount);
        RegisterWindow *w = f.open(1);
        QAbstractItemModelTester tester(f.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);

        // Delete with the grid active: the grid's current row goes, the next one is current.
        go(1, Col::RegFeeCol);
        f.dialogs->answer(MsgAnswer::Yes);
        QTest::keyClick(f.grid(), Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(f.dialogs->lastBox(), ListsFixture::box("Are you sure you want to DELETE the Current Record from "
                                                         "Donations? ", "DELETE Record", MsgButtons::YesNo,
                                                         MsgIcon::Question, MsgAnswer::Yes));
        QCOMPARE(f.sql("SELECT group_concat(Amount / 10000, ',') FROM Donations"), "10,30");
        QCOMPARE(f.cell(0, Col::AmountCol) + ' ' + f.cell(1, Col::AmountCol), "$10.00 $30.00");
        QCOMPARE(f.grid()->currentIndex().row(), 1);
        // A new row not yet written is simply dropped.
        go(2, Col::AmountCol);
        typeIntoCell(f.grid(), "4");
        f.dialogs->answer(MsgAnswer::Yes);
        w->tbToolBar()->button("Delete")->trigger();
        QCOMPARE(f.rows("Donations"), 2);
        QCOMPARE(f.gridRows(), 2);

        // Save writes the attendee first, then the donation row; a refused attendee keeps the row back.
        RegisterFixture::retype(f.field(5), "1 Elm St");
        go(0, Col::AmountCol);
        typeIntoCell(f.grid(), "11");
        TestEnvironment::exec(f.file, "UPDATE Attendees SET Address = 'theirs' WHERE AttendeeID = ?", {ann});
        f.dialogs->answer(MsgAnswer::Ok);
        QTest::keyClick(f.grid()->openEditor(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(f.dialogs->lastBox().text.contains("Another workstation"));
        QCOMPARE(f.stored("Address", ann), "theirs");
        QCOMPARE(f.sql("SELECT group_concat(Amount / 10000, ',') FROM Donations"), "10,30");
        // Leaving the grid for another box writes its row, for the attendee on screen.
        f.field(5)->setFocus();
        QTRY_COMPARE(f.sql("SELECT group_concat(Amount / 10000, ',') FROM Donations"), "11,30");
        QCOMPARE(f.sql("SELECT AttendeeID FROM Donations WHERE Amount = 110000"), ann);
        QTest::keyClick(f.field(5), Qt::Key_Escape);
        QCOMPARE(f.field(5)->text(), "theirs");

        // Closing the window writes the cell still being typed.
        go(1, Col::PaymentTypeCol);
        QTest::keyClick(f.grid(), Qt::Key_F2);
        QTest::keyClick(f.grid()->openEditor(), Qt::Key_Down); // "Cash" to "Check"
        QVERIFY(w->close());
        QCOMPARE(f.sql("SELECT PaymentType FROM Donations WHERE Amount = 300000"), "Check");
    }

    // A new row typed on the new-row line belongs to the attendee shown and gets the
    // defaults. Typed while another workstation holds the lock, Enter cannot write it:
    // the row stays in the grid with what was typed and is written whole by Save.
    void aNewRowGetsItsDefaultsAndOutlastsALock()
    {
        Database::setDefaultBusyTimeout(150);
        f.addEvent(1);
        f.addAttendee(1, "Ann", "Lee");
        const qint64 bob = f.addAttendee(1, "Bob", "Ray");
        f.open(1);
        QAbstractItemModelTester tester(f.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        f.arrow(2);
        QCOMPARE(f.gridRows(), 0);
        go(0, Col::PaymentTypeCol);
        QVERIFY(f.model()->isAddRow(0));
        auto other = Database::openSeparate(f.file); // another workstation in the middle of a write
        other->beginWrite();

        go(0, Col::AmountCol);
        typeIntoCell(f.grid(), "75");
        f.dialogs->answer(MsgAnswer::Ok);
        QTest::keyClick(f.grid()->openEditor(), Qt::Key_Return);
        QTRY_COMPARE(f.dialogs->boxes().size(), 1);
        QCOMPARE(f.dialogs->lastBox(), ListsFixture::box("The database is busy: another workstation is writing to it. What "
                                                         "you typed stays in the grid; it is saved when you leave the row "
                                                         "or save again, once the other workstation has finished.",
                                                         "Quorvex", MsgButtons::Ok, MsgIcon::Exclamation));
        QCOMPARE(f.cell(0, Col::AmountCol), "$75.00");
        QCOMPARE(f.rows("Donations"), 0);

        other->rollback();
        f.action("mnuFileSave")->trigger();
        QCOMPARE(donation("AttendeeID||'/'||Amount||'/'||RegFee||'/'||DonDate||'/'||PaymentDate||'/'||PaymentType", "1"),
                 QStringLiteral("%1/750000/0/%2/%2/Check").arg(bob).arg(QDate::currentDate().toString(Qt::ISODate)));
        QCOMPARE(f.gridRows(), 1);
    }
};

QTEST_MAIN(TestDonations)
#include "tst_donations.moc"
