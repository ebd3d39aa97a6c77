// The event window: loading the events, the record caption, Add New / Save /
// Delete, and handing the chosen event to the registration window on OK.

#include "ScriptedDialogs.h"
#include "TestEnvironment.h"

#include "app/AppError.h"
#include "app/ModGen.h"
#include "data/DataControl.h"
#include "data/Recordset.h"
#include "events/EventWindow.h"
#include "register/RegisterWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <memory>

class TestEventWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadFailuresEndTheProgram();
    void controlsCaptionsAndKeyboard();
    void addNewShowsTheKeyAndSaveWritesTheRow();
    void saveReportsAnErrorAndKeepsTheWindowOpen();
    void deleteAsksAndKeepsTheAttendees();
    void okAfterAddNewHandsOverTheNewEvent();
    void okOnAnUntouchedNewRowStillCreatesTheEvent();
    void okThroughTheModalDisplay();
    void okReportsAFailedWriteAndStillCloses();
    void cancelEscAndCloseBoxLeaveTheMainWindowAlone();
    void aKeyAbove16BitsIsHandedOverWhole();

private:
    // A fresh window on the test's database, loaded, shown and active.
    EventWindow *openWindow(RegisterWindow *main = nullptr);
    template <typename T>
    T *child(QWidget *window, const QString &name)
    {
        T *widget = window->findChild<T *>(name);
        if (!widget)
            qWarning("no child %s", qPrintable(name));
        return widget;
    }
    void click(QWidget *window, const char *button);
    QVariant sql(const QString &statement, const QVariantList &params = {})
    {
        return TestEnvironment::scalar(m_file, statement, params);
    }
    void addEvent(qint64 id, const QString &name)
    {
        TestEnvironment::exec(m_file, QStringLiteral("INSERT INTO Program (ProgramID, Name) VALUES (?, ?)"),
                              {id, name});
    }
    static void finishDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    QString m_folder;
    QString m_file;
    QPointer<EventWindow> m_window;
};

void TestEventWindow::init()
{
    m_env = std::make_unique<TestEnvironment>();
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_folder = m_env->folder(QStringLiteral("db"));
    m_file = m_env->createDatabase(m_folder);
    m_env->useDatabaseFolder(m_folder);
}

void TestEventWindow::cleanup()
{
    delete m_window.data();
    finishDeletes();
    QVERIFY2(m_dialogs->allAnswersUsed(), "a queued answer was not used");
    m_dialogs.reset();
    modGen::dbFolder().clear();
    m_env.reset();
}

EventWindow *TestEventWindow::openWindow(RegisterWindow *main)
{
    auto *window = new EventWindow(main);
    m_window = window;
    window->formLoad();
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        qWarning("the event window did not become active");
    return window;
}

void TestEventWindow::click(QWidget *window, const char *button)
{
    auto *widget = window->findChild<QPushButton *>(QString::fromLatin1(button));
    QVERIFY2(widget, button);
    QTest::mouseClick(widget, Qt::LeftButton);
}

void TestEventWindow::loadFailuresEndTheProgram()
{
    // No database folder at all.
    modGen::dbFolder().clear();
    {
        EventWindow window(nullptr);
        try {
            window.formLoad();
            QFAIL("formLoad succeeded without a database folder");
        } catch (const AppError &error) {
            QCOMPARE(error.number(), -1);
            QCOMPARE(error.source(), QStringLiteral("Event Setup"));
            QCOMPARE(error.description(),
                     QStringLiteral("Connection to Database Server Failure\rProgram will Terminate"));
        }
    }

    // A file with the database's name that is not a database: the engine's own
    // error, with the same number and source and the notice appended.
    const QString folder = m_env->folder(QStringLiteral("junk"));
    {
        QFile junk(folder + QLatin1String(modGen::DatabaseFileName));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, '\x5a'));
    }
    m_env->useDatabaseFolder(folder);
    {
        EventWindow window(nullptr);
        try {
            window.formLoad();
            QFAIL("formLoad opened a file that is not a database");
        } catch (const AppError &error) {
            QVERIFY2(error.description().endsWith(QStringLiteral("\rProgram will Terminate")),
                     qPrintable(error.description()));
            QVERIFY(error.description().size() > QStringLiteral("\rProgram will Terminate").size());
            QVERIFY(!error.source().isEmpty());
        }
    }
}

