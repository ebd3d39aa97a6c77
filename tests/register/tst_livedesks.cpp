// Several desks on one database, each with its own connection, through the real
// windows: what one desk saves shows at the other within a second with nobody
// there doing anything (the counter and the set, the fields when nothing is typed,
// the donations, the lookup lists, the events); typing pending stays and its save
// meets the write conflict; both desks' new attendees get distinct keys; a server
// restarted under a desk with typing pending loses nothing.

#include "RegisterFixture.h"
#include "TestServer.h"

#include "data/Database.h"
#include "data/RecordsetModel.h"
#include "events/EventWindow.h"
#include "lists/DatasheetList.h"
#include "lists/DatasheetView.h"
#include "lists/LookupCombo.h"
#include "register/LiveRefresh.h"

#include <QLabel>
#include <QTableView>

namespace {

// What another desk does happens in its own event loop turn: a second at most.
constexpr int Live = 1000;

} // namespace

class TestLiveDesks : public QObject
{
    Q_OBJECT

private slots:
    void init() { f.setUp(); }
    void cleanup()
    {
        delete m_other.data();
        m_otherContext.reset();
        f.tearDown();
    }

    void twoDesksSeeEachOthersWork_data();
    void twoDesksSeeEachOthersWork();
    void serverRestartedUnderTypingLosesNothing();

private:
    // A second desk of its own (its own context and connection) on the same database and event.
    RegisterWindow *openOther(qint64 programId)
    {
        m_otherContext = std::make_unique<AppContext>(f.context);
        m_otherContext->desk = QStringLiteral("desk B");
        m_other = new RegisterWindow(*m_otherContext);
        m_other->setTag(QString::number(programId));
        m_other->formLoad(nullptr);
        m_other->show();
        return m_other;
    }
    static QLineEdit *fieldOf(RegisterWindow *w, int index)
    {
        return w->attendeePanel()->findChild<QLineEdit *>(QStringLiteral("txtFields_%1").arg(index));
    }
    static void save(RegisterWindow *w) { w->findChild<QAction *>("mnuFileSave")->trigger(); }
    static qint64 addThrough(RegisterWindow *w, const QString &first, const QString &last)
    {
        w->findChild<QAction *>("mnuFileNew")->trigger();
        const qint64 key = w->datPrimaryRS()->recordset()->currentKey();
        QTest::keyClicks(fieldOf(w, 1), first);
        QTest::keyClicks(fieldOf(w, 3), last);
        save(w);
        return key;
    }
    int gridRows() const
    {
        auto *model = qobject_cast<RecordsetModel *>(f.child<QTableView>("grdDonors")->model());
        const int rows = model->rowCount();
        return rows > 0 && model->isAddRow(rows - 1) ? rows - 1 : rows;
    }

    RegisterFixture f;
    std::unique_ptr<AppContext> m_otherContext;
    QPointer<RegisterWindow> m_other;
};

void TestLiveDesks::twoDesksSeeEachOthersWork_data()
{
    QTest::addColumn<bool>("server");
    QTest::newRow("file") << false;
    QTest::newRow("server") << true;
}

