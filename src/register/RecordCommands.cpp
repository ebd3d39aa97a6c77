#include "RecordCommands.h"

#include "AttendeePanel.h"
#include "RegisterWindow.h"
#include "core/AppError.h"
#include "core/Dialogs.h"
#include "bindings/DataControl.h"
#include "data/DataError.h"
#include "data/Database.h"
#include "data/Recordset.h"
#include "data/RecordsetModel.h"
#include "lists/DonationsGrid.h"
#include "lists/DonationsPanel.h"

#include <QApplication>
#include <QLabel>
#include <QTableView>

RecordCommands::RecordCommands(RegisterWindow *window, AttendeePanel *attendee, DonationsPanel *donations)
    : QObject(window)
    , m_window(window)
    , m_attendee(attendee)
    , m_donations(donations)
    , m_runner(window)
{
}

DataControlHandler::Decision RecordCommands::validate(DataAction, bool changed)
{
    // Nothing is asked before leaving a changed record: the change is written. A new
    // attendee whose event was deleted meanwhile is never written (it would belong
    // to no event): the action stops and the typing stays.
    const Recordset *rs = m_window->datPrimaryRS()->recordset();
    if (changed && rs && rs->editMode() == EditMode::Adding && !m_window->eventExists()) {
        Dialogs::instance().message(m_window,
                                    QStringLiteral("This new attendee was not saved: its event no longer exists (it "
                                                   "was deleted, on this or another workstation). Save to choose an "
                                                   "event for the attendee, or press Esc to throw the attendee away."),
                                    QString(), MsgButtons::Ok, MsgIcon::Exclamation);
        return {false, changed};
    }
    return {true, changed};
}

DataControlHandler::ErrorResponse RecordCommands::error(const AppError &error)
{
    Dialogs::instance().message(m_window, QStringLiteral("Data error: ") + DataError::standardMessage(error.number()),
                                QString(), MsgButtons::Ok, MsgIcon::None);
    return ErrorResponse::Handled;
}

void RecordCommands::addNewRecord()
{
    m_runner.reporting({}, [this] {
        DataControl *data = m_window->datPrimaryRS();
        Recordset *rs = data->recordset();
        if (!rs)
            throw DataError::make(DataError::NoCurrentRecord);
        if (rs->database().isReadOnly())
            throw rs->database().readOnlyError();
        // Never an attendee of an event that no longer exists.
        if (!m_window->ensureEvent())
            return;
        rs = data->recordset(); // choosing an event opened its attendees
        try {
            rs->addNew();
        } catch (const AppError &error) {
            throw DataError::lockedAs(error, QStringLiteral("No new attendee was started."));
        }
        // The event key is a whole number; the label shows it as text.
        bool ok = false;
        const qint64 programId = m_window->tag().trimmed().toLongLong(&ok);
        data->setBoundValue(m_attendee->lblProgramID(), ok ? QVariant(programId) : QVariant(m_window->tag()));
    });
}

void RecordCommands::saveRecord()
{
    // A failed write keeps the pending record and what was typed: Save may be given again.
    m_runner.reporting({}, [this] {
        Recordset *rs = m_window->datPrimaryRS()->recordset();
        if (!rs)
            return;
        // A read-only database says so at once, rather than Save doing nothing.
        if (rs->database().isReadOnly())
            throw rs->database().readOnlyError();
        // A new attendee whose event was deleted meanwhile: an event is chosen for it first.
        if (rs->editMode() == EditMode::Adding && !m_window->ensureEvent())
            return;
        rs = m_window->datPrimaryRS()->recordset();
        if (rs->editMode() != EditMode::None)
            rs->update();
        // The cell being typed and the pending donation row, for the attendee shown.
        m_donations->savePending();
    });
}

bool RecordCommands::donationsGridActive() const
{
    const QWidget *focus = m_window->focusWidget();
    const QTableView *grid = m_donations->grdDonors();
    return focus && (focus == grid || grid->isAncestorOf(focus));
}

void RecordCommands::deleteRecord()
{
    // A read-only database says so before the question, not after it.
    if (Recordset *rs = m_window->datPrimaryRS()->recordset(); rs && rs->database().isReadOnly()) {
        Dialogs::instance().message(m_window, rs->database().readOnlyError().description(),
                                    QStringLiteral("Delete Error"), MsgButtons::Ok, MsgIcon::Critical);
        return;
    }
    const bool donations = donationsGridActive();
    const QString question = donations
        ? QStringLiteral("Are you sure you want to DELETE the Current Record from Donations? ")
        : QStringLiteral("Are you sure you want to DELETE the Entire Attendee Record? ");
    if (Dialogs::instance().message(m_window, question, QStringLiteral("DELETE Record"), MsgButtons::YesNo,
                                    MsgIcon::Question, MsgAnswer::Yes)
        != MsgAnswer::Yes)
        return;
    const bool deleted = m_runner.reporting({QStringLiteral("Delete Error"), MsgIcon::Critical}, [&] {
        if (donations) {
            m_donations->deleteCurrentRow(); // the grid's current row
            return;
        }
        m_window->datPrimaryRS()->deleteCurrentAndMove();
    });
    if (!deleted && donations)
        ignoreErrors([&] { m_donations->model()->reload(); });
}

void RecordCommands::reloadRecord()
{
    const Recordset *rs = m_window->datPrimaryRS()->recordset();
    if (rs && rs->editMode() == EditMode::Adding && m_attendee->hasTypedText()
        && Dialogs::instance().message(m_window,
                                       QStringLiteral("Throw away the new attendee you are typing? Nothing of it has "
                                                      "been saved."),
                                       QStringLiteral("New Attendee"), MsgButtons::YesNo, MsgIcon::Question,
                                       MsgAnswer::No)
            != MsgAnswer::Yes)
        return;
    m_runner.ignoring([this] { m_window->datPrimaryRS()->cancelChanges(); });
}
