// The desk on an event of 100,000 attendees, on a database file and on a
// PostgreSQL server (a throwaway one on this machine, fsync on): a card scanned
// (its code typed key by key as a scanner does, then Enter) to the attendee shown
// and checked in; the name list after each letter typed; the datasheet from
// File > Datasheet View to its first paint, and a header click's sort.
//
// Run a Release build: bench_checkin [--benchmark_repetitions=N]

#include "support/BenchServer.h"
#include "support/BenchSupport.h"
#include "bindings/DataControl.h"
#include "checkin/CheckInDesk.h"
#include "checkin/ScanBox.h"
#include "data/Database.h"
#include "data/Recordset.h"
#include "lists/DatasheetList.h"
#include "register/RegisterWindow.h"

#include <benchmark/benchmark.h>

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QCompleter>
#include <QHeaderView>
#include <QKeyEvent>

#include <algorithm>
#include <chrono>
#include <random>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int Attendees = 100000;
constexpr qint64 EventId = 1;

const char *const FirstNames[] = {"José", "Ann", "Zoë", "Łukasz", "Seán", "María", "Bob", "Chloé", "Dmitri", "Eve",
                                  "François", "Günter", "Hana", "Ingrid", "Jürgen", "Kai", "Léa", "Mona", "Nils", "Óscar"};
const char *const LastNames[] = {"Núñez", "Lee", "Müller", "O'Brien", "Smith", "García", "Dvořák", "Ng", "Øster",
                                 "Fox", "Kowalski", "Lefèvre", "Rossi", "Schäfer", "Tanaka", "Ueda", "Vargas", "Weiß",
                                 "Young", "Zúñiga"};

// First and last names drawn from the lists, each last name with a number so that
// a typed name narrows as letters come ("Núñez417").
QString firstName(int i) { return QString::fromUtf8(FirstNames[i % 20]); }
QString lastName(int i) { return QString::fromUtf8(LastNames[(i / 20) % 20]) + QString::number(i % 997); }

void fillFile(const QString &file)
{
    std::shared_ptr<Database> db = Database::openSeparate(file);
    db->beginWrite();
    db->execute(QStringLiteral("INSERT INTO Program (ProgramID, Name) VALUES (?, 'Benchmark')"), {EventId});
    for (int i = 1; i <= Attendees; ++i)
        db->execute(QStringLiteral("INSERT INTO Attendees (AttendeeID, ProgramID, FirstName, LastName, Address, City, "
                                   "Chapter) VALUES (?, ?, ?, ?, '1 Main Street', 'Springfield', 'North')"),
                    {i, EventId, firstName(i), lastName(i)});
    db->commit();
}

struct World
{
    BenchFolders folders;
    World() { fillFile(folders.databaseFile()); }
};

struct ServerWorld
{
    BenchServer server;
    BenchFolders folders;
    QString url;
    ServerWorld()
    {
        if (!server.available())
            return;
        url = server.createDatabase(QStringLiteral("quorvex_bench_checkin"));
        folders.context.serverUrl = url;
        Database::create(url);
        fillFile(url);
        Database::openSeparate(url)->execute(QStringLiteral("ANALYZE"));
    }
};

AppContext &contextFor(int engine)
{
    if (engine == 0) {
        static World w;
        return w.folders.context;
    }
    static ServerWorld s;
    return s.folders.context;
}

bool available(int engine, benchmark::State &state)
{
    if (engine == 1 && contextFor(1).serverUrl.isEmpty()) {
        state.SkipWithError("no server");
        return false;
    }
    return true;
}

void type(QWidget *to, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(to, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(to, &release);
    }
}

void enter(QWidget *to)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(to, &press);
}

double ms(Clock::time_point since) { return std::chrono::duration<double, std::milli>(Clock::now() - since).count(); }

void report(benchmark::State &state, std::vector<double> times)
{
    state.counters["median_ms"] = medianOf(times);
    std::sort(times.begin(), times.end());
    state.counters["p90_ms"] = times.empty() ? 0 : times[size_t(0.9 * double(times.size() - 1))];
    state.counters["max_ms"] = times.empty() ? 0 : times.back();
}

std::unique_ptr<RegisterWindow> window(int engine)
{
    auto w = std::make_unique<RegisterWindow>(contextFor(engine));
    w->setTag(QString::number(EventId));
    w->formLoad(nullptr);
    w->show();
    QCoreApplication::processEvents();
    return w;
}

