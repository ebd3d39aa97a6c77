#include "AttendeeImport.h"

#include "DuplicateIndex.h"
#include "EventDirectory.h"
#include "ExchangeError.h"
#include "ExchangeProgress.h"
#include "ImportFields.h"
#include "data/Database.h"
#include "data/ValueCodec.h"
#include "data/WriteTransaction.h"

#include "data/Engine.h"

#include <QHash>
#include <QSqlQuery>
#include <variant>

namespace {

constexpr int CancelCheckEvery = 256;

struct Payment
{
    Currency amount;
    bool regFee = false;
    QDate donDate;
    QDate paymentDate;
    QString paymentType;
};

// One checked row: its attendee values in the order of the mapped attendee fields.
struct CheckedRow
{
    int line = 0;
    QStringList values;
    std::optional<Payment> payment;
};

// Where each mapped field is found in the rows.
struct Columns
{
    QList<const ImportField *> attendee; // mapped attendee fields, in column order
    QList<int> attendeeColumn;
    QHash<QString, int> payment; // payment field name -> column
    int email = -1, first = -1, last = -1; // indexes into `attendee`
};

Columns columnsOf(const SheetTable &table, const QStringList &mapping)
{
    Columns columns;
    QStringList seen;
    for (qsizetype i = 0; i < mapping.size() && i < table.header.size(); ++i) {
        const ImportField *field = mapping.at(i).isEmpty() ? nullptr : ImportFields::find(mapping.at(i));
        if (!field)
            continue;
        if (seen.contains(field->name))
            throw ExchangeError::import(QStringLiteral("Two columns are set to fill %1 (\"%2\" and another). Set "
                                                       "one of them to \"ignored\" and import again.")
                                            .arg(field->caption, table.header.at(i)));
        seen << field->name;
        if (field->payment) {
            columns.payment.insert(field->name, int(i));
            continue;
        }
        if (field->name == u"EmailName")
            columns.email = int(columns.attendee.size());
        else if (field->name == u"FirstName")
            columns.first = int(columns.attendee.size());
        else if (field->name == u"LastName")
            columns.last = int(columns.attendee.size());
        columns.attendee << field;
        columns.attendeeColumn << int(i);
    }
    if (columns.first < 0 && columns.last < 0)
        throw ExchangeError::import(QStringLiteral("No column is set to fill the first or the last name, so no row "
                                                   "could name its attendee. Set the name columns and import again."));
    if (!columns.payment.isEmpty() && !columns.payment.contains(QStringLiteral("Amount")))
        throw ExchangeError::import(QStringLiteral("Payment columns are set but none is set to fill the Amount. Set "
                                                   "the amount's column, or set the payment columns to \"ignored\"."));
    return columns;
}

QString cell(const SheetRow &row, int column)
{
    return column < row.cells.size() ? row.cells.at(column).trimmed() : QString();
}

bool isEmptyRow(const SheetRow &row)
{
    for (const QString &value : row.cells)
        if (!value.trimmed().isEmpty())
            return false;
    return true;
}

QString tooLong(const ImportField &field, const QString &value)
{
    const int length = ImportFields::length(value);
    if (field.maxLength <= 0 || length <= field.maxLength)
        return {};
    return QStringLiteral("%1 is %2 characters long; at most %3 fit.").arg(field.caption).arg(length).arg(field.maxLength);
}

// The row's checked values, or the reason it is refused.
std::variant<CheckedRow, QString> check(const SheetRow &row, const SheetTable &table, const Columns &columns)
{
    if (row.cells.size() > table.header.size()) {
        for (qsizetype i = table.header.size(); i < row.cells.size(); ++i)
            if (!row.cells.at(i).trimmed().isEmpty())
                return QStringLiteral("it has %1 values where the header names %2 columns (a separator or a quote "
                                      "out of place?).")
                    .arg(row.cells.size())
                    .arg(table.header.size());
    }
    CheckedRow checked;
    checked.line = row.line;
    for (qsizetype i = 0; i < columns.attendee.size(); ++i) {
        const QString value = cell(row, columns.attendeeColumn.at(i));
        if (const QString reason = tooLong(*columns.attendee.at(i), value); !reason.isEmpty())
            return reason;
        checked.values << value;
    }
    const auto valueAt = [&](int index) { return index < 0 ? QString() : checked.values.at(index); };
    if (valueAt(columns.first).isEmpty() && valueAt(columns.last).isEmpty())
        return QStringLiteral("it has neither a first nor a last name.");
    if (columns.payment.isEmpty())
        return checked;

    const auto paymentCell = [&](const char *name) {
        const int column = columns.payment.value(QString::fromLatin1(name), -1);
        return column < 0 ? QString() : cell(row, column);
    };
    const QString amount = paymentCell("Amount");
    const QStringList others = {paymentCell("RegFee"), paymentCell("DonDate"), paymentCell("PaymentDate"),
                                paymentCell("PaymentType")};
    if (amount.isEmpty()) {
        for (const QString &other : others)
            if (!other.isEmpty())
                return QStringLiteral("it has payment details but no Amount.");
        return checked;
    }
    Payment payment;
    const std::optional<Currency> parsed = ValueCodec::parseCurrency(amount);
    if (!parsed)
        return QStringLiteral("Amount \"%1\" is no amount.").arg(amount);
    payment.amount = *parsed;
    if (!others.at(0).isEmpty()) {
        const std::optional<bool> fee = ValueCodec::parseYesNo(others.at(0));
        if (!fee)
            return QStringLiteral("Reg Fee? \"%1\" is neither Yes nor No.").arg(others.at(0));
        payment.regFee = *fee;
    }
    const char *const dateCaptions[] = {"Donation Date", "Payment Date"};
    QDate *const dates[] = {&payment.donDate, &payment.paymentDate};
    for (int i = 0; i < 2; ++i) {
        const QString text = others.at(1 + i);
        if (text.isEmpty())
            continue;
        *dates[i] = ValueCodec::parseDate(text);
        if (!dates[i]->isValid())
            return QStringLiteral("%1 \"%2\" is no date.").arg(QLatin1String(dateCaptions[i]), text);
    }
    payment.paymentType = others.at(3);
    if (const QString reason = tooLong(*ImportFields::find(QStringLiteral("PaymentType")), payment.paymentType);
        !reason.isEmpty())
        return reason;
    checked.payment = payment;
    return checked;
}

QVariant textOrNull(const QString &value)
{
    return value.isEmpty() ? QVariant() : QVariant(value);
}

QVariant dateOrNull(const QDate &date)
{
    return date.isValid() ? ValueCodec::toStored(date, FieldKind::Date) : QVariant();
}

// The statements of the write pass, prepared once.
class Writer
{
public:
    Writer(Database &db, qint64 eventId, const Columns &columns)
        : m_db(db)
        , m_eventId(eventId)
        , m_columns(columns)
        , m_insert(db.connection())
        , m_payment(db.connection())
    {
        QStringList names {QStringLiteral("ProgramID")};
        for (const ImportField *field : columns.attendee)
            names << field->name;
        const QString marks = QStringList(names.size(), QStringLiteral("?")).join(QStringLiteral(", "));
        prepare(m_insert, QStringLiteral("INSERT INTO Attendees (%1) VALUES (%2)")
                              .arg(names.join(QStringLiteral(", ")), marks));
        prepare(m_payment, QStringLiteral("INSERT INTO Donations (AttendeeID, Amount, RegFee, DonDate, PaymentDate, "
                                          "PaymentType) VALUES (?, ?, ?, ?, ?, ?)"));
    }

