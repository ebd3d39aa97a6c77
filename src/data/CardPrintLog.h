#pragma once

#include <QDateTime>
#include <QSet>
#include <QString>
#include <optional>

class Database;

// One card printed: when, of which size, on which printer, at which desk.
struct CardPrintRecord
{
    qint64 attendeeId = 0;
    QDateTime printed; // UTC
    QString cardSize, printer, desk;
};

// Every card printed (table CardPrints), so that the desk knows who has a card.
// Each write is one WriteTransaction.
class CardPrintLog
{
public:
    // Records a card of the attendee printed now.
    static void record(Database &db, qint64 attendeeId, const QString &cardSize, const QString &printer,
                       const QString &desk);
    // The attendee's latest card print; nullopt when none was printed.
    static std::optional<CardPrintRecord> last(Database &db, qint64 attendeeId);
    // The attendees of the event `programId` with at least one card printed.
    static QSet<qint64> printedAmong(Database &db, qint64 programId);
};
