// The Title and Office lookup lists: filled sorted from their tables, a new value
// offered to the list when the box is left, the delete buttons, the office on
// every card; values with quotes are just text; each call has its own connection.

#include "ListsFixture.h"
#include "TestHelpers.h"

#include "idcard/CardWindows.h"
#include "lists/LookupLists.h"

#include <QSqlDatabase>
#include <QToolButton>

class TestLookupLists : public QObject
{
    Q_OBJECT

private:
    QStringList items(const char *name) const { return testHelpers::items(f.combo(name)); }
    int officeRows(const QString &name) const
    {
        return f.rows("Office WHERE OfficeName = ? AND OfficeDesc = ?", {name, name});
    }
    static ScriptedDialogs::Box addQuestion()
    {
        return ListsFixture::box("This value is not part of the list, would you like to add it?",
                                 "Attendee Information", MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::Yes);
    }
    ListsFixture f;

private slots:
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    void listsAreTheTablesSortedAndKeepTheRecordsText()
    {
        // The new database holds Mr. Mrs. Ms. Dr. Rev. and President Secretary Treasurer Member.
        TestEnvironment::exec(f.file, "INSERT INTO Office (OfficeName, OfficeDesc) VALUES ('chair', 'c'), ('Zed', 'z')");
        f.addEvent(1);
        const qint64 ann = f.addAttendee(1, "Ann", "Lee");
        TestEnvironment::exec(f.file, "UPDATE Attendees SET OfficeName = 'Treasurer', TitleName = 'Dr.' WHERE AttendeeID = ?",
                              {ann});
        const QStringList connections = QSqlDatabase::connectionNames();
        f.open(1);

        QCOMPARE(items("cboOffice"), QStringList({"chair", "Member", "President", "Secretary", "Treasurer", "Zed"}));
        QCOMPARE(items("cboTitle"), QStringList({"Dr.", "Mr.", "Mrs.", "Ms.", "Rev."}));
        QCOMPARE(f.combo("cboOffice")->property("Tag").toString(), "Office");
        QCOMPARE(f.combo("cboTitle")->property("Tag").toString(), "Title");
        // Filling the lists after the first attendee was shown keeps that attendee's values in sight.
        QCOMPARE(f.combo("cboOffice")->currentText(), "Treasurer");
        QCOMPARE(f.combo("cboTitle")->currentText(), "Dr.");
        // Each list call opened a connection of its own and released it; only the window's stays.
        QCOMPARE(QSqlDatabase::connectionNames().size(), connections.size() + 1);
    }

    void leavingABoxWithANewValueOffersToAddIt()
    {
        f.addEvent(1);
        const qint64 ann = f.addAttendee(1, "Ann", "Lee");
        f.open(1);
        LookupCombo *office = f.combo("cboOffice");
        const QStringList before = items("cboOffice");

        // Typed, then the box is left with Tab (the next control is its delete button).
        const struct Case {
            const char *typed;
            bool asked;
            MsgAnswer answer;
            int storedRows; // rows of that name in both columns afterwards
            bool listed;    // in the list afterwards (letter case aside)
        } cases[] = {
            {"member", false, MsgAnswer::Ok, 0, true},        // a listed value in other letter case: known
            {"   ", false, MsgAnswer::Ok, 0, false},          // blanks only: nothing to add
            {"O'Brien Hall", true, MsgAnswer::No, 0, false},  // No: the list stays, the text stays
            {"O'Brien Hall", true, MsgAnswer::Yes, 1, true},
            {" Member", true, MsgAnswer::Yes, 1, true},       // a leading blank counts: stored with it
        };
        for (const Case &c : cases) {
            f.dialogs->clear();
            if (c.asked)
                f.dialogs->answer(c.answer);
            ListsFixture::retype(office, c.typed);
            QTest::keyClick(office, Qt::Key_Tab);
            QVERIFY2(office->deleteButton()->hasFocus(), c.typed);
            QCOMPARE(f.dialogs->boxes(), c.asked ? QList<ScriptedDialogs::Box>({addQuestion()})
                                                 : QList<ScriptedDialogs::Box>());
            QCOMPARE(office->currentText(), c.typed);
            QCOMPARE(officeRows(c.typed), c.storedRows);
            QCOMPARE(items("cboOffice").contains(c.typed, Qt::CaseInsensitive), c.listed);
        }
        QCOMPARE(items("cboOffice").size(), before.size() + 2);
        QCOMPARE(items("cboOffice").first(), " Member"); // sorted in
        // The attendee keeps the text as typed.
        f.action("mnuFileSave")->trigger();
        QCOMPARE(f.stored("OfficeName", ann), " Member");

        // The title works the same way; a value another workstation added meanwhile is not doubled.
        TestEnvironment::exec(f.file, "INSERT INTO Title (TitleName, TitleDesc) VALUES ('Prof.', 'Prof.')");
        f.dialogs->clear();
        f.dialogs->answer(MsgAnswer::Yes);
        ListsFixture::retype(f.combo("cboTitle"), "Prof.");
        QTest::keyClick(f.combo("cboTitle"), Qt::Key_Tab);
        QCOMPARE(f.dialogs->boxes(), QList<ScriptedDialogs::Box>({addQuestion()}));
        QCOMPARE(f.rows("Title WHERE TitleName = 'Prof.'"), 1);
        QVERIFY(items("cboTitle").contains("Prof."));
        QCOMPARE(f.combo("cboTitle")->currentText(), "Prof.");
        // Enter in the box never slips a value into the list without the question.
        ListsFixture::retype(f.combo("cboTitle"), "Sir");
        QTest::keyClick(f.combo("cboTitle"), Qt::Key_Return);
        QVERIFY(!items("cboTitle").contains("Sir"));
    }

