#pragma once

#include <QAbstractTableModel>
#include <memory>

class AttendeeSheet;

// The datasheet's lines over an AttendeeSheet: a line's fields are read when the
// view first asks for them, a page at a time. Columns "Name" (last, first),
// "Address", "City/State/Zip/County", "Chapter", "Checked In" and "Card Printed"
// (when, in local time; empty when not). The key of a line is its TagRole, as a
// bookmark of the navigator.
class DatasheetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int TagRole = Qt::UserRole;

    explicit DatasheetModel(std::unique_ptr<AttendeeSheet> sheet, QObject *parent = nullptr);
    ~DatasheetModel() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    qint64 keyAt(int row) const;
    int rowOf(qint64 key) const;
    // Orders the lines by `column` through the database (every click ascending).
    void sortByColumn(int column);
    // The lines are read again when next shown (a check-in or a card printed).
    void refresh();

private:
    std::unique_ptr<AttendeeSheet> m_sheet;
};
