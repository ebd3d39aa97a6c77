#include "ToolCommand.h"

#include "core/AppError.h"
#include "core/ModGen.h"
#include "data/DataError.h"
#include "data/Database.h"
#include "data/Engine.h"
#include "data/Schema.h"
#include "data/WriteTransaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>

namespace {

// The tables of a database file, in an order whose rows may refer to the ones before.
const char *const Tables[] = {"Program", "Attendees", "Donations", "Office", "Title", "CheckIns", "CardPrints"};
constexpr int BatchRows = 200;

// A stored value as the server's column takes it (the file's columns take any type).
QVariant forServer(const QVariant &raw, FieldKind kind)
{
    if (raw.isNull())
        return kind == FieldKind::YesNo ? QVariant(qint64(0)) : QVariant();
    switch (kind) {
    case FieldKind::Integer:
    case FieldKind::Currency:
    case FieldKind::YesNo:
        return raw.toLongLong();
    case FieldKind::Text:
    case FieldKind::Date: // ISO text; the server refuses what is not a date
    case FieldKind::DateTime: // ISO text in UTC
        return raw.toString();
    }
    return raw;
}

// Inserts rows many at a time, each batch one prepared statement.
class BatchInsert
{
public:
    BatchInsert(Database &db, const SourceDef &table)
        : m_db(db), m_table(table)
    {
        for (const FieldDef &field : table.fields)
            m_columns << field.name;
    }

    void add(const QVariantList &row, qint64 key)
    {
        m_values += row;
        m_keys << key;
        if (m_keys.size() == BatchRows)
            flush();
    }

    void flush()
    {
        if (m_keys.isEmpty())
            return;
        const int rows = int(m_keys.size());
        QSqlQuery &q = rows == BatchRows ? m_full : m_rest;
        if (rows != BatchRows || !m_fullPrepared) {
            q = QSqlQuery(m_db.connection());
            if (!q.prepare(statement(rows)))
                throw fault(q);
            m_fullPrepared = m_fullPrepared || rows == BatchRows;
        }
        for (qsizetype i = 0; i < m_values.size(); ++i)
            q.bindValue(int(i), m_values.at(i));
        if (!q.exec())
            throw fault(q);
        m_copied += rows;
        m_values.clear();
        m_keys.clear();
    }

    int copied() const { return m_copied; }

private:
    QString statement(int rows) const
    {
        const QString marks = QLatin1Char('(') + QStringList(m_columns.size(), QStringLiteral("?")).join(u", ") + QLatin1Char(')');
        return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
            .arg(m_table.name, m_columns.join(QStringLiteral(", ")), QStringList(rows, marks).join(u", "));
    }

    AppError fault(const QSqlQuery &q)
    {
        const AppError error = m_db.errorFrom(q);
        return AppError(error.number(), error.source(),
                        QStringLiteral("%1 rows with the keys %2 to %3 could not be copied: %4")
                            .arg(m_table.name).arg(m_keys.first()).arg(m_keys.last()).arg(error.description()));
    }

    Database &m_db;
    const SourceDef &m_table;
    QStringList m_columns;
    QVariantList m_values;
    QList<qint64> m_keys;
    QSqlQuery m_full;
    QSqlQuery m_rest;
    bool m_fullPrepared = false;
    int m_copied = 0;
};

struct Copied
{
    QStringList counts;       // "Program 12"
    int photos = 0;
    QStringList missingPhotos; // attendee keys whose Picture names no file
};

int copyTable(Database &from, Database &to, const SourceDef &table)
{
    QStringList columns;
    for (const FieldDef &field : table.fields)
        columns << field.name;
    BatchInsert insert(to, table);
    QSqlQuery q = from.query(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                                 .arg(columns.join(QStringLiteral(", ")), table.name, table.keyField));
    const int keyIndex = int(columns.indexOf(table.keyField));
    while (q.next()) {
        QVariantList row;
        for (qsizetype i = 0; i < table.fields.size(); ++i)
            row << forServer(q.value(int(i)), table.fields.at(i).kind);
        insert.add(row, q.value(keyIndex).toLongLong());
    }
    q.finish();
    insert.flush();
    // Keys handed out from now on follow every key the file ever handed out.
    to.engine().keepKeysAbove(to, table.baseTable, table.keyField,
                              from.engine().highestKey(from, table.baseTable, table.keyField));
    return insert.copied();
}

void copyPhotos(Database &from, Database &to, const QString &folder, Copied &copied)
{
    QSqlQuery q = from.query(QStringLiteral("SELECT AttendeeID, Picture FROM Attendees WHERE Picture IS NOT NULL "
                                            "AND Picture <> '' ORDER BY AttendeeID"));
    while (q.next()) {
        const qint64 key = q.value(0).toLongLong();
        QFile photo(folder + modGen::toNativePath(q.value(1).toString()));
        if (!photo.open(QIODevice::ReadOnly)) {
            copied.missingPhotos << QString::number(key);
            continue;
        }
        to.execute(QStringLiteral("INSERT INTO Photos (AttendeeID, Photo) VALUES (?, ?)"), {key, photo.readAll()});
        ++copied.photos;
    }
    q.finish();
}

int copy(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 2 || Engine::isServerLocation(args.at(0)) || !Engine::isServerLocation(args.at(1)))
        return tool::WrongCommandLine;
    QString folder = QDir::toNativeSeparators(args.at(0));
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    if (!QFileInfo(folder).isDir())
        return tool::fail(err, QStringLiteral("the folder \"%1\" does not exist.").arg(folder));
    Copied copied;
    QString target;
    try {
        const std::shared_ptr<Database> from = Database::openSeparate(folder + QStringLiteral("Quorvex.mdb"));
        const std::shared_ptr<Database> to = Database::openEmpty(args.at(1));
        target = to->displayName();
        // One transaction: the server holds the whole database, or nothing of it.
        WriteTransaction write(*to);
        Schema::createTables(*to);
        for (const char *name : Tables) {
            const SourceDef &table = *Schema::source(QString::fromLatin1(name));
            const int rows = copyTable(*from, *to, table);
            copied.counts << QStringLiteral("%1 %2").arg(table.name).arg(rows);
        }
        copyPhotos(*from, *to, folder, copied);
        write.commit();
    } catch (const AppError &error) {
        return tool::fail(err, error.description() + QStringLiteral(" Nothing was copied."));
    }
    out << "Copied " << folder << "Quorvex.mdb to " << target << ". Rows: " << copied.counts.join(QStringLiteral(", "))
        << "; photographs: " << copied.photos << ".\n";
    if (!copied.missingPhotos.isEmpty())
        out << "Note: the Picture of these attendees names no file in the Pic folder (their rows were copied as "
               "they are, without a photograph): "
            << copied.missingPhotos.join(QStringLiteral(", ")) << "\n";
    return tool::Success;
}

} // namespace

const ToolCommand CopyCommand {
    "copy",
    "  copy FOLDER URL\n"
    "      copies the database file FOLDER/Quorvex.mdb, with the photographs of its Pic\n"
    "      folder, into the empty server database URL (postgresql://USER@HOST:PORT/DB),\n"
    "      keys kept, in one transaction: all of it or, on any error, nothing.\n",
    copy,
};
