#pragma once

#include <QList>

class Database;

// Which attendees of an event a batch prints, as keys in key order.
namespace CardSelection {

enum class Who {
    All,                // every attendee of the event
    Selected,           // those selected in the datasheet
    Unprinted,          // those without a printed card
    CheckedInUnprinted, // those checked in without a printed card
};

// The keys of `programId`'s attendees chosen by `who`; `selected` serves Selected
// (keys of another event, or gone, are left out).
QList<qint64> keys(Database &db, qint64 programId, Who who, const QList<qint64> &selected = {});

// Those of `keys` whose card was printed before (CardPrints), and `keys` without them.
QList<qint64> printedAmong(Database &db, qint64 programId, const QList<qint64> &keys);
QList<qint64> withoutPrinted(Database &db, qint64 programId, const QList<qint64> &keys);

} // namespace CardSelection
