// The data control driven as the user drives it: typing into bound boxes,
// clicking the arrows, and moves made from code; results checked with plain SQL.
#include "bindings/DataControl.h"
#include "data/DataError.h"
#include "data/Recordset.h"
#include "data/RecordsetModel.h"

#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "ThrownError.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString AttendeeSource = QStringLiteral("Select * from Attendees where ProgramID =1");

enum Arrow { First = 0, Previous = 1, Next = 2, Last = 3 };

// The window's side of the protocol, answered by the test (the defaults when unset).
struct Handler : DataControlHandler
{
    std::function<Decision(DataAction, bool)> onValidate;
    std::function<ErrorResponse(const AppError &)> onError;
    int validations = 0;

    Decision validate(DataAction action, bool changed) override
    {
        ++validations;
        return onValidate ? onValidate(action, changed) : Decision {true, changed};
    }
    ErrorResponse error(const AppError &e) override { return onError ? onError(e) : ErrorResponse::ShowMessage; }
};

// A window with a navigator and the widgets bound to it, over a fresh database;
// a box that nothing was queued for fails the test.
struct Form
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    Handler handler;
    QString file = env.createDatabase(env.folder(QStringLiteral("db")));
    QWidget window;
    QVBoxLayout *layout = new QVBoxLayout(&window);
    DataControl *dc = new DataControl(&window);

    Form()
    {
        layout->addWidget(dc);
        dc->setHandler(&handler);
    }
    template <class W> W *bind(W *widget, const char *field)
    {
        layout->addWidget(widget);
        dc->bind(widget, QLatin1String(field));
        return widget;
    }
    void open(const QString &source, bool refresh = true)
    {
        dc->setDatabaseName(file);
        dc->setRecordSource(source);
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        if (refresh)
            dc->refresh();
    }
    void exec(const QString &statement) const { TestEnvironment::exec(file, statement); }
    QVariant sql(const QString &query, const QVariantList &params = {}) const
    {
        return TestEnvironment::scalar(file, query, params);
    }
    void click(Arrow which) { QTest::mouseClick(dc->button(which), Qt::LeftButton); }
    static void type(QWidget *box, const QString &text)
    {
        box->setFocus();
        QTest::keyClicks(box, text);
    }
};

// Three attendees of event 1 (Ann, Bob, Cid) in bound boxes.
struct Desk : Form
{
    QLineEdit *first = bind(new QLineEdit(&window), "FirstName");
    QLabel *id = bind(new QLabel(&window), "AttendeeID");
    QLabel *program = bind(new QLabel(&window), "ProgramID");
    QStringList log;

    enum Start { Closed, Refreshed, Recorded };
    explicit Desk(Start start = Refreshed, const QString &source = AttendeeSource)
    {
        exec("INSERT INTO Attendees (ProgramID, FirstName, LastName) "
             "VALUES (1, 'Ann', 'Smith'), (1, 'Bob', 'Smith'), (1, 'Cid', 'Smith')");
        open(source, start != Closed);
        if (start == Recorded)
            record();
    }
    Recordset *rs() const { return dc->recordset(); }
    QString stored(const QString &field, qint64 key) const
    {
        return sql(QStringLiteral("SELECT %1 FROM Attendees WHERE AttendeeID = ?").arg(field), {key}).toString();
    }
    // Records each event with what the boxes and the database hold at that moment.
    void record()
    {
        handler.onValidate = [this](DataAction action, bool changed) {
            log << QStringLiteral("validate %1 %2 db=%3").arg(int(action)).arg(changed).arg(stored("FirstName", 1));
            return Handler::Decision {true, changed};
        };
        QObject::connect(dc, &DataControl::reposition, dc, [this] {
            log << QStringLiteral("reposition %1 db=%2").arg(first->text(), stored("FirstName", 1));
        });
        handler.onError = [this](const AppError &e) {
            log << QStringLiteral("error %1").arg(e.number());
            return Handler::ErrorResponse::ShowMessage;
        };
    }
};

} // namespace

