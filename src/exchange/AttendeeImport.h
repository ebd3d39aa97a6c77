#pragma once

#include "ImportReport.h"
#include "SheetTable.h"

#include <QStringList>
#include <optional>

class Database;
struct ExchangeProgress;

// What to do with a row that is the same person as an attendee of the event (or
// as an earlier row of the file), as DuplicateIndex decides.
enum class DuplicateChoice {
    Skip,   // leave it out
    Update, // write the row's filled cells into that attendee (empty cells change nothing)
    Add,    // add it all the same
};

struct ImportOptions
{
    // The event: an existing one by its key, else by name (made when none has it).
    std::optional<qint64> eventId;
    QString eventName;
    // For each column of the table, the ImportField it fills; empty: ignored.
    QStringList mapping;
    DuplicateChoice duplicates = DuplicateChoice::Skip;
};

// Imports the rows of a sheet as attendees of one event, all or nothing.
//
// Every row is checked first: a value longer than its field takes (ImportFields),
// an amount, date or Yes/No that is none, a row without a first or last name, or
// more values than the header has columns refuse the row. When any row is refused
// nothing is written, and the report names each refused row with its line and
// the reason, so the file can be corrected once. Otherwise the rows are written in
// one write transaction: the event made when needed, each row added, updated or
// skipped as the duplicate choice says, a payment (a qryDon_Fees row) added when
// the row has an amount. Rows whose cells are all empty are no rows.
//
// The progress is counted per row and polled for cancel; a cancel, like any
// failure, rolls everything back (ExchangeError::cancelled, or the data error).
namespace AttendeeImport {

ImportReport run(Database &db, const SheetTable &table, const ImportOptions &options,
                 ExchangeProgress *progress = nullptr);

} // namespace AttendeeImport
