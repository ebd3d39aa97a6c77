// The registration window's hot paths: one navigator move on an event of 10,000
// attendees, each with a 640 x 480 JPEG photo and a few donations (validate,
// move, bound fields filled, photo decoded at the card's size, donations
// re-queried), on a database file and on a PostgreSQL server (a throwaway one on
// this machine, fsync on): /0 each photograph read from the database, as the
// first time its attendee is shown at this desk, /1 the same moves again, the
// desk's copies of the photographs kept; the start-up up to the "Event
// Required" prompt; and a walk-in registered: New, two names typed key by key,
// Save; and a change reaching another desk: desk B saves the city of the
// attendee desk A shows, timed until A's box shows it, with nobody at A doing
// anything (file: its change counter looked at; server: the notification).
//
// Run a Release build: bench_register [--benchmark_repetitions=N]

#include "support/BenchServer.h"
#include "support/BenchSupport.h"
#include "core/Settings.h"
#include "app/SplashWindow.h"
#include "bindings/DataControl.h"
#include "data/Database.h"
#include "data/PhotoStore.h"
#include "data/Recordset.h"
#include "register/AttendeePanel.h"
#include "register/RegisterWindow.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolButton>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point g_processStart;
double g_applicationConstructionMs = 0;


constexpr int Attendees = 10000;
constexpr int DonationsEach = 3;
constexpr qint64 EventId = 1;

// The temporary world: settings store, database with the big event, program folder with the logo.
struct World
{
    BenchFolders folders;
    const QString &appFolder = folders.appFolder;

    World()
    {
        writeDetailedPhoto(folders.dbFolder + QStringLiteral("Pic/photo.jpg"));
        const QString file = folders.databaseFile();
        std::shared_ptr<Database> db = Database::openSeparate(file);
        db->beginWrite();
        db->execute(QStringLiteral("INSERT INTO Program (ProgramID, Name) VALUES (?, 'Benchmark')"), {EventId});
        for (int i = 1; i <= Attendees; ++i) {
            db->execute(QStringLiteral("INSERT INTO Attendees (AttendeeID, ProgramID, Picture, FirstName, LastName, "
                                       "City, Chapter, Address) VALUES (?, ?, 'Pic\\photo.jpg', ?, ?, 'Springfield', "
                                       "?, '1 Main Street')"),
                        {i, EventId, QStringLiteral("First%1").arg(i), QStringLiteral("last%1").arg(i),
                         i % 3 ? QStringLiteral("North") : QString()});
            for (int d = 0; d < DonationsEach; ++d)
                db->execute(QStringLiteral("INSERT INTO Donations (AttendeeID, Amount, RegFee, DonDate, PaymentDate, "
                                           "PaymentType) VALUES (?, ?, ?, '2026-05-01', '2026-05-02', 'Check')"),
                            {i, qint64(50 + d) * 10000, d == 0 ? 1 : 0});
        }
        db->commit();
    }
};

World &world()
{
    static World w;
    return w;
}

// The same event on a server: the photographs in the database, one per attendee
// for the first ServerMoves attendees (each a copy of the same JPEG).
constexpr int ServerMoves = 500;

struct ServerWorld
{
    BenchServer server;
    BenchFolders folders;
    QString url;

