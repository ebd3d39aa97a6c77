// The desk's check-in through the real registration window: a hand scanner's
// keys (fast, with or without Enter) make the attendee current and check them in
// once; a person's slow typing is never taken for a scan; another event's card
// asks first; an unknown code changes nothing; names are listed as they are
// typed, letter case and accents aside; Check In and Undo Check-In.
#include "../register/RegisterFixture.h"

#include "checkin/CheckInDesk.h"
#include "checkin/CheckInPanel.h"
#include "checkin/ScanBox.h"
#include "core/ModGen.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLabel>

class TestCheckIn : public QObject
{
    Q_OBJECT

private slots:
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    void scannerChecksInOnceAndAsksAboutAnotherEvent();
    void namesAreListedAsTypedAndCheckInCanBeUndone();

private:
    ScanBox *box() const { return f.child<ScanBox>("txtScan"); }
    QString result() const { return f.child<QLabel>("lblScanResult")->text(); }
    QString checkedIn() const { return f.child<QLabel>("lblCheckedIn")->text(); }
    qint64 current() const { return f.window->datPrimaryRS()->recordset()->currentKey(); }
    int checkIns(qint64 id) const { return f.rows("CheckIns WHERE AttendeeID = ?", {id}); }
    static QString code(qint64 event, qint64 id) { return QStringLiteral("QVX:%1:%2").arg(event).arg(id); }
    // A scanner types the whole code within a few milliseconds.
    void scan(const QString &text, bool enter) const
    {
        QTest::keyClicks(box(), text);
        if (enter)
            QTest::keyClick(box(), Qt::Key_Return);
    }

    RegisterFixture f;
};

void TestCheckIn::scannerChecksInOnceAndAsksAboutAnotherEvent()
{
    f.addEvent(1, "Fair");
    f.addEvent(2, "Gala");
    const qint64 ann = f.addAttendee(1, "Ann", "Lee");
    const qint64 bo = f.addAttendee(1, "Bo", "Ng");
    const qint64 cy = f.addAttendee(1, "Cy", "Ray");
    const qint64 di = f.addAttendee(2, "Di", "Fox");
    f.open(1);
    QCOMPARE(current(), ann);

    // F3 reaches the box from anywhere in the window; its caption is its buddy.
    f.field(1)->setFocus();
    QTest::keyClick(f.window, Qt::Key_F3);
    QCOMPARE(QApplication::focusWidget(), box());
    QCOMPARE(f.child<QLabel>("lblScan")->buddy(), box());
    QCOMPARE(f.child<QLabel>("lblScan")->text(), "Scan or type a name:");

    // With Enter, and without (the pause after the last key ends it).
    scan(code(1, bo), true);
    QCOMPARE(current(), bo);
    QCOMPARE(f.field(1)->text(), "Bo");
    QCOMPARE(checkIns(bo), 1);
    QVERIFY(box()->text().isEmpty());
    QVERIFY2(checkedIn().startsWith("Checked in ") && checkedIn().contains(modGen::getMachineName()), qPrintable(checkedIn()));
    scan(code(1, cy), false);
    QTRY_COMPARE(current(), cy);
    QCOMPARE(checkIns(cy), 1);
    QVERIFY(box()->text().isEmpty());

    // A second scan is not counted again: when and where the first was.
    scan(code(1, bo), true);
    QCOMPARE(current(), bo);
    QCOMPARE(checkIns(bo), 1);
    QVERIFY2(result().contains("already checked in") && result().contains(modGen::getMachineName()), qPrintable(result()));

    // A person typing a code slowly is no scanner: only Enter makes it count.
    QTest::keyClicks(box(), code(1, ann), {}, ScanBox::FastKeyMs + 40);
    QTest::qWait(ScanBox::PauseMs * 3);
    QCOMPARE(current(), bo);
    QCOMPARE(box()->text(), code(1, ann));
    QTest::keyClick(box(), Qt::Key_Return);
    QCOMPARE(current(), ann);
    QCOMPARE(checkIns(ann), 1);

    // A code of no attendee: said, nothing changed.
    const int before = f.rows("CheckIns");
    scan(code(1, 9999), true);
    QVERIFY2(result().contains("No attendee has the code QVX:1:9999"), qPrintable(result()));
    QCOMPARE(current(), ann);
    QCOMPARE(f.rows("CheckIns"), before);

    // Another event's attendee: No changes nothing; Yes shows that event and checks in.
    f.dialogs->answer(MsgAnswer::No);
    scan(code(2, di), true);
    QCOMPARE(f.dialogs->lastBox().title, "Another Event");
    QVERIFY2(f.dialogs->lastBox().text.contains("\"Gala\""), qPrintable(f.dialogs->lastBox().text));
    QCOMPARE(current(), ann);
    QCOMPARE(checkIns(di), 0);
    f.dialogs->answer(MsgAnswer::Yes);
    scan(code(2, di), false);
    QTRY_COMPARE(current(), di);
    QCOMPARE(f.window->tag(), "2");
    QCOMPARE(f.window->windowTitle(), "Gala");
    QCOMPARE(checkIns(di), 1);

    // Registered after the event was opened (another desk): found all the same.
    const qint64 eve = f.addAttendee(2, "Eve", "Orr");
    scan(code(2, eve), true);
    QCOMPARE(current(), eve);
    QCOMPARE(checkIns(eve), 1);
}

