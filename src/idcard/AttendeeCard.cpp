#include "AttendeeCard.h"

#include "CardPhoto.h"
#include "data/PhotoStore.h"
#include "session/CardDesignLoader.h"
#include "session/CardLines.h"

#include <QSqlRecord>
#include <QVariant>

namespace AttendeeCard {

CardFace fromRow(const QSqlRecord &row, PhotoStore &photos, const QString &appFolder, double photoDpiX,
                 double photoDpiY)
{
    CardFace design;
    CardDesignLoader::read(design, appFolder);
    return fromRow(row, design, photos, photoDpiX, photoDpiY);
}

QString selectFields()
{
    return QStringLiteral("AttendeeID, ProgramID, FirstName, LastName, OfficeName, City, Chapter, Picture");
}

CardFace fromRow(const QSqlRecord &row, const CardFace &design, PhotoStore &photos, double photoDpiX,
                 double photoDpiY)
{
    return fromRow(row, design, CardPhoto::load(photoFile(row, photos), CardPhoto::largestBox(photoDpiX, photoDpiY)));
}

QString photoFile(const QSqlRecord &row, PhotoStore &photos)
{
    return photos.photoFile(row.value(QStringLiteral("AttendeeID")).toString(),
                            row.value(QStringLiteral("Picture")).toString());
}

CardFace fromRow(const QSqlRecord &row, const CardFace &design, const QImage &photo)
{
    const auto field = [&row](const char *name) { return row.value(QLatin1String(name)).toString(); };
    CardFace face = design;
    face.name[0] = field("FirstName");
    face.name[1] = CardLines::lastName(field("LastName"));
    face.office = field("OfficeName");
    face.chapter = CardLines::chapter(field("Chapter"), field("City"));
    face.code = CardLines::code(field("ProgramID"), field("AttendeeID"));
    face.photo = photo;
    if (!face.photo.isNull())
        face.photoPath = field("Picture");
    return face;
}

} // namespace AttendeeCard
