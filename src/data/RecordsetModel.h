#pragma once

#include "Recordset.h"

#include <QAbstractTableModel>
#include <QStringList>

// A table model over a Recordset for grids: one row per recordset row (plus,
// when `allowAddRow`, a last empty row where a new record starts), one column per
// listed field. Reading a cell moves the recordset only through bookmarks and
// restores the current row; editing a cell edits that row and writes it when the
// grid leaves the row (or on submit()).
class RecordsetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    RecordsetModel(Recordset *recordset, QStringList fields, QObject *parent = nullptr);

    void setHeaders(const QStringList &captions);
    void setAllowAddRow(bool allow);
    // Re-reads the rows after the recordset was re-opened or moved by others.
    void reload();
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

signals:
    void dataError(const QString &message);

private:
    Recordset *m_recordset;
    QStringList m_fields;
    QStringList m_headers;
    bool m_allowAddRow = false;
};