    void deleteAsksAndRemovesEveryRowOfTheName()
    {
        TestEnvironment::exec(f.file, "INSERT INTO Office (OfficeName, OfficeDesc) VALUES ('O''Brien Hall', 'a'), "
                                      "('O''Brien Hall', 'b'), ('O''Brien', 'c')");
        f.addEvent(1);
        f.addAttendee(1, "Ann", "Lee");
        f.open(1);
        LookupCombo *office = f.combo("cboOffice");
        const auto question = [](const QString &name) {
            return ListsFixture::box("Are you sure you want to DELETE " + name + " from List?", "Attendee Information",
                                     MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::Yes);
        };

        // No changes nothing.
        ListsFixture::retype(office, "O'Brien Hall");
        f.dialogs->answer(MsgAnswer::No);
        QTest::mouseClick(office->deleteButton(), Qt::LeftButton);
        QCOMPARE(f.dialogs->lastBox(), question("O'Brien Hall"));
        QCOMPARE(f.rows("Office"), 7);

        // Yes: every row of the name goes (the quote is part of the value), no other row.
        f.dialogs->answer(MsgAnswer::Yes);
        QTest::mouseClick(office->deleteButton(), Qt::LeftButton);
        QCOMPARE(f.rows("Office WHERE OfficeName = ?", {"O'Brien Hall"}), 0);
        QCOMPARE(f.rows("Office"), 5);
        QCOMPARE(items("cboOffice"), QStringList({"Member", "O'Brien", "President", "Secretary", "Treasurer"}));

        // The title's button deletes from the title table; the last row of a table leaves an empty list.
        TestEnvironment::exec(f.file, "DELETE FROM Title WHERE TitleName <> 'Rev.'");
        ListsFixture::retype(f.combo("cboTitle"), "Rev.");
        f.dialogs->answer(MsgAnswer::Yes);
        QTest::mouseClick(f.combo("cboTitle")->deleteButton(), Qt::LeftButton);
        QCOMPARE(f.dialogs->lastBox(), question("Rev."));
        QCOMPARE(f.rows("Title"), 0);
        QCOMPARE(items("cboTitle"), QStringList());
        QCOMPARE(f.rows("Office"), 5);
    }

    void failuresAreReportedAndChangeNothing()
    {
        f.addEvent(1);
        f.addAttendee(1, "Ann", "Lee");
        f.open(1);
        LookupCombo *office = f.combo("cboOffice");
        const QStringList before = items("cboOffice");
        // The table is gone (another program damaged the file): adding and deleting say why.
        TestEnvironment::exec(f.file, "DROP TABLE Office");

        f.dialogs->answer(MsgAnswer::Yes);
        f.dialogs->answer(MsgAnswer::Ok);
        ListsFixture::retype(office, "Warden");
        QTest::keyClick(office, Qt::Key_Tab);
        ScriptedDialogs::Box failure = f.dialogs->lastBox();
        QVERIFY2(failure.text.contains("Office"), qPrintable(failure.text));
        QCOMPARE(failure, ListsFixture::box(failure.text, "Quorvex", MsgButtons::Ok, MsgIcon::Exclamation));
        QCOMPARE(office->currentText(), "Warden");
        QCOMPARE(items("cboOffice"), before);

        f.dialogs->answer(MsgAnswer::Yes);
        f.dialogs->answer(MsgAnswer::Ok);
        QTest::mouseClick(office->deleteButton(), Qt::LeftButton);
        failure = f.dialogs->lastBox();
        QVERIFY2(failure.text.contains("Office"), qPrintable(failure.text));
        QCOMPARE(failure, ListsFixture::box(failure.text, "Delete Error", MsgButtons::Ok, MsgIcon::Critical));
        QCOMPARE(items("cboOffice"), before);
    }

    void officeIsMirroredOnEveryCard()
    {
        f.addEvent(1);
        const qint64 ann = f.addAttendee(1, "Ann", "Lee");
        f.addAttendee(1, "Bob", "Ray");
        TestEnvironment::exec(f.file, "UPDATE Attendees SET OfficeName = 'Member' WHERE AttendeeID = ?", {ann});
        RegisterWindow *w = f.open(1);
        QCOMPARE(f.cards().size(), 3); // the miniature and both card windows
        const auto offices = [this] {
            QStringList list;
            for (CardWidget *card : f.cards())
                list << card->office();
            return list;
        };
        QCOMPARE(offices(), QStringList(3, "Member"));

        // Typing, picking from the list and moving to another attendee: every card follows at once.
        ListsFixture::retype(f.combo("cboOffice"), "Trea");
        QCOMPARE(offices(), QStringList(3, "Trea"));
        f.combo("cboOffice")->setCurrentIndex(f.combo("cboOffice")->findText("President"));
        QCOMPARE(offices(), QStringList(3, "President"));
        f.arrow(2);
        QCOMPARE(offices(), QStringList(3, ""));
        // A card window loaded later shows the office too; the title is never on the card.
        w->cardWindows()->frmIDCard()->close();
        ListsFixture::retype(f.combo("cboOffice"), "Chair");
        f.dialogs->answer(MsgAnswer::No); // not for the list
        ListsFixture::retype(f.combo("cboTitle"), "Dr.");
        QCOMPARE(w->cardWindows()->frmIDCard()->card()->office(), "Chair");
        QCOMPARE(offices(), QStringList(3, "Chair"));
    }
};

QTEST_MAIN(TestLookupLists)
#include "tst_lookuplists.moc"