class TestDataControl : public QObject
{
    Q_OBJECT
private slots:
    void refreshFillsThenArrowsValidateWriteMoveFillReposition()
    {
        Desk desk(Desk::Closed);
        QSignalSpy reposition(desk.dc, &DataControl::reposition);
        QSignalSpy firstChanged(desk.first, &QLineEdit::textChanged);
        desk.dc->refresh();
        QCOMPARE(reposition.count(), 1);
        QCOMPARE(desk.first->text(), QStringLiteral("Ann"));
        // Filling runs the boxes' change signals (the card follows them) but changes no data.
        QCOMPARE(firstChanged.count(), 1);
        QVERIFY(!desk.dc->dataChanged());
        // Keyboard reachable, with accessible names.
        const QStringList names = {"First record", "Previous record", "Next record", "Last record"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(desk.dc->button(i)->accessibleName(), names.at(i));
            QVERIFY(desk.dc->button(i)->focusPolicy() & Qt::TabFocus);
        }

        // Typing enters the pending row at once. Validate sees the old row in the
        // database; the row is written (without a box) before the move; reposition
        // sees the new row in the boxes.
        desk.record();
        desk.type(desk.first, QStringLiteral("e"));
        QCOMPARE(desk.rs()->value(QStringLiteral("FirstName")).toString(), QStringLiteral("Anne"));
        desk.click(Next);
        QCOMPARE(desk.log, QStringList({"validate 3 1 db=Ann", "reposition Bob db=Anne"}));
        QVERIFY(!desk.dc->dataChanged());

        // Code writing a bound label's caption sets the field of the row.
        desk.dc->setBoundValue(desk.program, QStringLiteral("7"));
        QCOMPARE(desk.program->text(), QStringLiteral("7"));
        desk.log.clear();
        desk.click(Last);
        desk.click(Next); // past the last row: stays on the last row, one reposition
        QCOMPARE(desk.log, QStringList({"validate 4 1 db=Anne", "reposition Cid db=Anne", "validate 3 0 db=Anne",
                                        "reposition Cid db=Anne"}));
        QCOMPARE(desk.stored("ProgramID", 2), QStringLiteral("7"));

        desk.log.clear();
        desk.click(Previous);
        desk.click(First);
        desk.click(Previous); // before the first row: stays on the first row
        QCOMPARE(desk.log, QStringList({"validate 2 0 db=Anne", "reposition Bob db=Anne", "validate 1 0 db=Anne",
                                        "reposition Anne db=Anne", "validate 2 0 db=Anne", "reposition Anne db=Anne"}));
    }

    void validateCancelKeepsRowAndTyping()
    {
        Desk desk(Desk::Recorded);
        desk.handler.onValidate = [log = desk.handler.onValidate](DataAction action, bool changed) {
            log(action, changed);
            return Handler::Decision {false, changed};
        };
        desk.type(desk.first, QStringLiteral("y"));
        desk.click(Next);
        desk.rs()->moveLast();
        QCOMPARE(desk.log, QStringList({"validate 3 1 db=Ann", "validate 4 1 db=Ann"}));
        QCOMPARE(desk.first->text(), QStringLiteral("Anny")); // not moved, not refilled
        QVERIFY(desk.dc->dataChanged());
        QVERIFY(!desk.dc->unload());
        QCOMPARE(desk.stored("FirstName", 1), QStringLiteral("Ann"));
    }

