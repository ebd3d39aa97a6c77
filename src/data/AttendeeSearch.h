#pragma once

#include <QList>
#include <QString>
#include <optional>

class Database;

// One attendee found by the desk's search.
struct AttendeeMatch
{
    qint64 attendeeId = 0;
    QString firstName;
    QString lastName;
    qint64 programId = 0;
    // "First Last", or the key when both are blank.
    QString fullName() const;
};

// The desk's look-ups: the event of a scanned attendee, and the attendees of an
// event by the beginning of their names, letter case and accents aside (NameFold).
namespace AttendeeSearch {

// The attendee of that key (with its event); nullopt when there is none.
std::optional<AttendeeMatch> byKey(Database &db, qint64 attendeeId);
// The event's name; empty when there is no such event.
QString eventName(Database &db, qint64 programId);

// The attendees of `programId` whose first or last name begins with `typed`; with
// two words or more, the first word begins one name and the rest the other ("jose
// nu" finds José Núñez). By last name, then first name; at most `limit`. Nothing
// for blank text.
QList<AttendeeMatch> byName(Database &db, qint64 programId, const QString &typed, int limit = 20);

} // namespace AttendeeSearch