    ServerWorld()
    {
        if (!server.available())
            return;
        url = server.createDatabase(QStringLiteral("quorvex_bench_register"));
        folders.context.serverUrl = url;
        PhotoStore::setCacheFolder(folders.dbFolder + QStringLiteral("photo-cache"));
        const QString jpegFile = folders.dbFolder + QStringLiteral("Pic/photo.jpg");
        writeDetailedPhoto(jpegFile);
        QFile jpeg(jpegFile);
        jpeg.open(QIODevice::ReadOnly);
        const QByteArray photo = jpeg.readAll();
        std::shared_ptr<Database> db = Database::create(url);
        db->beginWrite();
        db->execute(QStringLiteral("INSERT INTO Program (ProgramID, Name) VALUES (?, 'Benchmark')"), {EventId});
        db->execute(QStringLiteral("INSERT INTO Attendees (AttendeeID, ProgramID, Picture, FirstName, LastName, City, "
                                   "Chapter, Address) SELECT g, %1, 'Pic\\' || g || '.jpg', 'First' || g, 'last' || g, "
                                   "'Springfield', CASE WHEN g % 3 = 0 THEN NULL ELSE 'North' END, '1 Main Street' "
                                   "FROM generate_series(1, %2) g").arg(EventId).arg(Attendees));
        db->execute(QStringLiteral("INSERT INTO Donations (AttendeeID, Amount, RegFee, DonDate, PaymentDate, "
                                   "PaymentType) SELECT g, (50 + d) * 10000, CASE WHEN d = 0 THEN 1 ELSE 0 END, "
                                   "DATE '2026-05-01', DATE '2026-05-02', 'Check' FROM generate_series(1, %1) g, "
                                   "generate_series(0, %2) d").arg(Attendees).arg(DonationsEach - 1));
        db->execute(QStringLiteral("INSERT INTO Photos (AttendeeID, Photo) VALUES (1, ?)"), {photo});
        db->execute(QStringLiteral("INSERT INTO Photos (AttendeeID, Photo) SELECT g, (SELECT Photo FROM Photos WHERE "
                                   "AttendeeID = 1) FROM generate_series(2, %1) g").arg(ServerMoves + 1));
        db->execute(QStringLiteral("SELECT setval(pg_get_serial_sequence('attendees', 'attendeeid'), %1)").arg(Attendees));
        db->commit();
        db->execute(QStringLiteral("ANALYZE"));
    }
};

ServerWorld &serverWorld()
{
    static ServerWorld w;
    return w;
}

double percentileOf(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size())))];
}

void BM_NavigatorMove(benchmark::State &state)
{
    World &w = world();
    BenchDialogs dialogs;
    Dialogs::install(&dialogs);
    auto window = openRegisterWindow(w.folders, EventId);
    DataControl *navigator = window->datPrimaryRS();
    const std::vector<double> ms = timeNavigatorMoves(state, *window);
    state.counters["median_ms"] = medianOf(ms);
    state.counters["p90_ms"] = percentileOf(ms, 0.9);
    state.counters["max_ms"] = ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end());
    state.SetLabel(navigator->caption().toStdString());
    window.reset();
    Dialogs::install(nullptr);
}
BENCHMARK(BM_NavigatorMove)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2000);

void BM_NavigatorMoveOnServer(benchmark::State &state)
{
    ServerWorld &w = serverWorld();
    if (w.url.isEmpty()) {
        state.SkipWithError("no server");
        return;
    }
    if (state.range(0) == 0)
        QDir(PhotoStore::cacheFolder()).removeRecursively(); // nothing seen at this desk yet
    BenchDialogs dialogs;
    Dialogs::install(&dialogs);
    auto window = openRegisterWindow(w.folders, EventId);
    const std::vector<double> ms = timeNavigatorMoves(state, *window);
    state.counters["median_ms"] = medianOf(ms);
    state.counters["p90_ms"] = percentileOf(ms, 0.9);
    state.counters["max_ms"] = ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end());
    state.SetLabel(window->datPrimaryRS()->caption().toStdString() + (state.range(0) == 0 ? ", photographs read" : ", photographs kept"));
    window.reset();
    Dialogs::install(nullptr);
}
BENCHMARK(BM_NavigatorMoveOnServer)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(ServerMoves);

