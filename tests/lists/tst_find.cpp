// The find dialog: preset from the focused box, Find First and Find Next through
// the attendee recordset with the engine's LIKE (only * and ? are wildcards,
// letter case ignored in every alphabet), its boxes, and FindOpen while shown.

#include "ListsFixture.h"

#include "lists/FindDialog.h"

class TestFind : public QObject
{
    Q_OBJECT

private:
    static QComboBox *fields(QDialog *d) { return d->findChild<QComboBox *>("cboFields"); }
    static QLineEdit *what(QDialog *d) { return d->findChild<QLineEdit *>("txtFindWhat"); }
    static QPushButton *button(QDialog *d, int i)
    {
        return d->findChild<QPushButton *>(QStringLiteral("cmdFind_%1").arg(i));
    }
    static ScriptedDialogs::Box infoBox(const QString &text)
    {
        return ListsFixture::box(text, "Find", MsgButtons::Ok, MsgIcon::Information);
    }
    ListsFixture f;

private slots:
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    void presetFromTheFocusedBox()
    {
        f.addEvent(1);
        const qint64 ann = f.addAttendee(1, "Ann", "Müller");
        TestEnvironment::exec(f.file, "UPDATE Attendees SET OfficeName = 'Member' WHERE AttendeeID = ?", {ann});
        RegisterWindow *w = f.open(1);

        const struct Case {
            QWidget *focus;
            const char *text;
            const char *field; // "" for none chosen
            bool closeBox;     // closed with the window's close box instead of Close
        } cases[] = {{f.field(3), "Müller", "LastName", false},
                     {f.combo("cboOffice"), "Member", "OfficeName", true},
                     {f.grid(), "", "", false},  // neither a text box nor a combo
                     {w->tbToolBar()->cboIDSize(), "", "", false}}; // a box bound to no field
        for (const Case &c : cases) {
            c.focus->setFocus();
            QTRY_COMPARE(QApplication::focusWidget() == c.focus || c.focus->isAncestorOf(QApplication::focusWidget()),
                         true);
            f.dialogs->onModal([&](QDialog *d) {
                QCOMPARE(d->objectName(), "frmFind");
                QCOMPARE(d->windowTitle(), "Find");
                QVERIFY(f.context.findOpen);
                QCOMPARE(what(d)->text(), c.text);
                QCOMPARE(fields(d)->currentText(), c.field);
                QCOMPARE(button(d, 0)->isEnabled(), *c.text != 0);
                QCOMPARE(button(d, 1)->isEnabled(), *c.text != 0);
                QCOMPARE(fields(d)->count(), 20); // the attendee's fields, sorted
                QCOMPARE(fields(d)->itemText(0), "Address");
                QCOMPARE(fields(d)->itemText(1), "AttendeeID");
                QCOMPARE(fields(d)->itemText(19), "WorkPhone");
                // Blanks only keep the buttons disabled.
                what(d)->clear();
                QTest::keyClicks(what(d), "  ");
                QVERIFY(!button(d, 0)->isEnabled() && !button(d, 1)->isEnabled());
                if (c.closeBox)
                    d->close();
                else
                    RegisterFixture::press(d, "cmdClose");
            });
            // The menu's shortcut and the toolbar button lead to the same dialog.
            if (c.closeBox)
                w->tbToolBar()->button("Find")->trigger();
            else
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
            QVERIFY(!f.context.findOpen);
        }
    }

