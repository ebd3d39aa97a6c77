#pragma once

#include "Recordset.h"
#include "core/AppError.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QStringList>
#include <QVariantList>

#include <functional>

class QLocale;

// A table model over a Recordset for grids: one row per recordset row (plus,
// when `allowAddRow`, a last empty row where a new record starts), one column per
// listed field. Reading a cell moves the recordset only through bookmarks and
// restores the current row; editing a cell edits that row and writes it when the
// grid leaves the row (or on submit()).
//
// The rows are read once (reload()) by position, without moving the recordset,
// so reading raises no events of the data control. Editing moves the recordset
// to the edited row in the open, as a grid's current row is the data control's.
// Editing a cell of another row writes the pending row first; a view should also
// call submit() when its current row changes (closing an editor with Enter does).
// Amounts show with two decimals (edited as text), Yes/No fields as check states,
// dates as QDate; a column may be given a display format in the user's locale,
// a default for new rows, or a link value that the program writes into every row.
class RecordsetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // How a column shows its values (the edit role keeps the plain value).
    enum class Format {
        Plain,     // as above
        Currency,  // the amount as currency of the user's locale ("$1,234.50")
        YesNo,     // "Yes" / "No" as text, no check box
        ShortDate, // the locale's short date with the full year
    };

    RecordsetModel(Recordset *recordset, QStringList fields, QObject *parent = nullptr);

    void setColumnFormat(int column, Format format);
    // The value a new row starts with (evaluated when the row starts: "today").
    void setColumnDefault(int column, std::function<QVariant()> value);
    // A value written by the program into every new row and again into every row
    // just before it is written (the row's link to its owner); the user cannot edit
    // the column. An invalid value removes the link.
    void setColumnLink(int column, const QVariant &value);
    QVariant columnLink(int column) const { return m_links.value(column); }

    // The locale's short date format with a four-digit year.
    static QString shortDateFormat(const QLocale &locale);

    void setHeaders(const QStringList &captions);
    void setAllowAddRow(bool allow);
    // Re-reads the rows after the recordset was re-opened or moved by others.
    void reload();
    // Points the model at another recordset (a data control's refresh() opened a
    // new one) and reads its rows.
    void setRecordset(Recordset *recordset);
    // Writes a pending edited row; false (and the row kept) on a data error.
    bool submit() override;
    // The same, throwing the data error (for a Save command that reports it itself).
    void writePending();
    void revert() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    Recordset *recordset() const { return m_recordset; }
    const QStringList &fields() const { return m_fields; }
    // The row with a pending edit or addition, or -1.
    int pendingRow() const { return m_pendingRow; }
    // The pending row is a new one, not yet written.
    bool pendingIsNew() const { return m_pendingRow >= 0 && m_pendingAdded; }
    // The recordset is open but accepts no changes (a read-only database).
    bool isReadOnly() const;
    // True for the empty last row where a new record starts (shown only while the
    // recordset is open and accepts new rows).
    bool isAddRow(int row) const;
    // The key of a row (or of the row being added); -1 for the add row.
    qint64 rowKey(int row) const;

signals:
    void dataError(const QString &message);
    // A new record was started in the add row (its key is reserved); the owner
    // may fill defaults and links with setData before the typed value is applied.
    void rowAdded(int row);

private:
    struct Row
    {
        qint64 key = -1;
        QVariantList values;
    };

    int fieldColumn(int column) const;
    FieldKind kindOf(int column) const;
    int realRows() const { return int(m_rows.size()); }
    bool hasAddRow() const;
    QVariant formatted(const QVariant &value, Format format) const;
    void applyLinks();
    void readAll();
    Row readAt(int position) const;
    Row readCurrent() const;
    bool isCurrent(int row) const;
    // Makes `row` the recordset's current row; false (error emitted) on failure.
    bool moveTo(int row);
    void finishPendingRow();
    void fail(const AppError &error);
    // The add row becomes a draft holding the defaults and links (no key could be reserved).
    void startDraft(int row);
    // The draft's value of `column`, as the field's kind holds it; throws TypeMismatch.
    void setDraftValue(int row, int column, const QVariant &value);
    void setDraftValueIn(Row &draft, int column, const QVariant &value) const;
    void writeDraft();

    Recordset *m_recordset;
    QStringList m_fields;
    QStringList m_headers;
    QList<int> m_fieldIndexes;
    int m_keyIndex = -1;
    QList<Row> m_rows;
    int m_pendingRow = -1;
    bool m_pendingAdded = false;
    bool m_pendingDraft = false; // the pending new row has no recordset row yet
    bool m_allowAddRow = false;
    QHash<int, Format> m_formats;
    QHash<int, std::function<QVariant()>> m_defaults;
    QHash<int, QVariant> m_links;
};
