// The data control driven as the user drives it: typing into bound boxes,
// clicking the arrows, and moves made from code; results checked with plain SQL.
#include "data/Currency.h"
#include "data/DataControl.h"
#include "data/DataError.h"
#include "data/Database.h"
#include "data/Recordset.h"

#include "ScriptedDialogs.h"
#include "TestEnvironment.h"

#include <QApplication>
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

// A window with a navigator and bound boxes over three attendees of event 1.
struct Desk
{
    TestEnvironment env;
    QString file;
    QWidget window;
    DataControl *dc = nullptr;
    QLineEdit *first = nullptr;
    QLineEdit *last = nullptr;
    QLabel *id = nullptr;
    QLabel *program = nullptr;
    QStringList log;

    explicit Desk(const QString &source = AttendeeSource)
    {
        file = env.createDatabase(env.folder(QStringLiteral("db")));
        for (const char *name : {"Ann", "Bob", "Cid"})
            TestEnvironment::exec(file, QStringLiteral("INSERT INTO Attendees (ProgramID, FirstName, LastName) "
                                                       "VALUES (1, ?, 'Smith')"),
                                  {QString::fromLatin1(name)});
        auto *layout = new QVBoxLayout(&window);
        dc = new DataControl(&window);
        first = new QLineEdit(&window);
        last = new QLineEdit(&window);
        id = new QLabel(&window);
        program = new QLabel(&window);
        for (QWidget *w : {static_cast<QWidget *>(dc), static_cast<QWidget *>(first),
                           static_cast<QWidget *>(last), static_cast<QWidget *>(id),
                           static_cast<QWidget *>(program)})
            layout->addWidget(w);
        dc->bind(first, QStringLiteral("FirstName"));
        dc->bind(last, QStringLiteral("LastName"));
        dc->bind(id, QStringLiteral("AttendeeID"));
        dc->bind(program, QStringLiteral("ProgramID"));
        dc->setDatabaseName(file);
        dc->setRecordSource(source);
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
    }

    QVariant stored(const QString &field, qint64 key) const
    {
        return TestEnvironment::scalar(file, QStringLiteral("SELECT %1 FROM Attendees WHERE AttendeeID = ?").arg(field),
                                       {key});
    }

    // Records each event with what the boxes and the database hold at that moment.
    void record()
    {
        QObject::connect(dc, &DataControl::validate, dc, [this](int &action, bool &save) {
            log << QStringLiteral("validate %1 %2 db=%3").arg(action).arg(save).arg(stored("FirstName", 1).toString());
        });
        QObject::connect(dc, &DataControl::reposition, dc, [this] {
            log << QStringLiteral("reposition %1 db=%2").arg(first->text(), stored("FirstName", 1).toString());
        });
        QObject::connect(dc, &DataControl::error, dc, [this](int dataErr, int &) {
            log << QStringLiteral("error %1").arg(dataErr);
        });
    }

    void click(Arrow which) { QTest::mouseClick(dc->button(which), Qt::LeftButton); }
    void type(QLineEdit *box, const QString &text)
    {
        box->setFocus();
        QTest::keyClicks(box, text);
    }
};

} // namespace

class TestDataControl : public QObject
{
    Q_OBJECT
private slots:
    void refreshFillsBoundWidgetsAndRepositions();
    void arrowsValidateWriteMoveFillReposition();
    void movesFromCodeRaiseTheSameEvents();
    void validateCancelKeepsRowAndTyping();
    void typingEntersPendingEditAtOnce();
    void addNewShowsReservedKeyAndSaveWritesIt();
    void unloadWritesPendingTyping();
    void writeConflictKeepsTypingAndEscShowsOtherWorkstation();
    void badAmountIsKeptAndReportedWhenWritten();
    void checkBoxDateAndTextBindings();
    void emptyRecordsetAndDisabledArrows();
    void deleteFromCodeAndArrowsBackFromTheEnd();
    void mouseMovesOverTheArrowsAreReported();
    void refreshOfAMissingFileThrows();
};