// A card scanned: its code typed at once, Enter; the attendee shown and checked in.
void BM_ScanToCheckedIn(benchmark::State &state)
{
    const int engine = int(state.range(0));
    if (!available(engine, state))
        return;
    BenchDialogs dialogs;
    Dialogs::install(&dialogs);
    auto w = window(engine);
    ScanBox *box = w->findChild<ScanBox *>(QStringLiteral("txtScan"));
    std::mt19937 random(7);
    std::vector<double> times;
    static int next = 0;
    for (auto _ : state) {
        const qint64 key = 1 + (qint64(random()) % Attendees + next++ * 7919) % Attendees;
        const auto start = Clock::now();
        type(box, QStringLiteral("QVX:%1:%2").arg(EventId).arg(key));
        enter(box);
        const double elapsed = ms(start);
        if (w->datPrimaryRS()->recordset()->currentKey() != key)
            state.SkipWithError("the scanned attendee was not shown");
        state.SetIterationTime(elapsed / 1000.0);
        times.push_back(elapsed);
    }
    report(state, times);
    state.SetLabel(engine ? "server" : "file");
    w.reset();
    Dialogs::install(nullptr);
}
BENCHMARK(BM_ScanToCheckedIn)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(300);

// Each letter of a name typed by hand: the list of the event's attendees whose
// first or last name begins with what is typed so far.
void BM_NameListPerLetter(benchmark::State &state)
{
    const int engine = int(state.range(0));
    if (!available(engine, state))
        return;
    BenchDialogs dialogs;
    Dialogs::install(&dialogs);
    auto w = window(engine);
    ScanBox *box = w->findChild<ScanBox *>(QStringLiteral("txtScan"));
    QCompleter *list = w->checkInDesk()->nameList();
    const QStringList typed {QStringLiteral("nunez41"), QStringLiteral("jose"), QStringLiteral("muller9"),
                             QStringLiteral("zuniga"), QStringLiteral("qqq"), QStringLiteral("lefevre5")};
    std::vector<double> times;
    int word = 0;
    int letter = 0;
    for (auto _ : state) {
        const QString text = typed.at(word % typed.size());
        if (letter == 0)
            box->clear();
        const auto start = Clock::now();
        type(box, text.mid(letter, 1));
        const double elapsed = ms(start);
        state.SetIterationTime(elapsed / 1000.0);
        times.push_back(elapsed);
        if (++letter == text.size()) {
            letter = 0;
            ++word;
        }
    }
    report(state, times);
    state.SetLabel(QStringLiteral("%1, last list %2 names").arg(engine ? QStringLiteral("server") : QStringLiteral("file"))
                       .arg(list->model()->rowCount()).toStdString());
    w.reset();
    Dialogs::install(nullptr);
}
BENCHMARK(BM_NameListPerLetter)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(240);

// File > Datasheet View to the list painted; then a click on the Name header (a
// sort of 100,000 through the engine) to the list painted again.
void BM_DatasheetFirstPaint(benchmark::State &state)
{
    const int engine = int(state.range(0));
    if (!available(engine, state))
        return;
    BenchDialogs dialogs;
    Dialogs::install(&dialogs);
    auto w = window(engine);
    QAction *viewAll = w->findChild<QAction *>(QStringLiteral("mnuViewAll"));
    DatasheetList *list = w->lstEveryone();
    std::vector<double> times, sorts;
    for (auto _ : state) {
        const auto start = Clock::now();
        viewAll->trigger();
        list->viewport()->repaint();
        const double elapsed = ms(start);
        state.SetIterationTime(elapsed / 1000.0);
        times.push_back(elapsed);
        if (list->model()->rowCount() != Attendees)
            state.SkipWithError("not every attendee listed");
        const auto sortStart = Clock::now();
        emit list->header()->sectionClicked(0);
        list->viewport()->repaint();
        sorts.push_back(ms(sortStart));
        viewAll->trigger(); // back to the form
    }
    report(state, times);
    state.counters["sort_median_ms"] = medianOf(sorts);
    state.SetLabel(engine ? "server" : "file");
    w.reset();
    Dialogs::install(nullptr);
}
BENCHMARK(BM_DatasheetFirstPaint)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv);
}