void TestEventWindow::controlsCaptionsAndKeyboard()
{
    addEvent(1, QStringLiteral("Spring Gala"));
    EventWindow *w = openWindow();
    QCOMPARE(w->objectName(), QStringLiteral("frmEvent"));
    QCOMPARE(w->windowTitle(), QStringLiteral("Event Setup"));
    QCOMPARE(child<QLabel>(w, "Label1")->text(),
             QStringLiteral("Please Select or Enter a new event to register attendees"));
    QCOMPARE(w->datPrimaryRS()->objectName(), QStringLiteral("datPrimaryRS"));
    QCOMPARE(w->datPrimaryRS()->recordSource(), QStringLiteral("Select * from Program"));
    QCOMPARE(w->datPrimaryRS()->caption(), QStringLiteral("Record: 1 of 1"));

    // Each control's caption label is its buddy, so it names the control.
    const QStringList controls = {"txtFields_0", "txtFields_1", "txtFields_2", "txtFields_3", "DTPicker1_0",
                                  "DTPicker1_1", "chkFields_6", "txtFields_7", "txtFields_8"};
    const QStringList captions = {"ProgramID:", "Name:", "Description:", "Director:", "DateStart:",
                                  "DateEnd:", "FundRaising:", "TargetAmt:", "ActualAmt:"};
    const QStringList fields = {"ProgramID", "Name", "Description", "Director", "DateStart",
                                "DateEnd", "FundRaising", "TargetAmt", "ActualAmt"};
    for (int i = 0; i < controls.size(); ++i) {
        QWidget *control = child<QWidget>(w, controls.at(i));
        QVERIFY(control);
        auto *label = child<QLabel>(w, QStringLiteral("lblLabels_%1").arg(i));
        QVERIFY(label);
        QCOMPARE(label->text(), captions.at(i));
        QCOMPARE(label->buddy(), control);
        QCOMPARE(w->datPrimaryRS()->boundField(control), fields.at(i));
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control);
        QVERIFY(accessible);
        QCOMPARE(accessible->text(QAccessible::Name), captions.at(i));
    }
    QVERIFY(child<QDateEdit>(w, "DTPicker1_0")->calendarPopup());
    QCOMPARE(child<QLineEdit>(w, "txtFields_1")->text(), QStringLiteral("Spring Gala"));
    // No start date stored: the picker is empty, not some made-up day.
    QCOMPARE(child<QDateEdit>(w, "DTPicker1_0")->text().trimmed(), QString());

    const QStringList buttons = {"cmdAdd", "cmdUpdate", "cmdDelete", "cmdOK", "cmdCancel"};
    const QStringList texts = {"&Add New", "&Save", "&Delete", "&OK", "&Cancel"};
    for (int i = 0; i < buttons.size(); ++i) {
        auto *button = child<QPushButton>(w, buttons.at(i));
        QVERIFY(button);
        QCOMPARE(button->text(), texts.at(i));
        QCOMPARE(button->parentWidget()->objectName(), QStringLiteral("picButtons"));
        QCOMPARE(button->isDefault(), buttons.at(i) == QLatin1String("cmdOK"));
    }

    // Tab goes down the fields in order, then on towards the buttons.
    QWidget *focus = child<QWidget>(w, "txtFields_0");
    QList<QWidget *> visited;
    for (int i = 0; i < 80 && focus && !visited.contains(focus); ++i) {
        visited << focus;
        focus = focus->nextInFocusChain();
        while (focus && !(focus->focusPolicy() & Qt::TabFocus))
            focus = focus->nextInFocusChain();
    }
    QList<int> order;
    for (const QString &name : controls + buttons)
        order << int(visited.indexOf(child<QWidget>(w, name)));
    for (int i = 0; i < order.size(); ++i) {
        QVERIFY2(order.at(i) >= 0, qPrintable(QStringLiteral("not reached by Tab: %1").arg((controls + buttons).at(i))));
        if (i > 0)
            QVERIFY2(order.at(i) > order.at(i - 1), qPrintable((controls + buttons).at(i)));
    }

    // Alt+A is Add New: a new row with its key already shown. (A mnemonic
    // clicks its button after a short animation, hence the waits.)
    QTest::keyClick(w, Qt::Key_A, Qt::AltModifier);
    QTRY_COMPARE(w->datPrimaryRS()->recordset()->editMode(), EditMode::Adding);
    QCOMPARE(child<QLineEdit>(w, "txtFields_0")->text(), QStringLiteral("2"));
    QCOMPARE(child<QLineEdit>(w, "txtFields_1")->text(), QString());
    QCOMPARE(w->datPrimaryRS()->caption(), QStringLiteral("Record: 0 of 1"));
    // Alt+S saves it.
    QTest::keyClicks(child<QLineEdit>(w, "txtFields_1"), QStringLiteral("Summer Camp"));
    QTest::keyClick(w, Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE(sql(QStringLiteral("SELECT Name FROM Program WHERE ProgramID = 2")).toString(),
             QStringLiteral("Summer Camp"));
}

