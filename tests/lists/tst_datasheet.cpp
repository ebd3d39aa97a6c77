// The datasheet view: every attendee of the event on a line, switched by the File
// menu item and the second toolbar button, a click makes an attendee current, a
// double click goes back to the form, a header click sorts through the database;
// the lines read as shown, without moving the window's record through them;
// check-in and card columns; several lines selected.

#include "ListsFixture.h"

#include "checkin/CheckInDesk.h"
#include "data/CardPrintLog.h"
#include "data/CheckInLog.h"
#include "data/DataError.h"
#include "data/Database.h"
#include "lists/DatasheetList.h"
#include "lists/DatasheetView.h"

#include <QHeaderView>

class TestDatasheet : public QObject
{
    Q_OBJECT

private:
    DatasheetList *list() const { return f.window->lstEveryone(); }
    int lines() const { return list()->model() ? list()->model()->rowCount() : 0; }
    QString cell(int row, int c) const { return list()->model()->index(row, c).data().toString(); }
    QStringList line(int row) const
    {
        QStringList texts;
        for (int c = 0; c < 4; ++c)
            texts << cell(row, c);
        return texts;
    }
    QStringList column(int c) const
    {
        QStringList texts;
        for (int row = 0; row < lines(); ++row)
            texts << cell(row, c);
        return texts;
    }
    QPoint centreOf(int row) const { return list()->visualRect(list()->model()->index(row, 0)).center(); }
    void clickHeader(int section) const
    {
        QHeaderView *header = list()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
    }
    // An attendee of event 1 with an address of empty texts (a null first name stays null).
    qint64 add(const QString &last, const QVariant &first, const QString &city = "") const
    {
        TestEnvironment::exec(f.file, "INSERT INTO Attendees (ProgramID, LastName, FirstName, Address, City, "
                                      "StateOrProvince, PostalCode, Country, Chapter) VALUES (1, ?, ?, '', ?, '', '', '', '')",
                              {last, first, city});
        return f.sql("SELECT max(AttendeeID) FROM Attendees").toLongLong();
    }
    // The indicators that name the view the next click brings: menu caption, button key and tooltip.
    QStringList indicators() const
    {
        QAction *button = f.action("tbViewAll");
        return {f.action("mnuViewAll")->text(), button->property("key").toString(), button->toolTip()};
    }
    bool buttonShows(const QString &key) const
    {
        const QSize size(16, 16);
        return f.action("tbViewAll")->icon().pixmap(size).toImage()
            == f.window->tbToolBar()->image(key).pixmap(size).toImage();
    }
    ListsFixture f;

private slots:
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    void switchListsEveryAttendeeAndShowsTheFirst()
    {
        f.addEvent(1);
        f.addEvent(2);
        TestEnvironment::exec(f.file, "UPDATE Attendees SET Address = '1 Elm', PostalCode = '0150', Country = 'Norway', "
                                      "Chapter = 'North' WHERE AttendeeID = ?", {add("Lee", "Ann", "Oslo")});
        add("Fox", QVariant());
        add("Ray", "Bob", "Rome");
        f.addAttendee(2, "Other", "Event");
        RegisterWindow *w = f.open(1);
        f.arrow(3);
        QCOMPARE(indicators(), QStringList({"Datasheet View", "View All", "View All"}));
        QVERIFY(buttonShows("View All"));
        QVERIFY(list()->isHidden());
        int repositions = 0;
        connect(w->datPrimaryRS(), &DataControl::reposition, w, [&repositions] { ++repositions; });

        f.action("mnuViewAll")->trigger();
        QVERIFY(list()->isVisible());
        QStringList headers;
        for (int c = 0; c < list()->model()->columnCount(); ++c)
            headers << list()->model()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headers, QStringList({"Name", "Address", "City/State/Zip/County", "Chapter", "Checked In", "Card Printed"}));
        QCOMPARE(lines(), 3);
        QCOMPARE(line(0), QStringList({"Lee, Ann", "1 Elm", "Oslo, , 0150, Norway", "North"}));
        QCOMPARE(line(1), QStringList({"Fox, ", "", ", , , ", ""}));
        QCOMPARE(line(2), QStringList({"Ray, Bob", "", "Rome, , , ", ""}));
        // The first line is picked and its attendee current, with one move of the record.
        QCOMPARE(list()->currentIndex().row(), 0);
        QVERIFY(list()->selectionModel()->isRowSelected(0, {}));
        QCOMPARE(f.field(1)->text(), "Ann");
        QCOMPARE(repositions, 1);
        QCOMPARE(indicators(), QStringList({"Form View", "View Rec", "Form View"}));
        QVERIFY(buttonShows("View Rec"));
        // No line can be edited.
        QTest::keyClick(list(), Qt::Key_F2);
        QVERIFY(!list()->findChild<QLineEdit *>());

