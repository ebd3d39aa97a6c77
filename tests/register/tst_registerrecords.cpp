// The registration window's records: the event's attendees, the display on every
// move (counter, photo, card lines, donations), typing, New/Save/Delete, closing
// with a pending change, and two workstations writing the same attendee.

#include "RegisterFixture.h"

#include "app/AppError.h"
#include "data/Database.h"
#include "events/EventWindow.h"
#include "lists/DatasheetList.h"
#include "lists/DonationsPanel.h"
#include "register/RecordDisplay.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

class TestRegisterRecords : public QObject
{
    Q_OBJECT

private slots:
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    void eventKeysOfAnySizeAndBadKeys();
    void navigationShowsCounterPhotoAndDonations();
    void typingFollowsOnTheCard();
    void newAndSaveStoreTheAttendeeOfTheEvent();
    void movingOffAChangedRecordSavesItAndEscReloads();
    void deleteAsksAndTakesTheDonations();
    void eventFormCancelRereadsTheEvent();
    void closingWritesThePendingChange();
    void writeConflictKeepsTheTypingAndOverwritesNothing();
    void navigatorIsLockedWhileTheDatasheetCoversTheForm();

private:
    int gridRows() const
    {
        auto *grid = f.child<QTableView>(QStringLiteral("grdDonors"));
        return grid && grid->model() ? grid->model()->rowCount() : -1;
    }
    RegisterFixture f;
};

void TestRegisterRecords::eventKeysOfAnySizeAndBadKeys()
{
    // A key beyond 16 bits opens like any other; a new attendee takes it whole.
    f.addEvent(40000, QStringLiteral("Big"));
    f.addAttendee(40000, QStringLiteral("Ann"), QStringLiteral("Lee"));
    f.addAttendee(40000, QStringLiteral("Bob"), QStringLiteral("Ray"));
    f.addAttendee(7, QStringLiteral("Other"), QStringLiteral("Event"));
    RegisterWindow *w = f.open(40000);
    QCOMPARE(w->datPrimaryRS()->recordSource(), QStringLiteral("Select * from Attendees where ProgramID =40000"));
    QCOMPARE(f.counter(), QStringLiteral("1 of 2"));
    QCOMPARE(f.field(1)->text(), QStringLiteral("Ann"));
    f.action("mnuFileNew")->trigger();
    QCOMPARE(f.child<QLabel>(QStringLiteral("lblProgramID"))->text(), QStringLiteral("40000"));
    QTest::keyClicks(f.field(1), QStringLiteral("Cy"));
    f.action("mnuFileSave")->trigger();
    QCOMPARE(f.sql(QStringLiteral("SELECT ProgramID FROM Attendees WHERE FirstName = 'Cy'")).toLongLong(), 40000);

    // Leading blanks and zeros go; text that is no number fails clearly.
    QCOMPARE(RegisterWindow::attendeeSource(QStringLiteral(" 012")),
             QStringLiteral("Select * from Attendees where ProgramID =12"));
    w->setTag(QStringLiteral("abc"));
    try {
        w->setEvent();
        QFAIL("a key that is no number was accepted");
    } catch (const AppError &error) {
        QCOMPARE(error.number(), 13);
        QCOMPARE(error.source(), QStringLiteral("SetEvent"));
        QVERIFY(error.description().contains(QStringLiteral("\"abc\"")));
        QVERIFY(error.description().contains(QStringLiteral("not a number")));
    }
    // The window still shows the event it had.
    QCOMPARE(f.counter().right(4), QStringLiteral("of 3"));
}