void TestEventWindow::addNewShowsTheKeyAndSaveWritesTheRow()
{
    addEvent(5, QStringLiteral("Autumn Fair"));
    EventWindow *w = openWindow();
    QCOMPARE(w->datPrimaryRS()->caption(), QStringLiteral("Record: 1 of 1"));

    click(w, "cmdAdd");
    const QString key = child<QLineEdit>(w, "txtFields_0")->text();
    QCOMPARE(key, QStringLiteral("6"));
    QCOMPARE(w->datPrimaryRS()->caption(), QStringLiteral("Record: 0 of 1"));
    // The key is reserved, the row not written yet.
    QCOMPARE(sql(QStringLiteral("SELECT count(*) FROM Program")).toInt(), 1);

    QTest::keyClicks(child<QLineEdit>(w, "txtFields_1"), QStringLiteral("O'Brien's Winter Ball"));
    QTest::keyClicks(child<QLineEdit>(w, "txtFields_3"), QStringLiteral("Ann Lee"));
    QTest::keyClicks(child<QLineEdit>(w, "txtFields_7"), QStringLiteral("1234.5"));
    child<QDateEdit>(w, "DTPicker1_0")->setDate(QDate(2026, 12, 24));
    QTest::mouseClick(child<QCheckBox>(w, "chkFields_6"), Qt::LeftButton);
    click(w, "cmdUpdate");

    QCOMPARE(sql(QStringLiteral("SELECT count(*) FROM Program")).toInt(), 2);
    QCOMPARE(sql(QStringLiteral("SELECT Name FROM Program WHERE ProgramID = ?"), {key.toLongLong()}).toString(),
             QStringLiteral("O'Brien's Winter Ball"));
    QCOMPARE(sql(QStringLiteral("SELECT Director FROM Program WHERE ProgramID = ?"), {key.toLongLong()}).toString(),
             QStringLiteral("Ann Lee"));
    // Currency is kept exactly, in ten-thousandths.
    QCOMPARE(sql(QStringLiteral("SELECT TargetAmt FROM Program WHERE ProgramID = ?"), {key.toLongLong()}).toLongLong(),
             Q_INT64_C(12345000));
    QCOMPARE(sql(QStringLiteral("SELECT FundRaising FROM Program WHERE ProgramID = ?"), {key.toLongLong()}).toInt(), 1);
    QCOMPARE(sql(QStringLiteral("SELECT DateStart FROM Program WHERE ProgramID = ?"), {key.toLongLong()}).toString(),
             QStringLiteral("2026-12-24"));
    QVERIFY(sql(QStringLiteral("SELECT DateEnd FROM Program WHERE ProgramID = ?"), {key.toLongLong()}).isNull());
    QCOMPARE(w->datPrimaryRS()->recordset()->editMode(), EditMode::None);

    // Delete empties a date box, and the empty date is stored as no date.
    auto *start = child<QDateEdit>(w, "DTPicker1_0");
    start->setFocus();
    QTest::keyClick(start, Qt::Key_Delete);
    QCOMPARE(start->text().trimmed(), QString());
    click(w, "cmdUpdate");
    QVERIFY(sql(QStringLiteral("SELECT DateStart FROM Program WHERE ProgramID = ?"), {key.toLongLong()}).isNull());
    // The calendar of an empty box opens on today's month, not in the year 100.
    QCalendarWidget *calendar = start->calendarWidget();
    calendar->window()->show();
    QCOMPARE(calendar->yearShown(), QDate::currentDate().year());
    QCOMPARE(calendar->monthShown(), QDate::currentDate().month());
    calendar->window()->hide();
    QVERIFY(start->text().trimmed().isEmpty());

    // Save with nothing pending writes nothing and shows nothing.
    click(w, "cmdUpdate");
    QCOMPARE(sql(QStringLiteral("SELECT count(*) FROM Program")).toInt(), 2);
    QVERIFY(m_dialogs->boxes().isEmpty());

    // The caption counts both rows; the last arrow shows the second of two.
    QTest::mouseClick(w->datPrimaryRS()->button(3), Qt::LeftButton);
    QCOMPARE(w->datPrimaryRS()->caption(), QStringLiteral("Record: 2 of 2"));
    QTest::mouseClick(w->datPrimaryRS()->button(0), Qt::LeftButton);
    QCOMPARE(w->datPrimaryRS()->caption(), QStringLiteral("Record: 1 of 2"));
    QCOMPARE(child<QLineEdit>(w, "txtFields_1")->text(), QStringLiteral("Autumn Fair"));
}

