#pragma once

#include "bindings/CommandRunner.h"
#include "bindings/DataControlHandler.h"

#include <QObject>

class AttendeePanel;
class DonationsPanel;
class RegisterWindow;

// The record commands New, Save, Delete and Esc of the registration window. Each
// reports its own failures in a box and leaves the typing where it was; on a
// read-only database each says so when tried. It is also the attendee
// navigator's handler: every action goes ahead and changed data is written
// (except a new attendee whose event was deleted meanwhile); a data error is
// shown as "Data error: " and the engine's text.
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
    // Esc: drops the typing and shows the stored record again; a new attendee with
    // something typed is thrown away only after the user said so.
    void reloadRecord();

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