    void addNewShowsReservedKeyAndSaveWritesIt()
    {
        Desk desk(Desk::Recorded);
        desk.type(desk.first, QStringLiteral("!"));
        desk.rs()->addNew();
        // The typing of the row left is written first; the new row shows its key at once.
        QCOMPARE(desk.log.mid(0, 2), QStringList({"validate 5 1 db=Ann", "reposition  db=Ann!"}));
        const qint64 key = desk.id->text().toLongLong();
        QVERIFY(key > 3);

        desk.dc->setBoundValue(desk.program, QStringLiteral("1"));
        desk.type(desk.first, QStringLiteral("Dee"));
        desk.log.clear();
        desk.rs()->update(); // the window's Save
        QCOMPARE(desk.log.value(0), QStringLiteral("validate 6 1 db=Ann!"));
        QVERIFY(!desk.dc->dataChanged());
        QCOMPARE(desk.stored("FirstName", key), QStringLiteral("Dee"));
        QCOMPARE(desk.stored("ProgramID", key), QStringLiteral("1"));

        // Esc on a new row drops it and shows the row before again.
        desk.rs()->moveFirst();
        desk.rs()->addNew();
        const qint64 dropped = desk.id->text().toLongLong();
        desk.type(desk.first, QStringLiteral("Nobody"));
        desk.dc->cancelChanges();
        QCOMPARE(desk.first->text(), QStringLiteral("Ann!"));
        QCOMPARE(desk.sql("SELECT count(*) FROM Attendees WHERE AttendeeID = ?", {dropped}).toInt(), 0);
    }

    void unloadWritesPendingTyping()
    {
        Desk desk(Desk::Recorded);
        desk.rs()->moveNext();
        desk.log.clear();
        desk.type(desk.first, QStringLiteral("by"));
        QVERIFY(desk.dc->unload());
        QCOMPARE(desk.log, QStringList({"validate 11 1 db=Ann"}));
        QCOMPARE(desk.stored("FirstName", 2), QStringLiteral("Bobby"));
        QVERIFY(desk.dc->unload()); // nothing changed: writes nothing and succeeds

        // Re-pointing the control (another event) writes the typing of the old rows first.
        desk.type(desk.first, QStringLiteral("!"));
        desk.dc->setRecordSource(QStringLiteral("Select * from Attendees where ProgramID =2"));
        desk.dc->refresh();
        QCOMPARE(desk.stored("FirstName", 2), QStringLiteral("Bobby!"));
        QCOMPARE(desk.first->text(), QString());
    }

    void writeConflictKeepsTypingAndEscShowsOtherWorkstation()
    {
        Desk desk(Desk::Recorded);
        desk.type(desk.first, QStringLiteral("ette"));
        desk.exec("UPDATE Attendees SET FirstName = 'Anna' WHERE AttendeeID = 1"); // another workstation, meanwhile

        desk.dialogs.answer(MsgAnswer::Ok);
        desk.click(Next);
        QCOMPARE(desk.log,
                 QStringList({"validate 3 1 db=Anna", QStringLiteral("error %1").arg(DataError::WriteConflict)}));
        QCOMPARE(desk.dialogs.lastBox(), (ScriptedDialogs::Box {DataError::make(DataError::WriteConflict).description(),
                                                                QStringLiteral("Quorvex"), MsgButtons::Ok, MsgIcon::Exclamation}));
        QCOMPARE(desk.first->text(), QStringLiteral("Annette"));
        QCOMPARE(desk.stored("FirstName", 1), QStringLiteral("Anna"));
        QVERIFY(desk.dc->dataChanged());

        // A handler that answers itself (response 0) suppresses the engine's box (the seam fails on one).
        desk.handler.onError = [](const AppError &) { return Handler::ErrorResponse::Handled; };
        desk.rs()->moveLast();
        QVERIFY(!desk.dc->unload());
        QCOMPARE(desk.first->text(), QStringLiteral("Annette"));

        // Esc: the other workstation's value is shown, and the row can be edited again.
        desk.dc->cancelChanges();
        QCOMPARE(desk.first->text(), QStringLiteral("Anna"));
        QVERIFY(!desk.dc->dataChanged());
        desk.type(desk.first, QStringLiteral("bel"));
        desk.click(Next);
        QCOMPARE(desk.stored("FirstName", 1), QStringLiteral("Annabel"));
        QVERIFY(desk.dialogs.allAnswersUsed());
    }

