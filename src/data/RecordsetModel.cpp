#include "RecordsetModel.h"

#include "BoundValue.h"
#include "Currency.h"
#include "DataError.h"
#include "ValueCodec.h"
#include "core/AppError.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>

namespace {

// Whether a value entered into a cell is the value the cell holds already.
bool sameValue(FieldKind kind, const QVariant &entered, const QVariant &held)
{
    const bool enteredNull = !entered.isValid() || entered.isNull()
        || (entered.typeId() == QMetaType::QString && entered.toString().trimmed().isEmpty());
    const bool heldNull = !held.isValid() || held.isNull();
    switch (kind) {
    case FieldKind::Text:
        return entered.toString() == held.toString();
    case FieldKind::Currency: {
        if (enteredNull || heldNull)
            return enteredNull && heldNull;
        const std::optional<Currency> c = entered.metaType() == QMetaType::fromType<Currency>()
            ? std::optional<Currency>(entered.value<Currency>())
            : ValueCodec::parseCurrency(entered.toString());
        return c && *c == held.value<Currency>();
    }
    case FieldKind::YesNo:
        return (entered.typeId() == QMetaType::Bool || entered.typeId() == QMetaType::Int)
            && entered.toBool() == held.toBool();
    case FieldKind::Date:
        if (enteredNull || heldNull)
            return enteredNull && heldNull;
        return entered.typeId() == QMetaType::QDate && entered.toDate() == held.toDate();
    case FieldKind::DateTime:
        if (enteredNull || heldNull)
            return enteredNull && heldNull;
        return entered.toDateTime() == held.toDateTime();
    case FieldKind::Integer:
        if (enteredNull || heldNull)
            return enteredNull && heldNull;
        return entered.toString().trimmed() == held.toString();
    }
    return false;
}

} // namespace

RecordsetModel::RecordsetModel(Recordset *recordset, QStringList fields, QObject *parent)
    : QAbstractTableModel(parent)
    , m_recordset(nullptr)
    , m_fields(std::move(fields))
{
    setRecordset(recordset);
}

void RecordsetModel::setRecordset(Recordset *recordset)
{
    beginResetModel();
    m_recordset = recordset;
    m_pendingRow = -1;
    m_pendingAdded = false;
    m_pendingDraft = false;
    m_rows.clear();
    m_fieldIndexes.clear();
    for (const QString &field : std::as_const(m_fields))
        m_fieldIndexes.append(m_recordset ? m_recordset->fieldIndex(field) : -1);
    m_keyIndex = m_recordset && m_recordset->definition() ? m_recordset->fieldIndex(m_recordset->definition()->keyField)
                                                          : -1;
    readAll();
    endResetModel();
}

void RecordsetModel::setHeaders(const QStringList &captions)
{
    m_headers = captions;
    if (!m_fields.isEmpty())
        emit headerDataChanged(Qt::Horizontal, 0, int(m_fields.size()) - 1);
}

void RecordsetModel::setAllowAddRow(bool allow)
{
    if (allow == m_allowAddRow)
        return;
    const int row = realRows();
    const bool shown = hasAddRow();
    if (allow) {
        m_allowAddRow = true;
        if (!hasAddRow())
            return;
        m_allowAddRow = false;
        beginInsertRows(QModelIndex(), row, row);
        m_allowAddRow = true;
        endInsertRows();
    } else if (shown) {
        beginRemoveRows(QModelIndex(), row, row);
        m_allowAddRow = false;
        endRemoveRows();
    } else {
        m_allowAddRow = false;
    }
}

void RecordsetModel::setColumnFormat(int column, Format format)
{
    m_formats.insert(column, format);
    if (rowCount() > 0)
        emit dataChanged(index(0, column), index(rowCount() - 1, column));
}

void RecordsetModel::setColumnDefault(int column, std::function<QVariant()> value)
{
    if (value)
        m_defaults.insert(column, std::move(value));
    else
        m_defaults.remove(column);
}

