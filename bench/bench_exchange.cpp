// Attendee lists in and out at 100,000 rows:
//   import: a CSV file (UTF-8, comma) and an XLSX workbook (shared strings, as
//           spreadsheets write them), read, checked, the duplicates looked up and
//           written in one transaction into a fresh database;
//   read:   the same files read alone;
//   export: 100,000 attendees of one event to CSV and to XLSX.
// Build in Release and run by hand: bench_exchange [--benchmark_filter=...]
#include "data/Database.h"
#include "exchange/AttendeeImport.h"
#include "exchange/EventExport.h"
#include "exchange/FieldMatcher.h"
#include "exchange/SheetReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <xlsxwriter.h>

namespace {

constexpr int Rows = 100000;
const char *const Header[] = {"First name", "Last name", "E-mail", "Street", "City", "Postcode", "Phone", "Note"};

QTemporaryDir &tempDir()
{
    static QTemporaryDir dir;
    return dir;
}

// The CPU time of every thread of the process (the XLSX reader uses several), in seconds.
double processCpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Reports the process's CPU time per iteration beside the wall time: on a shared,
// loaded machine the wall time says more about the others than about us.
class CpuCounter
{
public:
    explicit CpuCounter(benchmark::State &state) : m_state(state), m_start(processCpuSeconds()) {}
    ~CpuCounter()
    {
        m_state.counters["all_threads_cpu_s"] = (processCpuSeconds() - m_start) / double(m_state.iterations());
    }

private:
    benchmark::State &m_state;
    double m_start;
};

QString path(const char *name)
{
    return QDir(tempDir().path()).filePath(QString::fromLatin1(name));
}

QStringList cells(int i)
{
    const QString n = QString::number(i);
    return {QStringLiteral("Zoë") + n, QStringLiteral("Ångström") + n, QStringLiteral("person") + n +
            QStringLiteral("@example.org"), n + QStringLiteral(" Main Street"), QStringLiteral("Malmö"),
            QString::number(10000 + i % 90000), QStringLiteral("+46 70 ") + n, QStringLiteral("needs a ramp")};
}

const QString &csvFile()
{
    static const QString file = [] {
        const QString f = path("people.csv");
        QFile out(f);
        out.open(QIODevice::WriteOnly);
        QByteArray bytes = QByteArray(Header[0]);
        for (int c = 1; c < 8; ++c)
            bytes += ',' + QByteArray(Header[c]);
        bytes += "\r\n";
        for (int i = 0; i < Rows; ++i)
            bytes += cells(i).join(u',').toUtf8() + "\r\n";
        out.write(bytes);
        return f;
    }();
    return file;
}

const QString &xlsxFile()
{
    static const QString file = [] {
        const QString f = path("people.xlsx");
        const QByteArray name = QFile::encodeName(f);
        lxw_workbook *book = workbook_new(name.constData()); // shared strings, as spreadsheets save
        lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);
        for (int c = 0; c < 8; ++c)
            worksheet_write_string(sheet, 0, lxw_col_t(c), Header[c], nullptr);
        for (int i = 0; i < Rows; ++i) {
            const QStringList row = cells(i);
            for (int c = 0; c < 8; ++c)
                worksheet_write_string(sheet, lxw_row_t(i + 1), lxw_col_t(c), row.at(c).toUtf8().constData(), nullptr);
        }
        workbook_close(book);
        return f;
    }();
    return file;
}

void import(benchmark::State &state, const QString &file)
{
    CpuCounter cpu(state); // the fresh databases' creation is in it, a few ms each
    static int round = 0; // a fresh database for every import
    for (auto _ : state) {
        state.PauseTiming();
        const QString folder = path("import") + QString::number(round++);
        QDir().mkpath(folder);
        auto db = Database::create(QDir(folder).filePath(QStringLiteral("Quorvex.mdb")));
        state.ResumeTiming();
        const SheetTable table = SheetReader::read(file);
        ImportOptions options;
        options.eventName = QStringLiteral("Fair");
        options.mapping = FieldMatcher::guess(table.header);
        const ImportReport report = AttendeeImport::run(*db, table, options);
        if (report.added != Rows)
            state.SkipWithError("not every row was added");
    }
    state.counters["rows"] = Rows;
}

void BM_ImportCsv(benchmark::State &state)
{
    import(state, csvFile());
}
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ImportXlsx(benchmark::State &state)
{
    import(state, xlsxFile());
}
BENCHMARK(BM_ImportXlsx)->Unit(benchmark::kMillisecond)->Iterations(3);

// The reading alone, to tell it from the checks and the writing.
void BM_ReadCsv(benchmark::State &state)
{
    const QString file = csvFile();
    CpuCounter cpu(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(SheetReader::read(file).rows.size());
}
BENCHMARK(BM_ReadCsv)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReadXlsx(benchmark::State &state)
{
    const QString file = xlsxFile();
    CpuCounter cpu(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(SheetReader::read(file).rows.size());
}
BENCHMARK(BM_ReadXlsx)->Unit(benchmark::kMillisecond)->Iterations(3);

// One event of 100,000 attendees, every field filled by the import.
std::shared_ptr<Database> exportDatabase()
{
    static std::shared_ptr<Database> db = [] {
        QDir().mkpath(path("export"));
        auto made = Database::create(QDir(path("export")).filePath(QStringLiteral("Quorvex.mdb")));
        const SheetTable table = SheetReader::read(csvFile());
        ImportOptions options;
        options.eventName = QStringLiteral("Fair");
        options.mapping = FieldMatcher::guess(table.header);
        AttendeeImport::run(*made, table, options);
        return made;
    }();
    return db;
}

void exportTo(benchmark::State &state, const char *file)
{
    auto db = exportDatabase();
    CpuCounter cpu(state);
    for (auto _ : state) {
        if (EventExport::write(*db, 1, EventExport::Kind::Attendees, path(file)) != Rows)
            state.SkipWithError("not every attendee was written");
    }
    state.counters["rows"] = Rows;
}

void BM_ExportCsv(benchmark::State &state)
{
    exportTo(state, "out.csv");
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ExportXlsx(benchmark::State &state)
{
    exportTo(state, "out.xlsx");
}
BENCHMARK(BM_ExportXlsx)->Unit(benchmark::kMillisecond)->Iterations(3);

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