    qint64 insert(const CheckedRow &row)
    {
        m_insert.addBindValue(m_eventId);
        for (const QString &value : row.values)
            m_insert.addBindValue(textOrNull(value));
        run(m_insert);
        const qint64 key = m_insert.lastInsertId().toLongLong();
        if (key <= 0)
            throw ExchangeError::import(QStringLiteral("The database gave no key for the attendee of line %1.")
                                            .arg(row.line));
        return key;
    }

    // Only the filled cells: an empty cell keeps what the desk stored.
    void update(qint64 key, const CheckedRow &row)
    {
        QStringList sets;
        QVariantList params;
        for (qsizetype i = 0; i < row.values.size(); ++i) {
            if (row.values.at(i).isEmpty())
                continue;
            sets << m_columns.attendee.at(i)->name + QStringLiteral(" = ?");
            params << row.values.at(i);
        }
        if (sets.isEmpty())
            return;
        params << key;
        m_db.execute(QStringLiteral("UPDATE Attendees SET %1 WHERE AttendeeID = ?").arg(sets.join(QStringLiteral(", "))),
                     params);
    }

    // False when the attendee has that payment already (an update imported twice).
    bool addPayment(qint64 key, const Payment &payment, bool unlessThere)
    {
        const QVariant amount = ValueCodec::toStored(QVariant::fromValue(payment.amount), FieldKind::Currency);
        const QVariant regFee = ValueCodec::toStored(payment.regFee, FieldKind::YesNo);
        if (unlessThere) {
            const Engine &engine = m_db.engine();
            QSqlQuery q = m_db.query(QStringLiteral("SELECT count(*) FROM Donations WHERE AttendeeID = ? AND "
                                                    "Amount = ? AND RegFee = ? AND %1 AND %2")
                                         .arg(engine.nullSafeEquals(QStringLiteral("DonDate")),
                                              engine.nullSafeEquals(QStringLiteral("PaymentType"))),
                                     {key, amount, regFee, dateOrNull(payment.donDate), textOrNull(payment.paymentType)});
            const bool there = q.next() && q.value(0).toInt() > 0;
            q.finish();
            if (there)
                return false;
        }
        m_payment.addBindValue(key);
        m_payment.addBindValue(amount);
        m_payment.addBindValue(regFee);
        m_payment.addBindValue(dateOrNull(payment.donDate));
        m_payment.addBindValue(dateOrNull(payment.paymentDate));
        m_payment.addBindValue(textOrNull(payment.paymentType));
        run(m_payment);
        return true;
    }

private:
    void prepare(QSqlQuery &q, const QString &sql)
    {
        if (!q.prepare(sql))
            throw m_db.errorFrom(q);
    }
    void run(QSqlQuery &q)
    {
        if (!q.exec())
            throw m_db.errorFrom(q);
    }

