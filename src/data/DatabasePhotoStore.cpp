#include "DatabasePhotoStore.h"

#include "DataError.h"
#include "Database.h"
#include "Engine.h"
#include "WriteTransaction.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

QByteArray readAll(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString &file, const QByteArray &bytes)
{
    QSaveFile f(file);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit();
}

qint64 keyOf(const QString &attendeeId)
{
    bool ok = false;
    const qint64 key = attendeeId.trimmed().toLongLong(&ok);
    if (!ok)
        throw DataError::make(DataError::TypeMismatch, QStringLiteral("the attendee key \"%1\"").arg(attendeeId));
    return key;
}

// When the photograph was stored, as text: the local copy is good while it matches.
const QString ChangedText = QStringLiteral("CAST(Changed AS VARCHAR(64))");

} // namespace

DatabasePhotoStore::DatabasePhotoStore(QString location)
    : m_location(std::move(location))
{
}

QString DatabasePhotoStore::folder() const
{
    // One folder per server database, named by its address (without password).
    const QString identity = Engine::forLocation(m_location).absoluteLocation(m_location);
    const QString name = QString::fromLatin1(
        QCryptographicHash::hash(identity.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
    const QString path = QDir(cacheFolder()).filePath(name);
    QDir().mkpath(path);
    return path;
}

QString DatabasePhotoStore::copyOf(const QString &attendeeId) const
{
    return QDir(folder()).filePath(attendeeId.trimmed() + QStringLiteral(".jpg"));
}

QString DatabasePhotoStore::stampOf(const QString &attendeeId) const
{
    return QDir(folder()).filePath(attendeeId.trimmed() + QStringLiteral(".changed"));
}

void DatabasePhotoStore::keep(const QString &attendeeId, const QByteArray &photo, const QString &stamp)
{
    // The stamp goes last: a copy cut short is never taken for a good one.
    QFile::remove(stampOf(attendeeId));
    if (writeAll(copyOf(attendeeId), photo))
        writeAll(stampOf(attendeeId), stamp.toUtf8());
}

QString DatabasePhotoStore::photoFile(const QString &attendeeId, const QString &storedPath)
{
    if (storedPath.isEmpty() || attendeeId.trimmed().isEmpty())
        return QString();
    const qint64 key = keyOf(attendeeId);
    std::shared_ptr<Database> db = Database::shared(m_location);
    QSqlQuery changed = db->query(QStringLiteral("SELECT %1 FROM Photos WHERE AttendeeID = ?").arg(ChangedText), {key});
    const bool stored = changed.next();
    const QString stamp = stored ? changed.value(0).toString() : QString();
    changed.finish();
    const QString copy = copyOf(attendeeId);
    if (!stored) {
        QFile::remove(stampOf(attendeeId));
        QFile::remove(copy);
        return QString();
    }
    if (QFile::exists(copy) && QString::fromUtf8(readAll(stampOf(attendeeId))) == stamp)
        return copy;
    QSqlQuery photo = db->query(QStringLiteral("SELECT Photo, %1 FROM Photos WHERE AttendeeID = ?").arg(ChangedText), {key});
    if (!photo.next()) {
        photo.finish();
        return QString(); // deleted this very moment
    }
    keep(attendeeId, photo.value(0).toByteArray(), photo.value(1).toString());
    photo.finish();
    return QFile::exists(copy) ? copy : QString();
}

QString DatabasePhotoStore::newPhotoFile(const QString &attendeeId)
{
    const QString path = QDir(folder()).filePath(QStringLiteral("new"));
    QDir().mkpath(path);
    return QDir(path).filePath(attendeeId.trimmed() + QStringLiteral(".jpg"));
}

void DatabasePhotoStore::store(const QString &attendeeId)
{
    const qint64 key = keyOf(attendeeId);
    const QString file = newPhotoFile(attendeeId);
    const QByteArray photo = readAll(file);
    if (photo.isEmpty())
        throw DataError::make(DataError::Generic, QStringLiteral("the photograph %1 is missing or empty").arg(file));
    std::shared_ptr<Database> db = Database::shared(m_location);
    {
        WriteTransaction write(*db);
        db->execute(QStringLiteral("DELETE FROM Photos WHERE AttendeeID = ?"), {key});
        db->execute(QStringLiteral("INSERT INTO Photos (AttendeeID, Photo) VALUES (?, ?)"), {key, photo});
        write.commit();
    }
    QSqlQuery changed = db->query(QStringLiteral("SELECT %1 FROM Photos WHERE AttendeeID = ?").arg(ChangedText), {key});
    const QString stamp = changed.next() ? changed.value(0).toString() : QString();
    changed.finish();
    keep(attendeeId, photo, stamp);
    QFile::remove(file);
}
