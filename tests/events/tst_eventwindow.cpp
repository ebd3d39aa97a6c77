// The event window: loading the events, the record caption, Add New / Save /
// Delete (with the event's attendees and donations), and handing the chosen event
// to the registration window on OK; Cancel keeps nothing of what was typed.

#include "../register/RegisterFixture.h"
#include "TestHelpers.h"
#include "ThrownError.h"

#include "data/DataError.h"
#include "events/EventWindow.h"

#include <QAccessible>
#include <QCalendarWidget>
#include <QDateEdit>

class TestEventWindow : public QObject
{
    Q_OBJECT

    // A fresh window on the test's database, loaded, shown and active.
    EventWindow *openWindow()
    {
        m_window = new EventWindow(f.context, nullptr);
        connect(m_window, &EventWindow::eventChosen, this,
                [this](const QString &key, const QString &name) { m_chosen = {key, name}; });
        m_window->formLoad();
        m_window->show();
        m_window->activateWindow();
        if (!QTest::qWaitForWindowActive(m_window))
            qWarning("the event window did not become active");
        return m_window;
    }
    template <typename T = QWidget> T *child(const QString &name) { return m_window->findChild<T *>(name); }
    QLineEdit *field(int i) { return child<QLineEdit>(QStringLiteral("txtFields_%1").arg(i)); }
    void click(const char *button) { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }
    void move(int which) { QTest::mouseClick(m_window->datPrimaryRS()->button(which), Qt::LeftButton); }
    QString caption() { return m_window->datPrimaryRS()->caption(); }
    // Plain SQL on the database file, past the program's own connection.
    QVariant column(qint64 id, const char *name)
    {
        return f.sql(QStringLiteral("SELECT %1 FROM Program WHERE ProgramID = ?").arg(name), {id});
    }
    int count(const char *table) { return f.rows(table); }
    void exec(const QString &statement) { TestEnvironment::exec(f.file, statement); }
    // A failed write is reported in one box with the engine's text and the program's title.
    void expectOneErrorBox(int number, MsgIcon icon)
    {
        QCOMPARE(f.dialogs->boxes().size(), 1);
        QCOMPARE(f.dialogs->lastBox(), (ScriptedDialogs::Box {DataError::make(number).description(),
                                                              "Quorvex", MsgButtons::Ok, icon}));
        f.dialogs->clear();
    }
    static void finishDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    RegisterFixture f; // its world and scripted boxes; no registration window is opened
    std::pair<QString, QString> m_chosen; // the event OK reported: key and name
    QPointer<EventWindow> m_window;

private slots:
    void init()
    {
        f.setUp();
        f.env->useDatabaseFolder(f.context, f.folder);
        m_chosen = {};
    }
    void cleanup()
    {
        delete m_window.data();
        f.tearDown();
    }

    void loadFailuresEndTheProgram()
    {
        const auto load = [this] { EventWindow(f.context, nullptr).formLoad(); };
        const QString notice = "\rProgram will Terminate";
        f.context.dbFolder.clear(); // no database folder at all
        QCOMPARE(thrownFields(load), QStringList({"-1", "Event Setup", "Connection to Database Server Failure" + notice}));

        // A file with the database's name that is not one: the engine's own error, with the notice.
        const QString folder = f.env->folder("junk");
        QVERIFY(testHelpers::writeFile(folder + AppContext::DatabaseFileName, QByteArray(4096, '\x5a')));
        f.env->useDatabaseFolder(f.context, folder);
        const QStringList error = thrownFields(load);
        QVERIFY2(error.size() == 3 && !error[1].isEmpty() && error[2].endsWith(notice) && error[2] != notice,
                 qPrintable(error.join('|')));
    }

