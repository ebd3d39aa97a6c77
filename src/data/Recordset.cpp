#include "Recordset.h"

#include "Criteria.h"
#include "Currency.h"
#include "DataError.h"
#include "Database.h"
#include "Engine.h"
#include "ValueCodec.h"
#include "WriteTransaction.h"

#include <QSqlQuery>
#include <algorithm>

namespace {

QVariant nullOf(FieldKind kind)
{
    return kind == FieldKind::YesNo ? QVariant(false) : QVariant();
}

} // namespace

struct Recordset::Impl
{
    ParsedSource parsed;
    int keyIndex = 0;
    QString selectList;  // the fields in order (the schema's names, unquoted)
    QString sourceSql;   // the table or view as SQL
    QString baseSql;     // the base table as SQL
    QString keySql;      // the key column as SQL

    std::vector<qint64> keys;   // the dynaset, in its order
    std::vector<int> deleted;   // positions deleted here (sorted); few
    bool keysSorted = true;     // keys ascending: finds can let the engine walk in key order
    std::vector<int> byKey;     // positions sorted by key, built when a find needs it
    bool byKeyValid = false;

    int pos = 0;             // current position; -1 before the first, keys.size() after the last
    bool onRow = false;      // a stored row is current and its values are read
    int posBeforeAdd = -1;
    QVariantList current;    // the current row, typed
    QVariantList currentRaw; // the same as stored (for the optimistic check)
    QVariantList pending;    // values being edited or added
    std::vector<bool> changed;
    qint64 addKey = 0;

    QString readSql; // the row by its key
    // valueAt(): the last row read without moving
    qint64 peekKey = -1;
    QVariantList peekValues;

    int hookDepth = 0;
    bool currentChangedPending = false;

    int size() const { return int(keys.size()); }
    int liveCount() const { return size() - int(deleted.size()); }
    bool isDeleted(int p) const { return std::binary_search(deleted.begin(), deleted.end(), p); }
    void markDeleted(int p)
    {
        const auto it = std::lower_bound(deleted.begin(), deleted.end(), p);
        if (it == deleted.end() || *it != p)
            deleted.insert(it, p);
    }
    void clearCurrent()
    {
        onRow = false;
        current.clear();
        currentRaw.clear();
    }
    int positionOfKey(qint64 key)
    {
        if (keysSorted) {
            const auto it = std::lower_bound(keys.begin(), keys.end(), key);
            return (it != keys.end() && *it == key) ? int(it - keys.begin()) : -1;
        }
        if (!byKeyValid) {
            byKey.resize(keys.size());
            for (size_t i = 0; i < keys.size(); ++i)
                byKey[i] = int(i);
            std::sort(byKey.begin(), byKey.end(), [this](int a, int b) { return keys[size_t(a)] < keys[size_t(b)]; });
            byKeyValid = true;
        }
        const auto it = std::lower_bound(byKey.begin(), byKey.end(), key,
                                         [this](int p, qint64 k) { return keys[size_t(p)] < k; });
        return (it != byKey.end() && keys[size_t(*it)] == key) ? *it : -1;
    }
};

Recordset::Recordset(std::shared_ptr<Database> db, const QString &source)
    : d(std::make_unique<Impl>())
    , m_db(std::move(db))
    , m_source(source)
{
    d->parsed = Criteria::parseRecordSource(source, m_db->engine());
    m_def = d->parsed.def;
    QStringList columns;
    for (int i = 0; i < m_def->fields.size(); ++i) {
        columns << m_def->fields.at(i).name;
        if (m_def->fields.at(i).name.compare(m_def->keyField, Qt::CaseInsensitive) == 0)
            d->keyIndex = i;
    }
    d->selectList = columns.join(QStringLiteral(", "));
    d->sourceSql = m_def->name;
    d->baseSql = m_def->baseTable;
    d->keySql = m_def->keyField;
    d->readSql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?").arg(d->selectList, d->sourceSql, d->keySql);
    requery();
}

Recordset::~Recordset()
{
    // The queries go before the connection they run on.
    d.reset();
}

// ---- notification ---------------------------------------------------------

