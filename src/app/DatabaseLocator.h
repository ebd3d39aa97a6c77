#pragma once

#include <QString>
#include <functional>

// Finds the folder that holds "Quorvex.mdb" and remembers it under DBPath/Path.
// The sources, in order: the stored folder; this machine's "Quorvex" share
// (only where the system has UNC paths); the program's folder; then the user,
// asked as often as needed until the folder is found or the user gives up.
// Every folder it yields ends with the native separator.
class DatabaseLocator
{
public:
    using FolderSource = std::function<QString()>;

    // Sets modGen::dbFolder(); true when the database file exists there,
    // false (folder empty, "" stored) when the user gave up.
    bool locate();

    // The share on this machine, e.g. \\NAME\Quorvex\ (empty: no share to try).
    static QString shareFolder();
    // The program's folder with a trailing separator.
    static QString programFolder();
    // Tests point the two sources at folders of their own; an empty function
    // restores the real source.
    static void setShareFolderSource(FolderSource source);
    static void setProgramFolderSource(FolderSource source);

    static QString promptText();
    static QString promptTitle() { return QStringLiteral("Conneting to Server"); }
    static QString retryText();
    static QString retryTitle() { return QStringLiteral("Connecting to Server"); }

private:
    // True when the database file is in `folder`; the found folder is then current.
    static bool holdsDatabase(const QString &folder);
    static void forget();
    static bool found(const QString &folder);
    // A typed or stored folder: trimmed, and with the separator added when it
    // names an existing folder without one.
    static QString typedFolder(const QString &answer);
};