    void controlsCaptionsAndTabOrder()
    {
        f.addEvent(1, "Spring Gala");
        EventWindow *w = openWindow();
        QCOMPARE(w->windowTitle(), "Event Setup");
        QCOMPARE(w->accessibleName(), "Event Setup");
        QCOMPARE(caption(), "Record: 1 of 1");
        QCOMPARE(child<QDateEdit>("DTPicker1_0")->text().trimmed(), QString()); // no date stored: none made up

        // Each control is bound to its field, and its caption label (the field's name and a
        // colon) names it for screen readers.
        const QStringList controls = {"txtFields_0", "txtFields_1", "txtFields_2", "txtFields_3", "DTPicker1_0",
                                      "DTPicker1_1", "chkFields_6", "txtFields_7", "txtFields_8"};
        const QStringList fields = {"ProgramID", "Name",        "Description", "Director", "DateStart",
                                    "DateEnd",   "FundRaising", "TargetAmt",   "ActualAmt"};
        for (int i = 0; i < controls.size(); ++i) {
            QWidget *control = child(controls.at(i));
            QVERIFY2(control, qPrintable(controls.at(i)));
            QCOMPARE(w->datPrimaryRS()->boundField(control), fields.at(i));
            QCOMPARE(QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name), fields.at(i) + ':');
        }
        // Tab goes down the fields in order, then on through the buttons.
        const QStringList order = controls + QStringList {"cmdAdd", "cmdUpdate", "cmdDelete", "cmdOK", "cmdCancel"};
        QStringList tabbed;
        for (QWidget *next = field(0); next && !tabbed.contains(next->objectName()); next = next->nextInFocusChain())
            if ((next->focusPolicy() & Qt::TabFocus) && order.contains(next->objectName()))
                tabbed << next->objectName();
        QCOMPARE(tabbed, order);
    }

    void addNewAndSaveByKeyboard()
    {
        f.addEvent(5, "Autumn Fair");
        EventWindow *w = openWindow();
        // Alt+A is Add New: the key is shown and reserved, the row not written yet. (A
        // mnemonic clicks its button after a short animation, hence the waits.)
        QTest::keyClick(w, Qt::Key_A, Qt::AltModifier);
        QTRY_COMPARE(w->datPrimaryRS()->recordset()->editMode(), EditMode::Adding);
        QCOMPARE(field(0)->text(), "6");
        QCOMPARE(caption(), "Record: 0 of 1");
        QCOMPARE(count("Program"), 1);

        QTest::keyClicks(field(1), "O'Brien's Winter Ball");
        auto *start = child<QDateEdit>("DTPicker1_0");
        start->setDate(QDate(2026, 12, 24));
        QTest::keyClick(w, Qt::Key_S, Qt::AltModifier); // Alt+S is Save
        QTRY_COMPARE(count("Program"), 2);
        QCOMPARE(column(6, "Name || '|' || DateStart || '|' || ifnull(DateEnd, 'none')").toString(),
                 "O'Brien's Winter Ball|2026-12-24|none");
        QCOMPARE(caption(), "Record: 2 of 2"); // the written row is placed

        // Delete empties a date box, and the empty date is stored as no date.
        start->setFocus();
        QTest::keyClick(start, Qt::Key_Delete);
        click("cmdUpdate");
        QVERIFY(column(6, "DateStart").isNull());
        // The calendar of an empty box opens on today's month, not in the year 100.
        start->calendarWidget()->window()->show();
        QCOMPARE(start->calendarWidget()->yearShown(), QDate::currentDate().year());
        QCOMPARE(start->calendarWidget()->monthShown(), QDate::currentDate().month());
        start->calendarWidget()->window()->hide();
        QVERIFY(start->text().trimmed().isEmpty());

        // Save with nothing pending writes nothing (and shows no box: the seam fails on one).
        click("cmdUpdate");
        QCOMPARE(count("Program"), 2);
    }

    void failedWritesAreReportedAndKeepTheTyping()
    {
        f.addEvent(1, "Gala");
        EventWindow *w = openWindow();
        // Another workstation changes the event meanwhile: OK reports it, overwrites nothing,
        // hands nothing over and stays open with the typing; Cancel then leaves it as stored.
        QTest::keyClicks(field(2), "typed here");
        exec("UPDATE Program SET Description = 'typed there' WHERE ProgramID = 1");
        f.dialogs->answer(MsgAnswer::Ok);
        click("cmdOK");
        expectOneErrorBox(DataError::WriteConflict, MsgIcon::Exclamation);
        QVERIFY(w->isVisible() && !w->isUnloaded() && m_chosen.first.isEmpty());
        QCOMPARE(field(2)->text(), "typed here");
        QCOMPARE(column(1, "Description").toString(), "typed there");
        click("cmdCancel");
        QVERIFY(w->tag() == "Cancel" && w->isUnloaded() && m_chosen.first.isEmpty());
        finishDeletes();

        // Another workstation deletes the row being edited: Save fails, the window stays open with the typing.
        w = openWindow();
        QTest::keyClicks(field(1), " 2027");
        exec("DELETE FROM Program WHERE ProgramID = 1");
        f.dialogs->answer(MsgAnswer::Ok);
        click("cmdUpdate");
        expectOneErrorBox(DataError::RecordDeleted, MsgIcon::None);
        QVERIFY(w->isVisible() && !w->isUnloaded());
        QCOMPARE(field(1)->text(), "Gala 2027");
        QCOMPARE(count("Program"), 0);
    }

    void deleteAsksAndTakesTheAttendeesAndDonations()
    {
        for (const char *name : {"First", "Second", "Third"})
            f.addEvent(count("Program") + 1, QString::fromLatin1(name));
        exec(QStringLiteral("INSERT INTO Attendees (AttendeeID, ProgramID, LastName) VALUES (1, 1, 'A'), (2, 1, 'B'), "
                            "(3, 3, 'Kept')"));
        exec("INSERT INTO Donations (AttendeeID, Amount) VALUES (1, 10000), (1, 20000), (3, 30000)");
        openWindow();
        const auto question = [](const QString &text) {
            return ScriptedDialogs::Box {text, "DELETE Event", MsgButtons::YesNo, MsgIcon::Question,
                                         MsgAnswer::No};
        };

        // The question says what goes with the event; No changes nothing.
        f.dialogs->answer(MsgAnswer::No);
        click("cmdDelete");
        QCOMPARE(f.dialogs->lastBox(), question(QStringLiteral("Are you sure you want to DELETE the Current Event?\r\r"
                                                               "Its 2 attendees and their 2 donations will be deleted "
                                                               "with it.")));
        QCOMPARE(count("Program") * 100 + count("Attendees") * 10 + count("Donations"), 333);

        // Yes deletes the event with its attendees and their donations, and moves on to the next one.
        f.dialogs->answer(MsgAnswer::Yes);
        click("cmdDelete");
        // What is left: the events, the attendees and the donations' attendees (another event's stay).
        QCOMPARE(f.sql("SELECT (SELECT group_concat(ProgramID) FROM Program) || '/' || (SELECT group_concat(AttendeeID) "
                     "FROM Attendees) || '/' || (SELECT group_concat(AttendeeID) FROM Donations)"), "2,3/3/3");
        QCOMPARE(field(1)->text(), "Second");
        QCOMPARE(caption(), "Record: 1 of 2");

        // One of each, in the singular. Deleting the last row moves back to the one before it.
        move(3);
        f.dialogs->answer(MsgAnswer::Yes);
        click("cmdDelete");
        QCOMPARE(f.dialogs->lastBox().text, QStringLiteral("Are you sure you want to DELETE the Current Event?\r\r"
                                                           "Its 1 attendee and their 1 donation will be deleted with it."));
        QCOMPARE(field(1)->text(), "Second");
        QCOMPARE(caption(), "Record: 1 of 1");

        // An event without attendees is asked about as always. The only row goes and the
        // display clears; on an empty table Delete is harmless.
        f.dialogs->answer(MsgAnswer::Yes);
        click("cmdDelete");
        QCOMPARE(f.dialogs->lastBox(), question("Are you sure you want to DELETE the Current Event?"));
        QCOMPARE(count("Program") + count("Attendees") + count("Donations"), 0);
        QCOMPARE(field(0)->text() + field(1)->text(), QString());
        QCOMPARE(caption(), "Record: 0 of 0");
        f.dialogs->answer(MsgAnswer::Yes);
        click("cmdDelete");

        // Delete on a new row that was never written drops it. OK on an untouched new row
        // still writes it, so the key handed over names an event that exists.
        click("cmdAdd");
        QTest::keyClicks(field(1), "Mistake");
        f.dialogs->answer(MsgAnswer::Yes);
        click("cmdDelete");
        click("cmdAdd");
        const qint64 key = field(0)->text().toLongLong();
        click("cmdOK");
        QCOMPARE(f.sql("SELECT group_concat(ProgramID || ':' || ifnull(Name, '')) FROM Program").toString(),
                 QStringLiteral("%1:").arg(key));
        QCOMPARE(m_chosen.first, QString::number(key));
    }

    void okWritesAndCancelDiscardsThePendingChange_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("OK") << 0;
        QTest::newRow("Enter") << 1;
        QTest::newRow("Cancel button") << 2;
        QTest::newRow("Esc") << 3;
        QTest::newRow("close box") << 4;
    }

    void okWritesAndCancelDiscardsThePendingChange()
    {
        QFETCH(int, how);
        const bool ok = how < 2; // OK and Enter
        f.addEvent(1, "Kept");
        f.addEvent(40000, "Other"); // keys above 16 bits are handed over whole
        const auto close = [&](EventWindow *w) {
            if (how == 0)
                click("cmdOK");
            else if (how == 1)
                QTest::keyClick(field(1), Qt::Key_Return);
            else if (how == 2)
                click("cmdCancel");
            else if (how == 3)
                QTest::keyClick(w, Qt::Key_Escape);
            else
                w->close();
            QCOMPARE(w->tag(), ok ? "OK" : "Cancel");
            QCOMPARE(w->result(), ok ? int(QDialog::Accepted) : int(QDialog::Rejected));
            QVERIFY(w->isUnloaded() && !w->isVisible());
            finishDeletes();
            QVERIFY(m_window.isNull()); // the unloaded window is gone
        };
        const auto chosen = [&](const char *key, const char *name) {
            return ok ? std::make_pair(QString::fromLatin1(key), QString::fromLatin1(name)) : std::pair<QString, QString>();
        };

        // A busy cursor left by an earlier step, however deep, is cleared as the window unloads.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QApplication::setOverrideCursor(Qt::BusyCursor);
        EventWindow *w = openWindow();
        move(3);
        QTest::keyClicks(field(1), " renamed");
        close(w);
        QVERIFY(!QApplication::overrideCursor());
        // OK writes the change and reports the event shown; the others write and report nothing.
        QCOMPARE(m_chosen, chosen("40000", "Other renamed"));
        QCOMPARE(column(40000, "Name").toString(), ok ? "Other renamed" : "Other");

        // A new event: OK stores it and hands it over, Cancel leaves no empty event behind.
        m_chosen = {};
        w = openWindow();
        click("cmdAdd");
        QTest::keyClicks(field(1), "Typed");
        close(w);
        QCOMPARE(m_chosen, chosen("40001", "Typed"));
        QCOMPARE(column(40001, "Name").toString(), ok ? "Typed" : "");
        QCOMPARE(count("Program"), ok ? 3 : 2);
    }
};

QTEST_MAIN(TestEventWindow)
#include "tst_eventwindow.moc"
