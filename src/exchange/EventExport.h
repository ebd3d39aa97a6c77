#pragma once

#include "SheetWriter.h"

#include <QString>

class Database;
struct ExchangeProgress;

// Writes one event's rows to a CSV or XLSX file (the kind from its extension).
//
// Attendees: every field of Attendees under its own name (so the file imports
// again as it is), then whether the attendee checked in ("CheckedIn", from a
// CheckIns row of the attendee) and how many cards were printed ("CardsPrinted",
// CardPrints rows).
// Donations and fees: each qryDon_Fees row of the event's attendees with the
// attendee's names, the amount as an exact decimal, the dates as dates.
//
// The progress counts rows and is polled for cancel: a cancelled or failed export
// leaves no file (and an existing one as it was).
namespace EventExport {

enum class Kind { Attendees, Donations };

// The number of rows written.
int write(Database &db, qint64 eventId, Kind kind, const QString &file, ExchangeProgress *progress = nullptr);

} // namespace EventExport