void TestDataControl::refreshFillsBoundWidgetsAndRepositions()
{
    Desk desk;
    QSignalSpy reposition(desk.dc, &DataControl::reposition);
    QSignalSpy firstChanged(desk.first, &QLineEdit::textChanged);
    desk.dc->refresh();
    QCOMPARE(reposition.count(), 1);
    QCOMPARE(desk.first->text(), QStringLiteral("Ann"));
    QCOMPARE(desk.id->text(), QStringLiteral("1"));
    QCOMPARE(desk.program->text(), QStringLiteral("1"));
    QCOMPARE(desk.dc->recordset()->absolutePosition(), 0);
    // Filling runs the boxes' change signals (the card follows them) but changes no data.
    QCOMPARE(firstChanged.count(), 1);
    QVERIFY(!desk.dc->dataChanged());
    QCOMPARE(desk.dc->recordset()->editMode(), EditMode::None);

    // Keyboard reachable, with accessible names.
    const QStringList names = {"First record", "Previous record", "Next record", "Last record"};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(desk.dc->button(i)->accessibleName(), names.at(i));
        QVERIFY(desk.dc->button(i)->focusPolicy() & Qt::TabFocus);
    }
    desk.dc->setCaption(QStringLiteral("1 of 3"));
    QCOMPARE(desk.dc->caption(), QStringLiteral("1 of 3"));
}

void TestDataControl::arrowsValidateWriteMoveFillReposition()
{
    Desk desk;
    desk.dc->refresh();
    desk.record();

    desk.type(desk.first, QStringLiteral("e"));
    desk.click(Next);
    // Validate sees the old row in the database; the row is written before the
    // move; reposition sees the new row in the boxes.
    QCOMPARE(desk.log, QStringList({"validate 3 1 db=Ann", "reposition Bob db=Anne"}));
    QCOMPARE(desk.dc->recordset()->absolutePosition(), 1);
    QVERIFY(!desk.dc->dataChanged());

    desk.log.clear();
    desk.click(Last);
    desk.click(Next); // past the last row: stays on the last row, one reposition
    QCOMPARE(desk.log, QStringList({"validate 4 0 db=Anne", "reposition Cid db=Anne", "validate 3 0 db=Anne",
                                    "reposition Cid db=Anne"}));
    QCOMPARE(desk.dc->recordset()->absolutePosition(), 2);

    desk.log.clear();
    desk.click(Previous);
    desk.click(First);
    desk.click(Previous); // before the first row: stays on the first row
    QCOMPARE(desk.log, QStringList({"validate 2 0 db=Anne", "reposition Bob db=Anne", "validate 1 0 db=Anne",
                                    "reposition Anne db=Anne", "validate 2 0 db=Anne", "reposition Anne db=Anne"}));
    QCOMPARE(desk.dc->recordset()->absolutePosition(), 0);

    // Keyboard: Space on the focused arrow moves as a click does.
    desk.dc->button(Next)->setFocus();
    QTest::keyClick(desk.dc->button(Next), Qt::Key_Space);
    QCOMPARE(desk.first->text(), QStringLiteral("Bob"));
}

void TestDataControl::movesFromCodeRaiseTheSameEvents()
{
    Desk desk;
    desk.dc->refresh();
    desk.record();
    desk.type(desk.first, QStringLiteral("X"));
    desk.dc->recordset()->moveLast();
    QCOMPARE(desk.log, QStringList({"validate 4 1 db=Ann", "reposition Cid db=AnnX"}));

    desk.log.clear();
    desk.dc->recordset()->movePrevious();
    desk.dc->recordset()->setBookmark(desk.dc->recordset()->bookmark());
    QCOMPARE(desk.log.value(0), QStringLiteral("validate 2 0 db=AnnX"));
    QCOMPARE(desk.log.value(1), QStringLiteral("reposition Bob db=AnnX"));
    QCOMPARE(desk.log.value(2), QStringLiteral("validate 9 0 db=AnnX"));

    desk.log.clear();
    desk.dc->recordset()->findFirst(QStringLiteral("FirstName LIKE '*nnx*'"));
    QCOMPARE(desk.log, QStringList({"validate 8 0 db=AnnX", "reposition AnnX db=AnnX"}));
    QCOMPARE(desk.dc->recordset()->absolutePosition(), 0);
}