void TestEventWindow::saveReportsAnErrorAndKeepsTheWindowOpen()
{
    addEvent(1, QStringLiteral("Gala"));
    EventWindow *w = openWindow();
    // An amount that is not one: the engine refuses it, the typing stays.
    QTest::keyClicks(child<QLineEdit>(w, "txtFields_7"), QStringLiteral("abc"));
    m_dialogs->answer(MsgAnswer::Ok);
    click(w, "cmdUpdate");
    QCOMPARE(m_dialogs->boxes().size(), 1);
    QVERIFY(!m_dialogs->lastBox().text.isEmpty());
    QCOMPARE(m_dialogs->lastBox().title, QStringLiteral("Quorvex"));
    QCOMPARE(child<QLineEdit>(w, "txtFields_7")->text(), QStringLiteral("abc"));
    QVERIFY(sql(QStringLiteral("SELECT TargetAmt FROM Program WHERE ProgramID = 1")).isNull());
    child<QLineEdit>(w, "txtFields_7")->selectAll();
    QTest::keyClicks(child<QLineEdit>(w, "txtFields_7"), QStringLiteral("12"));
    click(w, "cmdUpdate");
    QCOMPARE(sql(QStringLiteral("SELECT TargetAmt FROM Program WHERE ProgramID = 1")).toLongLong(), Q_INT64_C(120000));
    m_dialogs->clear();

    // Someone else deletes the row while it is being edited: the save fails.
    QTest::keyClicks(child<QLineEdit>(w, "txtFields_1"), QStringLiteral(" 2027"));
    TestEnvironment::exec(m_file, QStringLiteral("DELETE FROM Program WHERE ProgramID = 1"));
    m_dialogs->answer(MsgAnswer::Ok);
    click(w, "cmdUpdate");
    QCOMPARE(m_dialogs->boxes().size(), 1);
    const ScriptedDialogs::Box box = m_dialogs->lastBox();
    QVERIFY(!box.text.isEmpty());
    QCOMPARE(box.title, QStringLiteral("Quorvex"));
    QCOMPARE(box.buttons, MsgButtons::Ok);
    QVERIFY(w->isVisible());
    QVERIFY(!w->isUnloaded());
    QCOMPARE(w->tag(), QString());
    // The typing is still there to be saved elsewhere or copied.
    QCOMPARE(child<QLineEdit>(w, "txtFields_1")->text(), QStringLiteral("Gala 2027"));
    QCOMPARE(sql(QStringLiteral("SELECT count(*) FROM Program")).toInt(), 0);
}