void RecordsetModel::setColumnLink(int column, const QVariant &value)
{
    if (value.isValid())
        m_links.insert(column, value);
    else
        m_links.remove(column);
}

QString RecordsetModel::shortDateFormat(const QLocale &locale)
{
    // A two-digit year is ambiguous at a desk that also keeps birth years: always four.
    QString format = locale.dateFormat(QLocale::ShortFormat);
    static const QRegularExpression shortYear(QStringLiteral("(?<!y)yy(?!y)"));
    format.replace(shortYear, QStringLiteral("yyyy"));
    return format;
}

QVariant RecordsetModel::formatted(const QVariant &value, Format format) const
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    const QLocale locale;
    switch (format) {
    case Format::Currency: {
        // Rounded to cents on the exact amount (half away from zero), not on a float.
        const qint64 cents = ValueCodec::roundedCents(value.value<Currency>());
        return locale.toCurrencyString(double(cents) / 100.0, QString(), 2);
    }
    case Format::YesNo:
        return ValueCodec::formatYesNo(value.toBool());
    case Format::ShortDate:
        return value.toDate().isValid() ? QVariant(locale.toString(value.toDate(), shortDateFormat(locale)))
                                        : QVariant();
    case Format::Plain:
        break;
    }
    return value;
}

void RecordsetModel::reload()
{
    beginResetModel();
    m_pendingRow = -1;
    m_pendingAdded = false;
    m_pendingDraft = false;
    m_rows.clear();
    readAll();
    endResetModel();
}

// The rows are read by position without moving the recordset: the record the
// window shows stays current and the data control sees no action.
void RecordsetModel::readAll()
{
    Recordset *rs = m_recordset;
    if (!rs || !rs->isOpen() || m_keyIndex < 0)
        return;
    try {
        rs->forgetPeekedRow();
        const int count = rs->recordCount();
        m_rows.reserve(count);
        for (int position = 0; position < count; ++position)
            m_rows.append(readAt(position));
    } catch (const AppError &e) {
        fail(e);
    }
}

RecordsetModel::Row RecordsetModel::readAt(int position) const
{
    Row row;
    row.key = m_recordset->valueAt(position, m_keyIndex).toLongLong();
    for (int index : m_fieldIndexes)
        row.values.append(index >= 0 ? m_recordset->valueAt(position, index) : QVariant());
    return row;
}

RecordsetModel::Row RecordsetModel::readCurrent() const
{
    Row row;
    row.key = m_recordset->currentKey();
    for (int index : m_fieldIndexes)
        row.values.append(index >= 0 ? m_recordset->value(index) : QVariant());
    return row;
}

bool RecordsetModel::isCurrent(int row) const
{
    Recordset *rs = m_recordset;
    return rs->editMode() != EditMode::Adding && rs->absolutePosition() == row && rs->currentKey() == m_rows.at(row).key;
}

int RecordsetModel::fieldColumn(int column) const
{
    return column >= 0 && column < m_fieldIndexes.size() ? m_fieldIndexes.at(column) : -1;
}

FieldKind RecordsetModel::kindOf(int column) const
{
    const int index = fieldColumn(column);
    return index >= 0 && m_recordset ? m_recordset->fieldKind(index) : FieldKind::Text;
}

bool RecordsetModel::hasAddRow() const
{
    return m_allowAddRow && m_recordset && m_recordset->isOpen() && m_recordset->updatable();
}

bool RecordsetModel::isReadOnly() const
{
    return m_recordset && m_recordset->isOpen() && !m_recordset->updatable();
}

bool RecordsetModel::isAddRow(int row) const
{
    return hasAddRow() && row == realRows();
}

qint64 RecordsetModel::rowKey(int row) const
{
    return row >= 0 && row < realRows() ? m_rows.at(row).key : -1;
}

int RecordsetModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return realRows() + (hasAddRow() ? 1 : 0);
}

int RecordsetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_fields.size());
}

QVariant RecordsetModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    const FieldKind kind = kindOf(index.column());
    if (role == Qt::TextAlignmentRole) {
        if (kind == FieldKind::Currency || kind == FieldKind::Integer)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        return QVariant();
    }
    if (isAddRow(index.row()))
        return QVariant();
    const QVariant &value = m_rows.at(index.row()).values.at(index.column());
    const Format format = m_formats.value(index.column(), Format::Plain);
    if (format != Format::Plain) {
        if (role == Qt::DisplayRole)
            return formatted(value, format);
        if (role == Qt::CheckStateRole)
            return QVariant();
    }
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        switch (kind) {
        case FieldKind::Currency:
            return value.isNull() || !value.isValid() ? QVariant() : QVariant(BoundValue::toText(value));
        case FieldKind::YesNo:
            return role == Qt::EditRole ? QVariant(value.toBool()) : QVariant();
        case FieldKind::Date:
            return value.toDate().isValid() ? QVariant(value.toDate()) : QVariant();
        case FieldKind::Integer:
        case FieldKind::Text:
        case FieldKind::DateTime:
            return value;
        }
        return value;
    case Qt::CheckStateRole:
        if (kind == FieldKind::YesNo)
            return value.toBool() ? Qt::Checked : Qt::Unchecked;
        return QVariant();
    default:
        return QVariant();
    }
}

Qt::ItemFlags RecordsetModel::flags(const QModelIndex &index) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const int field = fieldColumn(index.column());
    if (!m_recordset || field < 0 || !m_recordset->isOpen() || !m_recordset->updatable())
        return f;
    const SourceDef *def = m_recordset->definition();
    // The key of the source is the database's to give; a link is the program's to write.
    if (def && m_recordset->fieldName(field).compare(def->keyField, Qt::CaseInsensitive) == 0)
        return f;
    if (m_links.contains(index.column()))
        return f;
    f |= Qt::ItemIsEditable;
    if (kindOf(index.column()) == FieldKind::YesNo && m_formats.value(index.column(), Format::Plain) == Format::Plain)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= m_fields.size())
            return QVariant();
        return section < m_headers.size() ? m_headers.at(section) : m_fields.at(section);
    }
    if (section < 0 || section >= rowCount())
        return QVariant();
    // The record selectors: a star on the new-record row, a pencil on the pending one.
    if (isAddRow(section))
        return QStringLiteral("*");
    if (section == m_pendingRow)
        return QStringLiteral("\u270E");
    return section + 1;
}

void RecordsetModel::fail(const AppError &error)
{
    emit dataError(error.description());
}

bool RecordsetModel::moveTo(int row)
{
    if (isCurrent(row))
        return true;
    // The grid's current row is the recordset's: moving there is an action the
    // data control validates (it may refuse, or fail writing its own row).
    m_recordset->setAbsolutePosition(row);
    if (isCurrent(row))
        return true;
    if (m_recordset->absolutePosition() == row)
        throw AppError(-1, QStringLiteral("Grid"),
                       QStringLiteral("The rows changed meanwhile. Show the list again, then repeat the change."));
    return false;
}

