#pragma once

#include "core/AppError.h"

// The engine's error numbers and their standard message texts. Errors of the
// data layer are AppErrors whose number is one of these and whose description
// is the standard text (the data-error box prints "Data error: " and that text).
namespace DataError {

enum Number : int {
    // The numbers follow the original engine's, so stored habits and help texts still fit.
    NoCurrentRecord = 3021,
    UpdateWithoutEdit = 3020,
    DuplicateKey = 3022,
    FileNotFound = 3024,
    CannotOpenFile = 3051,
    RecordDeleted = 3167,
    WriteConflict = 3197,
    Locked = 3260,
    ReadOnly = 3027,
    UnrecognizedFormat = 3343,
    SyntaxError = 3075,
    UnknownField = 3265,
    TypeMismatch = 3421,   // a value that does not fit the field's kind
    UnknownSource = 3078,  // a record source that names no known table or query
    InvalidArgument = 3001, // a position or bookmark outside the recordset
    ObjectClosed = 3420,   // a recordset used after close()
    ServerUnreachable = 3151, // a database server that cannot be reached, or was lost in the middle of work
    LoginRefused = 3029,   // a server that refuses the user's login (a password it does not accept)
    Generic = 3000,
};

// The source of every data error.
inline constexpr const char *Source = "Quorvex database";

// The standard message text of an error number (a fixed text for every number
// above; "Reserved error (N); there is no message for this error." otherwise).
QString standardMessage(int number);

// An AppError with `number`, source "Quorvex database" and the standard text;
// `detail` (e.g. the file name) is appended in parentheses when given.
AppError make(int number, const QString &detail = QString());
// An AppError with `number` and a text of its own, for errors whose whole message
// depends on the case (a bad database file: which file, and what is wrong with it).
AppError makeWithText(int number, const QString &text);

// The Locked error of an action that saves nothing (a search, a read, starting a
// new record): the standard text says "Nothing was saved", this one says what did
// not happen instead, e.g. locked("The search was not made.").
AppError locked(const QString &whatDidNotHappen);
// `error` itself, or, when it is Locked, locked(whatDidNotHappen).
AppError lockedAs(const AppError &error, const QString &whatDidNotHappen);

} // namespace DataError
