#pragma once

#include "DataAction.h"
#include "Schema.h"

#include <QByteArray>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

class Database;

enum class EditMode : int { None = 0, Editing = 1, Adding = 2 };

// Told by a Recordset about its actions (the data control that owns it).
class RecordsetListener
{
public:
    virtual ~RecordsetListener() = default;
    // Before an action that leaves the current row or writes it; return false to
    // cancel the action (nothing moves, nothing is written).
    virtual bool recordsetBeforeAction(DataAction action) = 0;
    // After the current row changed (a move, AddNew, a requery, a bookmark, a find).
    virtual void recordsetCurrentChanged() = 0;
};

// A dynaset over a table or a "SELECT * FROM <source> [WHERE ...] [ORDER BY ...]":
// the keys of its rows are held in memory (8 bytes a row); the current row is read
// by key, so a move shows what other workstations saved. The dynaset's rows are
// those found when it was opened, plus the rows it adds itself.
//
// Locking is optimistic: Update writes only when the row still holds what was read
// (compared field by field against the base table); otherwise it fails with
// DataError::WriteConflict, writes nothing and keeps the pending values.
//
// Every failure is an AppError from DataError.
class Recordset
{
public:
    Recordset(std::shared_ptr<Database> db, const QString &source);
    ~Recordset();
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    void setListener(RecordsetListener *listener) { m_listener = listener; }

    // Opens (or re-opens) the rows and makes the first current (none if empty).
    void requery();
    // Takes in what other workstations did since the rows were read, without leaving
    // the current row or its pending edit or addition: rows that no longer belong
    // to the set drop out, rows new to it join at the end (in the set's order), and
    // the current row is read again unless an edit is pending (its save then meets
    // the optimistic check). When the current row itself is gone (and nothing was
    // typed into it) the row after it becomes current. Tells the listener nothing;
    // returns true when the current row is another one than before.
    bool takeInChanges();
    // Releases the rows; any later call but requery() fails.
    void close();
    bool isOpen() const { return m_open; }

    const QString &source() const { return m_source; }
    const SourceDef *definition() const { return m_def; }
    Database &database() { return *m_db; }

    // Position
    bool bof() const;
    bool eof() const;
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    int recordCount() const;       // exact: the dynaset's rows (deleted ones excluded)
    int absolutePosition() const;  // zero-based; -1 when none, new or deleted
    void setAbsolutePosition(int position);

    // Editing
    void addNew();   // new row, key reserved at once (readable through value())
    void edit();     // starts an edit of the current row
    void update();   // writes the pending row (regular update, not forced)
    // The same write without telling the listener: for the data control, which has
    // already raised its Validate for this write (saveChanges). Inside the listener's
    // recordsetBeforeAction the recordset never calls the listener again, so update()
    // from there is equally safe.
    void updateWithoutNotify();
    void cancelUpdate();
    void deleteRow(); // deletes the current row; the caller moves off it
    EditMode editMode() const { return m_editMode; }
    // A field of the pending row was written since the edit or addition began.
    bool hasChangedValues() const;
    bool updatable() const;
    // Kept for callers that set it; writing is always optimistic here (no row is
    // locked while it is edited, so a workstation never blocks another).
    bool lockEdits() const { return m_lockEdits; }
    void setLockEdits(bool pessimistic) { m_lockEdits = pessimistic; }

    // Fields of the current (or pending) row, by name (case-insensitive) or index.
    int fieldCount() const;
    QString fieldName(int index) const;
    int fieldIndex(const QString &name) const; // -1 when unknown
    FieldKind fieldKind(int index) const;
    QVariant value(const QString &field) const;
    QVariant value(int index) const;
    // Writing a field starts an edit when none is pending.
    void setValue(const QString &field, const QVariant &value);
    void setValue(int index, const QVariant &value);
    // The key of the current row (or of the row being added).
    qint64 currentKey() const;
    // A field of the row at zero-based `position`, read without moving (for grids;
    // the current row's pending values are not shown). The last row read is kept
    // until forgetPeekedRow() or a write.
    QVariant valueAt(int position, int field);
    void forgetPeekedRow();

    // The `fields` of every row in the dynaset's order, each with its bookmark, read
    // in one pass without moving (for lists of every row). Rows that another
    // workstation deleted meanwhile are left out; pending values are not shown.
    struct RowValues
    {
        QByteArray bookmark;
        QVariantList values;
    };
    std::vector<RowValues> readRows(const QList<int> &fields);
    // The keys of the dynaset's rows in its order, deleted ones left out (8 bytes a
    // row, already in memory: nothing is read).
    std::vector<qint64> rowKeys() const;

    // Bookmarks
    QByteArray bookmark() const;
    void setBookmark(const QByteArray &bookmark);

    // Find with the engine's criteria, e.g. "FirstName LIKE '*ann*'" (* and ?
    // wildcards, case-insensitive for all letters). Comparisons =, <>, <, >, <=, >=,
    // LIKE, IS NULL, joined by AND / OR; literals in quotes ('' inside is a quote)
    // or numbers, always bound as parameters.
    void findFirst(const QString &criteria);
    void findNext(const QString &criteria);
    void findPrevious(const QString &criteria);
    void findLast(const QString &criteria);
    bool noMatch() const { return m_noMatch; }

private:
    enum class FindFrom { First, Next, Previous, Last };
    bool notifyBefore(DataAction action);
    void notifyCurrentChanged();
    void flushCurrentChanged();
    void requireOpen() const;
    void requireField(int index) const;
    int requireFieldName(const QString &field) const;
    [[noreturn]] void throwNoCurrent() const;
    bool readRow(int position);
    bool landOn(int start, int step);
    bool dropPending();
    int basePosition() const;
    int physicalPosition(int livePosition) const;
    void goTo(int position);
    void writePending();
    void updatePending();
    void insertPending();
    void find(const QString &criteria, FindFrom from);
    std::vector<qint64> readKeys();

    // (implementation state: keys, position, current and pending values)
    struct Impl;
    std::unique_ptr<Impl> d;

    std::shared_ptr<Database> m_db;
    QString m_source;
    const SourceDef *m_def = nullptr;
    RecordsetListener *m_listener = nullptr;
    EditMode m_editMode = EditMode::None;
    bool m_lockEdits = true;
    bool m_noMatch = false;
    bool m_open = false;
};
