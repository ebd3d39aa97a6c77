#include "EventExport.h"

#include "ExchangeError.h"
#include "ExchangeProgress.h"
#include "data/Database.h"
#include "data/Engine.h"
#include "data/Schema.h"
#include "data/ValueCodec.h"

#include <QSqlQuery>
#include <QStringList>

namespace {

constexpr int CancelCheckEvery = 256;

ColumnKind columnKind(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Integer: return ColumnKind::Integer;
    case FieldKind::Currency: return ColumnKind::Currency;
    case FieldKind::YesNo: return ColumnKind::YesNo;
    case FieldKind::Date: return ColumnKind::Date;
    case FieldKind::DateTime:
    case FieldKind::Text: break;
    }
    return ColumnKind::Text;
}

FieldKind fieldKind(ColumnKind kind)
{
    switch (kind) {
    case ColumnKind::Integer: return FieldKind::Integer;
    case ColumnKind::Currency: return FieldKind::Currency;
    case ColumnKind::YesNo: return FieldKind::YesNo;
    case ColumnKind::Date: return FieldKind::Date;
    case ColumnKind::Text: break;
    }
    return FieldKind::Text;
}

struct Selection
{
    QString sql;
    QString countSql;
    QList<SheetColumn> columns;
};

Selection attendees()
{
    Selection s;
    QStringList select;
    for (const FieldDef &field : Schema::source(QStringLiteral("Attendees"))->fields) {
        select << QStringLiteral("a.") + field.name;
        s.columns.append({field.name, columnKind(field.kind)});
    }
    // The desk's records: whether checked in, and how many cards were printed.
    select << QStringLiteral("(SELECT count(*) FROM CheckIns c WHERE c.AttendeeID = a.AttendeeID)");
    s.columns.append({QStringLiteral("CheckedIn"), ColumnKind::YesNo});
    select << QStringLiteral("(SELECT count(*) FROM CardPrints p WHERE p.AttendeeID = a.AttendeeID)");
    s.columns.append({QStringLiteral("CardsPrinted"), ColumnKind::Integer});
    s.sql = QStringLiteral("SELECT %1 FROM Attendees a WHERE a.ProgramID = ? ORDER BY a.AttendeeID")
                .arg(select.join(QStringLiteral(", ")));
    s.countSql = QStringLiteral("SELECT count(*) FROM Attendees WHERE ProgramID = ?");
    return s;
}

Selection donations()
{
    Selection s;
    s.sql = QStringLiteral("SELECT d.AttendeeID, a.FirstName, a.LastName, d.Amount, d.RegFee, d.DonDate, "
                           "d.PaymentDate, d.PaymentType FROM qryDon_Fees d INNER JOIN Attendees a ON a.AttendeeID = "
                           "d.AttendeeID WHERE a.ProgramID = ? ORDER BY d.AttendeeID, d.DonationID");
    s.countSql = QStringLiteral("SELECT count(*) FROM qryDon_Fees d INNER JOIN Attendees a ON a.AttendeeID = "
                                "d.AttendeeID WHERE a.ProgramID = ?");
    // The donations grid's captions: the books read these.
    s.columns = {{QStringLiteral("AttendeeID"), ColumnKind::Integer},
                 {QStringLiteral("First Name"), ColumnKind::Text},
                 {QStringLiteral("Last Name"), ColumnKind::Text},
                 {QStringLiteral("Amount"), ColumnKind::Currency},
                 {QStringLiteral("Reg Fee?"), ColumnKind::YesNo},
                 {QStringLiteral("Donation Date"), ColumnKind::Date},
                 {QStringLiteral("Payment Date"), ColumnKind::Date},
                 {QStringLiteral("Payment Type"), ColumnKind::Text}};
    return s;
}

} // namespace

int EventExport::write(Database &db, qint64 eventId, Kind kind, const QString &file, ExchangeProgress *progress)
{
    const Selection selection = kind == Kind::Attendees ? attendees() : donations();
    if (progress) {
        QSqlQuery count = db.query(selection.countSql, {eventId});
        progress->reset(count.next() ? count.value(0).toInt() : 0);
        count.finish();
    }
    std::unique_ptr<SheetWriter> writer = SheetWriter::forFile(file, selection.columns);
    QList<FieldKind> kinds;
    for (const SheetColumn &column : selection.columns)
        kinds << fieldKind(column.kind);

    QSqlQuery q = db.query(selection.sql, {eventId});
    int rows = 0;
    QVariantList values;
    values.reserve(kinds.size());
    while (q.next()) {
        values.clear();
        for (int i = 0; i < kinds.size(); ++i) {
            const QVariant raw = q.value(i);
            // A count of check-ins is "Yes" when there is one.
            values << (kinds.at(i) == FieldKind::YesNo && !raw.isNull() ? QVariant(raw.toLongLong() != 0)
                                                                         : ValueCodec::fromStored(raw, kinds.at(i)));
        }
        writer->writeRow(values);
        ++rows;
        if (progress) {
            progress->done = rows;
            if (rows % CancelCheckEvery == 0 && progress->cancelled) {
                q.finish();
                throw ExchangeError::cancelled(QStringLiteral("Export"));
            }
        }
    }
    q.finish();
    if (progress && progress->cancelled)
        throw ExchangeError::cancelled(QStringLiteral("Export"));
    writer->finish();
    return rows;
}
