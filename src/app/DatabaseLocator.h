#pragma once

#include "core/AppError.h"

#include <QString>
#include <QStringList>
#include <optional>

class AppContext;

// Finds the database "Quorvex.mdb" and remembers where (DBPath/Path).
//
// A desk that remembers nothing searches: this machine's "Quorvex" share (only
// where the system has UNC paths), the program's folder, then the user, asked as
// often as needed until the folder is found or the user gives up; the folder
// found is remembered.
//
// A remembered location is never replaced behind the user's back: when its
// database cannot be opened (a network share not connected yet, a folder named
// Quorvex.mdb, a damaged file, another workstation holding the lock) the user is
// told which database and why, and chooses to try again, to give another
// location (the prompt), or to end. Only a location the user gives is
// remembered instead. The same holds for a database found by the search that is
// there but cannot be opened: the data layer's own words, never the prompt.
//
// A location is a string handed to the data layer: a folder ending with the
// separator today; a server's address can take the same path later, with its own
// check behind Database. Every folder it yields ends with the native separator.
class DatabaseLocator
{
public:
    explicit DatabaseLocator(AppContext &context) : m_context(context) {}

    // Sets the context's dbFolder; true when the database there opens, false
    // (folder empty) when the user gave up or chose to end.
    bool locate();

    static QString promptText();
    static QString promptTitle() { return QStringLiteral("Conneting to Server"); }
    static QString retryText();
    static QString retryTitle() { return QStringLiteral("Connecting to Server"); }
    // The question after a database that cannot be opened, and its choices.
    static QString unreachableText(const QString &why);
    static QStringList unreachableChoices();
    // The question after the database stayed locked, and its choices.
    static QString busyText(const QString &location, int seconds);
    static QStringList busyChoices();
    // How often the check waits out another workstation's lock (each wait the
    // data layer's busy timeout) before it asks.
    static constexpr int BusyWaits = 3;

private:
    enum class Choice { TryAgain, OtherLocation, End };

    bool locateRemembered(const QString &remembered);
    // A folder the search found something named Quorvex.mdb in: opened, or asked about.
    bool settle(const QString &folder);
    // The user's folder, asked until one holds a database that opens; nullopt when
    // the user cancelled or gave an empty answer.
    std::optional<QString> askForFolder();
    Choice askAfterFailure(const QString &location, const AppError &problem);
    bool found(const QString &folder, bool remember);

    // The data layer's objection to the database in `folder` (a lock is waited out
    // a while first), or none when it opens.
    std::optional<AppError> problemAt(const QString &folder);
    // Something named Quorvex.mdb is in `folder` (a file or not).
    static bool holdsAnything(const QString &folder);
    // A typed or stored folder: trimmed, and with the separator added when it
    // names an existing folder without one.
    static QString typedFolder(const QString &answer);

    AppContext &m_context;
    qint64 m_lockWaitMs = 0; // how long the last check waited for another workstation's lock
};