bool RecordsetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    if (!(flags(index) & Qt::ItemIsEditable))
        return false;
    const FieldKind kind = kindOf(index.column());
    QVariant entered = value;
    if (role == Qt::CheckStateRole) {
        if (kind != FieldKind::YesNo)
            return false;
        entered = value.toInt() == Qt::Checked;
    } else if (role != Qt::EditRole) {
        return false;
    }

    Recordset *rs = m_recordset;
    int row = index.row();
    // An editor closed without a change starts no edit.
    if (row != m_pendingRow && !isAddRow(row) && sameValue(kind, entered, m_rows.at(row).values.at(index.column())))
        return true;
    // Editing another row writes the pending one first, as leaving a row does.
    if (m_pendingRow >= 0 && m_pendingRow != row && !submit())
        return false;
    try {
        if (row == m_pendingRow && m_pendingDraft) {
            setDraftValue(row, index.column(), entered);
            emit dataChanged(index, index);
            return true;
        }
        if (isAddRow(row)) {
            try {
                rs->addNew();
            } catch (const AppError &e) {
                if (e.number() != DataError::Locked)
                    throw;
                // Another workstation holds the lock: the typing stays in the row, which is
                // written (and said so when it cannot be yet) as any new row is, on leaving it.
                startDraft(row);
                setDraftValue(row, index.column(), entered);
                emit dataChanged(index, index);
                return true;
            }
            if (rs->editMode() != EditMode::Adding)
                return false; // the data control refused the action
            for (auto it = m_defaults.cbegin(); it != m_defaults.cend(); ++it) {
                if (fieldColumn(it.key()) >= 0)
                    rs->setValue(fieldColumn(it.key()), it.value()());
            }
            for (auto it = m_links.cbegin(); it != m_links.cend(); ++it) {
                if (fieldColumn(it.key()) >= 0)
                    rs->setValue(fieldColumn(it.key()), it.value());
            }
            Row added = readCurrent();
            // The add row becomes the new row and a new add row follows it: the row
            // shows its values only after the insertion, as a change of its own.
            Row blank;
            blank.key = added.key;
            blank.values = QVariantList(added.values.size());
            beginInsertRows(QModelIndex(), row + 1, row + 1);
            m_rows.append(blank);
            m_pendingRow = row;
            m_pendingAdded = true;
            endInsertRows();
            m_rows[row] = added;
            emit dataChanged(this->index(row, 0), this->index(row, columnCount() - 1));
            emit headerDataChanged(Qt::Vertical, row, row + 1);
            emit rowAdded(row);
        } else if (m_pendingRow != row) {
            if (!moveTo(row))
                return false;
            if (rs->editMode() == EditMode::None)
                rs->edit();
            m_pendingRow = row;
            m_pendingAdded = false;
            emit headerDataChanged(Qt::Vertical, row, row);
        } else if (rs->editMode() == EditMode::None) {
            // The pending row was written by someone else meanwhile (the window's Save).
            rs->edit();
        }
        rs->setValue(fieldColumn(index.column()), entered); // converts, or throws TypeMismatch
        m_rows[row].values[index.column()] = rs->value(fieldColumn(index.column()));
    } catch (const AppError &e) {
        fail(e);
        return false;
    }
    emit dataChanged(index, index);
    return true;
}

bool RecordsetModel::submit()
{
    try {
        writePending();
    } catch (const AppError &e) {
        fail(e);
        return false;
    }
    return true;
}

void RecordsetModel::startDraft(int row)
{
    Row draft;
    draft.values = QVariantList(m_fields.size());
    for (auto it = m_defaults.cbegin(); it != m_defaults.cend(); ++it)
        ignoreErrors([&] { setDraftValueIn(draft, it.key(), it.value()()); });
    for (auto it = m_links.cbegin(); it != m_links.cend(); ++it)
        ignoreErrors([&] { setDraftValueIn(draft, it.key(), it.value()); });
    Row blank;
    blank.values = QVariantList(m_fields.size());
    beginInsertRows(QModelIndex(), row + 1, row + 1);
    m_rows.append(blank);
    m_pendingRow = row;
    m_pendingAdded = true;
    m_pendingDraft = true;
    endInsertRows();
    m_rows[row] = draft;
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    emit headerDataChanged(Qt::Vertical, row, row + 1);
}

void RecordsetModel::setDraftValueIn(Row &draft, int column, const QVariant &value) const
{
    const int field = fieldColumn(column);
    if (field < 0 || !m_recordset->definition())
        return;
    draft.values[column] = ValueCodec::toTyped(value, m_recordset->definition()->fields.at(field));
}

