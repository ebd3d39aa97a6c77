#include "EventWindow.h"
#include "NullableDateEdit.h"

#include "core/AccessibleTitle.h"
#include "core/AppContext.h"
#include "core/AppError.h"
#include "core/Dialogs.h"
#include "bindings/DataControl.h"
#include "data/DataError.h"
#include "data/Database.h"
#include "data/EventContents.h"
#include "data/Recordset.h"
#include "data/WriteTransaction.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString RecordSource = QStringLiteral("Select * from Program");

// "3 attendees", "1 donation".
QString counted(qint64 n, const char *noun)
{
    return QStringLiteral("%1 %2%3").arg(n).arg(QLatin1String(noun), n == 1 ? QString() : QStringLiteral("s"));
}

// The delete question: the event alone, or the event and what goes with it.
QString deleteQuestion(const EventContents::Counts &counts)
{
    QString question = QStringLiteral("Are you sure you want to DELETE the Current Event?");
    if (counts.attendees > 0)
        question += QStringLiteral("\r\rIts %1 and their %2 will be deleted with it.")
                        .arg(counted(counts.attendees, "attendee"), counted(counts.donations, "donation"));
    return question;
}

// One row of the form: the caption label's index, its text and the bound field.
struct FieldRow
{
    int index;
    const char *caption;
    const char *field;
};

constexpr FieldRow FieldRows[] = {
    {0, "ProgramID:", "ProgramID"},     {1, "Name:", "Name"},
    {2, "Description:", "Description"}, {3, "Director:", "Director"},
    {4, "DateStart:", "DateStart"},     {5, "DateEnd:", "DateEnd"},
    {6, "FundRaising:", "FundRaising"}, {7, "TargetAmt:", "TargetAmt"},
    {8, "ActualAmt:", "ActualAmt"},
};

} // namespace

EventWindow::EventWindow(const AppContext &context, QWidget *owner)
    : QDialog(owner)
    , m_context(context)
{
    setObjectName(QStringLiteral("frmEvent"));
    setWindowTitle(QStringLiteral("Event Setup"));
    followTitleWithAccessibleName(this);
    buildControls();
}

void EventWindow::buildControls()
{
    auto *label1 = new QLabel(QStringLiteral("Please Select or Enter a new event to register attendees"), this);
    label1->setObjectName(QStringLiteral("Label1"));

    m_datPrimaryRS = new DataControl(this);
    m_datPrimaryRS->setObjectName(QStringLiteral("datPrimaryRS"));
    connect(m_datPrimaryRS, &DataControl::reposition, this, &EventWindow::datPrimaryRS_Reposition);
    // Another workstation's events joined or left the set: the counter says so.
    connect(m_datPrimaryRS, &DataControl::rowsRefreshed, this, &EventWindow::datPrimaryRS_Reposition);

    auto *grid = new QGridLayout;
    QList<QWidget *> tabChain;
    for (const FieldRow &row : FieldRows) {
        auto *caption = new QLabel(QString::fromLatin1(row.caption), this);
        caption->setObjectName(QStringLiteral("lblLabels_%1").arg(row.index));
        caption->setProperty("index", row.index);

        QWidget *control = nullptr;
        if (row.index == 4 || row.index == 5) {
            auto *picker = new NullableDateEdit(this);
            picker->setObjectName(QStringLiteral("DTPicker1_%1").arg(row.index - 4));
            picker->setProperty("index", row.index - 4);
            m_dtPicker[row.index - 4] = picker;
            control = picker;
        } else if (row.index == 6) {
            m_chkFundRaising = new QCheckBox(this);
            m_chkFundRaising->setObjectName(QStringLiteral("chkFields_6"));
            m_chkFundRaising->setProperty("index", 6);
            control = m_chkFundRaising;
        } else {
            auto *edit = new QLineEdit(this);
            edit->setObjectName(QStringLiteral("txtFields_%1").arg(row.index));
            edit->setProperty("index", row.index);
            m_txtFields[row.index] = edit;
            control = edit;
        }
        caption->setBuddy(control);
        grid->addWidget(caption, row.index, 0);
        // The check box keeps its own width, so a click beside it does not toggle it.
        grid->addWidget(control, row.index, 1, row.index == 6 ? Qt::AlignLeft : Qt::Alignment());
        m_datPrimaryRS->bind(control, QString::fromLatin1(row.field));
        tabChain << control;
    }
    // The key is the database's own (an autonumber): shown, never typed.
    m_txtFields[0]->setReadOnly(true);
    m_txtFields[0]->setToolTip(QStringLiteral("Assigned by the database"));
    grid->setColumnStretch(1, 1);

    auto *picButtons = new QWidget(this);
    picButtons->setObjectName(QStringLiteral("picButtons"));
    auto *buttons = new QHBoxLayout(picButtons);
    buttons->setContentsMargins(0, 0, 0, 0);
    auto addButton = [&](const char *name, const char *text, void (EventWindow::*handler)()) {
        auto *button = new QPushButton(QString::fromLatin1(text), picButtons);
        button->setObjectName(QString::fromLatin1(name));
        // Only OK is the default button; the others must not grab Enter.
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, handler);
        buttons->addWidget(button);
        return button;
    };
    addButton("cmdAdd", "&Add New", &EventWindow::cmdAdd_Click);
    addButton("cmdUpdate", "&Save", &EventWindow::cmdUpdate_Click);
    addButton("cmdDelete", "&Delete", &EventWindow::cmdDelete_Click);
    m_cmdOK = addButton("cmdOK", "&OK", &EventWindow::cmdOK_Click);
    addButton("cmdCancel", "&Cancel", &EventWindow::cmdCancel_Click);
    m_cmdOK->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label1);
    layout->addLayout(grid);
    layout->addWidget(m_datPrimaryRS);
    layout->addWidget(picButtons);

    // Top to bottom through the fields, the navigator's arrows, then the buttons.
    for (int i = 0; i < 4; ++i) {
        if (QToolButton *arrow = m_datPrimaryRS->button(i))
            tabChain << arrow;
    }
    for (QPushButton *button : picButtons->findChildren<QPushButton *>(QString(), Qt::FindDirectChildrenOnly))
        tabChain << button;
    for (int i = 1; i < tabChain.size(); ++i)
        QWidget::setTabOrder(tabChain.at(i - 1), tabChain.at(i));
}