void TestLiveDesks::twoDesksSeeEachOthersWork()
{
    QFETCH(bool, server);
    if (server && !TestServer::available())
        QSKIP("no test server: run the tests through ctest");
    if (server)
        f.useServer();
    f.addEvent(5, "Gala");
    const qint64 ann = f.addAttendee(5, "Ann", "Lee");
    f.addAttendee(5, "Bob", "Ray");
    f.context.desk = QStringLiteral("desk A");
    RegisterWindow *a = f.open(5);
    RegisterWindow *b = openOther(5);
    QCOMPARE(b->datPrimaryRS()->caption(), "1 of 2");

    // Each desk's new attendee joins the other's set at the end; the keys differ.
    const qint64 fromB = addThrough(b, "Zoe", "Miller");
    QTRY_COMPARE_WITH_TIMEOUT(f.counter(), "1 of 3", Live);
    const qint64 fromA = addThrough(a, "Yan", "Ng");
    QTRY_COMPARE_WITH_TIMEOUT(b->datPrimaryRS()->caption(), "3 of 4", Live);
    QVERIFY(fromA != fromB);
    QCOMPARE(f.rows("Attendees WHERE ProgramID = 5 AND AttendeeID IN (?, ?)", {fromA, fromB}), 2);
    QCOMPARE(f.counter(), "4 of 4");
    f.arrow(3);
    QCOMPARE(f.field(1)->text(), "Yan");
    b->datPrimaryRS()->button(3)->click();
    QCOMPARE(fieldOf(b, 1)->text(), "Yan"); // A's attendee, last in B's set

    // A desk with nothing typed shows the other's save of the attendee it shows, cards included.
    f.arrow(0);
    b->datPrimaryRS()->button(0)->click();
    RegisterFixture::retype(fieldOf(b, 6), "Oslo");
    save(b);
    QTRY_COMPARE_WITH_TIMEOUT(f.field(6)->text(), "Oslo", Live);
    QTRY_COMPARE(f.card()->chapter(), "Oslo");

    // Typing pending stays on screen; the save is refused and overwrites nothing.
    RegisterFixture::retype(f.field(3), "Mine");
    RegisterFixture::retype(fieldOf(b, 3), "Theirs");
    save(b);
    QTest::qWait(Live);
    QCOMPARE(f.field(3)->text(), "Mine");
    f.dialogs->answer(MsgAnswer::Ok);
    save(a);
    QVERIFY2(f.dialogs->lastBox().text.contains("Another workstation"), qPrintable(f.dialogs->lastBox().text));
    QCOMPARE(f.field(3)->text(), "Mine");
    QCOMPARE(f.stored("LastName", ann), "Theirs");
    a->datPrimaryRS()->cancelChanges();
    QCOMPARE(f.field(3)->text(), "Theirs");

    // Another desk's check-in of the attendee shown: the status follows.
    auto *checkedIn = a->findChild<QLabel *>("lblCheckedIn");
    QCOMPARE(checkedIn->text(), "Not checked in");
    b->findChild<QAction *>("mnuCheckIn")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(checkedIn->text().startsWith("Checked in "), Live);

    // Another desk's donation, deletion, list entry and event.
    f.addDonation(ann, 20);
    QTRY_COMPARE_WITH_TIMEOUT(gridRows(), 1, Live);
    TestEnvironment::exec(f.file, "DELETE FROM Attendees WHERE AttendeeID = ?", {fromB});
    QTRY_COMPARE_WITH_TIMEOUT(f.counter(), "1 of 3", Live);
    TestEnvironment::exec(f.file, "INSERT INTO Title (TitleName, TitleDesc) VALUES ('Prof.', 'Prof.')");
    QTRY_VERIFY_WITH_TIMEOUT(a->attendeePanel()->cboTitle()->findText("Prof.") >= 0, Live);
    const int events = a->frmEvent()->datPrimaryRS()->recordset()->recordCount();
    f.addEvent(6, "Fair");
    QTRY_COMPARE_WITH_TIMEOUT(a->frmEvent()->datPrimaryRS()->recordset()->recordCount(), events + 1, Live);

    // The datasheet, when shown, lists another desk's new attendee too.
    a->datasheetView()->switchView(true);
    QCOMPARE(a->lstEveryone()->model()->rowCount(), 3);
    f.addAttendee(5, "Eve", "Stone");
    QTRY_COMPARE_WITH_TIMEOUT(a->lstEveryone()->model()->rowCount(), 4, Live);
    QCOMPARE(f.counter(), "1 of 4");
}

void TestLiveDesks::serverRestartedUnderTypingLosesNothing()
{
    if (!TestServer::available())
        QSKIP("no test server: run the tests through ctest");
    TestServer::PrivateServer server;
    QVERIFY2(!server.maintenanceUrl().isEmpty(), "the private server did not start");
    f.file = server.maintenanceUrl();
    f.server = true;
    Database::create(f.file);
    f.addEvent(5, "Gala");
    const qint64 ann = f.addAttendee(5, "Ann", "Lee");
    RegisterWindow *a = f.open(5);
    RegisterFixture::retype(f.field(3), "Typed");

    // The server goes away under the idle desk: it says so by itself, the typing stays.
    QVERIFY(server.halt());
    QLabel *mark = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((mark = a->liveRefresh()->serverMark()) && mark->isVisible(), 5000);
    QVERIFY2(mark->text().contains("cannot be reached"), qPrintable(mark->text()));
    f.dialogs->answer(MsgAnswer::Ok);
    save(a);
    QVERIFY2(f.dialogs->lastBox().text.contains("cannot be reached"), qPrintable(f.dialogs->lastBox().text));
    QCOMPARE(f.field(3)->text(), "Typed");

    // Back: connected again by itself; the save repeated goes through, whole.
    QVERIFY(server.resume());
    QTRY_VERIFY_WITH_TIMEOUT(!mark->isVisible(), 10000);
    const qsizetype boxes = f.dialogs->boxes().size();
    save(a);
    QCOMPARE(f.dialogs->boxes().size(), boxes);
    QCOMPARE(f.stored("LastName", ann), "Typed");
    QCOMPARE(f.rows("Attendees"), 1);
}

QTEST_MAIN(TestLiveDesks)
#include "tst_livedesks.moc"