namespace {

// While the listener handles one action (a data control saving before a move, for
// example), the recordset's own actions do not call it again: the data control has
// already validated, and must not see its own update as a second action.
struct HookGuard
{
    int &depth;
    explicit HookGuard(int &d) : depth(d) { ++depth; }
    ~HookGuard() { --depth; }
};

} // namespace

bool Recordset::notifyBefore(DataAction action)
{
    if (!m_listener || d->hookDepth > 0)
        return true;
    bool proceed = false;
    {
        HookGuard guard(d->hookDepth);
        proceed = m_listener->recordsetBeforeAction(action);
    }
    // The listener may have moved the row itself (saving a new row makes it current).
    if (d->currentChangedPending && !proceed)
        notifyCurrentChanged();
    return proceed;
}

void Recordset::notifyCurrentChanged()
{
    if (!m_listener)
        return;
    if (d->hookDepth > 0) {
        d->currentChangedPending = true;
        return;
    }
    d->currentChangedPending = false;
    m_listener->recordsetCurrentChanged();
}

void Recordset::flushCurrentChanged()
{
    if (d->currentChangedPending && d->hookDepth == 0)
        notifyCurrentChanged();
}

void Recordset::requireOpen() const
{
    if (!m_open)
        throw DataError::make(DataError::ObjectClosed, m_source);
}

void Recordset::requireField(int index) const
{
    if (index < 0 || index >= m_def->fields.size())
        throw DataError::make(DataError::UnknownField, QStringLiteral("field %1 of %2").arg(index).arg(m_def->name));
}

[[noreturn]] void Recordset::throwNoCurrent() const
{
    if (m_editMode != EditMode::Adding && d->pos >= 0 && d->pos < d->size() && d->isDeleted(d->pos))
        throw DataError::make(DataError::RecordDeleted);
    throw DataError::make(DataError::NoCurrentRecord);
}

// ---- reading rows -----------------------------------------------------------

bool Recordset::readRow(int position)
{
    QSqlQuery &q = m_db->select(d->readSql, {d->keys[size_t(position)]});
    const bool found = q.next();
    if (found) {
        const int n = int(m_def->fields.size());
        d->currentRaw.resize(n);
        d->current.resize(n);
        for (int i = 0; i < n; ++i) {
            d->currentRaw[i] = q.value(i);
            d->current[i] = ValueCodec::fromStored(d->currentRaw[i], m_def->fields.at(i).kind);
        }
    }
    q.finish(); // an unfinished read holds the file's shared lock
    d->pos = position;
    if (found)
        d->onRow = true;
    else
        d->clearCurrent();
    return found;
}

bool Recordset::landOn(int start, int step)
{
    for (int p = start; p >= 0 && p < d->size(); p += step) {
        if (d->isDeleted(p))
            continue;
        if (readRow(p))
            return true;
        d->markDeleted(p); // another workstation deleted it: it leaves the dynaset
    }
    d->pos = step > 0 ? d->size() : -1;
    d->clearCurrent();
    return false;
}

// Drops a pending edit or addition (a move without saving, as the engine does).
// Returns true when an addition was dropped: the row before it is current again.
bool Recordset::dropPending()
{
    const bool wasAdding = m_editMode == EditMode::Adding;
    m_editMode = EditMode::None;
    d->pending.clear();
    d->changed.clear();
    if (wasAdding) {
        const int p = d->posBeforeAdd;
        d->clearCurrent();
        d->pos = p;
        if (p >= 0 && p < d->size() && !d->isDeleted(p) && !readRow(p))
            d->markDeleted(p);
    }
    return wasAdding;
}

int Recordset::basePosition() const
{
    return m_editMode == EditMode::Adding ? d->posBeforeAdd : d->pos;
}

// ---- opening ------------------------------------------------------------------

void Recordset::requery()
{
    m_editMode = EditMode::None;
    d->pending.clear();
    d->changed.clear();
    d->clearCurrent();
    d->keys.clear();
    d->deleted.clear();
    d->byKey.clear();
    d->byKeyValid = false;
    d->peekKey = -1;
    m_noMatch = false;

    d->keys = readKeys();
    d->keysSorted = d->parsed.orderBy.isEmpty();
    m_open = true;
    d->pos = 0;
    landOn(0, 1);
    notifyCurrentChanged();
}