void TestDataControl::validateCancelKeepsRowAndTyping()
{
    Desk desk;
    desk.dc->refresh();
    desk.record();
    connect(desk.dc, &DataControl::validate, desk.dc, [](int &action, bool &) { action = DataAction::Cancel; });
    desk.type(desk.first, QStringLiteral("y"));
    desk.click(Next);
    desk.dc->recordset()->moveLast();
    QCOMPARE(desk.log, QStringList({"validate 3 1 db=Ann", "validate 4 1 db=Ann"}));
    QCOMPARE(desk.dc->recordset()->absolutePosition(), 0);
    QCOMPARE(desk.first->text(), QStringLiteral("Anny"));
    QCOMPARE(desk.stored("FirstName", 1).toString(), QStringLiteral("Ann"));
    QVERIFY(desk.dc->dataChanged());
    QVERIFY(!desk.dc->unload());
    QCOMPARE(desk.stored("FirstName", 1).toString(), QStringLiteral("Ann"));
}

void TestDataControl::typingEntersPendingEditAtOnce()
{
    Desk desk;
    desk.dc->refresh();
    desk.type(desk.last, QStringLiteral("son"));
    QCOMPARE(desk.dc->recordset()->editMode(), EditMode::Editing);
    QVERIFY(desk.dc->dataChanged());
    QCOMPARE(desk.dc->recordset()->value(QStringLiteral("LastName")).toString(), QStringLiteral("Smithson"));
    QCOMPARE(desk.stored("LastName", 1).toString(), QStringLiteral("Smith"));
    // Moving off writes it without asking (no box is scripted: any box fails the test).
    ScriptedDialogs dialogs;
    desk.click(Next);
    QCOMPARE(desk.stored("LastName", 1).toString(), QStringLiteral("Smithson"));
    QVERIFY(dialogs.boxes().isEmpty());
    // Code writing a bound label's caption sets the field of the row.
    desk.dc->setBoundValue(desk.program, QStringLiteral("7"));
    QCOMPARE(desk.program->text(), QStringLiteral("7"));
    QCOMPARE(desk.dc->recordset()->editMode(), EditMode::Editing);
    desk.click(Previous);
    QCOMPARE(desk.stored("ProgramID", 2).toLongLong(), 7);
}

void TestDataControl::addNewShowsReservedKeyAndSaveWritesIt()
{
    Desk desk;
    desk.dc->refresh();
    desk.record();
    desk.type(desk.first, QStringLiteral("!"));
    desk.dc->recordset()->addNew();
    // The typing of the row left is written first; the new row shows its key at once.
    QCOMPARE(desk.log.value(0), QStringLiteral("validate 5 1 db=Ann"));
    QCOMPARE(desk.log.value(1), QStringLiteral("reposition  db=Ann!"));
    QCOMPARE(desk.dc->recordset()->editMode(), EditMode::Adding);
    const qint64 key = desk.id->text().toLongLong();
    QVERIFY(key > 3);
    QCOMPARE(desk.first->text(), QString());
    QCOMPARE(desk.program->text(), QString());
    QCOMPARE(desk.dc->recordset()->absolutePosition(), -1);

    desk.dc->setBoundValue(desk.program, QStringLiteral("1"));
    desk.type(desk.first, QStringLiteral("Dee"));
    desk.log.clear();
    desk.dc->recordset()->update(); // the window's Save
    QCOMPARE(desk.log.value(0), QStringLiteral("validate 6 1 db=Ann!"));
    QVERIFY(!desk.dc->dataChanged());
    QCOMPARE(desk.stored("FirstName", key).toString(), QStringLiteral("Dee"));
    QCOMPARE(desk.stored("ProgramID", key).toLongLong(), 1);

    // Esc on a new row drops it and shows the row before again.
    desk.dc->recordset()->moveFirst();
    desk.dc->recordset()->addNew();
    const qint64 dropped = desk.id->text().toLongLong();
    desk.type(desk.first, QStringLiteral("Nobody"));
    desk.dc->cancelChanges();
    QCOMPARE(desk.dc->recordset()->editMode(), EditMode::None);
    QCOMPARE(desk.first->text(), QStringLiteral("Ann!"));
    QCOMPARE(TestEnvironment::scalar(desk.file, "SELECT count(*) FROM Attendees WHERE AttendeeID = ?", {dropped})
                 .toInt(),
             0);
}

