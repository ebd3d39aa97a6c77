#include "AttendeeSheet.h"

#include "Database.h"
#include "Engine.h"
#include "Schema.h"
#include "ValueCodec.h"

#include <QSqlQuery>
#include <QStringList>
#include <unordered_set>

namespace {

constexpr int KeepPages = 64; // about 4,000 rows read and kept; more are read again when shown

QString text(const QVariant &value)
{
    return value.isNull() ? QString() : value.toString();
}

// What a column orders by: its texts without regard to case (a missing text as
// an empty one, alike on both engines), a date with the rows that have none last.
QStringList orderOf(AttendeeSheet::Column column, const Engine &engine)
{
    const auto caseless = [&engine](const char *field) {
        return engine.caseless(QStringLiteral("coalesce(a.%1, '')").arg(QLatin1String(field)));
    };
    const auto latest = [](const char *table, const char *field, const char *aggregate) {
        const QString value = QStringLiteral("(SELECT %1(x.%2) FROM %3 x WHERE x.AttendeeID = a.AttendeeID)")
                                  .arg(QLatin1String(aggregate), QLatin1String(field), QLatin1String(table));
        return QStringList {QStringLiteral("CASE WHEN %1 IS NULL THEN 1 ELSE 0 END").arg(value), value};
    };
    switch (column) {
    case AttendeeSheet::Name: return {caseless("LastName"), caseless("FirstName")};
    case AttendeeSheet::Address: return {caseless("Address")};
    case AttendeeSheet::Place:
        return {caseless("City"), caseless("StateOrProvince"), caseless("PostalCode"), caseless("Country")};
    case AttendeeSheet::Chapter: return {caseless("Chapter")};
    case AttendeeSheet::CheckedIn: return latest("CheckIns", "CheckedIn", "min");
    case AttendeeSheet::CardPrinted: return latest("CardPrints", "Printed", "max");
    case AttendeeSheet::ColumnCount: break;
    }
    return {};
}

} // namespace

AttendeeSheet::AttendeeSheet(std::shared_ptr<Database> db, std::vector<qint64> keys)
    : m_db(std::move(db))
    , m_keys(std::move(keys))
{
    indexKeys();
}

void AttendeeSheet::indexKeys()
{
    m_rowOfKey.clear();
    m_rowOfKey.reserve(m_keys.size());
    for (size_t i = 0; i < m_keys.size(); ++i)
        m_rowOfKey.emplace(m_keys[i], int(i));
}

int AttendeeSheet::rowOf(qint64 key) const
{
    const auto found = m_rowOfKey.find(key);
    return found == m_rowOfKey.end() ? -1 : found->second;
}

const AttendeeSheet::Row &AttendeeSheet::row(int row)
{
    const int page = row / PageRows;
    auto found = m_pages.find(page);
    if (found == m_pages.end()) {
        readPage(page);
        found = m_pages.find(page);
    }
    return found->second.at(size_t(row % PageRows));
}

void AttendeeSheet::readPage(int page)
{
    if (m_pages.size() >= size_t(KeepPages))
        m_pages.clear();
    const int first = page * PageRows;
    const int last = std::min(count(), first + PageRows);
    std::vector<Row> rows(size_t(last - first));
    // Always PageRows keys (0 for none), so that one prepared statement serves every page.
    QVariantList params;
    std::unordered_map<qint64, int> slot;
    for (int i = 0; i < PageRows; ++i) {
        const qint64 key = first + i < last ? m_keys[size_t(first + i)] : 0;
        params << key;
        if (key)
            slot.emplace(key, i);
    }
    static const QString sql = [] {
        QStringList marks;
        for (int i = 0; i < PageRows; ++i)
            marks << QStringLiteral("?");
        return QStringLiteral("SELECT a.AttendeeID, a.LastName, a.FirstName, a.Address, a.City, a.StateOrProvince, "
                              "a.PostalCode, a.Country, a.Chapter, (SELECT min(c.CheckedIn) FROM CheckIns c WHERE "
                              "c.AttendeeID = a.AttendeeID), (SELECT max(p.Printed) FROM CardPrints p WHERE "
                              "p.AttendeeID = a.AttendeeID) FROM Attendees a WHERE a.AttendeeID IN (%1)")
            .arg(marks.join(QStringLiteral(", ")));
    }();
    QSqlQuery &q = m_db->select(sql, params);
    while (q.next()) {
        const auto at = slot.find(q.value(0).toLongLong());
        if (at == slot.end())
            continue;
        Row &r = rows[size_t(at->second)];
        r.found = true;
        r.lastName = text(q.value(1));
        r.firstName = text(q.value(2));
        r.address = text(q.value(3));
        r.city = text(q.value(4));
        r.state = text(q.value(5));
        r.postalCode = text(q.value(6));
        r.country = text(q.value(7));
        r.chapter = text(q.value(8));
        r.checkedIn = ValueCodec::fromStored(q.value(9), FieldKind::DateTime).toDateTime();
        r.cardPrinted = ValueCodec::fromStored(q.value(10), FieldKind::DateTime).toDateTime();
    }
    q.finish();
    m_pages[page] = std::move(rows);
}

void AttendeeSheet::sortBy(Column column)
{
    const QStringList order = orderOf(column, m_db->engine());
    if (order.isEmpty())
        return;
    // The event's attendees are what is listed: the engine orders the event's rows
    // (by its key index) and the listed keys are kept in that order.
    qint64 event = -1;
    for (size_t i = 0; i < m_keys.size() && event < 0; i += std::max<size_t>(1, m_keys.size() / 8)) {
        QSqlQuery &q = m_db->select(QStringLiteral("SELECT ProgramID FROM Attendees WHERE AttendeeID = ?"), {m_keys[i]});
        if (q.next())
            event = q.value(0).toLongLong();
        q.finish();
    }
    if (event < 0)
        return;
    const std::unordered_set<qint64> listed(m_keys.begin(), m_keys.end());
    std::vector<qint64> sorted;
    sorted.reserve(m_keys.size());
    QSqlQuery q = m_db->query(QStringLiteral("SELECT a.AttendeeID FROM Attendees a WHERE a.ProgramID = ? ORDER BY %1, "
                                             "a.AttendeeID")
                                  .arg(order.join(QStringLiteral(", "))),
                              {event});
    while (q.next()) {
        const qint64 key = q.value(0).toLongLong();
        if (listed.count(key))
            sorted.push_back(key);
    }
    q.finish();
    // A listed row the engine no longer has (deleted meanwhile) stays, at the end.
    if (sorted.size() < m_keys.size()) {
        const std::unordered_set<qint64> found(sorted.begin(), sorted.end());
        for (const qint64 key : m_keys) {
            if (!found.count(key))
                sorted.push_back(key);
        }
    }
    m_keys = std::move(sorted);
    indexKeys();
    m_pages.clear();
}

void AttendeeSheet::forgetRows()
{
    m_pages.clear();
}
