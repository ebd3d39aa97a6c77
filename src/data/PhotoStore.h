#pragma once

#include <QString>
#include <memory>

// Where the attendees' photographs are kept, for the database at a location. The
// Picture field holds "Pic\17.jpg" on every engine. With a database file the
// photographs are that file in the database's folder, as before (FolderPhotoStore);
// on a server they live in the database, so every desk sees the photograph another
// desk snapped, and a copy is kept in a local folder (DatabasePhotoStore).
class PhotoStore
{
public:
    virtual ~PhotoStore() = default;

    // The store for the database at `location` (a file or a server URL). Nothing is
    // opened until a photograph is asked for.
    static std::unique_ptr<PhotoStore> forLocation(const QString &location);
    // The folder under which a server's photographs are copied (the user's cache
    // folder unless set; tests point it into their own folder).
    static void setCacheFolder(const QString &folder);
    static QString cacheFolder();

    // "Pic\17.jpg", the Picture field's value for the attendee 17 (stored with the
    // backslash, as every workstation reads it).
    static QString storedPath(const QString &attendeeId);

    // The file to read the photograph of `attendeeId` from, whose Picture field
    // holds `storedPath`; empty when there is none (nothing stored, nothing there).
    virtual QString photoFile(const QString &attendeeId, const QString &storedPath) = 0;
    // The file a new photograph of `attendeeId` is written to (the snap has the
    // converter write its JPEG there, its bitmap beside it); then store().
    virtual QString newPhotoFile(const QString &attendeeId) = 0;
    // Makes the JPEG written to newPhotoFile() the attendee's photograph for every
    // desk (on a server, one write transaction); a DataError when it cannot.
    virtual void store(const QString &attendeeId) = 0;
};
