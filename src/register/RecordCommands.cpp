#include "RecordCommands.h"

#include "AttendeePanel.h"
#include "RegisterWindow.h"
#include "core/AppError.h"
#include "core/Dialogs.h"
#include "bindings/DataControl.h"
#include "data/DataError.h"
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
    // Nothing is asked before leaving a changed record: the change is written.
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
        rs->addNew();
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
        if (Recordset *rs = m_window->datPrimaryRS()->recordset();
            rs && rs->editMode() != EditMode::None && rs->updatable())
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