void TestDataControl::unloadWritesPendingTyping()
{
    Desk desk;
    desk.dc->refresh();
    desk.record();
    desk.dc->recordset()->moveNext();
    desk.log.clear();
    desk.type(desk.first, QStringLiteral("by"));
    QVERIFY(desk.dc->unload());
    QCOMPARE(desk.log, QStringList({"validate 11 1 db=Ann"}));
    QCOMPARE(desk.stored("FirstName", 2).toString(), QStringLiteral("Bobby"));
    QVERIFY(!desk.dc->dataChanged());
    // Nothing changed: unload writes nothing and succeeds.
    QVERIFY(desk.dc->unload());

    // Re-pointing the control (another event) writes the typing of the old rows first.
    desk.type(desk.first, QStringLiteral("!"));
    desk.dc->setRecordSource(QStringLiteral("Select * from Attendees where ProgramID =2"));
    desk.dc->refresh();
    QCOMPARE(desk.stored("FirstName", 2).toString(), QStringLiteral("Bobby!"));
    QCOMPARE(desk.dc->recordset()->recordCount(), 0);
    QCOMPARE(desk.first->text(), QString());
}

void TestDataControl::writeConflictKeepsTypingAndEscShowsOtherWorkstation()
{
    Desk desk;
    desk.dc->refresh();
    desk.record();
    ScriptedDialogs dialogs;
    desk.type(desk.first, QStringLiteral("ette"));
    // Another workstation saves the same row meanwhile.
    std::shared_ptr<Database> other = Database::openSeparate(desk.file);
    other->execute(QStringLiteral("UPDATE Attendees SET FirstName = 'Anna' WHERE AttendeeID = 1"));

    dialogs.answer(MsgAnswer::Ok);
    desk.click(Next);
    QCOMPARE(desk.log, QStringList({"validate 3 1 db=Anna", QStringLiteral("error %1").arg(DataError::WriteConflict)}));
    QCOMPARE(dialogs.boxes().size(), 1);
    QCOMPARE(dialogs.lastBox().text, DataError::make(DataError::WriteConflict).description());
    QCOMPARE(dialogs.lastBox().title, QStringLiteral("Quorvex"));
    QCOMPARE(dialogs.lastBox().buttons, MsgButtons::Ok);
    QCOMPARE(dialogs.lastBox().icon, MsgIcon::Exclamation);
    QCOMPARE(desk.dc->recordset()->absolutePosition(), 0);
    QCOMPARE(desk.first->text(), QStringLiteral("Annette"));
    QCOMPARE(desk.stored("FirstName", 1).toString(), QStringLiteral("Anna"));
    QVERIFY(desk.dc->dataChanged());

    // A handler that answers itself (response 0) suppresses the engine's box.
    connect(desk.dc, &DataControl::error, desk.dc, [](int, int &response) { response = 0; });
    desk.dc->recordset()->moveLast();
    QCOMPARE(dialogs.boxes().size(), 1);
    QCOMPARE(desk.dc->recordset()->absolutePosition(), 0);
    QVERIFY(!desk.dc->unload());
    QCOMPARE(desk.first->text(), QStringLiteral("Annette"));

    // Esc: the other workstation's value is shown, and the row can be edited again.
    desk.dc->cancelChanges();
    QCOMPARE(desk.first->text(), QStringLiteral("Anna"));
    QVERIFY(!desk.dc->dataChanged());
    QCOMPARE(desk.dc->recordset()->editMode(), EditMode::None);
    desk.type(desk.first, QStringLiteral("bel"));
    desk.click(Next);
    QCOMPARE(desk.stored("FirstName", 1).toString(), QStringLiteral("Annabel"));
    QVERIFY(dialogs.allAnswersUsed());
}