        // The toolbar button (its key now "View Rec") brings the form back, the list emptied.
        w->tbToolBar()->button("View Rec")->trigger();
        QVERIFY(list()->isHidden());
        QCOMPARE(lines(), 0);
        QCOMPARE(indicators(), QStringList({"Datasheet View", "View All", "View All"}));
        QVERIFY(w->datPrimaryRS()->isEnabled());
        w->tbToolBar()->button("View All")->trigger();
        QVERIFY(list()->isVisible());
    }

    void clickSortAndDoubleClick()
    {
        f.addEvent(1);
        add("Lee", "Ann", "oslo");
        add("Fox", "Cy", "Bergen");
        add("Ray", "Bob", "Rome");
        f.open(1);
        f.action("mnuViewAll")->trigger();

        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, centreOf(2));
        QCOMPARE(f.field(1)->text(), "Bob");
        QCOMPARE(f.counter(), "3 of 3");
        // The keys pick a line too.
        QTest::keyClick(list(), Qt::Key_Up);
        QCOMPARE(f.field(1)->text(), "Cy");

        // Every click of a header sorts ascending by its texts, letter case aside.
        for (int clicks = 0; clicks < 2; ++clicks) {
            clickHeader(2);
            QCOMPARE(column(2), QStringList({"Bergen, , , ", "oslo, , , ", "Rome, , , "}));
        }
        clickHeader(0);
        QCOMPARE(column(0), QStringList({"Fox, Cy", "Lee, Ann", "Ray, Bob"}));

        // A double click goes back to the form on that attendee.
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, centreOf(1));
        QVERIFY(list()->isHidden());
        QCOMPARE(f.field(1)->text(), "Ann");
        QCOMPARE(f.action("mnuViewAll")->text(), "Datasheet View");
        // Back in the datasheet: the recordset's order again; Enter returns to the form too.
        f.action("mnuViewAll")->trigger();
        QCOMPARE(column(0), QStringList({"Lee, Ann", "Fox, Cy", "Ray, Bob"}));
        QTest::keyClick(list(), Qt::Key_Down);
        QTest::keyClick(list(), Qt::Key_Return);
        QVERIFY(list()->isHidden());
        QCOMPARE(f.field(1)->text(), "Cy");
    }

    void emptyEventAndTypingBeforeTheSwitch()
    {
        f.addEvent(1);
        f.addEvent(2);
        f.open(1);
        // No attendees: the list shows empty, the box says why, the indicators still offer the datasheet.
        f.dialogs->answer(MsgAnswer::Ok);
        f.action("mnuViewAll")->trigger();
        QCOMPARE(f.dialogs->boxes(), QList<ScriptedDialogs::Box>({ListsFixture::box(
                                         DataError::make(DataError::NoCurrentRecord).description(), "Quorvex", MsgButtons::Ok, MsgIcon::Exclamation)}));
        QVERIFY(list()->isVisible());
        QCOMPARE(lines(), 0);
        QCOMPARE(indicators(), QStringList({"Datasheet View", "View All", "View All"}));
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
        QVERIFY(list()->isHidden());
        delete f.window.data();

        // What was typed into the record shown is written first and listed.
        const qint64 ann = add("Lee", "Ann");
        add("Fox", "Cy");
        f.open(1);
        RegisterFixture::retype(f.field(3), "Leigh");
        f.action("mnuViewAll")->trigger();
        QCOMPARE(f.stored("LastName", ann), "Leigh");
        QCOMPARE(line(0).first(), "Leigh, Ann");
        // When that write is refused the form stays, with the typing.
        f.action("mnuViewAll")->trigger();
        RegisterFixture::retype(f.field(3), "Mine");
        TestEnvironment::exec(f.file, "UPDATE Attendees SET LastName = 'Theirs' WHERE AttendeeID = ?", {ann});
        f.dialogs->answer(MsgAnswer::Ok);
        f.action("mnuViewAll")->trigger();
        QVERIFY(f.dialogs->lastBox().text.contains("Another workstation"));
        QVERIFY(list()->isHidden());
        QCOMPARE(f.field(3)->text(), "Mine");
        QCOMPARE(f.action("mnuViewAll")->text(), "Datasheet View");
    }

    void tenThousandAttendees()
    {
        f.addEvent(1);
        {
            std::shared_ptr<Database> db = Database::openSeparate(f.file);
            db->beginWrite();
            for (int i = 0; i < 10000; ++i)
                db->execute("INSERT INTO Attendees (ProgramID, LastName, FirstName, Address, City, StateOrProvince, "
                            "PostalCode, Country, Chapter) VALUES (1, ?, ?, ?, 'Springfield', 'IL', '62701', 'USA', ?)",
                            {QStringLiteral("Name%1").arg(i, 5, 10, QLatin1Char('0')), "First", "1 Main St", "North"});
            db->commit();
        }
        f.open(1);
        f.arrow(3);
        f.action("mnuViewAll")->trigger();
        QCOMPARE(lines(), 10000);
        QCOMPARE(line(9999), QStringList({"Name09999, First", "1 Main St", "Springfield, IL, 62701, USA", "North"}));
        QCOMPARE(f.counter(), "1 of 10000");
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, centreOf(5));
        QCOMPARE(f.field(3)->text(), "Name00005");
    }

    void statusColumnsSortingAndSeveralLines()
    {
        f.addEvent(1);
        const QList<qint64> keys {add("lee", "Ann"), add("Fox", "Bo"), add("ray", "Cy"), add("Ng", "Di")};
        {
            auto db = Database::openSeparate(f.file);
            CheckInLog::checkIn(*db, keys[2], "DESK-9");
            CardPrintLog::record(*db, keys[1], "3 X 4", "Front", "DESK-9");
        }
        RegisterWindow *w = f.open(1);
        f.action("mnuViewAll")->trigger();
        QCOMPARE(column(4).count(QString()), 3);
        QVERIFY(!cell(2, 4).isEmpty());
        QVERIFY(!cell(1, 5).isEmpty() && cell(0, 5).isEmpty());

        // Sorted by the engine, letter case aside; the checked-in first, then by key.
        clickHeader(0);
        QCOMPARE(column(0), QStringList({"Fox, Bo", "lee, Ann", "Ng, Di", "ray, Cy"}));
        QCOMPARE(list()->header()->sortIndicatorSection(), 0);
        clickHeader(4);
        QCOMPARE(column(0), QStringList({"ray, Cy", "lee, Ann", "Fox, Bo", "Ng, Di"}));
        clickHeader(5);
        QCOMPARE(column(0).first(), "Fox, Bo");

        // Several lines: a click, Shift+click, Ctrl+click; the keys in key order.
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, centreOf(1));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::ShiftModifier, centreOf(2));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::ControlModifier, centreOf(3));
        const QList<qint64> chosen {keys[0], keys[2], keys[3]};
        QCOMPARE(list()->selectedKeys(), chosen);
        QCOMPARE(w->selectedAttendeesSource()(), chosen);
        // Check In on the current line shows in its column at once.
        QCOMPARE(f.field(1)->text(), "Di");
        QTest::keyClick(w, Qt::Key_F8);
        QVERIFY(!cell(3, 4).isEmpty());
        // A scan while the datasheet is shown makes its attendee's line current.
        QTest::keyClicks(f.child<QLineEdit>("txtScan"), QStringLiteral("QVX:1:%1").arg(keys[2]));
        QTest::keyClick(f.child<QLineEdit>("txtScan"), Qt::Key_Return);
        QCOMPARE(list()->currentIndex().row(), 2);
        QCOMPARE(list()->selectedKeys(), QList<qint64>({keys[2]}));
        w->tbToolBar()->button("View Rec")->trigger();
        QCOMPARE(w->selectedAttendees(), QList<qint64>({keys[2]}));
    }
};

QTEST_MAIN(TestDatasheet)
#include "tst_datasheet.moc"
