#pragma once

#include "PhotoStore.h"

// The photographs of a database file: "Pic\17.jpg" is the file Pic/17.jpg in the
// database's folder (on a share, so every workstation reads it).
class FolderPhotoStore final : public PhotoStore
{
public:
    // `databaseFolder` ends with a separator.
    explicit FolderPhotoStore(QString databaseFolder);

    QString photoFile(const QString &attendeeId, const QString &storedPath) override;
    QString newPhotoFile(const QString &attendeeId) override;
    void store(const QString &attendeeId) override;

private:
    QString m_folder;
};
