#pragma once

#include <QDateTime>
#include <QSet>
#include <QString>
#include <optional>

class Database;

// When and at which desk an attendee was checked in.
struct CheckInRecord
{
    qint64 attendeeId = 0;
    QDateTime checkedIn; // UTC
    QString desk;        // the machine's name
};

// The check-ins of the desk (table CheckIns): one per attendee, so that a second
// scan is not counted again. Each write is one WriteTransaction.
class CheckInLog
{
public:
    // Checks the attendee in at `desk` now: nullopt when newly checked in, else the
    // earlier check-in (nothing written).
    static std::optional<CheckInRecord> checkIn(Database &db, qint64 attendeeId, const QString &desk);
    // The attendee's check-in; nullopt when not checked in.
    static std::optional<CheckInRecord> current(Database &db, qint64 attendeeId);
    // Removes the attendee's check-in; false when there was none.
    static bool undo(Database &db, qint64 attendeeId);
    // The attendees of the event `programId` who are checked in.
    static QSet<qint64> checkedInAmong(Database &db, qint64 programId);
};
