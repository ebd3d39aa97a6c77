#pragma once

#include "CardLayout.h"
#include "CardSheet.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

class Database;
class PhotoStore;
class QPrinter;

// Prints the cards of many attendees in one job: one page of the card's size per
// card (card printers) or as many as fit on each sheet (CardSheet, with crop
// marks), in the order of the keys given. Each card is drawn from its stored row
// (AttendeeCard) with the one painter, so it is the card the window shows for
// that attendee; no window's record moves. One row and one photo (decoded at the
// page's resolution) are held at a time, so memory stays flat over any batch.
class CardBatch
{
public:
    CardBatch(Database &db, PhotoStore &photos, const QString &appFolder, const CardLayout &layout,
              std::optional<CardSheet::Paper> sheet);

    // Asked before each card with the number already drawn: false stops the
    // batch there (the card in hand is finished first; the pages drawn are sent).
    std::function<bool(int drawn)> keepGoing;
    // Told when a page is complete, with the keys of the cards on it, before the
    // next page begins; the record of what was printed is written here. An
    // error thrown here stops the batch and reaches the caller of print().
    std::function<void(const QList<qint64> &keys)> pageDone;

    struct Result
    {
        int drawn = 0;       // cards drawn (and told to pageDone)
        int pages = 0;
        int missing = 0;     // keys whose attendee is no longer there
        bool stopped = false; // keepGoing said no before the end
    };

    // Prints `keys` on `printer` (set up here: page size, full page), corrected by
    // the printer's calibration. Throws an AppError when the printer cannot start
    // or the job cannot be finished, or when a row cannot be read.
    Result print(QPrinter &printer, const QList<qint64> &keys);

    // Records the cards of `keys` as printed now at this desk, in one write.
    static void recordPrinted(Database &db, const QList<qint64> &keys, const QString &cardSize, const QString &printer);

private:
    Database &m_db;
    PhotoStore &m_photos;
    QString m_appFolder;
    CardLayout m_layout;
    std::optional<CardSheet> m_sheet;
};
