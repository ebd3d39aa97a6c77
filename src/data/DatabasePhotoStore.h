#pragma once

#include "PhotoStore.h"

// The photographs of a server's database: the table Photos (AttendeeID, Photo as
// the JPEG's bytes, Changed). One is read only when its attendee is shown, and a
// copy kept in a local folder (one per server database, named by when the
// photograph changed) is used while the photograph has not changed since, so a
// desk moving back and forth loads each photograph once.
class DatabasePhotoStore final : public PhotoStore
{
public:
    explicit DatabasePhotoStore(QString location);

    QString photoFile(const QString &attendeeId, const QString &storedPath) override;
    QString newPhotoFile(const QString &attendeeId) override;
    void store(const QString &attendeeId) override;

private:
    QString copyOf(const QString &attendeeId, const QString &changed) const;
    QString keep(const QString &attendeeId, const QByteArray &photo, const QString &changed);
    void forget(const QString &attendeeId, const QString &except = QString());

    QString m_location;
    QString m_folder;
};