std::vector<qint64> Recordset::readKeys()
{
    const QString where = d->parsed.where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + d->parsed.where.sql;
    // Counted first, so the keys take one exact allocation (8 bytes a row) instead of
    // growing by doubling; rows added meanwhile still fit, the vector just grows.
    QSqlQuery &count = m_db->select(QStringLiteral("SELECT count(*) FROM %1%2").arg(d->sourceSql, where),
                                    d->parsed.where.params);
    const qint64 expected = count.next() ? count.value(0).toLongLong() : 0;
    count.finish();
    std::vector<qint64> keys;
    keys.reserve(size_t(expected));
    QString sql = QStringLiteral("SELECT %1 FROM %2%3 ORDER BY ").arg(d->keySql, d->sourceSql, where);
    if (!d->parsed.orderBy.isEmpty())
        sql += d->parsed.orderBy + QStringLiteral(", ");
    sql += d->keySql;
    QSqlQuery &q = m_db->select(sql, d->parsed.where.params);
    while (q.next())
        keys.push_back(q.value(0).toLongLong());
    q.finish();
    return keys;
}

bool Recordset::takeInChanges()
{
    requireOpen();
    const std::vector<qint64> fresh = readKeys();
    std::vector<qint64> sortedFresh = fresh;
    std::sort(sortedFresh.begin(), sortedFresh.end());
    const auto inFresh = [&](qint64 key) { return std::binary_search(sortedFresh.begin(), sortedFresh.end(), key); };

    // The row the position stands on (or stood on before an addition), by key.
    const int base = basePosition();
    const bool onBase = base >= 0 && base < d->size();
    const qint64 baseKey = onBase ? d->keys[size_t(base)] : 0;
    const bool editing = m_editMode == EditMode::Editing;

    std::vector<qint64> keys;
    keys.reserve(fresh.size() + 1);
    int liveBefore = 0; // rows kept before the base position: where the set goes on when the base row is gone
    for (int p = 0; p < d->size(); ++p) {
        const qint64 key = d->keys[size_t(p)];
        // A row typed into stays while the typing does, even when it is gone elsewhere.
        const bool keep = (!d->isDeleted(p) && inFresh(key)) || (editing && p == base);
        if (keep) {
            keys.push_back(key);
            if (p < base)
                ++liveBefore;
        }
    }
    std::vector<qint64> sortedOld = d->keys;
    std::sort(sortedOld.begin(), sortedOld.end());
    for (const qint64 key : fresh) {
        if (!std::binary_search(sortedOld.begin(), sortedOld.end(), key))
            keys.push_back(key);
    }
    if (m_editMode == EditMode::Adding)
        keys.erase(std::remove(keys.begin(), keys.end(), d->addKey), keys.end());

    d->keys = std::move(keys);
    d->deleted.clear();
    d->byKey.clear();
    d->byKeyValid = false;
    d->keysSorted = std::is_sorted(d->keys.begin(), d->keys.end());
    d->peekKey = -1;

    const int found = onBase ? d->positionOfKey(baseKey) : -1;
    // No base row (before the first, after the last): the set stands where it stood.
    const int position = !onBase ? (base < 0 ? -1 : d->size()) : found >= 0 ? found : liveBefore;
    if (m_editMode == EditMode::Adding) {
        d->posBeforeAdd = std::min(position, d->size());
        return false;
    }
    if (editing) {
        d->pos = found; // kept above: the pending values stay, the save compares with what was read
        return false;
    }
    if (!onBase) {
        d->pos = position;
        d->clearCurrent();
        return false;
    }
    if (found >= 0) {
        if (readRow(found))
            return false;
        d->markDeleted(found); // gone between the two reads
    }
    if (!landOn(position, 1) && d->liveCount() > 0)
        landOn(d->size() - 1, -1); // the last row went: the new last row
    return true;
}

