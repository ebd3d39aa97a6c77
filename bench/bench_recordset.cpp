// The recordset against plain Qt SQL on the same file, in the same run:
//   open:    the recordset of one event (10,000 of 100,000 attendees) vs a plain
//            SELECT * ... WHERE ProgramID = ? read through QSqlQuery;
//   move:    a move plus reading every field vs one keyed SELECT of that row;
//   find:    FindFirst with a contains pattern over 100,000 rows vs the same search in
//            plain SQL (the engine's built-in, ASCII-only LIKE);
//   memory:  the resident-memory growth of a 1,000,000-row recordset (keys only).
// Build in Release and run by hand: bench_recordset [--benchmark_filter=...]
#include "data/Database.h"
#include "data/Recordset.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <unistd.h>

namespace {

constexpr int Attendees = 100000;
constexpr int Events = 10;

QTemporaryDir &tempDir()
{
    static QTemporaryDir dir;
    return dir;
}

void fill(const QString &file, const QString &sql)
{
    const QString name = QStringLiteral("bench-fill");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        db.open();
        QSqlQuery(QStringLiteral("BEGIN"), db).finish();
        QSqlQuery q(db);
        if (!q.exec(sql))
            qFatal("cannot fill the benchmark database");
        q.finish();
        QSqlQuery(QStringLiteral("COMMIT"), db).finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// 100,000 attendees spread over 10 events; one near the end is called "Zyxanne", so
// a contains search walks nearly every row before it finds her.
const QString &attendeeFile()
{
    static const QString file = [] {
        const QString f = QDir(tempDir().path()).filePath(QStringLiteral("Quorvex.mdb"));
        Database::create(f);
        fill(f, QStringLiteral(
            "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < %1) "
            "INSERT INTO Attendees (ProgramID, Picture, TitleName, FirstName, MiddleInitial, LastName, OfficeName, "
            "Address, City, StateOrProvince, PostalCode, Country, Chapter, EmailName, HomePhone, WorkPhone, "
            "MobilePhone, FaxNumber, Note) "
            "SELECT (x % %2) + 1, 'Pic\\' || x || '.jpg', 'Ms.', CASE WHEN x = %1 - 10 THEN 'Zyxanne' ELSE "
            "'First' || x END, 'Q', 'Last' || x, 'Member', x || ' Main Street', 'City' || (x % 97), 'ST', "
            "printf('%05d', x % 99999), 'Country', 'Chapter ' || (x % 13), 'user' || x || '@example.org', "
            "'555-0100', '555-0101', '555-0102', '555-0103', 'A note about attendee ' || x FROM n")
                    .arg(Attendees).arg(Events));
        return f;
    }();
    return file;
}

std::shared_ptr<Database> attendeeDb()
{
    static std::shared_ptr<Database> db = Database::openSeparate(attendeeFile());
    return db;
}

long residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLong() * sysconf(_SC_PAGESIZE) : 0;
}

void BM_OpenEventRecordset(benchmark::State &state)
{
    auto db = attendeeDb();
    for (auto _ : state) {
        Recordset rs(db, QStringLiteral("Select * from Attendees where ProgramID =3"));
        benchmark::DoNotOptimize(rs.recordCount());
    }
}
BENCHMARK(BM_OpenEventRecordset)->Unit(benchmark::kMillisecond);

void BM_PlainSelectEvent(benchmark::State &state)
{
    auto db = attendeeDb();
    for (auto _ : state) {
        QSqlQuery q(db->connection());
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("SELECT * FROM Attendees WHERE ProgramID = ?"));
        q.addBindValue(3);
        q.exec();
        int rows = 0;
        while (q.next()) {
            for (int i = 0; i < 20; ++i)
                benchmark::DoNotOptimize(q.value(i));
            ++rows;
        }
        q.finish();
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(BM_PlainSelectEvent)->Unit(benchmark::kMillisecond);

void BM_MoveAndReadRow(benchmark::State &state)
{
    Recordset rs(attendeeDb(), QStringLiteral("Select * from Attendees where ProgramID =3"));
    const int fields = rs.fieldCount();
    for (auto _ : state) {
        rs.moveNext();
        if (rs.eof())
            rs.moveFirst();
        for (int i = 0; i < fields; ++i)
            benchmark::DoNotOptimize(rs.value(i));
    }
}
BENCHMARK(BM_MoveAndReadRow)->Unit(benchmark::kMicrosecond);

void BM_PlainKeyedSelect(benchmark::State &state)
{
    auto db = attendeeDb();
    QSqlQuery q(db->connection());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT * FROM Attendees WHERE AttendeeID = ?"));
    qint64 key = 3;
    for (auto _ : state) {
        key = key + Events > Attendees ? 3 : key + Events;
        q.bindValue(0, key);
        q.exec();
        q.next();
        for (int i = 0; i < 20; ++i)
            benchmark::DoNotOptimize(q.value(i));
        q.finish();
    }
}
BENCHMARK(BM_PlainKeyedSelect)->Unit(benchmark::kMicrosecond);

void BM_FindFirstContains(benchmark::State &state)
{
    Recordset rs(attendeeDb(), QStringLiteral("Attendees"));
    for (auto _ : state) {
        rs.findFirst(QStringLiteral("FirstName LIKE '*XANN*'"));
        if (rs.noMatch())
            state.SkipWithError("not found");
    }
}
BENCHMARK(BM_FindFirstContains)->Unit(benchmark::kMillisecond);

void BM_PlainSqlContains(benchmark::State &state)
{
    auto db = attendeeDb();
    for (auto _ : state) {
        QSqlQuery q(db->connection());
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("SELECT AttendeeID FROM Attendees WHERE FirstName LIKE ? ORDER BY AttendeeID LIMIT 1"));
        q.addBindValue(QStringLiteral("%XANN%"));
        q.exec();
        if (!q.next())
            state.SkipWithError("not found");
        q.finish();
    }
}
BENCHMARK(BM_PlainSqlContains)->Unit(benchmark::kMillisecond);

void BM_MillionRowRecordsetMemory(benchmark::State &state)
{
    const QString file = QDir(tempDir().path()).filePath(QStringLiteral("million/Quorvex.mdb"));
    QDir().mkpath(QFileInfo(file).path());
    if (!QFileInfo::exists(file)) {
        Database::create(file);
        fill(file, QStringLiteral("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 1000000) "
                                  "INSERT INTO Attendees (ProgramID, FirstName) SELECT 1, 'n' || x FROM n"));
    }
    auto db = Database::openSeparate(file);
    for (auto _ : state) {
        const long before = residentBytes();
        Recordset rs(db, QStringLiteral("Attendees"));
        const long after = residentBytes();
        if (rs.recordCount() != 1000000)
            state.SkipWithError("wrong row count");
        state.counters["rows"] = rs.recordCount();
        state.counters["RSS_growth_MB"] = double(after - before) / (1024.0 * 1024.0);
    }
}
BENCHMARK(BM_MillionRowRecordsetMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