void TestDataControl::badAmountIsKeptAndReportedWhenWritten()
{
    TestEnvironment env;
    const QString file = env.createDatabase(env.folder(QStringLiteral("db")));
    TestEnvironment::exec(file, QStringLiteral("INSERT INTO Program (Name, TargetAmt) VALUES ('Gala', 10000)"));
    TestEnvironment::exec(file, QStringLiteral("INSERT INTO Program (Name) VALUES ('Fair')"));
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *dc = new DataControl(&window);
    auto *amount = new QLineEdit(&window);
    layout->addWidget(dc);
    layout->addWidget(amount);
    dc->bind(amount, QStringLiteral("TargetAmt"));
    dc->setDatabaseName(file);
    dc->setRecordSource(QStringLiteral("Select * from Program"));
    window.show();
    dc->refresh();
    QCOMPARE(amount->text(), QStringLiteral("1.00"));

    ScriptedDialogs dialogs;
    QList<int> errors;
    connect(dc, &DataControl::error, dc, [&errors](int number, int &) { errors << number; });
    amount->setFocus();
    amount->selectAll();
    QTest::keyClicks(amount, QStringLiteral("12x"));
    QCOMPARE(amount->text(), QStringLiteral("12x"));
    QVERIFY(dc->dataChanged());
    dialogs.answer(MsgAnswer::Ok);
    QTest::mouseClick(dc->button(Next), Qt::LeftButton);
    QCOMPARE(errors, QList<int>({DataError::TypeMismatch}));
    QCOMPARE(dialogs.boxes().size(), 1);
    QVERIFY(dialogs.lastBox().text.contains(QStringLiteral("12x")));
    QCOMPARE(dc->recordset()->absolutePosition(), 0);
    QCOMPARE(amount->text(), QStringLiteral("12x"));
    QCOMPARE(TestEnvironment::scalar(file, "SELECT TargetAmt FROM Program WHERE ProgramID = 1").toLongLong(), 10000);

    // The window's Save gets the error thrown; nothing is written.
    bool thrown = false;
    try {
        dc->recordset()->update();
    } catch (const AppError &e) {
        thrown = e.number() == DataError::TypeMismatch;
    }
    QVERIFY(thrown);

    // Corrected, the amount is stored exactly.
    QTest::keyClick(amount, Qt::Key_Backspace);
    QTest::keyClicks(amount, QStringLiteral(".35"));
    QTest::mouseClick(dc->button(Next), Qt::LeftButton);
    QCOMPARE(dc->recordset()->absolutePosition(), 1);
    QCOMPARE(TestEnvironment::scalar(file, "SELECT TargetAmt FROM Program WHERE ProgramID = 1").toLongLong(), 123500);
    QCOMPARE(amount->text(), QString()); // Fair has no target
    QCOMPARE(dialogs.boxes().size(), 1);
}