// From the start of the splash window's load to the "Event Required" prompt; the
// application object's construction (once per process) is reported beside it.
void BM_StartupToEventPrompt(benchmark::State &state)
{
    World &w = world();
    std::vector<double> ms;
    for (auto _ : state) {
        BenchDialogs dialogs;
        std::optional<Clock::time_point> eventPromptAt;
        dialogs.answer = [&](const QString &, const QString &title, MsgButtons) {
            if (title == QLatin1String("Event Required") && !eventPromptAt)
                eventPromptAt = Clock::now();
            return MsgAnswer::No;
        };
        Dialogs::install(&dialogs);
        AppContext context;
        context.appFolder = w.appFolder;
        const auto start = Clock::now();
        {
            SplashWindow splash(context);
            splash.formLoad(); // Cancel at the event window ends this start
        }
        const double elapsed =
            eventPromptAt ? std::chrono::duration<double>(*eventPromptAt - start).count() : 0.0;
        state.SetIterationTime(elapsed);
        ms.push_back(elapsed * 1000.0);
        Dialogs::install(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    state.counters["median_ms"] = medianOf(ms);
    state.counters["qapplication_ms"] = g_applicationConstructionMs;
    state.counters["median_plus_qapplication_ms"] = medianOf(ms) + g_applicationConstructionMs;
}
BENCHMARK(BM_StartupToEventPrompt)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

// Types `text` into `box` key by key, as a keyboard does (each key goes through the
// box's validator and the data control's store of the typed value).
void typeInto(QLineEdit *box, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(box, &press);
    }
}

// One walk-in at the desk: New (the event is checked), first and last name typed,
// Save (the event checked again, the row written); the event has 10,000 attendees.
void BM_RegisterWalkIn(benchmark::State &state)
{
    World &w = world();
    BenchDialogs dialogs;
    Dialogs::install(&dialogs);
    auto window = openRegisterWindow(w.folders, EventId);
    std::vector<double> ms;
    int n = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        window->mnuFileNew_Click();
        typeInto(window->attendeePanel()->txtFields(1), QStringLiteral("Walk"));
        typeInto(window->attendeePanel()->txtFields(3), QStringLiteral("in-%1").arg(++n));
        window->mnuFileSave_Click();
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(elapsed);
        ms.push_back(elapsed * 1000.0);
    }
    state.counters["median_ms"] = medianOf(ms);
    state.counters["p90_ms"] = percentileOf(ms, 0.9);
    window.reset();
    Dialogs::install(nullptr);
}
BENCHMARK(BM_RegisterWalkIn)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(300);

// Desk B saves the city of the attendee desk A shows; the time from B's save
// returning (committed) to A's box showing it, A doing nothing meanwhile. /0 the
// file, /1 the server; both desks each with a connection of its own.
void BM_ChangeReachesOtherDesk(benchmark::State &state)
{
    BenchFolders *folders = &world().folders;
    if (state.range(0) == 1) {
        ServerWorld &w = serverWorld();
        if (w.url.isEmpty()) {
            state.SkipWithError("no server");
            return;
        }
        folders = &w.folders;
    }
    BenchDialogs dialogs;
    Dialogs::install(&dialogs);
    AppContext contextA = folders->context;
    AppContext contextB = folders->context;
    contextA.desk = QStringLiteral("desk A");
    contextB.desk = QStringLiteral("desk B");
    const auto open = [](AppContext &context) {
        auto window = std::make_unique<RegisterWindow>(context);
        window->setTag(QString::number(EventId));
        window->formLoad(nullptr);
        window->show();
        return window;
    };
    auto a = open(contextA);
    auto b = open(contextB);
    QLineEdit *shownAtA = a->attendeePanel()->txtFields(6);
    QLineEdit *typedAtB = b->attendeePanel()->txtFields(6);
    std::vector<double> ms;
    int n = 0;
    bool lost = false;
    for (auto _ : state) {
        const QString city = QStringLiteral("City %1").arg(++n);
        b->datPrimaryRS()->setBoundValue(typedAtB, city);
        b->mnuFileSave_Click();
        const auto saved = Clock::now();
        while (shownAtA->text() != city && Clock::now() - saved < std::chrono::seconds(5))
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        lost = lost || shownAtA->text() != city;
        const double elapsed = std::chrono::duration<double>(Clock::now() - saved).count();
        state.SetIterationTime(elapsed);
        ms.push_back(elapsed * 1000.0);
    }
    state.counters["median_ms"] = medianOf(ms);
    state.counters["p95_ms"] = percentileOf(ms, 0.95);
    state.counters["max_ms"] = ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end());
    state.counters["not_shown"] = lost ? 1 : 0;
    state.SetLabel(state.range(0) == 1 ? "server" : "file");
    b.reset();
    a.reset();
    Dialogs::install(nullptr);
}
BENCHMARK(BM_ChangeReachesOtherDesk)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(60);

} // namespace

int main(int argc, char **argv)
{
    g_processStart = Clock::now();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const auto before = Clock::now();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvex"));
    QApplication::setQuitOnLastWindowClosed(false);
    g_applicationConstructionMs = std::chrono::duration<double, std::milli>(Clock::now() - before).count();

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
