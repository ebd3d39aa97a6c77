#pragma once

#include <QObject>

class AttendeePanel;
class DonationsPanel;
class RegisterWindow;

// The record commands New, Save and Delete of the registration window. Each
// reports its own failures in a box and leaves the typing where it was.
class RecordCommands : public QObject
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
    static void datPrimaryRS_Validate(int &action, bool &save);

private:
    bool donationsGridActive() const;

    RegisterWindow *m_window;
    AttendeePanel *m_attendee;
    DonationsPanel *m_donations;
};
