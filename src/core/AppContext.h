#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QUrl;

// What the windows share about the running program: where the database and the
// program live, whether the find dialog is open, and how the program reaches the
// desktop (documents, printers, the machine's share). One context is made by
// main() and handed to the windows; a test makes its own, so nothing here is a
// process-wide variable.
class AppContext
{
public:
    AppContext();

    // The database folder, ending with the native separator; empty until found
    // (and on a server, which has no folder).
    QString dbFolder;
    // The database server's address (a postgresql:// URL) when the program works
    // on a server instead of a database file; empty for the file.
    QString serverUrl;
    // Names this desk's own database connection when several desks run in one
    // process (tests, benchmarks); empty (one desk) shares the thread's connection.
    QString desk;
    // The program's folder, ending with the native separator; empty until the
    // main window's load sets it.
    QString appFolder;
    // True while the find dialog is shown.
    bool findOpen = false;

    // The database file: dbFolder + "Quorvex.mdb".
    QString databaseFile() const;
    // What every data control, lookup list and photograph names: the server's URL
    // when there is one, else the database file.
    QString databaseLocation() const;
    // Whether a database was found (a folder or a server).
    bool hasDatabase() const;
    static constexpr const char *DatabaseFileName = "Quorvex.mdb";

    // Hands a document or link to the desktop; true when an application took it
    // (QDesktopServices by default).
    std::function<bool(const QUrl &url, const QString &verb)> openUrl;
    // The names of the installed printers (the platform's list by default).
    std::function<QStringList()> installedPrinters;
    // This machine's "Quorvex" share (\\NAME\Quorvex\), empty where the system
    // has no UNC paths; and the program's folder with a trailing separator.
    // The database search tries them after the stored folder.
    std::function<QString()> shareFolder;
    std::function<QString()> programFolder;
};
