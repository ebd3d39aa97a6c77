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
// A location is a folder (ending with the native separator) or a database server's
// libpq URL (postgresql://desk@db.example.org:5432/quorvex, recognised by its
// scheme), remembered as Server/Url without any password. A remembered server is
// opened instead of searching for the folder, and is asked about like a folder
// when it cannot be opened (out of reach, the login refused, no Quorvex tables, a
// newer schema: the data layer's words name the server and the reason). The
// prompt takes either. Choosing a folder clears Server/Url, which would otherwise
// win at the next start; choosing a server leaves DBPath alone (unused while a
// server is remembered, the folder to return to).
class DatabaseLocator
{
public:
    explicit DatabaseLocator(AppContext &context) : m_context(context) {}

    // Sets the context's dbFolder (or serverUrl); true when the database there
    // opens, false (both empty) when the user gave up or chose to end.
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
    // The user's folder or server URL, asked until one holds a database that opens;
    // nullopt when the user cancelled or gave an empty answer.
    std::optional<QString> askForLocation();
    Choice askAfterFailure(const QString &location, const AppError &problem);
    std::optional<bool> afterFailure(const QString &location, const AppError &problem);
    bool found(const QString &location, bool remember);
    bool endSearch();

    // The data layer's objection to the database in `folder` (a lock is waited out
    // a while first), or none when it opens.
    std::optional<AppError> problemAt(const QString &folder);
    // The same for a server's URL.
    static std::optional<AppError> problemAtServer(const QString &url);
    static bool isServer(const QString &location);
    // Something named Quorvex.mdb is in `folder` (a file or not).
    static bool holdsAnything(const QString &folder);
    // A typed or stored folder: trimmed, and with the separator added when it
    // names an existing folder without one.
    static QString typedFolder(const QString &answer);

    AppContext &m_context;
    qint64 m_lockWaitMs = 0; // how long the last check waited for another workstation's lock
};
