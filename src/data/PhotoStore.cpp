#include "PhotoStore.h"

#include "DatabasePhotoStore.h"
#include "Engine.h"
#include "FolderPhotoStore.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <mutex>

namespace {

std::mutex g_cacheMutex;

QString &configuredCache()
{
    static QString folder;
    return folder;
}

} // namespace

std::unique_ptr<PhotoStore> PhotoStore::forLocation(const QString &location)
{
    if (Engine::forLocation(location).keepsPhotosInDatabase())
        return std::make_unique<DatabasePhotoStore>(location);
    // The database's folder as the location spells it (a share keeps its form).
    const QString fileName = QFileInfo(location).fileName();
    return std::make_unique<FolderPhotoStore>(location.left(location.size() - fileName.size()));
}

void PhotoStore::setCacheFolder(const QString &folder)
{
    const std::lock_guard lock(g_cacheMutex);
    configuredCache() = folder;
}

QString PhotoStore::cacheFolder()
{
    const std::lock_guard lock(g_cacheMutex);
    if (!configuredCache().isEmpty())
        return configuredCache();
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation))
        .filePath(QStringLiteral("Quorvex/photos"));
}

QString PhotoStore::storedPath(const QString &attendeeId)
{
    return QStringLiteral("Pic\\") + attendeeId + QStringLiteral(".jpg");
}
