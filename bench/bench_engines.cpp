// The two engines in one run, on the same data: a database file (SQLite) and a
// PostgreSQL server (a throwaway one on this machine, fsync on, unless
// QUORVEX_BENCH_SERVER names another). 100,000 attendees over 10 events; the
// server's copy is made by quorvex-db copy (its time is printed).
//   OpenEvent/E:   the recordset of one event (10,000 attendees): its keys, and the first row;
//   EventKeys/E:   the plain keyed SELECT of those keys on the same engine (the yardstick: 2x);
//   EventRows/E:   every field of those rows through a plain SELECT, for comparison;
//   EightDesks/E:  8 desks, each its own connection on its own thread, 250 saves each in
//                  parallel (every other one a new attendee, the others an edit of the
//                  desk's own attendee); a save refused (the database busy) is tried
//                  again, as the user told so would; the save times' percentiles (with
//                  those tries), the refusals, and the saves lost (not in the database).
// E is 0 for the file, 1 for the server. Run a Release build by hand: bench_engines
#include "data/DataError.h"
#include "data/Database.h"
#include "data/Recordset.h"
#include "support/BenchServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <barrier>
#include <functional>
#include <thread>
#include <vector>

namespace {

constexpr int Attendees = 100000;
constexpr int Events = 10;
constexpr int Desks = 8;
constexpr int SavesEach = 250;

struct World
{
    QTemporaryDir dir;
    BenchServer server;
    QString file;
    QString url;

    World()
    {
        file = QDir(dir.path()).filePath(QStringLiteral("Quorvex.mdb"));
        {
            auto db = Database::create(file);
            db->beginWrite();
            db->execute(QStringLiteral(
                "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < %1) "
                "INSERT INTO Attendees (ProgramID, Picture, TitleName, FirstName, MiddleInitial, LastName, OfficeName, "
                "Address, City, StateOrProvince, PostalCode, Country, Chapter, EmailName, HomePhone, WorkPhone, "
                "MobilePhone, FaxNumber, Note) "
                "SELECT (x % %2) + 1, '', 'Ms.', 'First' || x, 'Q', 'Last' || x, 'Member', x || ' Main Street', "
                "'City' || (x % 97), 'ST', printf('%05d', x % 99999), 'Country', 'Chapter ' || (x % 13), "
                "'user' || x || '@example.org', '555-0100', '555-0101', '555-0102', '555-0103', "
                "'A note about attendee ' || x FROM n").arg(Attendees).arg(Events));
            for (int e = 1; e <= Events; ++e)
                db->execute(QStringLiteral("INSERT INTO Program (ProgramID, Name) VALUES (?, ?)"),
                            {e, QStringLiteral("Event %1").arg(e)});
            db->commit();
        }
        if (!server.available())
            return;
        url = server.createDatabase(QStringLiteral("quorvex_bench"));
        QElapsedTimer copying;
        copying.start();
        const int status = QProcess::execute(QStringLiteral(QUORVEX_DB_TOOL),
                                             {QStringLiteral("copy"), dir.path(), url});
        std::fprintf(stderr, "quorvex-db copy of %d attendees: %.1f s (status %d)\n", Attendees,
                     double(copying.elapsed()) / 1000.0, status);
        if (status != 0)
            url.clear();
    }

    QString location(int engine) const { return engine == 0 ? file : url; }
};

World &world()
{
    static World w;
    return w;
}

bool usable(benchmark::State &state, QString &location)
{
    location = world().location(int(state.range(0)));
    if (location.isEmpty()) {
        state.SkipWithError("no server");
        return false;
    }
    state.SetLabel(state.range(0) == 0 ? "file" : "server");
    return true;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size())))];
}

