#include "DatabasePhotoStore.h"

#include "DataError.h"
#include "Database.h"
#include "Engine.h"
#include "WriteTransaction.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <mutex>

namespace {

QByteArray readAll(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString hashOf(const QString &text, int length)
{
    return QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha1).toHex().left(length));
}

qint64 keyOf(const QString &attendeeId)
{
    bool ok = false;
    const qint64 key = attendeeId.trimmed().toLongLong(&ok);
    if (!ok)
        throw DataError::make(DataError::TypeMismatch, QStringLiteral("the attendee key \"%1\"").arg(attendeeId));
    return key;
}

// When the photograph was stored, as text: it names the local copy.
const QString ChangedText = QStringLiteral("CAST(Changed AS VARCHAR(64))");

} // namespace

DatabasePhotoStore::DatabasePhotoStore(QString location)
    : m_location(std::move(location))
{
    // One folder per server database, named by its address (without password).
    const QString identity = Engine::forLocation(m_location).absoluteLocation(m_location);
    m_folder = QDir(cacheFolder()).filePath(hashOf(identity, 16));
    QDir().mkpath(m_folder);
}

namespace {

// Which copy each attendee has, for each folder: the folder is read once per
// process, so finding an attendee's older copy never reads the whole folder
// again (a desk's folder holds a copy for every attendee it has shown).
class CopyIndex
{
public:
    static CopyIndex &instance()
    {
        static CopyIndex index;
        return index;
    }

    QString current(const QString &folder, const QString &attendeeId)
    {
        const std::lock_guard lock(m_mutex);
        return copies(folder).value(attendeeId);
    }

    // `file` (empty: none) is the attendee's copy from now on; the one before goes.
    void replace(const QString &folder, const QString &attendeeId, const QString &file)
    {
        const std::lock_guard lock(m_mutex);
        QHash<QString, QString> &known = copies(folder);
        const QString before = known.value(attendeeId);
        if (!before.isEmpty() && before != file)
            QFile::remove(before);
        if (file.isEmpty())
            known.remove(attendeeId);
        else
            known.insert(attendeeId, file);
    }

private:
    QHash<QString, QString> &copies(const QString &folder)
    {
        auto found = m_folders.find(folder);
        if (found != m_folders.end())
            return *found;
        QHash<QString, QString> &known = m_folders[folder];
        // "<attendee>-<when it changed>.jpg"; of two for one attendee (another program
        // on this machine) the newer stays.
        const QDir dir(folder);
        for (const QFileInfo &file : dir.entryInfoList({QStringLiteral("*-*.jpg")}, QDir::Files, QDir::Time)) {
            const QString id = file.fileName().section(QLatin1Char('-'), 0, 0);
            if (known.contains(id))
                QFile::remove(file.filePath());
            else
                known.insert(id, file.filePath());
        }
        return known;
    }

    std::mutex m_mutex;
    QHash<QString, QHash<QString, QString>> m_folders;
};

} // namespace

QString DatabasePhotoStore::copyOf(const QString &attendeeId, const QString &changed) const
{
    return QDir(m_folder).filePath(QStringLiteral("%1-%2.jpg").arg(attendeeId.trimmed(), hashOf(changed, 12)));
}

void DatabasePhotoStore::forget(const QString &attendeeId, const QString &except)
{
    CopyIndex::instance().replace(m_folder, attendeeId.trimmed(), except);
}

QString DatabasePhotoStore::keep(const QString &attendeeId, const QByteArray &photo, const QString &changed)
{
    // Written aside and renamed: a copy is never seen half written. Not forced to
    // the disk: a copy lost with a power cut is fetched again.
    const QString copy = copyOf(attendeeId, changed);
    const QString part = copy + QStringLiteral(".part");
    QFile f(part);
    if (!f.open(QIODevice::WriteOnly) || f.write(photo) != photo.size()) {
        f.remove();
        return QString();
    }
    f.close();
    QFile::remove(copy);
    if (!QFile::rename(part, copy)) {
        QFile::remove(part);
        return QString();
    }
    forget(attendeeId, copy);
    return copy;
}

QString DatabasePhotoStore::photoFile(const QString &attendeeId, const QString &storedPath)
{
    if (storedPath.isEmpty() || attendeeId.trimmed().isEmpty())
        return QString();
    const qint64 key = keyOf(attendeeId);
    std::shared_ptr<Database> db = Database::shared(m_location);
    QSqlQuery &changed = db->select(QStringLiteral("SELECT %1 FROM Photos WHERE AttendeeID = ?").arg(ChangedText), {key});
    const bool stored = changed.next();
    const QString stamp = stored ? changed.value(0).toString() : QString();
    changed.finish();
    if (!stored) {
        forget(attendeeId);
        return QString();
    }
    const QString copy = copyOf(attendeeId, stamp);
    if (CopyIndex::instance().current(m_folder, attendeeId.trimmed()) == copy && QFileInfo(copy).size() > 0)
        return copy;
    QSqlQuery &photo = db->select(QStringLiteral("SELECT Photo, %1 FROM Photos WHERE AttendeeID = ?").arg(ChangedText), {key});
    QString file;
    if (photo.next())
        file = keep(attendeeId, photo.value(0).toByteArray(), photo.value(1).toString());
    photo.finish();
    return file;
}

QString DatabasePhotoStore::newPhotoFile(const QString &attendeeId)
{
    const QString path = QDir(m_folder).filePath(QStringLiteral("new"));
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
    QSqlQuery &changed = db->select(QStringLiteral("SELECT %1 FROM Photos WHERE AttendeeID = ?").arg(ChangedText), {key});
    const QString stamp = changed.next() ? changed.value(0).toString() : QString();
    changed.finish();
    keep(attendeeId, photo, stamp);
    QFile::remove(file);
}
