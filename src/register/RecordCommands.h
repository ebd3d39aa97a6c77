#pragma once

#include "bindings/CommandRunner.h"
#include "bindings/DataControlHandler.h"

#include <QObject>

class AttendeePanel;
class DonationsPanel;
class RegisterWindow;

// The record commands New, Save and Delete of the registration window. Each
// reports its own failures in a box and leaves the typing where it was. It is
// also the attendee navigator's handler: every action goes ahead and changed
// data is written; a data error is shown as "Data error: " and the engine's text.
class RecordCommands : public QObject, public DataControlHandler
{
    Q_OBJECT
public:
    RecordCommands(RegisterWindow *window, AttendeePanel *attendee, DonationsPanel *donations);

    // A new, empty attendee of the current event (ProgramID preset from the window's tag).
    void addNewRecord();
    // Writes the pending attendee, then the pending donation row.
    void saveRecord();
    // Deletes the current donation row when the donations grid has the focus, else
    // the current attendee (whose donation rows the database removes with it).
    void deleteRecord();

    // datPrimaryRS_Validate: every action goes ahead and changed data is written.
    Decision validate(DataAction action, bool changed) override;
    // datPrimaryRS_Error: "Data error: " and the engine's standard text; no other box.
    ErrorResponse error(const AppError &error) override;

private:
    bool donationsGridActive() const;

    RegisterWindow *m_window;
    AttendeePanel *m_attendee;
    DonationsPanel *m_donations;
    CommandRunner m_runner;
};