    void badAmountIsKeptAndReportedWhenWritten()
    {
        Form f;
        f.exec("INSERT INTO Program (Name, TargetAmt) VALUES ('Gala', 10000), ('Fair', NULL)");
        auto *amount = f.bind(new QLineEdit(&f.window), "TargetAmt");
        f.open(QStringLiteral("Select * from Program"));
        QCOMPARE(amount->text(), QStringLiteral("1.00"));

        QList<int> errors;
        f.handler.onError = [&errors](const AppError &e) {
            errors << e.number();
            return Handler::ErrorResponse::ShowMessage;
        };
        amount->setFocus();
        amount->selectAll();
        QTest::keyClicks(amount, QStringLiteral("12x"));
        f.dialogs.answer(MsgAnswer::Ok);
        f.click(Next);
        QCOMPARE(errors, QList<int>({DataError::TypeMismatch}));
        QVERIFY(f.dialogs.lastBox().text.contains(QStringLiteral("12x")));
        QCOMPARE(amount->text(), QStringLiteral("12x")); // not moved, not refilled
        QCOMPARE(f.sql("SELECT TargetAmt FROM Program WHERE ProgramID = 1").toLongLong(), 10000);
        // The window's Save gets the error thrown; nothing is written.
        QVERIFY_APP_ERROR(f.dc->recordset()->update(), DataError::TypeMismatch);

        // Corrected, the amount is stored exactly.
        QTest::keyClick(amount, Qt::Key_Backspace);
        QTest::keyClicks(amount, QStringLiteral(".35"));
        f.click(Next);
        QCOMPARE(f.sql("SELECT TargetAmt FROM Program WHERE ProgramID = 1").toLongLong(), 123500);
        QCOMPARE(amount->text(), QString()); // on Fair, which has no target
        QVERIFY(f.dialogs.allAnswersUsed());
    }

    void checkBoxDateAndTextBindings()
    {
        Form f;
        f.exec("INSERT INTO Program (Name, DateStart, FundRaising, Description) VALUES "
               "('Gala', '2024-05-31', 1, 'Line one'), ('Fair', NULL, 0, NULL)");
        auto *name = new QComboBox(&f.window);
        f.bind(name, "Name");
        // Made editable after binding, as a lookup list may be: typing still reaches the row.
        name->setEditable(true);
        name->addItems({QStringLiteral("Gala"), QStringLiteral("Picnic")});
        auto *start = f.bind(new QDateEdit(&f.window), "DateStart");
        auto *fund = f.bind(new QCheckBox(QStringLiteral("Fund raising"), &f.window), "FundRaising");
        auto *description = f.bind(new QPlainTextEdit(&f.window), "Description");
        f.open(QStringLiteral("Select * from Program"));
        QCOMPARE(name->currentText(), QStringLiteral("Gala"));
        QCOMPARE(start->date(), QDate(2024, 5, 31));
        QVERIFY(fund->isChecked());
        QCOMPARE(description->toPlainText(), QStringLiteral("Line one"));

        // A row without a date shows the blank special value; nothing is marked changed.
        f.click(Next);
        QCOMPARE(start->text().trimmed(), QString());
        QVERIFY(!fund->isChecked());
        QVERIFY(!f.dc->dataChanged());

        // The user's edits in each kind of widget reach the row.
        name->setFocus();
        name->lineEdit()->selectAll();
        QTest::keyClicks(name, QStringLiteral("Fun Fair"));
        f.type(fund, QStringLiteral(" "));
        start->setDate(QDate(2025, 1, 2));
        f.type(description, QStringLiteral("Rides"));
        f.click(First);
        QCOMPARE(f.sql("SELECT Name || '|' || FundRaising || '|' || DateStart || '|' || Description FROM Program "
                       "WHERE ProgramID = 2")
                     .toString(),
                 QStringLiteral("Fun Fair|1|2025-01-02|Rides"));
        // A pick from the list (Down on the closed list) is an edit too.
        QVERIFY(!f.dc->dataChanged());
        name->setFocus();
        QTest::keyClick(name, Qt::Key_Down);
        QCOMPARE(name->currentText(), QStringLiteral("Picnic"));
        QVERIFY(f.dc->unload());
        QCOMPARE(f.sql("SELECT Name FROM Program WHERE ProgramID = 1").toString(), QStringLiteral("Picnic"));
    }