void Recordset::close()
{
    m_editMode = EditMode::None;
    d->pending.clear();
    d->changed.clear();
    d->clearCurrent();
    d->keys = {};
    d->deleted = {};
    d->byKey = {};
    d->byKeyValid = false;
    d->peekKey = -1;
    m_open = false;
}

// ---- position -----------------------------------------------------------------

bool Recordset::bof() const
{
    if (!m_open || d->liveCount() == 0)
        return true;
    return basePosition() < 0;
}

bool Recordset::eof() const
{
    if (!m_open || d->liveCount() == 0)
        return true;
    return basePosition() >= d->size();
}

void Recordset::moveFirst()
{
    requireOpen();
    if (d->liveCount() == 0 && m_editMode != EditMode::Adding)
        throw DataError::make(DataError::NoCurrentRecord);
    if (!notifyBefore(DataAction::MoveFirst))
        return;
    dropPending();
    landOn(0, 1);
    notifyCurrentChanged();
}

void Recordset::moveLast()
{
    requireOpen();
    if (d->liveCount() == 0 && m_editMode != EditMode::Adding)
        throw DataError::make(DataError::NoCurrentRecord);
    if (!notifyBefore(DataAction::MoveLast))
        return;
    dropPending();
    landOn(d->size() - 1, -1);
    notifyCurrentChanged();
}

void Recordset::moveNext()
{
    requireOpen();
    // A new row is left by any move, even in an empty set (its listener may save it first).
    if (eof() && m_editMode != EditMode::Adding)
        throw DataError::make(DataError::NoCurrentRecord);
    if (!notifyBefore(DataAction::MoveNext))
        return;
    // From the row current now: after an update of a new row inside the listener, that row.
    const int from = std::min(basePosition(), d->size() - 1);
    dropPending();
    landOn(from + 1, 1);
    notifyCurrentChanged();
}

void Recordset::movePrevious()
{
    requireOpen();
    if (bof() && m_editMode != EditMode::Adding)
        throw DataError::make(DataError::NoCurrentRecord);
    if (!notifyBefore(DataAction::MovePrevious))
        return;
    const int from = std::max(basePosition(), 0);
    dropPending();
    landOn(from - 1, -1);
    notifyCurrentChanged();
}

int Recordset::recordCount() const
{
    return m_open ? d->liveCount() : 0;
}

int Recordset::absolutePosition() const
{
    if (!m_open || m_editMode == EditMode::Adding || !d->onRow)
        return -1;
    const int deletedBefore = int(std::lower_bound(d->deleted.begin(), d->deleted.end(), d->pos) - d->deleted.begin());
    return d->pos - deletedBefore;
}

int Recordset::physicalPosition(int livePosition) const
{
    if (livePosition < 0 || livePosition >= d->liveCount())
        throw DataError::make(DataError::InvalidArgument,
                              QStringLiteral("position %1 of %2 rows").arg(livePosition).arg(d->liveCount()));
    int p = livePosition;
    for (const int gone : d->deleted) {
        if (gone <= p)
            ++p;
        else
            break;
    }
    return p;
}

void Recordset::setAbsolutePosition(int position)
{
    requireOpen();
    const int p = physicalPosition(position);
    if (!notifyBefore(DataAction::Bookmark))
        return;
    goTo(p);
}

void Recordset::goTo(int p)
{
    dropPending();
    if (!readRow(p)) {
        d->markDeleted(p);
        notifyCurrentChanged();
        throw DataError::make(DataError::RecordDeleted);
    }
    notifyCurrentChanged();
}

// ---- editing --------------------------------------------------------------------

bool Recordset::updatable() const
{
    return m_open && !m_db->isReadOnly();
}

void Recordset::addNew()
{
    requireOpen();
    if (m_db->isReadOnly())
        throw m_db->readOnlyError();
    if (!notifyBefore(DataAction::AddNew))
        return;
    // Reserved before anything changes: when the database is locked nothing is lost.
    const qint64 key = m_db->reserveKey(m_def->baseTable, m_def->keyField);
    const int before = basePosition();
    dropPending();
    d->posBeforeAdd = before;
    const int n = int(m_def->fields.size());
    d->pending.clear();
    for (int i = 0; i < n; ++i)
        d->pending.append(nullOf(m_def->fields.at(i).kind));
    d->pending[d->keyIndex] = key;
    d->changed.assign(size_t(n), false);
    d->addKey = key;
    m_editMode = EditMode::Adding;
    notifyCurrentChanged();
}