void TestEventWindow::deleteAsksAndKeepsTheAttendees()
{
    addEvent(1, QStringLiteral("First"));
    addEvent(2, QStringLiteral("Second"));
    addEvent(3, QStringLiteral("Third"));
    for (int i = 0; i < 2; ++i)
        TestEnvironment::exec(m_file, QStringLiteral("INSERT INTO Attendees (ProgramID, LastName) VALUES (1, ?)"),
                              {QStringLiteral("Guest %1").arg(i)});
    EventWindow *w = openWindow();

    // No changes nothing.
    m_dialogs->answer(MsgAnswer::No);
    click(w, "cmdDelete");
    QCOMPARE(m_dialogs->boxes().size(), 1);
    const ScriptedDialogs::Box box = m_dialogs->lastBox();
    QCOMPARE(box.text, QStringLiteral("Are you sure you want to DELETE the Current Event?"));
    QCOMPARE(box.title, QStringLiteral("DELETE Event"));
    QCOMPARE(box.buttons, MsgButtons::YesNo);
    QCOMPARE(box.icon, MsgIcon::Question);
    QCOMPARE(sql(QStringLiteral("SELECT count(*) FROM Program")).toInt(), 3);
    QCOMPARE(child<QLineEdit>(w, "txtFields_1")->text(), QStringLiteral("First"));

    // Yes deletes the event only, and moves on to the next one.
    m_dialogs->answer(MsgAnswer::Yes);
    click(w, "cmdDelete");
    QCOMPARE(sql(QStringLiteral("SELECT count(*) FROM Program WHERE ProgramID = 1")).toInt(), 0);
    QCOMPARE(sql(QStringLiteral("SELECT count(*) FROM Program")).toInt(), 2);
    QCOMPARE(sql(QStringLiteral("SELECT count(*) FROM Attendees WHERE ProgramID = 1")).toInt(), 2);
    QCOMPARE(child<QLineEdit>(w, "txtFields_1")->text(), QStringLiteral("Second"));
    QCOMPARE(w->datPrimaryRS()->caption(), QStringLiteral("Record: 1 of 2"));

    // Deleting the last row moves back to the one before it.
    QTest::mouseClick(w->datPrimaryRS()->button(3), Qt::LeftButton);
    QCOMPARE(child<QLineEdit>(w, "txtFields_1")->text(), QStringLiteral("Third"));
    m_dialogs->answer(MsgAnswer::Yes);
    click(w, "cmdDelete");
    QCOMPARE(sql(QStringLiteral("SELECT count(*) FROM Program WHERE ProgramID = 3")).toInt(), 0);
    QCOMPARE(child<QLineEdit>(w, "txtFields_1")->text(), QStringLiteral("Second"));
    QCOMPARE(w->datPrimaryRS()->caption(), QStringLiteral("Record: 1 of 1"));

    // The only row, then an empty table: nothing left to delete, no error.
    m_dialogs->answer(MsgAnswer::Yes);
    click(w, "cmdDelete");
    QCOMPARE(sql(QStringLiteral("SELECT count(*) FROM Program")).toInt(), 0);
    QCOMPARE(child<QLineEdit>(w, "txtFields_0")->text(), QString());
    m_dialogs->answer(MsgAnswer::Yes);
    click(w, "cmdDelete");
    QCOMPARE(m_dialogs->boxes().size(), 5);
    QCOMPARE(sql(QStringLiteral("SELECT count(*) FROM Attendees")).toInt(), 2);

    // Delete on a new row that was never written drops it.
    click(w, "cmdAdd");
    QTest::keyClicks(child<QLineEdit>(w, "txtFields_1"), QStringLiteral("Mistake"));
    m_dialogs->answer(MsgAnswer::Yes);
    click(w, "cmdDelete");
    QCOMPARE(w->datPrimaryRS()->recordset()->editMode(), EditMode::None);
    QCOMPARE(m_dialogs->boxes().size(), 6);
    click(w, "cmdCancel");
    QCOMPARE(sql(QStringLiteral("SELECT count(*) FROM Program")).toInt(), 0);
}

