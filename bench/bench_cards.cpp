// Cards in bulk: 1,000 cards with photos drawn from their rows into one PDF,
// one card per page and on A4 sheets with crop marks (the target: under 5 s
// each), and the process's resident size after 100 and after 1,000 cards (the
// batch holds one card at a time, so it should not grow with the cards).
//
// Run a Release build: QT_QPA_PLATFORM=offscreen bench_cards [--benchmark_repetitions=N]

#include "support/BenchSupport.h"
#include "core/Settings.h"
#include "data/Database.h"
#include "data/PhotoStore.h"
#include "idcard/CardBatch.h"
#include "idcard/CardLayout.h"
#include "idcard/CardSelection.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>

#include <unistd.h>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Cards = 1000;
constexpr qint64 EventId = 1;

// The resident size of this process in megabytes.
double residentMb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0) : 0;
}

struct World
{
    BenchFolders folders;

    World()
    {
        SettingKeys::Header1.write(QStringLiteral("Spring Convention 2026"));
        std::shared_ptr<Database> db = Database::openSeparate(folders.databaseFile());
        db->beginWrite();
        db->execute(QStringLiteral("INSERT INTO Program (ProgramID, Name) VALUES (?, 'Benchmark')"), {EventId});
        for (int i = 1; i <= Cards; ++i)
            db->execute(QStringLiteral("INSERT INTO Attendees (AttendeeID, ProgramID, Picture, FirstName, LastName, "
                                       "City, Chapter) VALUES (?, ?, ?, ?, ?, 'Springfield', 'North')"),
                        {i, EventId, QStringLiteral("Pic\\%1.jpg").arg(i), QStringLiteral("First%1").arg(i),
                         QStringLiteral("Last%1").arg(i)});
        db->commit();
        // Every attendee a photo of its own (a camera's 640 x 480 JPEG), as at a real desk.
        const QString first = folders.dbFolder + QStringLiteral("Pic/1.jpg");
        writeDetailedPhoto(first);
        for (int i = 2; i <= Cards; ++i)
            QFile::copy(first, folders.dbFolder + QStringLiteral("Pic/%1.jpg").arg(i));
    }
};

World &world()
{
    static World w;
    return w;
}

// range(0): 0 one card per page, 1 A4 sheets.
void BM_BatchToPdf(benchmark::State &state)
{
    World &w = world();
    const QString location = w.folders.databaseFile();
    auto db = Database::openSeparate(location);
    auto photos = PhotoStore::forLocation(location);
    const QList<qint64> keys = CardSelection::keys(*db, EventId, CardSelection::Who::All);
    const QString file = w.folders.dir.path() + QStringLiteral("/cards.pdf");
    std::optional<CardSheet::Paper> sheet;
    if (state.range(0) == 1)
        sheet = CardSheet::Paper::A4;
    double at100 = 0;
    double atEnd = 0;
    for (auto _ : state) {
        CardBatch batch(*db, *photos, w.folders.appFolder, CardLayout::card3x4(), sheet);
        batch.keepGoing = [&](int drawn) {
            if (drawn == 100)
                at100 = residentMb();
            return true;
        };
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        const auto start = Clock::now();
        const CardBatch::Result result = batch.print(printer, keys);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        atEnd = residentMb();
        if (result.drawn != Cards)
            state.SkipWithError("not every card was drawn");
    }
    state.counters["rss_mb_at_100"] = at100;
    state.counters["rss_mb_at_1000"] = atEnd;
    state.counters["pdf_mb"] = double(QFileInfo(file).size()) / (1024.0 * 1024.0);
    state.SetLabel(state.range(0) ? "3 X 4 on A4 sheets" : "3 X 4, one per page");
}
BENCHMARK(BM_BatchToPdf)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(2);

} // namespace

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv);
}
