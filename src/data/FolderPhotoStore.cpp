#include "FolderPhotoStore.h"

#include "core/ModGen.h"

FolderPhotoStore::FolderPhotoStore(QString databaseFolder)
    : m_folder(std::move(databaseFolder))
{
}

QString FolderPhotoStore::photoFile(const QString &, const QString &storedPath)
{
    return storedPath.isEmpty() ? QString() : m_folder + modGen::toNativePath(storedPath);
}

QString FolderPhotoStore::newPhotoFile(const QString &attendeeId)
{
    return m_folder + modGen::toNativePath(storedPath(attendeeId));
}

void FolderPhotoStore::store(const QString &)
{
    // Written in its place already: the folder is shared.
}