void TestCheckIn::namesAreListedAsTypedAndCheckInCanBeUndone()
{
    f.addEvent(1);
    f.addEvent(2);
    const qint64 jose = f.addAttendee(1, "José", "Núñez");
    const qint64 nunes = f.addAttendee(1, "Ann", "NUNES");
    const qint64 zoe = f.addAttendee(1, "Zoë", "Jose");
    f.addAttendee(1, "Bob", "Smith");
    f.addAttendee(2, "Jose", "Nunez"); // another event's: never listed
    f.open(1);
    QCompleter *list = f.window->checkInDesk()->nameList();
    const auto listed = [&] {
        QStringList names;
        for (int row = 0; row < list->model()->rowCount(); ++row)
            names << list->model()->index(row, 0).data().toString();
        return names;
    };
    const QList<std::pair<QString, QStringList>> cases {
        {"nunez", {"Núñez, José"}},
        {"NU", {"NUNES, Ann", "Núñez, José"}},
        {"jose", {"Jose, Zoë", "Núñez, José"}},
        {"jose nu", {"Núñez, José"}},
        {"zoe", {"Jose, Zoë"}},
        {"x", {}},
    };
    for (const auto &[typed, expected] : cases) {
        box()->clear();
        QTest::keyClicks(box(), typed, {}, 20);
        QCOMPARE(listed(), expected);
        QCOMPARE(list->popup()->isVisible(), !expected.isEmpty());
    }

    // A click on a name makes that attendee current; nothing is checked in yet.
    box()->clear();
    QTest::keyClicks(box(), "nu");
    QAbstractItemView *popup = list->popup();
    QTRY_VERIFY(popup->isVisible());
    QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, popup->visualRect(popup->model()->index(1, 0)).center());
    QCOMPARE(current(), jose);
    QVERIFY(box()->text().isEmpty());
    QCOMPARE(f.rows("CheckIns"), 0);
    QCOMPARE(checkedIn(), "Not checked in");
    // Enter takes the first found; F8 checks in, the toolbar's Check In says when it was.
    QTest::keyClicks(box(), "nune");
    QTest::keyClick(box(), Qt::Key_Return);
    QCOMPARE(current(), nunes);
    QTest::keyClick(f.window, Qt::Key_F8);
    QCOMPARE(checkIns(nunes), 1);
    f.window->tbToolBar()->button("Check In")->trigger();
    QCOMPARE(checkIns(nunes), 1);
    QVERIFY2(result().contains("already checked in"), qPrintable(result()));

    // Undo asks first.
    f.dialogs->answer(MsgAnswer::No);
    f.action("mnuUndoCheckIn")->trigger();
    QCOMPARE(f.dialogs->lastBox().title, "Undo Check-In");
    QCOMPARE(checkIns(nunes), 1);
    f.dialogs->answer(MsgAnswer::Yes);
    f.action("mnuUndoCheckIn")->trigger();
    QCOMPARE(checkIns(nunes), 0);
    QCOMPARE(checkedIn(), "Not checked in");
    Q_UNUSED(zoe);
}

QTEST_MAIN(TestCheckIn)
#include "tst_checkin.moc"
