// The registration window's records: the event's attendees, the display on every
// move (counter, photo, card lines, donations), typing, New/Save/Delete, leaving
// a changed record, two workstations writing the same attendee, and the window
// on a database server.

#include "RegisterFixture.h"

#include "core/AppError.h"
#include "data/RecordsetModel.h"
#include "data/Database.h"
#include "events/EventWindow.h"
#include "lists/DatasheetList.h"
#include "lists/DonationsGrid.h"
#include "lists/LookupCombo.h"
#include "register/RecordDisplay.h"
#include "TestServer.h"

#include <QClipboard>
#include <QComboBox>
#include <QBuffer>
#include <QFile>
#include <QLabel>
#include <QTableView>

#include <functional>

class TestRegisterRecords : public QObject
{
    Q_OBJECT

private slots:
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    void navigationShowsCounterPhotoAndDonations();
    void newTypingAndSaveStoreTheAttendeeOfTheEvent();
    void leavingAChangedRecordSavesIt();
    void deleteAsksAndTakesTheDonations();
    void eventFormCancelRereadsTheEventAndBadKeysFail();
    void writeConflictKeepsTheTypingAndOverwritesNothing();
    void navigatorIsLockedWhileTheDatasheetCoversTheForm();
    void noAttendeeIsSavedForADeletedEvent();
    void readOnlyDatabaseSaysSoWhenTried();
    void escOnATypedNewAttendeeAsksFirst();
    void lockedDatabaseSaysWhatDidNotHappen();
    void pastedTextLosesHiddenCharacters();
    void theWindowWorksOnAServer();

private:
    // The stored donation rows the grid shows (not its new-row line).
    int gridRows() const
    {
        auto *grid = f.child<QTableView>("grdDonors");
        auto *model = grid ? qobject_cast<RecordsetModel *>(grid->model()) : nullptr;
        if (!model)
            return -1;
        const int rows = model->rowCount();
        return rows > 0 && model->isAddRow(rows - 1) ? rows - 1 : rows;
    }
    QString programLabel() const { return f.child<QLabel>("lblProgramID")->text(); }
    RegisterFixture f;
};

void TestRegisterRecords::navigationShowsCounterPhotoAndDonations()
{
    f.addEvent(2);
    const qint64 a = f.addAttendee(2, "Ann", "Lee", "Oslo", QString(), "Pic\\1.jpg");
    const qint64 b = f.addAttendee(2, "Bob", "Ray", "Rome", " North ", "Pic\\missing.jpg");
    f.addAttendee(2, "Cy", "Fox", QString(), QString(), "Pic\\broken.jpg");
    f.addDonation(a, 50);
    f.addDonation(a, 20);
    f.addDonation(b, 10);
    QDir().mkpath(f.folder + "Pic");
    QImage photo(640, 480, QImage::Format_RGB32);
    photo.fill(Qt::green);
    QVERIFY(photo.save(f.folder + "Pic/1.jpg", "JPG"));
    QFile broken(f.folder + "Pic/broken.jpg");
    QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("not a jpeg at all") > 0);
    broken.close();

    f.open(2);
    // Decoded at the size of the largest photo box (the "3 X 4" card's 1575 twips,
    // 105 pixels at 96 dpi), not at 640 x 480 and not at the miniature's size.
    QVERIFY(!f.card()->photo().isNull());
    QCOMPARE(f.card()->photo().width() / f.card()->devicePixelRatioF(), 105.0);
    QCOMPARE(f.content().photoPath, "Pic\\1.jpg");
    // An unreadable photo right after a good one shows none (not the one before); a missing one
    // none; blanks around a chapter stay; no chapter and no city leave the line empty.
    const struct Move { int arrow; const char *counter; QStringList lines; bool photo; int donations; }
    moves[] = {{0, "1 of 3", {"Ann", "LEE", "Oslo"}, true, 2},
               {3, "3 of 3", {"Cy", "FOX", ""}, false, 0},
               {1, "2 of 3", {"Bob", "RAY", " North  Chapter"}, false, 1}};
    for (const Move &move : moves) {
        f.arrow(move.arrow);
        QCOMPARE(f.counter(), move.counter);
        QCOMPARE(f.lines(), move.lines);
        QCOMPARE(!f.card()->photo().isNull(), move.photo);
        QCOMPARE(!f.content().photoPath.isEmpty(), move.photo);
        QCOMPARE(gridRows(), move.donations); // the donations of that attendee
    }

    // A new record: position 0, empty card, and no one's donations (never those of the
    // attendee shown before, which a new row would otherwise join).
    f.action("mnuFileNew")->trigger();
    QCOMPARE(f.counter().left(5), "0 of ");
    QCOMPARE(f.lines(), QStringList({"", "", ""}));
    QVERIFY(f.card()->photo().isNull());
    QCOMPARE(gridRows(), 0);
    QVERIFY(!f.child<QTableView>("grdDonors")->isEnabled());
}