void TestRegisterRecords::navigationShowsCounterPhotoAndDonations()
{
    f.addEvent(2, QStringLiteral("Fair"));
    const qint64 a = f.addAttendee(2, QStringLiteral("Ann"), QStringLiteral("Lee"), QStringLiteral("Oslo"),
                                   QString(), QStringLiteral("Pic\\1.jpg"));
    const qint64 b = f.addAttendee(2, QStringLiteral("Bob"), QStringLiteral("Ray"), QStringLiteral("Rome"),
                                   QStringLiteral(" North "), QStringLiteral("Pic\\missing.jpg"));
    const qint64 c = f.addAttendee(2, QStringLiteral("Cy"), QStringLiteral("Fox"), QString(), QString(),
                                   QStringLiteral("Pic\\broken.jpg"));
    f.addDonation(a, 50);
    f.addDonation(a, 20);
    f.addDonation(b, 10);
    QDir().mkpath(f.folder + QStringLiteral("Pic"));
    QImage photo(640, 480, QImage::Format_RGB32);
    photo.fill(Qt::green);
    QVERIFY(photo.save(f.folder + QStringLiteral("Pic/1.jpg"), "JPG"));
    QFile broken(f.folder + QStringLiteral("Pic/broken.jpg"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("not a jpeg at all");
    broken.close();

    RegisterWindow *w = f.open(2);
    QCOMPARE(f.counter(), QStringLiteral("1 of 3"));
    QCOMPARE(f.card()->name(0), QStringLiteral("Ann"));
    QCOMPARE(f.card()->name(1), QStringLiteral("LEE"));
    QCOMPARE(f.card()->chapter(), QStringLiteral("Oslo"));
    QVERIFY(!f.card()->photo().isNull());
    QCOMPARE(w->recordDisplay()->photoTag(), QStringLiteral("Pic\\1.jpg"));
    QCOMPARE(f.card()->findChild<QObject *>(QStringLiteral("imgPic"))->property("Tag").toString(),
             QStringLiteral("Pic\\1.jpg"));
    // Decoded at the size of the photo box, not at 640 x 480.
    QVERIFY(f.card()->photo().width() < 200);
    QCOMPARE(w->datDonors()->recordSource(),
             QStringLiteral("SELECT * FROM qryDon_Fees WHERE AttendeeID =") + QString::number(a));
    QCOMPARE(gridRows(), 2);

    f.arrow(2); // next: a photo whose file is missing, a chapter with blanks around it
    QCOMPARE(f.counter(), QStringLiteral("2 of 3"));
    QVERIFY(f.card()->photo().isNull());
    QCOMPARE(w->recordDisplay()->photoTag(), QString());
    QCOMPARE(f.card()->chapter(), QStringLiteral(" North  Chapter"));
    QCOMPARE(gridRows(), 1);

    f.arrow(3); // last: a photo file that cannot be read shows no photo (not the one before)
    QCOMPARE(f.counter(), QStringLiteral("3 of 3"));
    QVERIFY(f.card()->photo().isNull());
    QCOMPARE(w->recordDisplay()->photoTag(), QString());
    QCOMPARE(f.card()->chapter(), QString()); // no chapter, no city
    QCOMPARE(gridRows(), 0);
    QCOMPARE(w->datDonors()->recordSource(),
             QStringLiteral("SELECT * FROM qryDon_Fees WHERE AttendeeID =") + QString::number(c));

    // A new record: position 0, empty card, the donations of the attendee shown before stay.
    f.arrow(0);
    QCOMPARE(f.counter(), QStringLiteral("1 of 3"));
    f.action("mnuFileNew")->trigger();
    QCOMPARE(f.counter().left(5), QStringLiteral("0 of "));
    QVERIFY(f.card()->photo().isNull());
    QCOMPARE(f.card()->name(0), QString());
    QCOMPARE(gridRows(), 2);

    // The data control's own error box.
    int response = 1;
    f.dialogs->answer(MsgAnswer::Ok);
    emit w->datPrimaryRS()->error(3021, response);
    QCOMPARE(response, 0);
    QCOMPARE(f.dialogs->boxes().size(), 1);
    QVERIFY(f.dialogs->lastBox().text.startsWith(QStringLiteral("Data error: ")));
    QCOMPARE(f.dialogs->lastBox().title, QStringLiteral("Quorvex"));
    QCOMPARE(f.dialogs->lastBox().icon, MsgIcon::None);
}

void TestRegisterRecords::typingFollowsOnTheCard()
{
    f.addEvent(2, QStringLiteral("Fair"));
    f.addAttendee(2, QStringLiteral("Ann"), QStringLiteral("Lee"), QStringLiteral("Oslo"), QStringLiteral("West"));
    f.open(2);
    QCOMPARE(f.card()->chapter(), QStringLiteral("West Chapter"));

    RegisterFixture::retype(f.field(3), QStringLiteral("mc donald"));
    QCOMPARE(f.card()->name(1), QStringLiteral("MC DONALD"));
    QCOMPARE(f.field(3)->text(), QStringLiteral("mc donald"));
    RegisterFixture::retype(f.field(1), QStringLiteral("joe"));
    QCOMPARE(f.card()->name(0), QStringLiteral("joe"));
    // The city changes nothing while a chapter is there.
    RegisterFixture::retype(f.field(6), QStringLiteral("Bergen"));
    QCOMPARE(f.card()->chapter(), QStringLiteral("West Chapter"));
    // Blanks only count as no chapter: the city shows; the first real letter brings the chapter back.
    RegisterFixture::retype(f.field(10), QStringLiteral("   "));
    QCOMPARE(f.card()->chapter(), QStringLiteral("Bergen"));
    QTest::keyClicks(f.field(10), QStringLiteral("E"));
    QCOMPARE(f.card()->chapter(), QStringLiteral("   E Chapter"));
    // Other boxes leave the card alone.
    const CardContent before = f.card()->content();
    RegisterFixture::retype(f.field(5), QStringLiteral("1 Main St"));
    RegisterFixture::retype(f.field(16), QStringLiteral("note"));
    QCOMPARE(f.card()->content().name[0], before.name[0]);
    QCOMPARE(f.card()->content().name[1], before.name[1]);
    QCOMPARE(f.card()->content().chapter, before.chapter);

    // Saved as typed: small letters, no suffix.
    QTest::keyClick(f.window, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(f.sql(QStringLiteral("SELECT LastName FROM Attendees")).toString(), QStringLiteral("mc donald"));
    QCOMPARE(f.sql(QStringLiteral("SELECT Chapter FROM Attendees")).toString(), QStringLiteral("   E"));
    QCOMPARE(f.sql(QStringLiteral("SELECT Note FROM Attendees")).toString(), QStringLiteral("note"));
}

void TestRegisterRecords::newAndSaveStoreTheAttendeeOfTheEvent()
{
    f.addEvent(9, QStringLiteral("Gala"));
    RegisterWindow *w = f.open(9);
    QCOMPARE(f.counter(), QStringLiteral("0 of 0"));

    // Save with nothing pending: nothing shown, nothing written.
    f.action("mnuFileSave")->trigger();
    QCOMPARE(f.sql(QStringLiteral("SELECT count(*) FROM Attendees")).toInt(), 0);

    // New from the keyboard; type names, city and chapter; the card follows.
    f.field(1)->setFocus();
    QTest::keyClick(w, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(f.attendees()->editMode(), EditMode::Adding);
    QCOMPARE(f.child<QLabel>(QStringLiteral("lblProgramID"))->text(), QStringLiteral("9"));
    QTest::keyClicks(f.field(1), QStringLiteral("Mary"));
    QTest::keyClicks(f.field(3), QStringLiteral("o'brien"));
    QTest::keyClicks(f.field(6), QStringLiteral("Cork"));
    QCOMPARE(f.card()->name(1), QStringLiteral("O'BRIEN"));
    QCOMPARE(f.card()->chapter(), QStringLiteral("Cork"));
    QTest::keyClicks(f.field(10), QStringLiteral("South"));
    QCOMPARE(f.card()->chapter(), QStringLiteral("South Chapter"));
    w->tbToolBar()->button(QStringLiteral("Save"))->trigger();
    QVERIFY(f.dialogs->boxes().isEmpty());
    QCOMPARE(f.sql(QStringLiteral("SELECT count(*) FROM Attendees")).toInt(), 1);
    QCOMPARE(f.sql(QStringLiteral("SELECT ProgramID FROM Attendees WHERE LastName = ?"), {QStringLiteral("o'brien")})
                 .toLongLong(),
             9);
    QCOMPARE(f.sql(QStringLiteral("SELECT FirstName || '/' || City || '/' || Chapter FROM Attendees")).toString(),
             QStringLiteral("Mary/Cork/South"));

    // Save right after New stores an attendee of the event with nothing else typed.
    w->tbToolBar()->button(QStringLiteral("New"))->trigger();
    f.action("mnuFileSave")->trigger();
    QCOMPARE(f.sql(QStringLiteral("SELECT count(*) FROM Attendees WHERE ProgramID = 9")).toInt(), 2);
}

void TestRegisterRecords::movingOffAChangedRecordSavesItAndEscReloads()
{
    f.addEvent(2, QStringLiteral("Fair"));
    const qint64 a = f.addAttendee(2, QStringLiteral("Ann"), QStringLiteral("Lee"));
    f.addAttendee(2, QStringLiteral("Bob"), QStringLiteral("Ray"));
    f.open(2);

    // Typed, then the next arrow: written without a question.
    RegisterFixture::retype(f.field(5), QStringLiteral("2 Elm Road"));
    f.arrow(2);
    QVERIFY(f.dialogs->boxes().isEmpty());
    QCOMPARE(f.counter(), QStringLiteral("2 of 2"));
    QCOMPARE(f.sql(QStringLiteral("SELECT Address FROM Attendees WHERE AttendeeID = ?"), {a}).toString(),
             QStringLiteral("2 Elm Road"));

    // Esc drops the typing and shows the stored record again.
    RegisterFixture::retype(f.field(1), QStringLiteral("Robert"));
    QCOMPARE(f.card()->name(0), QStringLiteral("Robert"));
    QTest::keyClick(f.field(1), Qt::Key_Escape);
    QCOMPARE(f.field(1)->text(), QStringLiteral("Bob"));
    QCOMPARE(f.card()->name(0), QStringLiteral("Bob"));
    f.arrow(1);
    QCOMPARE(f.counter(), QStringLiteral("1 of 2"));
    QCOMPARE(f.sql(QStringLiteral("SELECT count(*) FROM Attendees WHERE FirstName = 'Robert'")).toInt(), 0);
}

void TestRegisterRecords::deleteAsksAndTakesTheDonations()
{
    f.addEvent(4, QStringLiteral("Fair"));
    const qint64 a = f.addAttendee(4, QStringLiteral("Ann"), QStringLiteral("Lee"));
    const qint64 b = f.addAttendee(4, QStringLiteral("Bob"), QStringLiteral("Ray"));
    const qint64 c = f.addAttendee(4, QStringLiteral("Cy"), QStringLiteral("Fox"));
    f.addDonation(a, 5);
    f.addDonation(c, 7);
    f.addDonation(c, 8);
    RegisterWindow *w = f.open(4);

    // No changes nothing.
    f.field(1)->setFocus();
    f.dialogs->answer(MsgAnswer::No);
    QTest::keyClick(w, Qt::Key_D, Qt::ControlModifier);
    const ScriptedDialogs::Box question = f.dialogs->lastBox();
    QCOMPARE(question.text, QStringLiteral("Are you sure you want to DELETE the Entire Attendee Record? "));
    QCOMPARE(question.title, QStringLiteral("DELETE Record"));
    QCOMPARE(question.buttons, MsgButtons::YesNo);
    QCOMPARE(question.icon, MsgIcon::Question);
    QCOMPARE(question.defaultAnswer, MsgAnswer::Yes);
    QCOMPARE(f.sql(QStringLiteral("SELECT count(*) FROM Attendees")).toInt(), 3);
    QCOMPARE(f.counter(), QStringLiteral("1 of 3"));

    // The first attendee: the next one is shown.
    f.dialogs->answer(MsgAnswer::Yes);
    w->tbToolBar()->button(QStringLiteral("Delete"))->trigger();
    QCOMPARE(f.sql(QStringLiteral("SELECT count(*) FROM Attendees WHERE AttendeeID = ?"), {a}).toInt(), 0);
    QCOMPARE(f.field(1)->text(), QStringLiteral("Bob"));

    // The last attendee: the set stands after its end; its donations went with it, in the database.
    f.arrow(3);
    QCOMPARE(f.field(1)->text(), QStringLiteral("Cy"));
    f.dialogs->answer(MsgAnswer::Yes);
    f.action("mnuFileDel")->trigger();
    QCOMPARE(f.sql(QStringLiteral("SELECT count(*) FROM Attendees WHERE AttendeeID = ?"), {c}).toInt(), 0);
    QCOMPARE(f.sql(QStringLiteral("SELECT count(*) FROM qryDon_Fees WHERE AttendeeID IN (?, ?)"), {a, c}).toInt(), 0);
    QCOMPARE(f.counter(), QStringLiteral("0 of 1"));
    QVERIFY(f.attendees()->eof());
    QCOMPARE(f.attendees()->absolutePosition(), -1);
    // The arrows lead back to the remaining attendee.
    f.arrow(0);
    QCOMPARE(f.counter(), QStringLiteral("1 of 1"));
    QCOMPARE(f.field(1)->text(), QStringLiteral("Bob"));
    QCOMPARE(f.sql(QStringLiteral("SELECT count(*) FROM Attendees WHERE AttendeeID = ?"), {b}).toInt(), 1);

    // With the focus in the donations grid, the donations question (an empty grid deletes nothing).
    auto *grid = f.child<QTableView>(QStringLiteral("grdDonors"));
    grid->setFocus();
    QTRY_VERIFY(grid->hasFocus());
    f.dialogs->answer(MsgAnswer::Yes);
    f.action("mnuFileDel")->trigger();
    QCOMPARE(f.dialogs->lastBox().text,
             QStringLiteral("Are you sure you want to DELETE the Current Record from Donations? "));
    QCOMPARE(f.sql(QStringLiteral("SELECT count(*) FROM Attendees WHERE AttendeeID = ?"), {b}).toInt(), 1);
    QCOMPARE(f.dialogs->boxes().size(), 4); // no error box

    // A donation row: only that row goes, the attendee stays.
    f.addDonation(b, 11);
    f.addDonation(b, 12);
    f.arrow(0); // shows the attendee again, with the donations re-queried
    QCOMPARE(gridRows(), 2);
    grid->setFocus();
    QTRY_VERIFY(grid->hasFocus());
    f.dialogs->answer(MsgAnswer::Yes);
    f.action("mnuFileDel")->trigger();
    QCOMPARE(f.sql(QStringLiteral("SELECT count(*) FROM qryDon_Fees WHERE AttendeeID = ?"), {b}).toInt(), 1);
    QCOMPARE(f.sql(QStringLiteral("SELECT count(*) FROM Attendees WHERE AttendeeID = ?"), {b}).toInt(), 1);
    QCOMPARE(gridRows(), 1);
    QCOMPARE(f.dialogs->boxes().size(), 5);

    // Deleting an event keeps its attendees.
    TestEnvironment::exec(f.file, QStringLiteral("DELETE FROM Program WHERE ProgramID = 4"));
    QCOMPARE(f.sql(QStringLiteral("SELECT count(*) FROM Attendees WHERE ProgramID = 4")).toInt(), 1);
}

void TestRegisterRecords::eventFormCancelRereadsTheEvent()
{
    f.addEvent(2, QStringLiteral("Fair"));
    f.addEvent(3, QStringLiteral("Expo"));
    f.addAttendee(2, QStringLiteral("Ann"), QStringLiteral("Lee"));
    f.addAttendee(2, QStringLiteral("Bob"), QStringLiteral("Ray"));
    f.addAttendee(3, QStringLiteral("Zed"), QStringLiteral("Ox"));
    RegisterWindow *w = f.open(2);
    f.arrow(3);
    QCOMPARE(f.field(1)->text(), QStringLiteral("Bob"));

    // Cancel: the same event, read again, the first attendee current.
    f.dialogs->onModal([](QDialog *dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("frmEvent"));
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdCancel")), Qt::LeftButton);
    });
    TestEnvironment::exec(f.file, QStringLiteral("INSERT INTO Attendees (ProgramID, FirstName) VALUES (2, 'Cat')"));
    RegisterFixture::retype(f.field(7), QStringLiteral("Kent")); // pending typing is written first
    f.action("mnuEvent")->trigger();
    QCOMPARE(f.sql(QStringLiteral("SELECT StateOrProvince FROM Attendees WHERE FirstName = 'Bob'")).toString(),
             QStringLiteral("Kent"));
    QCOMPARE(w->tag(), QStringLiteral("2"));
    QCOMPARE(f.counter(), QStringLiteral("1 of 3"));
    QCOMPARE(f.field(1)->text(), QStringLiteral("Ann"));

    // OK on another event: its attendees, its name as the caption.
    f.dialogs->onModal([](QDialog *dialog) {
        auto *events = qobject_cast<EventWindow *>(dialog);
        QVERIFY(events);
        events->datPrimaryRS()->recordset()->moveLast();
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
    f.action("mnuEvent")->trigger();
    QCOMPARE(w->tag(), QStringLiteral("3"));
    QCOMPARE(w->windowTitle(), QStringLiteral("Expo"));
    QCOMPARE(f.counter(), QStringLiteral("1 of 1"));
    QCOMPARE(f.field(1)->text(), QStringLiteral("Zed"));
}

void TestRegisterRecords::closingWritesThePendingChange()
{
    f.addEvent(2, QStringLiteral("Fair"));
    const qint64 a = f.addAttendee(2, QStringLiteral("Ann"), QStringLiteral("Lee"));
    RegisterWindow *w = f.open(2);
    RegisterFixture::retype(f.field(11), QStringLiteral("ann@example.org"));
    QVERIFY(w->close());
    QVERIFY(!w->isVisible());
    QCOMPARE(f.sql(QStringLiteral("SELECT EmailName FROM Attendees WHERE AttendeeID = ?"), {a}).toString(),
             QStringLiteral("ann@example.org"));
}

void TestRegisterRecords::writeConflictKeepsTheTypingAndOverwritesNothing()
{
    f.addEvent(2, QStringLiteral("Fair"));
    const qint64 a = f.addAttendee(2, QStringLiteral("Ann"), QStringLiteral("Lee"));
    f.addAttendee(2, QStringLiteral("Bob"), QStringLiteral("Ray"));
    RegisterWindow *w = f.open(2);

    RegisterFixture::retype(f.field(3), QStringLiteral("Mine"));
    // Another workstation saves the same attendee meanwhile.
    {
        std::shared_ptr<Database> other = Database::openSeparate(f.file);
        other->execute(QStringLiteral("UPDATE Attendees SET LastName = 'Theirs' WHERE AttendeeID = ?"), {a});
    }

    // Save: a clear message, the typing stays, the other value is intact.
    f.dialogs->answer(MsgAnswer::Ok);
    f.action("mnuFileSave")->trigger();
    QCOMPARE(f.dialogs->boxes().size(), 1);
    QVERIFY2(f.dialogs->lastBox().text.contains(QStringLiteral("Another workstation")),
             qPrintable(f.dialogs->lastBox().text));
    QCOMPARE(f.dialogs->lastBox().title, QStringLiteral("Quorvex"));
    QCOMPARE(f.field(3)->text(), QStringLiteral("Mine"));
    QCOMPARE(f.sql(QStringLiteral("SELECT LastName FROM Attendees WHERE AttendeeID = ?"), {a}).toString(),
             QStringLiteral("Theirs"));

    // The move off the record: the same, and the record stays current.
    f.dialogs->answer(MsgAnswer::Ok);
    f.arrow(2);
    QCOMPARE(f.dialogs->boxes().size(), 2);
    QVERIFY(f.dialogs->lastBox().text.startsWith(QStringLiteral("Data error: ")));
    QVERIFY(f.dialogs->lastBox().text.contains(QStringLiteral("Another workstation")));
    QCOMPARE(f.counter(), QStringLiteral("1 of 2"));
    QCOMPARE(f.field(3)->text(), QStringLiteral("Mine"));

    // Closing: the window stays open with the typing.
    f.dialogs->answer(MsgAnswer::Ok);
    QVERIFY(!w->close());
    QVERIFY(w->isVisible());
    QCOMPARE(f.dialogs->boxes().size(), 3);
    QCOMPARE(f.field(3)->text(), QStringLiteral("Mine"));
    QCOMPARE(f.sql(QStringLiteral("SELECT LastName FROM Attendees WHERE AttendeeID = ?"), {a}).toString(),
             QStringLiteral("Theirs"));

    // Choosing another event: the write fails the same way, the event window does not
    // open and the typing stays.
    f.dialogs->answer(MsgAnswer::Ok);
    f.action("mnuEvent")->trigger();
    QCOMPARE(f.dialogs->boxes().size(), 4);
    QCOMPARE(f.field(3)->text(), QStringLiteral("Mine"));
    QCOMPARE(f.counter(), QStringLiteral("1 of 2"));

    // Esc reloads what the other workstation saved; typing again is saved.
    QTest::keyClick(f.field(3), Qt::Key_Escape);
    QCOMPARE(f.field(3)->text(), QStringLiteral("Theirs"));
    QCOMPARE(f.card()->name(1), QStringLiteral("THEIRS"));
    RegisterFixture::retype(f.field(3), QStringLiteral("Mine again"));
    f.action("mnuFileSave")->trigger();
    QCOMPARE(f.dialogs->boxes().size(), 4);
    QCOMPARE(f.sql(QStringLiteral("SELECT LastName FROM Attendees WHERE AttendeeID = ?"), {a}).toString(),
             QStringLiteral("Mine again"));
}

void TestRegisterRecords::navigatorIsLockedWhileTheDatasheetCoversTheForm()
{
    f.addEvent(2, QStringLiteral("Fair"));
    RegisterWindow *w = f.open(2);
    DataControl *navigator = w->datPrimaryRS();
    const auto pass = [navigator](int x) { QTest::mouseMove(navigator, QPoint(x, navigator->height() / 2)); };
    // Showing the list does not lock the navigator by itself: the first pass of the mouse does.
    w->lstEveryone()->show();
    QVERIFY(navigator->isEnabled());
    pass(5);
    pass(15);
    QTRY_VERIFY(!navigator->isEnabled());
    w->lstEveryone()->hide();
    pass(25);
    pass(35);
    QTRY_VERIFY(navigator->isEnabled());
    pass(45);
    QVERIFY(navigator->isEnabled());
}

QTEST_MAIN(TestRegisterRecords)
#include "tst_registerrecords.moc"
