#pragma once

#include <QtGlobal>

class Database;

// What belongs to an event (a Program row): its attendees and their donations.
// Deleting an event takes them with it, so that no attendee or donation is left
// that no window can reach.
class EventContents
{
public:
    struct Counts
    {
        qint64 attendees = 0;
        qint64 donations = 0;
        bool operator==(const Counts &) const = default;
    };

    // The event's row is stored (it may have been deleted, here or on another workstation).
    static bool exists(Database &db, qint64 programId);
    // How many attendees of event `programId` there are, and donations of theirs.
    static Counts count(Database &db, qint64 programId);
    // Deletes the attendees of event `programId`; each attendee's donations go with
    // it (the schema's cascade). Runs in the caller's write transaction when one is
    // open (the event row itself is deleted in the same one), else in its own.
    // Returns the attendees deleted.
    static int deleteAttendees(Database &db, qint64 programId);
};
