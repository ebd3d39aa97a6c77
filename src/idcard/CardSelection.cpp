#include "CardSelection.h"

#include "data/CardPrintLog.h"
#include "data/CheckInLog.h"
#include "data/Database.h"

#include <QSet>

#include <algorithm>

namespace CardSelection {

QList<qint64> keys(Database &db, qint64 programId, Who who, const QList<qint64> &selected)
{
    QList<qint64> all;
    db.reading([&] {
        all.clear();
        QSqlQuery query = db.query(QStringLiteral("SELECT AttendeeID FROM Attendees WHERE ProgramID = ? ORDER BY AttendeeID"),
                                   {programId});
        while (query.next())
            all.append(query.value(0).toLongLong());
        query.finish();
    });
    switch (who) {
    case Who::All:
        return all;
    case Who::Selected: {
        const QSet<qint64> chosen(selected.cbegin(), selected.cend());
        QList<qint64> kept;
        std::copy_if(all.cbegin(), all.cend(), std::back_inserter(kept), [&](qint64 key) { return chosen.contains(key); });
        return kept;
    }
    case Who::Unprinted:
        return withoutPrinted(db, programId, all);
    case Who::CheckedInUnprinted: {
        QSet<qint64> checkedIn;
        db.reading([&] { checkedIn = CheckInLog::checkedInAmong(db, programId); });
        QList<qint64> kept;
        std::copy_if(all.cbegin(), all.cend(), std::back_inserter(kept), [&](qint64 key) { return checkedIn.contains(key); });
        return withoutPrinted(db, programId, kept);
    }
    }
    return {};
}

namespace {

QList<qint64> split(Database &db, qint64 programId, const QList<qint64> &keys, bool printed)
{
    QSet<qint64> done;
    db.reading([&] { done = CardPrintLog::printedAmong(db, programId); });
    QList<qint64> kept;
    std::copy_if(keys.cbegin(), keys.cend(), std::back_inserter(kept),
                 [&](qint64 key) { return done.contains(key) == printed; });
    return kept;
}

} // namespace

QList<qint64> printedAmong(Database &db, qint64 programId, const QList<qint64> &keys)
{
    return split(db, programId, keys, true);
}

QList<qint64> withoutPrinted(Database &db, qint64 programId, const QList<qint64> &keys)
{
    return split(db, programId, keys, false);
}

} // namespace CardSelection
