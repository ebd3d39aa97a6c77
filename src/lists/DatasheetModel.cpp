#include "DatasheetModel.h"

#include "core/AppError.h"
#include "data/AttendeeSheet.h"

namespace {

QString when(const QDateTime &time)
{
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QString();
}

} // namespace

DatasheetModel::DatasheetModel(std::unique_ptr<AttendeeSheet> sheet, QObject *parent)
    : QAbstractTableModel(parent)
    , m_sheet(std::move(sheet))
{
}

DatasheetModel::~DatasheetModel() = default;

int DatasheetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_sheet->count();
}

int DatasheetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : AttendeeSheet::ColumnCount;
}

QVariant DatasheetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char *const captions[] = {"Name", "Address", "City/State/Zip/County", "Chapter", "Checked In",
                                           "Card Printed"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= AttendeeSheet::ColumnCount)
        return QVariant();
    return QString::fromLatin1(captions[section]);
}

QVariant DatasheetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_sheet->count())
        return QVariant();
    if (role == TagRole)
        return QByteArray::number(m_sheet->keyAt(index.row()));
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return QVariant();
    // A page that cannot be read (a server gone) shows blank lines; the next paint tries again.
    const AttendeeSheet::Row *row = nullptr;
    ignoreErrors([&] { row = &m_sheet->row(index.row()); });
    if (!row)
        return QVariant();
    const QString comma = QStringLiteral(", ");
    switch (index.column()) {
    case AttendeeSheet::Name: return row->lastName + comma + row->firstName;
    case AttendeeSheet::Address: return row->address;
    case AttendeeSheet::Place: return QStringList {row->city, row->state, row->postalCode, row->country}.join(comma);
    case AttendeeSheet::Chapter: return row->chapter;
    case AttendeeSheet::CheckedIn: return when(row->checkedIn);
    case AttendeeSheet::CardPrinted: return when(row->cardPrinted);
    default: return QVariant();
    }
}

qint64 DatasheetModel::keyAt(int row) const
{
    return m_sheet->keyAt(row);
}

int DatasheetModel::rowOf(qint64 key) const
{
    return m_sheet->rowOf(key);
}

void DatasheetModel::sortByColumn(int column)
{
    if (column < 0 || column >= AttendeeSheet::ColumnCount)
        return;
    beginResetModel();
    try {
        m_sheet->sortBy(AttendeeSheet::Column(column));
    } catch (...) {
        endResetModel();
        throw;
    }
    endResetModel();
}

void DatasheetModel::refresh()
{
    m_sheet->forgetRows();
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}