void TestEventWindow::okAfterAddNewHandsOverTheNewEvent()
{
    addEvent(1, QStringLiteral("Old Event"));
    RegisterWindow main;
    main.setTag(QStringLiteral("1"));
    main.setWindowTitle(QStringLiteral("Old Event"));
    EventWindow *w = openWindow(&main);

    click(w, "cmdAdd");
    const QString key = child<QLineEdit>(w, "txtFields_0")->text();
    QCOMPARE(key, QStringLiteral("2"));
    QTest::keyClicks(child<QLineEdit>(w, "txtFields_1"), QStringLiteral("Board Retreat"));
    QTest::keyClick(child<QLineEdit>(w, "txtFields_1"), Qt::Key_Return); // Enter is OK

    QCOMPARE(w->tag(), QStringLiteral("OK"));
    QVERIFY(w->isUnloaded());
    QVERIFY(!w->isVisible());
    QCOMPARE(w->result(), int(QDialog::Accepted));
    QCOMPARE(main.tag(), key);
    QCOMPARE(main.windowTitle(), QStringLiteral("Board Retreat"));
    // The typed row was written as the window unloaded.
    QCOMPARE(sql(QStringLiteral("SELECT Name FROM Program WHERE ProgramID = ?"), {key.toLongLong()}).toString(),
             QStringLiteral("Board Retreat"));
    finishDeletes();
    QVERIFY(m_window.isNull());
}

void TestEventWindow::okOnAnUntouchedNewRowStillCreatesTheEvent()
{
    // With no main window the hand-over is skipped. The untouched new row is
    // still written as the window unloads, so the key OK hands over names an
    // event that exists.
    EventWindow *w = openWindow();
    QCOMPARE(w->datPrimaryRS()->caption(), QStringLiteral("Record: 0 of 0"));
    click(w, "cmdAdd");
    const QString key = child<QLineEdit>(w, "txtFields_0")->text();
    QVERIFY(!key.isEmpty());
    click(w, "cmdOK");
    QCOMPARE(w->tag(), QStringLiteral("OK"));
    QCOMPARE(sql(QStringLiteral("SELECT count(*) FROM Program WHERE ProgramID = ?"), {key.toLongLong()}).toInt(), 1);
    QVERIFY(m_dialogs->boxes().isEmpty());
}

