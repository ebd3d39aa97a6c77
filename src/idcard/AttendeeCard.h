#pragma once

#include "session/CardFace.h"

#include <QImage>
#include <QString>

class PhotoStore;
class QSqlRecord;

// The card of any attendee, built from the attendee's stored row and the card
// design in the settings store alone: no window and no record moved. Drawn with
// CardImage (or printed with CardPrint), it is the card the windows show when
// that attendee is the current one, so a batch prints what the desk previews.
namespace AttendeeCard {

// `row` holds the Attendees fields (AttendeeID, ProgramID, FirstName, LastName,
// OfficeName, City, Chapter, Picture); `photos` is the database's photo store
// and `appFolder` the program's folder for a relative logo path (ending with a
// separator).
// The photo is decoded as the desk decodes it, for the largest photo box at
// this resolution (a screen's dots per inch times its pixel ratio).
CardFace fromRow(const QSqlRecord &row, PhotoStore &photos, const QString &appFolder, double photoDpiX,
                 double photoDpiY);
// The same on a design read once (CardDesignLoader::read), for a batch that
// draws many cards: the store and the logo are not read again for each.
CardFace fromRow(const QSqlRecord &row, const CardFace &design, PhotoStore &photos, double photoDpiX,
                 double photoDpiY);

// The same with the photo already decoded (a batch decodes the next photos on
// another thread while it draws); `photo` comes from photoFile() and CardPhoto.
CardFace fromRow(const QSqlRecord &row, const CardFace &design, const QImage &photo);
// The file the row's photo is read from; empty when there is none.
QString photoFile(const QSqlRecord &row, PhotoStore &photos);

// The fields fromRow() reads, for a query of the Attendees table.
QString selectFields();

} // namespace AttendeeCard