DataControl *EventWindow::datPrimaryRS() const
{
    return m_datPrimaryRS;
}

void EventWindow::formLoad()
{
    try {
        if (!m_context.hasDatabase())
            throw AppError(-1, QStringLiteral("Event Setup"), QStringLiteral("Connection to Database Server Failure"));
        m_datPrimaryRS->setDatabaseName(m_context.databaseLocation(), m_context.desk);
        m_datPrimaryRS->setRecordSource(RecordSource);
        m_datPrimaryRS->refresh();
        m_datPrimaryRS->recordset()->setLockEdits(false);
        m_datPrimaryRS->refresh();
    } catch (const AppError &error) {
        throw error.withDescriptionSuffix(QStringLiteral("\rProgram will Terminate"));
    } catch (const std::exception &error) {
        throw AppError(-1, QStringLiteral("Event Setup"),
                       QString::fromLocal8Bit(error.what()) + QStringLiteral("\rProgram will Terminate"));
    }
}

void EventWindow::datPrimaryRS_Reposition()
{
    ignoreErrors([&] {
        const Recordset *rs = m_datPrimaryRS->recordset();
        if (!rs)
            return;
        m_datPrimaryRS->setCaption(QStringLiteral("Record: %1 of %2")
                                       .arg(rs->absolutePosition() + 1)
                                       .arg(rs->recordCount()));
    });
}

void EventWindow::cmdAdd_Click()
{
    m_runner.reporting({}, [this] {
        Recordset *rs = m_datPrimaryRS->recordset();
        if (!rs)
            throw AppError(-1, QStringLiteral("Event Setup"), QStringLiteral("The events are not open. Close this window and open the Event Form again."));
        try {
            rs->addNew();
        } catch (const AppError &error) {
            throw DataError::lockedAs(error, QStringLiteral("No new event was started."));
        }
        m_txtFields[1]->setFocus();
    });
}

void EventWindow::cmdUpdate_Click()
{
    m_runner.reporting({}, [this] { saveEvent(); });
    // The position of a row that was being added is known only once it is written.
    datPrimaryRS_Reposition();
}