void BM_OpenEvent(benchmark::State &state)
{
    QString location;
    if (!usable(state, location))
        return;
    auto db = Database::openSeparate(location);
    for (auto _ : state) {
        Recordset rs(db, QStringLiteral("Select * from Attendees where ProgramID =3"));
        benchmark::DoNotOptimize(rs.recordCount());
    }
}
BENCHMARK(BM_OpenEvent)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_EventKeys(benchmark::State &state)
{
    QString location;
    if (!usable(state, location))
        return;
    auto db = Database::openSeparate(location);
    for (auto _ : state) {
        QSqlQuery q = db->query(QStringLiteral("SELECT AttendeeID FROM Attendees WHERE ProgramID = ?"), {3});
        std::vector<qint64> keys;
        while (q.next())
            keys.push_back(q.value(0).toLongLong());
        q.finish();
        benchmark::DoNotOptimize(keys.size());
    }
}
BENCHMARK(BM_EventKeys)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_EventRows(benchmark::State &state)
{
    QString location;
    if (!usable(state, location))
        return;
    auto db = Database::openSeparate(location);
    for (auto _ : state) {
        QSqlQuery q = db->query(QStringLiteral("SELECT * FROM Attendees WHERE ProgramID = ?"), {3});
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
BENCHMARK(BM_EventRows)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_EightDesks(benchmark::State &state)
{
    QString location;
    if (!usable(state, location))
        return;
    const int event = 50 + int(state.iterations()) + int(state.range(0)) * 10; // an event of this run's own
    std::vector<std::vector<double>> times(Desks);
    std::atomic<int> failures {0};
    for (auto _ : state) {
        {
            auto db = Database::openSeparate(location);
            for (int d = 0; d < Desks; ++d)
                db->execute(QStringLiteral("INSERT INTO Attendees (ProgramID, FirstName) VALUES (?, ?)"),
                            {event, QStringLiteral("Desk %1").arg(d)});
        }
        std::barrier start(Desks);
        QElapsedTimer wall;
        wall.start();
        std::vector<std::thread> desks;
        for (int d = 0; d < Desks; ++d) {
            desks.emplace_back([&, d] {
                auto db = Database::openSeparate(location);
                Recordset rs(db, QStringLiteral("Select * from Attendees where ProgramID = %1 and FirstName = 'Desk %2'")
                                     .arg(event).arg(d));
                start.arrive_and_wait();
                for (int i = 0; i < SavesEach; ++i) {
                    QElapsedTimer clock;
                    clock.start();
                    // A step the database refuses is tried again (the typing stays when a save is refused).
                    const auto again = [&](const std::function<void()> &step) {
                        for (int tries = 0; tries < 20; ++tries) {
                            try {
                                step();
                                return;
                            } catch (const AppError &) {
                                ++failures;
                            }
                        }
                    };
                    if (i % 2 == 0) {
                        again([&] { rs.addNew(); });
                        rs.setValue(QStringLiteral("ProgramID"), event + 1);
                        rs.setValue(QStringLiteral("FirstName"), QStringLiteral("Desk %1").arg(d));
                        rs.setValue(QStringLiteral("Note"), i);
                    } else {
                        again([&] { rs.moveFirst(); });
                        rs.setValue(QStringLiteral("City"), QStringLiteral("%1-%2").arg(d).arg(i));
                    }
                    again([&] { rs.update(); });
                    ignoreErrors([&] { rs.cancelUpdate(); });
                    times[size_t(d)].push_back(double(clock.nsecsElapsed()) / 1e6);
                }
            });
        }
        for (std::thread &desk : desks)
            desk.join();
        state.counters["saves_per_s"] = double(Desks * SavesEach) / (double(wall.elapsed()) / 1000.0);
    }
    // Not one lost: every new attendee is there, every desk's own row holds its last edit.
    auto db = Database::openSeparate(location);
    QSqlQuery q = db->query(QStringLiteral("SELECT count(*) FROM Attendees WHERE ProgramID = ?"), {event + 1});
    const int added = q.next() ? q.value(0).toInt() : 0;
    q.finish();
    int lastEdits = 0;
    for (int d = 0; d < Desks; ++d) {
        QSqlQuery row = db->query(QStringLiteral("SELECT City FROM Attendees WHERE ProgramID = ? AND FirstName = ?"),
                                  {event, QStringLiteral("Desk %1").arg(d)});
        if (row.next() && row.value(0).toString() == QStringLiteral("%1-%2").arg(d).arg(SavesEach - 1))
            ++lastEdits;
        row.finish();
    }
    std::vector<double> all;
    for (const auto &desk : times)
        all.insert(all.end(), desk.begin(), desk.end());
    state.counters["p50_ms"] = percentile(all, 0.5);
    state.counters["p95_ms"] = percentile(all, 0.95);
    state.counters["max_ms"] = all.empty() ? 0 : *std::max_element(all.begin(), all.end());
    state.counters["refused"] = failures.load();
    state.counters["lost"] = (Desks * SavesEach / 2 - added) + (Desks - lastEdits);
}
BENCHMARK(BM_EightDesks)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