void RecordsetModel::setDraftValue(int row, int column, const QVariant &value)
{
    setDraftValueIn(m_rows[row], column, value);
}

// The draft becomes a real new row now: its key reserved, its values and links set, written.
void RecordsetModel::writeDraft()
{
    Recordset *rs = m_recordset;
    // Still locked: the draft stays as it is, and the user is told so.
    const AppError stillLocked = DataError::makeWithText(
        DataError::Locked, QStringLiteral("The database is busy: another workstation is writing to it. What you typed "
                                          "stays in the grid; it is saved when you leave the row or save again, once "
                                          "the other workstation has finished."));
    try {
        rs->addNew();
    } catch (const AppError &e) {
        throw e.number() == DataError::Locked ? stillLocked : e;
    }
    if (rs->editMode() != EditMode::Adding)
        throw DataError::make(DataError::Generic, QStringLiteral("the new row could not be started"));
    const int row = m_pendingRow;
    try {
        const Row &draft = m_rows.at(row);
        for (int column = 0; column < m_fields.size(); ++column) {
            const int field = fieldColumn(column);
            if (field >= 0 && field != m_keyIndex && draft.values.at(column).isValid())
                rs->setValue(field, draft.values.at(column));
        }
        applyLinks();
        rs->update();
    } catch (const AppError &e) {
        ignoreErrors([rs] { rs->cancelUpdate(); }); // back to the draft, written whole or not at all
        throw e.number() == DataError::Locked ? stillLocked : e;
    } catch (...) {
        ignoreErrors([rs] { rs->cancelUpdate(); });
        throw;
    }
    m_pendingDraft = false;
    m_rows[row].key = rs->currentKey();
}

void RecordsetModel::writePending()
{
    if (m_pendingRow < 0 || !m_recordset)
        return;
    if (m_pendingDraft) {
        writeDraft();
    } else if (m_recordset->editMode() != EditMode::None) {
        applyLinks();
        m_recordset->update();
    }
    finishPendingRow();
}

// Every row written carries the link again, whoever started it.
void RecordsetModel::applyLinks()
{
    for (auto it = m_links.cbegin(); it != m_links.cend(); ++it) {
        const int field = fieldColumn(it.key());
        if (field >= 0 && m_recordset->value(field).toString() != it.value().toString())
            m_recordset->setValue(field, it.value());
    }
}

void RecordsetModel::finishPendingRow()
{
    const int row = m_pendingRow;
    m_pendingRow = -1;
    m_pendingAdded = false;
    if (row < 0 || row >= realRows())
        return;
    // Show what was stored. A saved new row is the last of the recordset and current.
    try {
        Recordset *rs = m_recordset;
        if (!rs->bof() && !rs->eof() && rs->currentKey() == m_rows.at(row).key)
            m_rows[row] = readCurrent();
        else if (row < rs->recordCount())
            m_rows[row] = readAt(row);
    } catch (const AppError &e) {
        fail(e);
    }
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    emit headerDataChanged(Qt::Vertical, row, row);
}

void RecordsetModel::revert()
{
    if (m_pendingRow < 0 || !m_recordset)
        return;
    const int row = m_pendingRow;
    const bool added = m_pendingAdded;
    ignoreErrors([&] {
        if (!m_pendingDraft && m_recordset->editMode() != EditMode::None)
            m_recordset->cancelUpdate();
    });
    m_pendingRow = -1;
    m_pendingAdded = false;
    m_pendingDraft = false;
    if (added) {
        beginRemoveRows(QModelIndex(), row, row);
        m_rows.removeAt(row);
        endRemoveRows();
        return;
    }
    try {
        if (isCurrent(row))
            m_rows[row] = readCurrent(); // re-read by cancelUpdate
    } catch (const AppError &e) {
        fail(e);
    }
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    emit headerDataChanged(Qt::Vertical, row, row);
}