void TestEventWindow::okThroughTheModalDisplay()
{
    addEvent(1, QStringLiteral("One"));
    addEvent(2, QStringLiteral("Two"));
    RegisterWindow main;
    auto *w = new EventWindow(&main);
    m_window = w;
    w->formLoad();
    m_dialogs->onModal([](QDialog *dialog) {
        auto *data = dialog->findChild<DataControl *>(QStringLiteral("datPrimaryRS"));
        QTest::mouseClick(data->button(2), Qt::LeftButton); // next: "Two"
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
    QCOMPARE(Dialogs::instance().showModal(w), int(QDialog::Accepted));
    QCOMPARE(main.tag(), QStringLiteral("2"));
    QCOMPARE(main.windowTitle(), QStringLiteral("Two"));
    QCOMPARE(w->tag(), QStringLiteral("OK"));
}

void TestEventWindow::okReportsAFailedWriteAndStillCloses()
{
    addEvent(1, QStringLiteral("Gala"));
    RegisterWindow main;
    EventWindow *w = openWindow(&main);
    QTest::keyClicks(child<QLineEdit>(w, "txtFields_2"), QStringLiteral("typed here"));
    // Another workstation changes the same event meanwhile.
    TestEnvironment::exec(m_file, QStringLiteral("UPDATE Program SET Description = 'typed there' WHERE ProgramID = 1"));
    m_dialogs->answer(MsgAnswer::Ok);
    click(w, "cmdOK");
    QCOMPARE(m_dialogs->boxes().size(), 1);
    QVERIFY(!m_dialogs->lastBox().text.isEmpty());
    QCOMPARE(w->tag(), QStringLiteral("OK"));
    QVERIFY(w->isUnloaded());
    QCOMPARE(main.tag(), QStringLiteral("1"));
    // Nothing was overwritten.
    QCOMPARE(sql(QStringLiteral("SELECT Description FROM Program WHERE ProgramID = 1")).toString(),
             QStringLiteral("typed there"));
}

void TestEventWindow::cancelEscAndCloseBoxLeaveTheMainWindowAlone()
{
    addEvent(1, QStringLiteral("Kept"));
    addEvent(2, QStringLiteral("Other"));
    RegisterWindow main;
    main.setTag(QStringLiteral("1"));
    main.setWindowTitle(QStringLiteral("Kept"));

    // The Cancel button; a pending change is written as the window unloads.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    EventWindow *w = openWindow(&main);
    QTest::mouseClick(w->datPrimaryRS()->button(3), Qt::LeftButton);
    QTest::keyClicks(child<QLineEdit>(w, "txtFields_3"), QStringLiteral("Kim"));
    click(w, "cmdCancel");
    QCOMPARE(w->tag(), QStringLiteral("Cancel"));
    QVERIFY(w->isUnloaded());
    QCOMPARE(w->result(), int(QDialog::Rejected));
    QCOMPARE(main.tag(), QStringLiteral("1"));
    QCOMPARE(main.windowTitle(), QStringLiteral("Kept"));
    QCOMPARE(sql(QStringLiteral("SELECT Director FROM Program WHERE ProgramID = 2")).toString(), QStringLiteral("Kim"));
    QVERIFY(!QApplication::overrideCursor());
    finishDeletes();

    // Esc.
    w = openWindow(&main);
    QTest::mouseClick(w->datPrimaryRS()->button(3), Qt::LeftButton);
    QTest::keyClick(w, Qt::Key_Escape);
    QCOMPARE(w->tag(), QStringLiteral("Cancel"));
    QVERIFY(w->isUnloaded());
    QCOMPARE(main.tag(), QStringLiteral("1"));
    finishDeletes();

    // The close box.
    w = openWindow(&main);
    QTest::mouseClick(w->datPrimaryRS()->button(3), Qt::LeftButton);
    w->close();
    QCOMPARE(w->tag(), QStringLiteral("Cancel"));
    QVERIFY(w->isUnloaded());
    QVERIFY(!w->isVisible());
    QCOMPARE(main.tag(), QStringLiteral("1"));
    QCOMPARE(main.windowTitle(), QStringLiteral("Kept"));
    QVERIFY(m_dialogs->boxes().isEmpty());
}

void TestEventWindow::aKeyAbove16BitsIsHandedOverWhole()
{
    addEvent(40000, QStringLiteral("Big Number"));
    RegisterWindow main;
    EventWindow *w = openWindow(&main);
    QCOMPARE(child<QLineEdit>(w, "txtFields_0")->text(), QStringLiteral("40000"));
    click(w, "cmdAdd");
    QCOMPARE(child<QLineEdit>(w, "txtFields_0")->text(), QStringLiteral("40001"));
    QTest::mouseClick(w->datPrimaryRS()->button(0), Qt::LeftButton); // leaves the untouched new row
    QCOMPARE(child<QLineEdit>(w, "txtFields_0")->text(), QStringLiteral("40000"));
    click(w, "cmdOK");
    QCOMPARE(main.tag(), QStringLiteral("40000"));
    QCOMPARE(main.windowTitle(), QStringLiteral("Big Number"));
}

QTEST_MAIN(TestEventWindow)
#include "tst_eventwindow.moc"