void EventWindow::saveEvent()
{
    Recordset *rs = m_datPrimaryRS->recordset();
    if (!rs)
        return;
    // A read-only database says so, rather than Save doing nothing while the typing stays.
    if (rs->database().isReadOnly())
        throw rs->database().readOnlyError();
    if (rs->editMode() != EditMode::None)
        rs->update();
}

void EventWindow::cmdDelete_Click()
{
    m_runner.reporting({}, [this] { deleteEvent(); });
    datPrimaryRS_Reposition();
}

void EventWindow::deleteEvent()
{
    Recordset *rs = m_datPrimaryRS->recordset();
    if (rs && rs->database().isReadOnly())
        throw rs->database().readOnlyError(); // said before the question, not after it
    const bool stored = rs && rs->editMode() != EditMode::Adding && !(rs->bof() && rs->eof());
    const qint64 key = stored ? rs->currentKey() : 0;
    EventContents::Counts told = stored ? EventContents::count(rs->database(), key) : EventContents::Counts();
    for (;;) {
        // No is the default answer: Enter alone must not delete an event.
        const MsgAnswer answer = Dialogs::instance().message(this, deleteQuestion(told), QStringLiteral("DELETE Event"),
                                                             MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::No);
        if (answer != MsgAnswer::Yes || !rs)
            return;
        if (!stored) {
            // A row that was never written: deleting it means dropping it. An empty list has nothing to delete.
            if (rs->editMode() == EditMode::Adding)
                m_datPrimaryRS->cancelChanges();
            return;
        }
        // The event, its attendees and their donations go in one transaction.
        WriteTransaction write(rs->database());
        const EventContents::Counts now = EventContents::count(rs->database(), key);
        if (now != told) {
            told = now; // another workstation registered someone meanwhile: ask again, with the new numbers
            continue;
        }
        try {
            EventContents::deleteAttendees(rs->database(), key);
            // Deleting the last row must not leave the window on no row while events remain.
            m_datPrimaryRS->deleteCurrentAndMove(DataControl::AfterLastRow::ShowLastRow);
            write.commit();
        } catch (...) {
            // Nothing was deleted: show the events as they are stored.
            ignoreErrors([&] { m_datPrimaryRS->refresh(); });
            throw;
        }
        return;
    }
}

void EventWindow::cmdOK_Click()
{
    // The pending change is written before anything is handed over: when that
    // fails (another workstation changed or deleted the event meanwhile) its box
    // has been shown, and the window stays open with the typing, choosing nothing.
    bool written = false;
    m_runner.reporting({}, [this, &written] { written = m_datPrimaryRS->unload(); });
    if (!written)
        return;
    setResult(QDialog::Accepted);
    ignoreErrors([&] { hide(); });
    m_tag = QStringLiteral("OK");
    ignoreErrors([&] { emit eventChosen(m_txtFields[0]->text(), m_txtFields[1]->text()); });
    unloadWindow(QDialog::Accepted);
}

void EventWindow::cmdCancel_Click()
{
    m_tag = QStringLiteral("Cancel");
    unloadWindow(QDialog::Rejected);
}

void EventWindow::reject()
{
    if (m_unloading)
        return;
    cmdCancel_Click();
}

void EventWindow::closeEvent(QCloseEvent *event)
{
    if (!m_unloading && !m_unloaded) {
        // The close box cancels; cmdCancel_Click closes the window itself.
        event->ignore();
        cmdCancel_Click();
        return;
    }
    QDialog::closeEvent(event);
}

// OK has written the pending change of the current row already (the data control's
// Unload action), a new row nobody typed into included, so an event chosen right
// after Add New exists; what is left to write here is nothing. Cancel (the button,
// Esc, the close box) throws the pending change away: nothing of it reaches the
// database.
void EventWindow::unloadWindow(int result)
{
    if (m_unloading || m_unloaded)
        return;
    m_unloading = true;
    if (result == QDialog::Accepted)
        m_runner.reporting({}, [this] { m_datPrimaryRS->unload(); });
    else
        ignoreErrors([this] { m_datPrimaryRS->cancelChanges(); });
    formUnload();
    m_unloaded = true;
    setResult(result);
    // done() ends the modal display; close() is then a no-op for a hidden window.
    QDialog::done(result);
    m_unloading = false;
    deleteLater();
}

void EventWindow::formUnload()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}