void TestDataControl::checkBoxDateAndTextBindings()
{
    TestEnvironment env;
    const QString file = env.createDatabase(env.folder(QStringLiteral("db")));
    TestEnvironment::exec(file, QStringLiteral("INSERT INTO Program (Name, DateStart, FundRaising, Description) "
                                               "VALUES ('Gala', '2024-05-31', 1, 'Line one')"));
    TestEnvironment::exec(file, QStringLiteral("INSERT INTO Program (Name) VALUES ('Fair')"));
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *dc = new DataControl(&window);
    auto *name = new QComboBox(&window);
    name->setEditable(true);
    name->addItems({QStringLiteral("Gala"), QStringLiteral("Picnic")});
    auto *start = new QDateEdit(&window);
    auto *fund = new QCheckBox(QStringLiteral("Fund raising"), &window);
    auto *description = new QPlainTextEdit(&window);
    for (QWidget *w : {static_cast<QWidget *>(dc), static_cast<QWidget *>(name), static_cast<QWidget *>(start),
                       static_cast<QWidget *>(fund), static_cast<QWidget *>(description)})
        layout->addWidget(w);
    dc->bind(name, QStringLiteral("Name"));
    dc->bind(start, QStringLiteral("DateStart"));
    dc->bind(fund, QStringLiteral("FundRaising"));
    dc->bind(description, QStringLiteral("Description"));
    dc->setDatabaseName(file);
    dc->setRecordSource(QStringLiteral("Select * from Program"));
    window.show();
    dc->refresh();
    QCOMPARE(name->currentText(), QStringLiteral("Gala"));
    QCOMPARE(start->date(), QDate(2024, 5, 31));
    QVERIFY(fund->isChecked());
    QCOMPARE(description->toPlainText(), QStringLiteral("Line one"));
    QVERIFY(!dc->dataChanged());

    // A row without a date shows the blank special value; nothing is marked changed.
    QTest::mouseClick(dc->button(Next), Qt::LeftButton);
    QCOMPARE(start->date(), start->minimumDate());
    QCOMPARE(start->text().trimmed(), QString());
    QVERIFY(!fund->isChecked());
    QCOMPARE(name->currentText(), QStringLiteral("Fair"));
    QVERIFY(!dc->dataChanged());

    // The user's edits in each kind of widget reach the row.
    name->setFocus();
    name->lineEdit()->selectAll();
    QTest::keyClicks(name, QStringLiteral("Fun Fair"));
    fund->setFocus();
    QTest::keyClick(fund, Qt::Key_Space);
    QVERIFY(fund->isChecked());
    start->setDate(QDate(2025, 1, 2));
    description->setFocus();
    QTest::keyClicks(description, QStringLiteral("Rides"));
    QCOMPARE(dc->recordset()->editMode(), EditMode::Editing);
    QTest::mouseClick(dc->button(First), Qt::LeftButton);
    QCOMPARE(TestEnvironment::scalar(file, "SELECT Name FROM Program WHERE ProgramID = 2").toString(),
             QStringLiteral("Fun Fair"));
    QCOMPARE(TestEnvironment::scalar(file, "SELECT FundRaising FROM Program WHERE ProgramID = 2").toInt(), 1);
    QCOMPARE(TestEnvironment::scalar(file, "SELECT DateStart FROM Program WHERE ProgramID = 2").toString(),
             QStringLiteral("2025-01-02"));
    QCOMPARE(TestEnvironment::scalar(file, "SELECT Description FROM Program WHERE ProgramID = 2").toString(),
             QStringLiteral("Rides"));
    // A pick from the list (Down on the closed list) is an edit too.
    QCOMPARE(name->currentIndex(), 0);
    QVERIFY(!dc->dataChanged());
    name->setFocus();
    QTest::keyClick(name, Qt::Key_Down);
    QCOMPARE(name->currentText(), QStringLiteral("Picnic"));
    QVERIFY(dc->dataChanged());
    QVERIFY(dc->unload());
    QCOMPARE(TestEnvironment::scalar(file, "SELECT Name FROM Program WHERE ProgramID = 1").toString(),
             QStringLiteral("Picnic"));
}

void TestDataControl::emptyRecordsetAndDisabledArrows()
{
    Desk desk(QStringLiteral("Select * from Attendees where ProgramID =2"));
    desk.first->setText(QStringLiteral("stale"));
    desk.id->setText(QStringLiteral("99"));
    QSignalSpy reposition(desk.dc, &DataControl::reposition);
    int validations = 0;
    connect(desk.dc, &DataControl::validate, desk.dc, [&validations](int &, bool &) { ++validations; });
    desk.dc->refresh();
    QCOMPARE(reposition.count(), 1);
    QCOMPARE(desk.dc->recordset()->absolutePosition(), -1);
    QVERIFY(desk.dc->recordset()->bof() && desk.dc->recordset()->eof());
    QCOMPARE(desk.first->text(), QString());
    QCOMPARE(desk.id->text(), QString());
    // Typing with no current row goes nowhere and breaks nothing.
    desk.type(desk.first, QStringLiteral("x"));
    for (Arrow a : {First, Previous, Next, Last})
        desk.click(a);
    QCOMPARE(validations, 0);
    QCOMPARE(reposition.count(), 1);
    QVERIFY(desk.dc->unload());

    // The first attendee of an empty event: an arrow saves the new row and shows it.
    desk.dc->recordset()->addNew();
    desk.dc->setBoundValue(desk.program, QStringLiteral("2"));
    desk.first->clear();
    desk.type(desk.first, QStringLiteral("Eve"));
    desk.click(Next);
    QCOMPARE(desk.dc->recordset()->recordCount(), 1);
    QCOMPARE(desk.dc->recordset()->absolutePosition(), 0);
    QCOMPARE(desk.first->text(), QStringLiteral("Eve"));
    QCOMPARE(TestEnvironment::scalar(desk.file, "SELECT FirstName FROM Attendees WHERE ProgramID = 2").toString(),
             QStringLiteral("Eve"));

    Desk full;
    full.dc->refresh();
    full.dc->setEnabled(false);
    for (int i = 0; i < 4; ++i)
        QVERIFY(!full.dc->button(i)->isEnabled());
    full.click(Next);
    QCOMPARE(full.first->text(), QStringLiteral("Ann"));
    full.dc->setEnabled(true);
    full.click(Next);
    QCOMPARE(full.first->text(), QStringLiteral("Bob"));
}