    void findFirstAndNextMatchAsTyped()
    {
        f.addEvent(1);
        f.addEvent(2);
        f.addAttendee(2, "Other", "Smith"); // another event's attendee is never found
        for (const char *last : {"Smith", "Blacksmith", "MÜLLER", "O'Brien", "50%_off", "Smithers", "5000 off", "Ma51",
                                 "Ma#1", "x Co", "[x] Co"})
            f.addAttendee(1, "A", last);
        RegisterWindow *w = f.open(1);
        const QString endOfRecords = "Either at end of record or search criteria is not in the specified field";

        // Each step: text, button (0 first, 1 next), the attendee shown afterwards, and whether
        // the end-of-record box came.
        const struct Step {
            const char *text;
            int button;
            const char *shown;
            bool end;
        } steps[] = {
            {"smi", 0, "Smith", false},   {"smi", 1, "Blacksmith", false}, {"smi", 1, "Smithers", false},
            {"smi", 1, "Smithers", true}, {"smi", 0, "Smith", false},      // first again
            {"müller", 0, "MÜLLER", false},                                 // letter case in every alphabet
            {"o'b", 0, "O'Brien", false},                                   // a quote is a character
            {"0%_", 0, "50%_off", false}, {"0%", 1, "50%_off", true},       // % and _ are characters
            {"s*th", 0, "Smith", false},  {"s*th", 1, "Blacksmith", false}, // * and ? are wildcards
            {"m?ller", 0, "MÜLLER", false},
            {"a#1", 0, "Ma#1", false},    {"[x]", 0, "[x] Co", false},      // # and [ are characters
        };
        f.dialogs->onModal([&](QDialog *d) {
            fields(d)->setCurrentIndex(fields(d)->findText("LastName"));
            for (const Step &step : steps) {
                const qsizetype boxes = f.dialogs->boxes().size();
                if (step.end)
                    f.dialogs->answer(MsgAnswer::Ok);
                what(d)->clear();
                what(d)->insert(QString::fromUtf8(step.text)); // as typed (the key simulator knows no ü)
                QTest::mouseClick(button(d, step.button), Qt::LeftButton);
                QVERIFY2(f.field(3)->text() == QString::fromUtf8(step.shown),
                         qPrintable(QStringLiteral("%1: %2").arg(QString::fromUtf8(step.text), f.field(3)->text())));
                QCOMPARE(f.dialogs->boxes().size(), boxes + (step.end ? 1 : 0));
                if (step.end)
                    QCOMPARE(f.dialogs->lastBox(), infoBox(endOfRecords));
                QVERIFY(d->isVisible());
            }
            RegisterFixture::press(d, "cmdClose");
        });
        f.action("mnuFind")->trigger();
        // The record found last stays current, with its display.
        QCOMPARE(f.card()->name(1), "[X] CO");
        QCOMPARE(f.counter(), "11 of 11");
        QVERIFY(w->isVisible());
    }

    void refusedCriteriaAndNoRecordsetAreReported()
    {
        f.addEvent(1);
        f.addAttendee(1, "Ann", "Lee");
        f.addAttendee(1, "Bob", "Ray");
        f.open(1);
        f.arrow(3);
        // No field chosen: the engine refuses the criterion; the box says so and the dialog stays usable.
        f.dialogs->onModal([&](QDialog *d) {
            QTest::keyClicks(what(d), "a");
            f.dialogs->answer(MsgAnswer::Ok);
            QTest::mouseClick(button(d, 0), Qt::LeftButton);
            const ScriptedDialogs::Box refused = f.dialogs->lastBox();
            QCOMPARE(refused, ListsFixture::box(refused.text, "Find", MsgButtons::Ok, MsgIcon::Exclamation));
            QVERIFY(!refused.text.isEmpty());
            QCOMPARE(f.field(1)->text(), "Bob");
            fields(d)->setCurrentIndex(fields(d)->findText("FirstName"));
            QTest::mouseClick(button(d, 0), Qt::LeftButton);
            QCOMPARE(f.field(1)->text(), "Ann");
            d->close();
        });
        f.action("mnuFind")->trigger();

        // Without a recordset every find says so.
        f.dialogs->onModal([&](QDialog *d) {
            QCOMPARE(fields(d)->count(), 0);
            QTest::keyClicks(what(d), "x");
            f.dialogs->answer(MsgAnswer::Ok);
            QTest::mouseClick(button(d, 1), Qt::LeftButton);
            QCOMPARE(f.dialogs->lastBox(), infoBox("Unexpected Error, please close the Find dialog and try again"));
            d->close();
        });
        FindDialog dialog(f.context, f.window);
        dialog.showFind(nullptr);
        QVERIFY(!f.context.findOpen);
    }
};

QTEST_MAIN(TestFind)
#include "tst_find.moc"