void TestRegisterRecords::newTypingAndSaveStoreTheAttendeeOfTheEvent()
{
    // A key beyond 16 bits opens like any other (only its own attendees); a new attendee takes it whole.
    f.addEvent(40000);
    f.addAttendee(7, "Other", "Event");
    RegisterWindow *w = f.open(40000);
    QCOMPARE(f.counter(), "0 of 0");
    // Save with nothing pending writes nothing.
    f.action("mnuFileSave")->trigger();
    QCOMPARE(f.rows("Attendees"), 1);

    // New from the keyboard; the card follows the names (the last in capitals) and the city.
    f.field(1)->setFocus();
    QTest::keyClick(w, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(programLabel(), "40000");
    QTest::keyClicks(f.field(1), "Mary");
    QTest::keyClicks(f.field(3), "o'brien");
    QTest::keyClicks(f.field(6), "Cork");
    QCOMPARE(f.lines(), QStringList({"Mary", "O'BRIEN", "Cork"}));
    // Blanks only count as no chapter; a letter brings the chapter, and then the city changes nothing.
    QTest::keyClicks(f.field(10), "  ");
    QCOMPARE(f.card()->chapter(), "Cork");
    QTest::keyClicks(f.field(10), "South");
    RegisterFixture::retype(f.field(6), "Bergen");
    QTest::keyClicks(f.field(16), "note"); // other boxes leave the card alone
    QCOMPARE(f.lines(), QStringList({"Mary", "O'BRIEN", "  South Chapter"}));

    // Saved as typed (small letters, blanks, no suffix) in the event.
    w->tbToolBar()->button("Save")->trigger();
    QVERIFY(f.dialogs->boxes().isEmpty());
    QCOMPARE(f.rows("Attendees"), 2);
    QCOMPARE(f.sql("SELECT ProgramID||'/'||FirstName||'/'||LastName||'/'||City||'/'||Chapter||'/'||Note "
                   "FROM Attendees WHERE FirstName = 'Mary'"),
             "40000/Mary/o'brien/Bergen/  South/note");

    // Save right after New stores an attendee of the event with nothing else typed.
    w->tbToolBar()->button("New")->trigger();
    f.action("mnuFileSave")->trigger();
    QCOMPARE(f.rows("Attendees WHERE ProgramID = 40000"), 2);
}

void TestRegisterRecords::leavingAChangedRecordSavesIt()
{
    f.addEvent(2);
    const qint64 a = f.addAttendee(2, "Ann", "Lee");
    const qint64 b = f.addAttendee(2, "Bob", "Ray");
    RegisterWindow *w = f.open(2);

    // Typed, then the next arrow: written without a question.
    RegisterFixture::retype(f.field(5), "2 Elm Road");
    f.arrow(2);
    QCOMPARE(f.counter(), "2 of 2");
    QCOMPARE(f.stored("Address", a), "2 Elm Road");

    // Esc drops the typing and shows the stored record again; the move then writes nothing.
    RegisterFixture::retype(f.field(1), "Robert");
    QTest::keyClick(f.field(1), Qt::Key_Escape);
    QCOMPARE(f.field(1)->text(), "Bob");
    QCOMPARE(f.card()->name(0), "Bob");
    f.arrow(1);
    QCOMPARE(f.stored("FirstName", b), "Bob");

    // Closing with a change pending writes it.
    RegisterFixture::retype(f.field(11), "ann@example.org");
    QVERIFY(w->close());
    QVERIFY(!w->isVisible());
    QCOMPARE(f.stored("EmailName", a), "ann@example.org");
    QVERIFY(f.dialogs->boxes().isEmpty());
}

void TestRegisterRecords::deleteAsksAndTakesTheDonations()
{
    f.addEvent(4);
    const qint64 a = f.addAttendee(4, "Ann", "Lee");
    const qint64 b = f.addAttendee(4, "Bob", "Ray");
    const qint64 c = f.addAttendee(4, "Cy", "Fox");
    f.addDonation(a, 5);
    f.addDonation(c, 7);
    f.addDonation(c, 8);
    RegisterWindow *w = f.open(4);
    const QString attendee = "Attendees WHERE AttendeeID = ?";

    // No changes nothing.
    f.field(1)->setFocus();
    f.dialogs->answer(MsgAnswer::No);
    QTest::keyClick(w, Qt::Key_D, Qt::ControlModifier);
    const ScriptedDialogs::Box question = f.dialogs->lastBox();
    QCOMPARE(question.text, "Are you sure you want to DELETE the Entire Attendee Record? ");
    QCOMPARE(question.title, "DELETE Record");
    QCOMPARE(question.buttons, MsgButtons::YesNo);
    QCOMPARE(question.icon, MsgIcon::Question);
    QCOMPARE(question.defaultAnswer, MsgAnswer::Yes);
    QCOMPARE(f.rows("Attendees"), 3);
    QCOMPARE(f.counter(), "1 of 3");

    // The first attendee: the next one is shown.
    f.dialogs->answer(MsgAnswer::Yes);
    w->tbToolBar()->button("Delete")->trigger();
    QCOMPARE(f.rows(attendee, {a}), 0);
    QCOMPARE(f.field(1)->text(), "Bob");

    // The last attendee: the set stands after its end; the donations went with it.
    f.arrow(3);
    f.dialogs->answer(MsgAnswer::Yes);
    f.action("mnuFileDel")->trigger();
    QCOMPARE(f.rows(attendee, {c}), 0);
    QCOMPARE(f.rows("qryDon_Fees WHERE AttendeeID IN (?, ?)", {a, c}), 0);
    QCOMPARE(f.counter(), "0 of 1");
    QVERIFY(w->datPrimaryRS()->recordset()->eof());
    f.arrow(0); // the arrows lead back to the one left
    QCOMPARE(f.counter(), "1 of 1");
    QCOMPARE(f.field(1)->text(), "Bob");

    // With the focus in the donations grid only the current donation goes, never the attendee;
    // an empty grid deletes nothing.
    auto *grid = f.child<QTableView>("grdDonors");
    for (int donations : {0, 2}) {
        for (int i = 0; i < donations; ++i)
            f.addDonation(b, 11 + i);
        f.arrow(0); // shows the attendee again, with the donations re-queried
        grid->setFocus();
        QTRY_VERIFY(grid->hasFocus());
        f.dialogs->answer(MsgAnswer::Yes);
        f.action("mnuFileDel")->trigger();
        QCOMPARE(f.dialogs->lastBox().text, "Are you sure you want to DELETE the Current Record from Donations? ");
        QCOMPARE(f.rows("qryDon_Fees WHERE AttendeeID = ?", {b}), qMax(0, donations - 1));
        QCOMPARE(gridRows(), qMax(0, donations - 1));
        QCOMPARE(f.rows(attendee, {b}), 1);
    }
    QCOMPARE(f.dialogs->boxes().size(), 5); // no error box

    // The only attendee left: nothing of it stays on screen, and New works at once.
    f.field(1)->setFocus();
    f.dialogs->answer(MsgAnswer::Yes);
    f.action("mnuFileDel")->trigger();
    QCOMPARE(f.rows("Attendees"), 0);
    QCOMPARE(f.counter(), "0 of 0");
    QCOMPARE(f.field(1)->text() + f.field(3)->text(), QString());
    QCOMPARE(f.lines(), QStringList({"", "", ""}));
    QVERIFY(!grid->isEnabled() && gridRows() == 0);
    f.action("mnuFileNew")->trigger();
    QTest::keyClicks(f.field(1), "Dee");
    f.action("mnuFileSave")->trigger();
    QCOMPARE(f.sql("SELECT FirstName || ProgramID FROM Attendees").toString(), "Dee4");
    QCOMPARE(f.dialogs->boxes().size(), 6);
}

void TestRegisterRecords::eventFormCancelRereadsTheEventAndBadKeysFail()
{
    f.addEvent(2);
    f.addEvent(3, "Expo");
    f.addAttendee(2, "Ann", "Lee");
    const qint64 bob = f.addAttendee(2, "Bob", "Ray");
    f.addAttendee(3, "Zed", "Ox");
    RegisterWindow *w = f.open(2);
    f.arrow(3);

    // Cancel: pending typing is written first, then the same event is read again (with the
    // attendee another workstation added), the first attendee current.
    f.dialogs->onModal([](QDialog *dialog) {
        QCOMPARE(dialog->objectName(), "frmEvent");
        RegisterFixture::press(dialog, "cmdCancel");
    });
    TestEnvironment::exec(f.file, "INSERT INTO Attendees (ProgramID, FirstName) VALUES (2, 'Cat')");
    RegisterFixture::retype(f.field(7), "Kent");
    f.action("mnuEvent")->trigger();
    QCOMPARE(f.stored("StateOrProvince", bob), "Kent");
    QCOMPARE(w->tag(), "2");
    QCOMPARE(f.counter(), "1 of 3");
    QCOMPARE(f.field(1)->text(), "Ann");

    // OK on another event: its attendees, its name as the caption.
    f.dialogs->onModal([](QDialog *dialog) {
        qobject_cast<EventWindow *>(dialog)->datPrimaryRS()->recordset()->moveLast();
        RegisterFixture::press(dialog, "cmdOK");
    });
    f.action("mnuEvent")->trigger();
    QCOMPARE(w->tag(), "3");
    QCOMPARE(w->windowTitle(), "Expo");
    QCOMPARE(w->accessibleName(), "Expo");
    QCOMPARE(f.counter(), "1 of 1");
    QCOMPARE(f.field(1)->text(), "Zed");

    // Leading blanks and zeros go; a key that is no number fails clearly, and the event stays.
    QCOMPARE(RegisterWindow::attendeeSource(" 012"), "Select * from Attendees where ProgramID =12");
    w->setTag("abc");
    try {
        w->setEvent();
        QFAIL("a key that is no number was accepted");
    } catch (const AppError &error) {
        QCOMPARE(error.number(), 13);
        QCOMPARE(error.source(), "SetEvent");
        QVERIFY2(error.description().contains("\"abc\" is not a number"), qPrintable(error.description()));
    }
    QCOMPARE(f.counter(), "1 of 1");
}

void TestRegisterRecords::writeConflictKeepsTheTypingAndOverwritesNothing()
{
    f.addEvent(2);
    const qint64 a = f.addAttendee(2, "Ann", "Lee");
    f.addAttendee(2, "Bob", "Ray");
    RegisterWindow *w = f.open(2);

    RegisterFixture::retype(f.field(3), "Mine");
    // Another workstation saves the same attendee meanwhile.
    Database::openSeparate(f.file)->execute("UPDATE Attendees SET LastName = 'Theirs' WHERE AttendeeID = ?", {a});

    // Save, the move off the record, closing, choosing another event: each fails with a clear
    // message; the typing stays, the record stays current, the other value is intact.
    // The move goes through the data control's own error box ("Data error: ").
    const QList<std::pair<const char *, std::function<void()>>> attempts = {
        {"", [&] { f.action("mnuFileSave")->trigger(); }},
        {"Data error: ", [&] { f.arrow(2); }},
        {"", [&] { QVERIFY(!w->close()); }},
        {"", [&] { f.action("mnuEvent")->trigger(); }}}; // the event window does not open
    for (const auto &[prefix, attempt] : attempts) {
        const qsizetype before = f.dialogs->boxes().size();
        f.dialogs->answer(MsgAnswer::Ok);
        attempt();
        QCOMPARE(f.dialogs->boxes().size(), before + 1);
        const ScriptedDialogs::Box box = f.dialogs->lastBox();
        QVERIFY2(box.text.startsWith(QLatin1String(prefix)) && box.text.contains("Another workstation"),
                 qPrintable(box.text));
        QCOMPARE(box.title, "Quorvex");
        QCOMPARE(box.icon, MsgIcon::None);
        QVERIFY(w->isVisible());
        QCOMPARE(f.counter(), "1 of 2");
        QCOMPARE(f.field(3)->text(), "Mine");
        QCOMPARE(f.stored("LastName", a), "Theirs");
    }

    // Esc reloads what the other workstation saved; typing again is saved.
    QTest::keyClick(f.field(3), Qt::Key_Escape);
    QCOMPARE(f.field(3)->text(), "Theirs");
    QCOMPARE(f.card()->name(1), "THEIRS");
    RegisterFixture::retype(f.field(3), "Mine again");
    f.action("mnuFileSave")->trigger();
    QCOMPARE(f.dialogs->boxes().size(), 4);
    QCOMPARE(f.stored("LastName", a), "Mine again");
}

void TestRegisterRecords::navigatorIsLockedWhileTheDatasheetCoversTheForm()
{
    f.addEvent(2);
    RegisterWindow *w = f.open(2);
    DataControl *navigator = w->datPrimaryRS();
    const auto pass = [navigator](int x) { QTest::mouseMove(navigator, QPoint(x, navigator->height() / 2)); };
    // Showing the list does not lock the navigator by itself: the first pass of the mouse does.
    w->lstEveryone()->show();
    QVERIFY(navigator->isEnabled());
    for (int x : {5, 15})
        pass(x);
    QTRY_VERIFY(!navigator->isEnabled());
    w->lstEveryone()->hide();
    for (int x : {25, 35})
        pass(x);
    QTRY_VERIFY(navigator->isEnabled());
    pass(45); // and it stays unlocked
    QVERIFY(navigator->isEnabled());
}

void TestRegisterRecords::noAttendeeIsSavedForADeletedEvent()
{
    f.addEvent(2, "Fair");
    f.addEvent(3, "Expo");
    f.addDonation(f.addAttendee(2, "Ann", "Lee"), 5);
    RegisterWindow *w = f.open(2);
    w->setWindowTitle("Fair");
    const QString orphans = "Attendees WHERE ProgramID NOT IN (SELECT ProgramID FROM Program)";
    const auto event = [](const char *title, const QString &text) {
        return ScriptedDialogs::Box {text, title, MsgButtons::Ok, MsgIcon::Information};
    };

    // The current event deleted in the event window, then Cancel: the window is told,
    // and without another event shows none (nothing of the deleted one).
    f.dialogs->onModal([&](QDialog *events) {
        f.dialogs->answer(MsgAnswer::Yes);
        RegisterFixture::press(events, "cmdDelete");
        f.dialogs->answer(MsgAnswer::Ok); // for the box that follows
        RegisterFixture::press(events, "cmdCancel");
    });
    f.dialogs->onModal([](QDialog *events) { RegisterFixture::press(events, "cmdCancel"); });
    f.action("mnuEvent")->trigger();
    QCOMPARE(f.dialogs->lastBox(), event("Event Required", "The event \"Fair\" no longer exists: it was deleted, on "
                                                           "this or another workstation. Please select an event."));
    QCOMPARE(w->windowTitle(), "Quorvex (no event selected)");
    QCOMPARE(f.counter(), "0 of 0");
    QCOMPARE(f.field(1)->text(), QString());
    QCOMPARE(f.rows("Attendees") + f.rows("Donations"), 0);

    // New makes the user choose an event first; the attendee is the chosen event's.
    f.dialogs->answer(MsgAnswer::Ok);
    f.dialogs->onModal([](QDialog *events) { RegisterFixture::press(events, "cmdOK"); });
    f.action("mnuFileNew")->trigger();
    QCOMPARE(f.dialogs->lastBox(), event("Event Required", "Please select an event"));
    QCOMPARE(w->windowTitle(), "Expo");
    QTest::keyClicks(f.field(1), "Zoe");
    f.action("mnuFileSave")->trigger();
    QCOMPARE(f.rows("Attendees WHERE ProgramID = 3 AND FirstName = 'Zoe'"), 1);

    // Another workstation deletes the event while a new attendee is typed: leaving the
    // record saves nothing and keeps the typing; Save has an event chosen for it.
    f.action("mnuFileNew")->trigger();
    QTest::keyClicks(f.field(1), "Yan");
    TestEnvironment::exec(f.file, "DELETE FROM Attendees WHERE ProgramID = 3");
    TestEnvironment::exec(f.file, "DELETE FROM Program WHERE ProgramID = 3");
    f.dialogs->answer(MsgAnswer::Ok);
    f.arrow(0);
    QVERIFY2(f.dialogs->lastBox().text.startsWith("This new attendee was not saved: its event no longer exists"),
             qPrintable(f.dialogs->lastBox().text));
    QCOMPARE(f.field(1)->text(), "Yan");
    QCOMPARE(f.rows("Attendees"), 0);
    f.dialogs->answer(MsgAnswer::Ok);
    f.dialogs->onModal([](QDialog *events) {
        RegisterFixture::press(events, "cmdAdd");
        QTest::keyClicks(events->findChild<QLineEdit *>("txtFields_1"), "Gala");
        RegisterFixture::press(events, "cmdOK");
    });
    f.action("mnuFileSave")->trigger();
    QCOMPARE(f.dialogs->lastBox().text, "The event \"Expo\" no longer exists: it was deleted, on this or another "
                                        "workstation. Please select an event.");
    QCOMPARE(w->windowTitle(), "Gala");
    QCOMPARE(f.sql("SELECT p.Name FROM Attendees a JOIN Program p ON p.ProgramID = a.ProgramID "
                   "WHERE a.FirstName = 'Yan'").toString(), "Gala");
    QCOMPARE(f.field(1)->text(), "Yan"); // the attendee just saved is shown
    QCOMPARE(f.rows(orphans), 0);
    QCOMPARE(f.dialogs->boxes().size(), 5);
}

void TestRegisterRecords::readOnlyDatabaseSaysSoWhenTried()
{
    f.addEvent(2);
    f.addDonation(f.addAttendee(2, "Ann", "Lee"), 5);
    QVERIFY(QFile::setPermissions(f.file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const QString why = QStringLiteral("The database file \"%1\" is read-only, so nothing can be changed. Ask for "
                                       "write permission on the file and its folder, then open it again.")
                            .arg(QDir::toNativeSeparators(f.file));

    // Told at once when the window opens, and marked in it.
    f.dialogs->answer(MsgAnswer::Ok);
    RegisterWindow *w = f.open(2);
    QCOMPARE(f.dialogs->lastBox(), (ScriptedDialogs::Box {why, "Read-Only Database", MsgButtons::Ok, MsgIcon::Exclamation}));
    QVERIFY(f.child<QLabel>("lblReadOnly")->isVisible());

    // Save, New, Delete and a donation typed into the grid each say so; the typing stays.
    RegisterFixture::retype(f.field(1), "Anna");
    auto *grid = f.child<QTableView>("grdDonors");
    const QList<std::pair<const char *, std::function<void()>>> attempts = {
        {"Quorvex", [&] { QTest::keyClick(w, Qt::Key_S, Qt::ControlModifier); }},
        {"Quorvex", [&] { f.action("mnuFileNew")->trigger(); }},
        {"Delete Error", [&] { f.action("mnuFileDel")->trigger(); }},
        {"Quorvex", [&] {
             grid->setFocus();
             grid->setCurrentIndex(grid->model()->index(0, 1));
             QTest::keyClick(grid, Qt::Key_7);
         }}};
    for (const auto &[title, attempt] : attempts) {
        const qsizetype before = f.dialogs->boxes().size();
        f.dialogs->answer(MsgAnswer::Ok);
        attempt();
        QCOMPARE(f.dialogs->boxes().size(), before + 1);
        QCOMPARE(f.dialogs->lastBox().text, why);
        QCOMPARE(f.dialogs->lastBox().title, title);
        QCOMPARE(f.field(1)->text(), "Anna");
    }
    QVERIFY(!qobject_cast<DonationsGrid *>(grid)->openEditor());
    QCOMPARE(f.stored("FirstName", f.sql("SELECT AttendeeID FROM Attendees").toLongLong()), "Ann");
    QCOMPARE(f.rows("Attendees") * 10 + f.rows("Donations"), 11);
    QFile::setPermissions(f.file, QFile::ReadOwner | QFile::WriteOwner);
}

void TestRegisterRecords::escOnATypedNewAttendeeAsksFirst()
{
    f.addEvent(2);
    f.addAttendee(2, "Ann", "Lee");
    RegisterWindow *w = f.open(2);

    // A new attendee with something typed: Esc asks; No keeps the typing.
    f.action("mnuFileNew")->trigger();
    f.field(3)->setFocus();
    QTest::keyClicks(f.field(3), "Fox");
    f.dialogs->answer(MsgAnswer::No);
    QTest::keyClick(f.field(3), Qt::Key_Escape);
    QCOMPARE(f.dialogs->lastBox(), (ScriptedDialogs::Box {"Throw away the new attendee you are typing? Nothing of it "
                                                          "has been saved.", "New Attendee", MsgButtons::YesNo,
                                                          MsgIcon::Question, MsgAnswer::No}));
    QCOMPARE(f.field(3)->text(), "Fox");
    QCOMPARE(w->datPrimaryRS()->recordset()->editMode(), EditMode::Adding);

    // Yes throws it away and shows the stored record again.
    f.dialogs->answer(MsgAnswer::Yes);
    QTest::keyClick(f.field(3), Qt::Key_Escape);
    QCOMPARE(f.field(1)->text() + f.field(3)->text(), "AnnLee");
    QCOMPARE(f.rows("Attendees"), 1);

    // Nothing typed yet: Esc goes back at once.
    f.action("mnuFileNew")->trigger();
    f.field(1)->setFocus();
    QTest::keyClick(f.field(1), Qt::Key_Escape);
    QCOMPARE(f.field(1)->text(), "Ann");
    QCOMPARE(f.dialogs->boxes().size(), 2);
}

void TestRegisterRecords::lockedDatabaseSaysWhatDidNotHappen()
{
    Database::setDefaultBusyTimeout(150);
    f.addEvent(2);
    f.addAttendee(2, "Ann", "Lee");
    f.open(2);
    auto other = Database::openSeparate(f.file); // another workstation in the middle of a write
    const auto busy = [](const char *notDone) {
        return QStringLiteral("The database is busy: another workstation is writing to it. %1 Wait a moment and try "
                              "again.").arg(QLatin1String(notDone));
    };

    // New saves nothing: it says that no attendee was started.
    other->beginWrite();
    f.dialogs->answer(MsgAnswer::Ok);
    f.action("mnuFileNew")->trigger();
    QCOMPARE(f.dialogs->lastBox().text, busy("No new attendee was started."));
    QCOMPARE(f.counter(), "1 of 1");
    other->rollback();

    // A search kept out by another workstation's write says the search was not made.
    other->execute("BEGIN EXCLUSIVE");
    f.dialogs->onModal([&](QDialog *find) {
        auto *where = find->findChild<QComboBox *>("cboFields");
        where->setCurrentIndex(where->findText("LastName"));
        QTest::keyClicks(find->findChild<QLineEdit *>("txtFindWhat"), "Lee");
        f.dialogs->answer(MsgAnswer::Ok);
        RegisterFixture::press(find, "cmdFind_0");
        find->close();
    });
    f.action("mnuFind")->trigger();
    other->execute("ROLLBACK");
    QCOMPARE(f.dialogs->lastBox(), (ScriptedDialogs::Box {busy("The search was not made."), "Find", MsgButtons::Ok,
                                                          MsgIcon::Exclamation}));
    QCOMPARE(f.dialogs->boxes().size(), 2);
    Database::setDefaultBusyTimeout(5000);
}

void TestRegisterRecords::pastedTextLosesHiddenCharacters()
{
    f.addEvent(2);
    f.open(2);
    f.action("mnuFileNew")->trigger();
    const auto paste = [](QLineEdit *edit, const QString &text) {
        QGuiApplication::clipboard()->setText(text);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    };
    // Breaks and tabs between words become one blank; other controls and direction overrides go.
    paste(f.field(1), "Ann\r\nMarie\t\u202Eeil\u0007");
    // Letters of any script, emoji (with their joiner) and combining accents stay exactly.
    const QString name = QStringLiteral("Zo\u00EB \u05D3\u05E0\u05D4 \U0001F469\u200D\U0001F4BB Jose\u0301");
    paste(f.field(3), "\u2067" + name + "\u2069\n");
    paste(f.child<LookupCombo>("cboOffice")->lineEdit(), "\tTreasurer\r\n");
    QCOMPARE(f.field(1)->text(), "Ann Marie eil");
    QCOMPARE(f.card()->name(0), "Ann Marie eil");
    f.action("mnuFileSave")->trigger();
    const QSqlRecord stored = TestEnvironment::row(f.file, "SELECT FirstName, LastName, OfficeName FROM Attendees");
    QCOMPARE(stored.value(0).toString(), "Ann Marie eil");
    QCOMPARE(stored.value(1).toString(), name);
    QCOMPARE(stored.value(2).toString(), "Treasurer");
}

void TestRegisterRecords::theWindowWorksOnAServer()
{
    if (!TestServer::available())
        QSKIP("no test server: run the tests through ctest");
    f.useServer();
    f.addEvent(5, "Gala");
    const qint64 a = f.addAttendee(5, "Ann", "Lee", "Oslo", QString(), "Pic\\1.jpg");
    const qint64 b = f.addAttendee(5, "Bob", "Ray", "Rome");
    QCOMPARE(a, 1);
    f.addDonation(a, 50);
    // Ann's photograph is in the database, not in any folder.
    QImage photo(640, 480, QImage::Format_RGB32);
    photo.fill(Qt::green);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && photo.save(&buffer, "JPG"));
    TestEnvironment::exec(f.file, "INSERT INTO Photos (AttendeeID, Photo) VALUES (?, ?)", {a, jpeg});

    RegisterWindow *w = f.open(5);
    QCOMPARE(f.counter(), "1 of 2");
    QCOMPARE(f.lines(), QStringList({"Ann", "LEE", "Oslo"}));
    QVERIFY(!f.card()->photo().isNull());
    QCOMPARE(f.content().photoPath, "Pic\\1.jpg");
    QCOMPARE(gridRows(), 1);
    QVERIFY(!QDir(f.env->root() + "Pic").exists()); // no photo folder is made for a server

    // Typing, then the next arrow: written on the server.
    RegisterFixture::retype(f.field(6), "Lyon");
    f.arrow(2);
    QCOMPARE(f.counter(), "2 of 2");
    QCOMPARE(f.stored("City", a), "Lyon");
    QVERIFY(f.card()->photo().isNull());
    QCOMPARE(gridRows(), 0);

    // A new attendee of the event, saved with the key reserved at New.
    QTest::keyClick(w, Qt::Key_N, Qt::ControlModifier);
    const qint64 reserved = w->datPrimaryRS()->recordset()->currentKey();
    QVERIFY(reserved > b);
    QTest::keyClicks(f.field(1), "Zoe");
    QTest::keyClicks(f.field(3), "Miller");
    f.action("mnuFileSave")->trigger();
    QVERIFY(f.dialogs->boxes().isEmpty());
    QCOMPARE(f.stored("LastName", reserved), "Miller");
    QCOMPARE(f.stored("ProgramID", reserved), "5");
}

QTEST_MAIN(TestRegisterRecords)
#include "tst_registerrecords.moc"