    void emptyRecordsetTakesNoTyping()
    {
        Desk desk(Desk::Closed, QStringLiteral("Select * from Attendees where ProgramID =2"));
        desk.first->setText(QStringLiteral("stale"));
        QSignalSpy reposition(desk.dc, &DataControl::reposition);

        desk.dc->refresh();
        QCOMPARE(reposition.count(), 1);
        QVERIFY(desk.rs()->bof() && desk.rs()->eof());
        QCOMPARE(desk.first->text(), QString());
        // Typing with no current row goes nowhere and breaks nothing.
        desk.type(desk.first, QStringLiteral("x"));
        for (Arrow a : {First, Previous, Next, Last})
            desk.click(a);
        QCOMPARE(desk.handler.validations, 0);
        QCOMPARE(reposition.count(), 1);
        QVERIFY(desk.dc->unload());
    }

    void deleteFromCodeAndArrowsBackFromTheEnd()
    {
        Desk desk(Desk::Recorded);
        Recordset *rs = desk.rs();
        rs->moveLast();
        desk.log.clear();
        rs->deleteRow();
        QCOMPARE(desk.log.value(0), QStringLiteral("validate 7 0 db=Ann"));
        QCOMPARE(desk.sql("SELECT count(*) FROM Attendees").toInt(), 2);
        rs->moveNext(); // the window moves off the deleted row: after the end
        QVERIFY(rs->eof());
        QCOMPARE(desk.first->text(), QString());
        desk.click(Previous);
        QCOMPARE(desk.first->text(), QStringLiteral("Bob"));

        // A new row started after the end is saved by the next arrow and shown.
        rs->moveNext();
        QVERIFY(rs->eof());
        rs->addNew();
        const qint64 key = desk.id->text().toLongLong();
        desk.type(desk.first, QStringLiteral("Fay"));
        desk.click(Next); // without a box
        QCOMPARE(desk.stored("FirstName", key), QStringLiteral("Fay"));
        QCOMPARE(desk.first->text(), QStringLiteral("Fay"));
        QCOMPARE(desk.id->text().toLongLong(), key);
    }

    // Delete as the windows give it: the row and its typing go, the next row shows;
    // the last row leaves the set after its end or on the new last row; a handler
    // that refuses keeps everything; the only row leaves nothing of it on screen.
    void deleteCurrentAndMoveLeavesNothingOfTheRow()
    {
        Desk desk(Desk::Recorded);
        QSignalSpy deleted(desk.dc, &DataControl::rowDeleted);
        desk.type(desk.first, QStringLiteral("typed"));
        QVERIFY(desk.dc->deleteCurrentAndMove());
        QCOMPARE(deleted.value(0).value(0).toLongLong(), 1);
        QCOMPARE(desk.first->text(), QStringLiteral("Bob"));
        QCOMPARE(desk.sql("SELECT count(*) FROM Attendees WHERE FirstName = 'Anntyped' OR AttendeeID = 1").toInt(), 0);
        desk.rs()->moveLast();
        QVERIFY(desk.dc->deleteCurrentAndMove(DataControl::AfterLastRow::ShowLastRow));
        QCOMPARE(desk.first->text(), QStringLiteral("Bob"));

        desk.handler.onValidate = [](DataAction action, bool changed) {
            return Handler::Decision {action != DataAction::Delete, changed};
        };
        QVERIFY(!desk.dc->deleteCurrentAndMove());
        QCOMPARE(desk.first->text(), QStringLiteral("Bob"));
        QCOMPARE(desk.sql("SELECT count(*) FROM Attendees").toInt(), 1);

        desk.handler.onValidate = {};
        desk.log.clear();
        QVERIFY(desk.dc->deleteCurrentAndMove());
        QVERIFY(desk.rs()->bof() && desk.rs()->eof());
        QCOMPARE(desk.log, QStringList {QStringLiteral("reposition  db=")});
        QCOMPARE(desk.first->text() + desk.id->text() + desk.program->text(), QString());
        // New works at once: with no stored row to go to, an arrow saves the new row and shows it.
        desk.rs()->addNew();
        desk.dc->setBoundValue(desk.program, QStringLiteral("1"));
        desk.type(desk.first, QStringLiteral("Dee"));
        desk.click(Next);
        QCOMPARE(desk.rs()->absolutePosition(), 0);
        QCOMPARE(desk.first->text(), QStringLiteral("Dee"));
        QCOMPARE(desk.sql("SELECT FirstName FROM Attendees").toString(), QStringLiteral("Dee"));
    }