void TestDataControl::deleteFromCodeAndArrowsBackFromTheEnd()
{
    Desk desk;
    desk.dc->refresh();
    desk.record();
    Recordset *rs = desk.dc->recordset();
    rs->moveLast();
    desk.log.clear();
    rs->deleteRow();
    QCOMPARE(desk.log.value(0), QStringLiteral("validate 7 0 db=Ann"));
    QCOMPARE(TestEnvironment::scalar(desk.file, "SELECT count(*) FROM Attendees").toInt(), 2);
    rs->moveNext(); // the window moves off the deleted row: after the end
    QVERIFY(rs->eof());
    QCOMPARE(desk.first->text(), QString());
    desk.click(Previous);
    QCOMPARE(desk.first->text(), QStringLiteral("Bob"));
    rs->moveNext();
    QVERIFY(rs->eof());
    desk.click(Next);
    QCOMPARE(desk.first->text(), QStringLiteral("Bob"));

    // A new row started after the end is saved by the next arrow and shown.
    rs->moveNext();
    QVERIFY(rs->eof());
    rs->addNew();
    const qint64 key = desk.id->text().toLongLong();
    desk.type(desk.first, QStringLiteral("Fay"));
    ScriptedDialogs dialogs; // no box expected
    desk.click(Next);
    QCOMPARE(desk.stored("FirstName", key).toString(), QStringLiteral("Fay"));
    QCOMPARE(desk.first->text(), QStringLiteral("Fay"));
    QCOMPARE(desk.id->text().toLongLong(), key);
}

void TestDataControl::mouseMovesOverTheArrowsAreReported()
{
    Desk desk;
    desk.dc->refresh();
    QSignalSpy moved(desk.dc, &DataControl::mouseMoved);
    QTest::mouseMove(desk.dc->button(Next), QPoint(3, 3));
    QTRY_VERIFY(moved.count() >= 1);
    const int before = moved.count();
    desk.dc->setEnabled(false); // the window's guard disables it while the datasheet shows
    QTest::mouseMove(desk.dc->button(Previous), QPoint(4, 4));
    QTRY_VERIFY(moved.count() > before);
}

void TestDataControl::refreshOfAMissingFileThrows()
{
    TestEnvironment env;
    DataControl dc;
    dc.setDatabaseName(env.folder(QStringLiteral("none")) + QStringLiteral("Quorvex.mdb"));
    dc.setRecordSource(AttendeeSource);
    bool thrown = false;
    try {
        dc.refresh();
    } catch (const AppError &e) {
        thrown = e.number() == DataError::FileNotFound;
    }
    QVERIFY(thrown);
    QCOMPARE(dc.recordset(), nullptr);

    Desk desk(QStringLiteral("Select * from NoSuchTable"));
    thrown = false;
    try {
        desk.dc->refresh();
    } catch (const AppError &) {
        thrown = true;
    }
    QVERIFY(thrown);
}

QTEST_MAIN(TestDataControl)
#include "tst_datacontrol.moc"