    Database &m_db;
    qint64 m_eventId;
    const Columns &m_columns;
    QSqlQuery m_insert;
    QSqlQuery m_payment;
};

void loadAttendees(Database &db, qint64 eventId, DuplicateIndex &index)
{
    QSqlQuery q = db.query(QStringLiteral("SELECT AttendeeID, EmailName, FirstName, LastName FROM Attendees "
                                          "WHERE ProgramID = ? ORDER BY AttendeeID"),
                           {eventId});
    while (q.next())
        index.add(q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString());
    q.finish();
}

void step(ExchangeProgress *progress, int done)
{
    if (!progress)
        return;
    progress->done = done;
    if (done % CancelCheckEvery == 0 && progress->cancelled)
        throw ExchangeError::cancelled(QStringLiteral("Import"));
}

} // namespace

ImportReport AttendeeImport::run(Database &db, const SheetTable &table, const ImportOptions &options,
                                 ExchangeProgress *progress)
{
    const Columns columns = columnsOf(table, options.mapping);
    const int total = int(table.rows.size());
    if (progress)
        progress->reset(2 * total); // checking, then writing

    ImportReport report;
    std::vector<CheckedRow> rows;
    rows.reserve(table.rows.size());
    int done = 0;
    for (const SheetRow &row : table.rows) {
        step(progress, ++done);
        if (isEmptyRow(row))
            continue;
        auto checked = check(row, table, columns);
        if (auto *reason = std::get_if<QString>(&checked))
            report.refused.append({row.line, *reason});
        else
            rows.push_back(std::move(std::get<CheckedRow>(checked)));
    }
    if (!report.refused.isEmpty())
        return report; // nothing written: the file is corrected once, then imported whole
    if (rows.empty()) { // a header alone: nothing to write, and no event made for it
        report.eventName = options.eventId ? QString() : options.eventName.trimmed();
        report.written = true;
        return report;
    }

    WriteTransaction write(db);
    std::optional<EventDirectory::Event> event;
    if (options.eventId) {
        event = EventDirectory::findById(db, *options.eventId);
        if (!event)
            throw ExchangeError::import(QStringLiteral("The event (ProgramID %1) no longer exists: another "
                                                       "workstation deleted it. Choose the event again.")
                                            .arg(*options.eventId));
    } else {
        if (options.eventName.trimmed().isEmpty())
            throw ExchangeError::import(QStringLiteral("No event is named: type the event's name."));
        event = EventDirectory::findByName(db, options.eventName);
        if (!event) {
            event = EventDirectory::create(db, options.eventName);
            report.eventCreated = true;
        }
    }
    report.eventId = event->id;
    report.eventName = event->name;

    DuplicateIndex index;
    loadAttendees(db, event->id, index);
    Writer writer(db, event->id, columns);
    const auto valueAt = [](const CheckedRow &row, int i) { return i < 0 ? QString() : row.values.at(i); };
    for (const CheckedRow &row : rows) {
        step(progress, ++done);
        const QString email = valueAt(row, columns.email);
        const QString first = valueAt(row, columns.first);
        const QString last = valueAt(row, columns.last);
        qint64 key = options.duplicates == DuplicateChoice::Add ? -1 : index.find(email, first, last);
        if (key >= 0 && options.duplicates == DuplicateChoice::Skip) {
            ++report.skipped;
            continue;
        }
        const bool updating = key >= 0;
        if (updating) {
            writer.update(key, row);
            ++report.updated;
        } else {
            key = writer.insert(row);
            index.add(key, email, first, last);
            ++report.added;
        }
        if (row.payment && writer.addPayment(key, *row.payment, updating))
            ++report.payments;
    }
    if (progress && progress->cancelled)
        throw ExchangeError::cancelled(QStringLiteral("Import"));
    write.commit();
    report.written = true;
    if (progress)
        progress->done = progress->total.load();
    return report;
}
