#pragma once

#include <QList>
#include <QString>

// What an import did, for the window and for quorvex-db alike.
struct ImportReport
{
    struct Refused
    {
        int line = 0;   // the file's line (CSV) or row (XLSX)
        QString reason; // what is wrong with it
    };

    QString eventName;
    qint64 eventId = 0;
    bool eventCreated = false; // the import made the event
    int added = 0;
    int updated = 0;
    int skipped = 0;  // duplicates left out by choice
    int payments = 0; // donation or fee rows added with the attendees
    QList<Refused> refused;
    bool written = false; // committed; false when a row was refused (then nothing is written)

    // Every row imported or knowingly skipped.
    bool complete() const { return written && refused.isEmpty(); }
    // The lines the window and standard output show.
    QString text() const;
};
