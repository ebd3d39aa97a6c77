#pragma once

#include <QString>

class AppContext;

// Finds the folder that holds "Quorvex.mdb" and remembers it under DBPath/Path.
// The sources, in order: the stored folder; this machine's "Quorvex" share
// (only where the system has UNC paths); the program's folder; then the user,
// asked as often as needed until the folder is found or the user gives up.
// Every folder it yields ends with the native separator. The share and the
// program's folder come from the context.
class DatabaseLocator
{
public:
    explicit DatabaseLocator(AppContext &context) : m_context(context) {}

    // Sets the context's dbFolder; true when the database file exists there,
    // false (folder empty, "" stored) when the user gave up.
    bool locate();

    static QString promptText();
    static QString promptTitle() { return QStringLiteral("Conneting to Server"); }
    static QString retryText();
    static QString retryTitle() { return QStringLiteral("Connecting to Server"); }

private:
    // True when the database file is in `folder`.
    static bool holdsDatabase(const QString &folder);
    void forget();
    bool found(const QString &folder);
    // A typed or stored folder: trimmed, and with the separator added when it
    // names an existing folder without one.
    static QString typedFolder(const QString &answer);

    AppContext &m_context;
};