void Recordset::edit()
{
    requireOpen();
    if (m_editMode != EditMode::None)
        return;
    // A read-only file may still be typed into: update() refuses with ReadOnly and
    // keeps what was typed, so the user can copy it elsewhere.
    if (!d->onRow)
        throwNoCurrent();
    d->pending = d->current;
    d->changed.assign(size_t(d->current.size()), false);
    m_editMode = EditMode::Editing;
}

void Recordset::update()
{
    requireOpen();
    if (m_editMode == EditMode::None)
        throw DataError::make(DataError::UpdateWithoutEdit);
    if (!notifyBefore(DataAction::Update))
        return;
    writePending();
    flushCurrentChanged();
}

void Recordset::updateWithoutNotify()
{
    requireOpen();
    writePending();
}

void Recordset::writePending()
{
    if (m_editMode == EditMode::None)
        throw DataError::make(DataError::UpdateWithoutEdit);
    if (m_db->isReadOnly())
        throw m_db->readOnlyError();
    if (m_editMode == EditMode::Adding)
        insertPending();
    else
        updatePending();
}

// Optimistic locking: the row is written only while it still holds every value
// read, compared in the base table (through a view the engine reports no row
// count). On any failure nothing is written and the pending values stay.
void Recordset::updatePending()
{
    const int n = int(m_def->fields.size());
    QStringList sets;
    QVariantList params;
    for (int i = 0; i < n; ++i) {
        if (!d->changed[size_t(i)] || i == d->keyIndex)
            continue;
        sets << m_def->fields.at(i).name + QStringLiteral(" = ?");
        params << ValueCodec::toStored(d->pending[i], m_def->fields.at(i).kind);
    }
    if (sets.isEmpty()) {
        m_editMode = EditMode::None;
        d->pending.clear();
        d->changed.clear();
        return;
    }
    const qint64 key = d->keys[size_t(d->pos)];
    QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?").arg(d->baseSql, sets.join(QStringLiteral(", ")), d->keySql);
    params << key;
    for (int i = 0; i < n; ++i) {
        if (i == d->keyIndex)
            continue;
        sql += QStringLiteral(" AND ") + m_db->engine().nullSafeEquals(m_def->fields.at(i).name);
        params << d->currentRaw.value(i);
    }
    WriteTransaction write(*m_db);
    if (m_db->execute(sql, params) == 0) {
        QSqlQuery &q = m_db->select(QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ?").arg(d->baseSql, d->keySql), {key});
        const bool exists = q.next();
        q.finish();
        throw DataError::make(exists ? DataError::WriteConflict : DataError::RecordDeleted);
    }
    write.commit();
    m_editMode = EditMode::None;
    d->pending.clear();
    d->changed.clear();
    d->peekKey = -1;
    if (!readRow(d->pos))
        d->markDeleted(d->pos);
}

// After the update of an AddNew the new row is appended to the end of the dynaset
// and becomes the current row (the engine would go back to the row current before
// AddNew; showing the row just saved is what the registration desk wants: its
// photograph, its donations). It stays at the end until the next requery.
void Recordset::insertPending()
{
    const int n = int(m_def->fields.size());
    QStringList columns;
    QStringList marks;
    QVariantList params;
    for (int i = 0; i < n; ++i) {
        columns << m_def->fields.at(i).name;
        marks << QStringLiteral("?");
        params << (i == d->keyIndex ? QVariant(d->addKey) : ValueCodec::toStored(d->pending[i], m_def->fields.at(i).kind));
    }
    // Through the query itself (its INSTEAD OF trigger for qryDon_Fees), with the reserved key.
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(d->sourceSql, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    WriteTransaction write(*m_db);
    // Through a view whose triggers do the insert, SQLite counts no row: look.
    if (m_db->execute(sql, params) != 1) {
        QSqlQuery &q = m_db->select(QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ?").arg(d->baseSql, d->keySql), {d->addKey});
        const bool stored = q.next();
        q.finish();
        if (!stored)
            throw DataError::make(DataError::Generic, QStringLiteral("the new row was not stored"));
    }
    write.commit();
    if (!d->keys.empty() && d->addKey < d->keys.back())
        d->keysSorted = false;
    d->keys.push_back(d->addKey);
    d->byKeyValid = false;
    m_editMode = EditMode::None;
    d->pending.clear();
    d->changed.clear();
    const int p = d->size() - 1;
    if (!readRow(p))
        d->markDeleted(p);
    notifyCurrentChanged();
}

void Recordset::cancelUpdate()
{
    requireOpen();
    if (m_editMode == EditMode::Adding) {
        dropPending();
        notifyCurrentChanged();
    } else if (m_editMode == EditMode::Editing) {
        dropPending();
        // Re-read: the row may have been changed elsewhere (after a write conflict).
        if (d->onRow && !readRow(d->pos))
            d->markDeleted(d->pos);
    }
}

void Recordset::deleteRow()
{
    requireOpen();
    if (m_db->isReadOnly())
        throw m_db->readOnlyError();
    if (m_editMode == EditMode::Adding || !d->onRow)
        throwNoCurrent();
    if (!notifyBefore(DataAction::Delete))
        return;
    if (m_editMode == EditMode::Adding)
        dropPending();
    if (!d->onRow) { // the listener moved off the row
        flushCurrentChanged();
        throwNoCurrent();
    }
    const qint64 key = d->keys[size_t(d->pos)];
    {
        WriteTransaction write(*m_db);
        // A row already deleted by another workstation is simply gone: the result the user asked for.
        m_db->execute(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(d->baseSql, d->keySql), {key});
        write.commit();
    }
    m_editMode = EditMode::None;
    d->pending.clear();
    d->changed.clear();
    d->markDeleted(d->pos);
    d->clearCurrent();
    d->peekKey = -1;
    flushCurrentChanged();
}

// ---- fields ---------------------------------------------------------------------------

bool Recordset::hasChangedValues() const
{
    return m_editMode != EditMode::None && std::find(d->changed.begin(), d->changed.end(), true) != d->changed.end();
}

int Recordset::fieldCount() const
{
    return int(m_def->fields.size());
}

QString Recordset::fieldName(int index) const
{
    requireField(index);
    return m_def->fields.at(index).name;
}

int Recordset::fieldIndex(const QString &name) const
{
    const QString wanted = name.trimmed();
    for (int i = 0; i < m_def->fields.size(); ++i) {
        if (m_def->fields.at(i).name.compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

FieldKind Recordset::fieldKind(int index) const
{
    requireField(index);
    return m_def->fields.at(index).kind;
}

int Recordset::requireFieldName(const QString &field) const
{
    const int index = fieldIndex(field);
    if (index < 0)
        throw DataError::make(DataError::UnknownField, QStringLiteral("%1 in %2").arg(field, m_def->name));
    return index;
}

QVariant Recordset::value(const QString &field) const
{
    return value(requireFieldName(field));
}

QVariant Recordset::value(int index) const
{
    requireOpen();
    requireField(index);
    if (m_editMode != EditMode::None)
        return d->pending.at(index);
    if (!d->onRow)
        throwNoCurrent();
    return d->current.at(index);
}

void Recordset::setValue(const QString &field, const QVariant &value)
{
    setValue(requireFieldName(field), value);
}

void Recordset::setValue(int index, const QVariant &value)
{
    requireOpen();
    requireField(index);
    const FieldDef &f = m_def->fields.at(index);
    const QVariant typed = ValueCodec::toTyped(value, f);
    if (index == d->keyIndex) {
        // The key is the database's: writing the value it already has is harmless.
        const QVariant currentKey = m_editMode == EditMode::Adding ? QVariant(d->addKey)
                                    : d->onRow                      ? d->current.at(index)
                                                                    : QVariant();
        if (typed == currentKey)
            return;
        throw DataError::make(DataError::Generic, QStringLiteral("the key field %1 cannot be changed").arg(f.name));
    }
    if (m_editMode == EditMode::None)
        edit();
    d->pending[index] = typed;
    d->changed[size_t(index)] = true;
}

qint64 Recordset::currentKey() const
{
    requireOpen();
    if (m_editMode == EditMode::Adding)
        return d->addKey;
    if (!d->onRow)
        throwNoCurrent();
    return d->keys[size_t(d->pos)];
}

QVariant Recordset::valueAt(int position, int field)
{
    requireOpen();
    requireField(field);
    const qint64 key = d->keys[size_t(physicalPosition(position))];
    if (d->onRow && m_editMode == EditMode::None && d->keys[size_t(d->pos)] == key)
        return d->current.at(field);
    if (d->peekKey != key) {
        QSqlQuery &q = m_db->select(d->readSql, {key});
        d->peekValues.clear();
        if (q.next()) {
            for (int i = 0; i < m_def->fields.size(); ++i)
                d->peekValues.append(ValueCodec::fromStored(q.value(i), m_def->fields.at(i).kind));
        }
        q.finish();
        d->peekKey = key;
    }
    if (d->peekValues.isEmpty())
        throw DataError::make(DataError::RecordDeleted);
    return d->peekValues.at(field);
}

void Recordset::forgetPeekedRow()
{
    d->peekKey = -1;
}

std::vector<Recordset::RowValues> Recordset::readRows(const QList<int> &fields)
{
    requireOpen();
    for (int field : fields)
        requireField(field);
    QStringList columns {d->keySql};
    for (int field : fields)
        columns << m_def->fields.at(field).name;
    const auto readValues = [&](const QSqlQuery &q) {
        QVariantList values;
        values.reserve(fields.size());
        for (int i = 0; i < fields.size(); ++i)
            values.append(ValueCodec::fromStored(q.value(i + 1), m_def->fields.at(fields.at(i)).kind));
        return values;
    };

    // One query over the source's own filter; a row of ours that no longer passes it
    // (another workstation changed it) is read by its key.
    std::vector<std::pair<qint64, QVariantList>> found;
    found.reserve(d->keys.size());
    {
        const QString where = d->parsed.where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + d->parsed.where.sql;
        QSqlQuery &q = m_db->select(QStringLiteral("SELECT %1 FROM %2%3 ORDER BY %4")
                                        .arg(columns.join(QStringLiteral(", ")), d->sourceSql, where, d->keySql),
                                    d->parsed.where.params);
        while (q.next())
            found.emplace_back(q.value(0).toLongLong(), readValues(q));
        q.finish();
    }
    const auto byKey = [](const std::pair<qint64, QVariantList> &row, qint64 key) { return row.first < key; };
    std::vector<RowValues> rows;
    rows.reserve(size_t(d->liveCount()));
    for (int p = 0; p < d->size(); ++p) {
        if (d->isDeleted(p))
            continue;
        const qint64 key = d->keys[size_t(p)];
        const auto it = std::lower_bound(found.begin(), found.end(), key, byKey);
        if (it != found.end() && it->first == key) {
            rows.push_back({QByteArray::number(key), std::move(it->second)});
            continue;
        }
        QSqlQuery &q = m_db->select(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                                        .arg(columns.join(QStringLiteral(", ")), d->sourceSql, d->keySql),
                                    {key});
        if (q.next())
            rows.push_back({QByteArray::number(key), readValues(q)});
        q.finish();
    }
    return rows;
}

std::vector<qint64> Recordset::rowKeys() const
{
    requireOpen();
    std::vector<qint64> keys;
    keys.reserve(size_t(d->liveCount()));
    for (int p = 0; p < d->size(); ++p) {
        if (!d->isDeleted(p))
            keys.push_back(d->keys[size_t(p)]);
    }
    return keys;
}

// ---- bookmarks ------------------------------------------------------------------------

QByteArray Recordset::bookmark() const
{
    requireOpen();
    if (m_editMode == EditMode::Adding || !d->onRow)
        throwNoCurrent();
    return QByteArray::number(d->keys[size_t(d->pos)]);
}

void Recordset::setBookmark(const QByteArray &bookmark)
{
    requireOpen();
    bool ok = false;
    const qint64 key = bookmark.toLongLong(&ok);
    const int p = ok ? d->positionOfKey(key) : -1;
    if (p < 0)
        throw DataError::make(DataError::InvalidArgument, QStringLiteral("bookmark"));
    if (d->isDeleted(p))
        throw DataError::make(DataError::RecordDeleted);
    if (!notifyBefore(DataAction::Bookmark))
        return;
    goTo(p);
}

// ---- find -----------------------------------------------------------------------------

void Recordset::findFirst(const QString &criteria)
{
    find(criteria, FindFrom::First);
}

void Recordset::findNext(const QString &criteria)
{
    find(criteria, FindFrom::Next);
}

void Recordset::findPrevious(const QString &criteria)
{
    find(criteria, FindFrom::Previous);
}

void Recordset::findLast(const QString &criteria)
{
    find(criteria, FindFrom::Last);
}

// Searches only the dynaset's own rows: the engine returns the matching keys, and a
// key counts when the dynaset holds it (rows other workstations added since it was
// opened are not in it; rows deleted here are skipped).
void Recordset::find(const QString &criteria, FindFrom from)
{
    requireOpen();
    const SqlFragment where = Criteria::translate(criteria, *m_def, m_db->engine());
    if (!notifyBefore(DataAction::Find))
        return;
    const int base = basePosition();
    const bool droppedAdd = dropPending();
    const int n = d->size();
    const bool forward = from == FindFrom::First || from == FindFrom::Next;
    int start = 0;
    switch (from) {
    case FindFrom::First: start = 0; break;
    case FindFrom::Next: start = std::max(base + 1, 0); break;
    case FindFrom::Previous: start = std::min(base - 1, n - 1); break;
    case FindFrom::Last: start = n - 1; break;
    }
    int found = -1;
    if (n > 0 && start >= 0 && start < n) {
        QVariantList params = where.params;
        if (d->keysSorted) {
            // The engine walks the key range in the dynaset's order and stops at the first row of ours.
            const qint64 low = forward ? d->keys[size_t(start)] : d->keys.front();
            const qint64 high = forward ? d->keys.back() : d->keys[size_t(start)];
            params << low << high;
            QSqlQuery q = m_db->query(QStringLiteral("SELECT %1 FROM %2 WHERE (%3) AND %1 BETWEEN ? AND ? ORDER BY %1 %4")
                                          .arg(d->keySql, d->sourceSql, where.sql,
                                               forward ? QStringLiteral("ASC") : QStringLiteral("DESC")),
                                      params);
            while (q.next()) {
                const int p = d->positionOfKey(q.value(0).toLongLong());
                if (p >= 0 && !d->isDeleted(p)) {
                    found = p;
                    break;
                }
            }
            q.finish();
        } else {
            params << *std::min_element(d->keys.begin(), d->keys.end()) << *std::max_element(d->keys.begin(), d->keys.end());
            QSqlQuery q = m_db->query(QStringLiteral("SELECT %1 FROM %2 WHERE (%3) AND %1 BETWEEN ? AND ?")
                                          .arg(d->keySql, d->sourceSql, where.sql),
                                      params);
            while (q.next()) {
                const int p = d->positionOfKey(q.value(0).toLongLong());
                if (p < 0 || d->isDeleted(p))
                    continue;
                if (forward ? (p >= start && (found < 0 || p < found)) : (p <= start && p > found))
                    found = p;
            }
            q.finish();
        }
    }
    if (found >= 0 && readRow(found)) {
        m_noMatch = false;
        notifyCurrentChanged();
        return;
    }
    if (found >= 0)
        d->markDeleted(found);
    // No match: the current row stays as it was.
    m_noMatch = true;
    if (droppedAdd)
        notifyCurrentChanged();
    else
        flushCurrentChanged();
}
