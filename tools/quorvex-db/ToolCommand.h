#pragma once

#include <QStringList>
#include <QTextStream>

// One command of quorvex-db. run() gets the arguments after the command's name
// and returns the exit status: 0 success, 1 failure (with a message on standard
// error), 2 a wrong command line.
struct ToolCommand
{
    const char *name;
    const char *usage; // its lines of the usage text
    int (*run)(const QStringList &args, QTextStream &out, QTextStream &err);
};

namespace tool {

inline constexpr int Success = 0;
inline constexpr int Failure = 1;
inline constexpr int WrongCommandLine = 2;

// Prints "quorvex-db: <message>" on standard error and returns Failure.
int fail(QTextStream &err, const QString &message);

// The database a TARGET argument names: a database folder (its Quorvex.mdb), a
// database file, or a server's URL, as the data layer opens it.
QString databaseLocation(const QString &target);

} // namespace tool

// The commands, one file each.
extern const ToolCommand CreateCommand;
extern const ToolCommand CreateIfMissingCommand;
extern const ToolCommand ImportCommand;
extern const ToolCommand ExportCommand;
extern const ToolCommand CopyCommand;
extern const ToolCommand CheckCommand;
extern const ToolCommand CardsCommand;