    // A grid's model follows the control's refresh; its edits reach the handler as
    // the control's own moves and writes.
    void aGridFollowsTheControlAndItsEditsAreValidated()
    {
        Form f;
        f.exec("INSERT INTO Donations (AttendeeID, Amount) VALUES (1, 10000), (1, 20000), (2, 10000)");
        f.open(QStringLiteral("SELECT * FROM qryDon_Fees WHERE AttendeeID =1"));
        RecordsetModel model(f.dc->recordset(), {QStringLiteral("AttendeeID"), QStringLiteral("Amount")});
        connect(f.dc, &DataControl::recordsetOpened, &model, &RecordsetModel::setRecordset);
        QVERIFY(model.setData(model.index(1, 1), QStringLiteral("3")));
        QCOMPARE(f.handler.validations, 1); // the move to row 1 (a bookmark)
        QCOMPARE(f.dc->recordset()->absolutePosition(), 1);
        QVERIFY(model.submit());
        QCOMPARE(f.handler.validations, 2); // the update
        QCOMPARE(f.sql("SELECT Amount FROM Donations WHERE DonationID = 2").toLongLong(), 30000);

        f.dc->setRecordSource(QStringLiteral("SELECT * FROM qryDon_Fees WHERE AttendeeID =2"));
        f.dc->refresh();
        QCOMPARE(model.recordset(), f.dc->recordset());
        QCOMPARE(model.rowCount(), 1);
    }

    // Disabled (the window's guard while the datasheet shows), the arrows do nothing, but
    // mouse moves over them are still reported: the registration window's lock follows them.
    void disabledArrowsStillReportMouseMoves()
    {
        Desk desk;
        QSignalSpy moved(desk.dc, &DataControl::mouseMoved);
        QTest::mouseMove(desk.dc->button(Next), QPoint(3, 3));
        QTRY_VERIFY(moved.count() >= 1);
        const int before = moved.count();
        desk.dc->setEnabled(false);
        desk.click(Next);
        QCOMPARE(desk.first->text(), QStringLiteral("Ann"));
        QTest::mouseMove(desk.dc->button(Previous), QPoint(4, 4));
        QTRY_VERIFY(moved.count() > before);
        desk.dc->setEnabled(true);
        desk.click(Next);
        QCOMPARE(desk.first->text(), QStringLiteral("Bob"));
    }

    void refreshOfAMissingFileOrTableThrows()
    {
        Desk desk(Desk::Closed, QStringLiteral("Select * from NoSuchTable"));
        QVERIFY(thrownError([&desk] { desk.dc->refresh(); }));
        desk.dc->setDatabaseName(desk.env.folder(QStringLiteral("none")) + QStringLiteral("Quorvex.mdb"));
        desk.dc->setRecordSource(AttendeeSource);
        QVERIFY_APP_ERROR(desk.dc->refresh(), DataError::FileNotFound);
        QCOMPARE(desk.dc->recordset(), nullptr);
    }
};

QTEST_MAIN(TestDataControl)
#include "tst_datacontrol.moc"
