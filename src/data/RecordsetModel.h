#pragma once

#include "Recordset.h"
#include "core/AppError.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>
#include <QVariantList>

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
// dates as QDate.
class RecordsetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    RecordsetModel(Recordset *recordset, QStringList fields, QObject *parent = nullptr);

    void setHeaders(const QStringList &captions);
    void setAllowAddRow(bool allow);
    // Re-reads the rows after the recordset was re-opened or moved by others.
    void reload();
    // Points the model at another recordset (a data control's refresh() opened a
    // new one) and reads its rows.
    void setRecordset(Recordset *recordset);
    // Writes a pending edited row; false (and the row kept) on a data error.
    bool submit() override;
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
    // True for the empty last row where a new record starts.
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
    void readAll();
    Row readAt(int position) const;
    Row readCurrent() const;
    bool isCurrent(int row) const;
    // Makes `row` the recordset's current row; false (error emitted) on failure.
    bool moveTo(int row);
    void finishPendingRow();
    void fail(const AppError &error);

    Recordset *m_recordset;
    QStringList m_fields;
    QStringList m_headers;
    QList<int> m_fieldIndexes;
    int m_keyIndex = -1;
    QList<Row> m_rows;
    int m_pendingRow = -1;
    bool m_pendingAdded = false;
    bool m_allowAddRow = false;
};
