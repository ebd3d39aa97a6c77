// The lists' hot paths on an event of 10,000 attendees (each with a 640 x 480
// JPEG photo): the datasheet filled and shown, against a plain SELECT of the same
// eight fields through QSqlQuery in the same run; Find First through the find
// dialog (the move and the record display included); and adding a lookup value
// with the reload of a list of 500 entries.
//
// Run a Release build: QT_QPA_PLATFORM=offscreen bench_lists

#include "bindings/DataControl.h"
#include "support/BenchSupport.h"
#include "core/Settings.h"
#include "data/Database.h"
#include "data/Recordset.h"
#include "lists/DatasheetList.h"
#include "lists/FindDialog.h"
#include "lists/LookupCombo.h"
#include "lists/LookupLists.h"
#include "register/AttendeePanel.h"
#include "register/RegisterWindow.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QToolButton>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;


constexpr int Attendees = 10000;
constexpr int Offices = 500;
constexpr qint64 EventId = 1;
const QString Fields = QStringLiteral("LastName, FirstName, Address, City, StateOrProvince, PostalCode, Country, Chapter");

struct World
{
    BenchFolders folders;
    const QString &appFolder = folders.appFolder;
    QString file;

    World()
    {
        writeDetailedPhoto(folders.dbFolder + QStringLiteral("Pic/photo.jpg"));
        file = folders.databaseFile();
        std::shared_ptr<Database> db = Database::openSeparate(file);
        db->beginWrite();
        db->execute(QStringLiteral("INSERT INTO Program (ProgramID, Name) VALUES (?, 'Benchmark')"), {EventId});
        for (int i = 1; i <= Attendees; ++i)
            db->execute(QStringLiteral("INSERT INTO Attendees (AttendeeID, ProgramID, Picture, FirstName, LastName, "
                                       "Address, City, StateOrProvince, PostalCode, Country, Chapter) VALUES "
                                       "(?, ?, 'Pic\\photo.jpg', ?, ?, '1 Main Street', 'Springfield', 'IL', "
                                       "'62701', 'USA', ?)"),
                        {i, EventId, QStringLiteral("First%1").arg(i), QStringLiteral("last%1").arg(i),
                         i % 3 ? QStringLiteral("North") : QString()});
        db->execute(QStringLiteral("DELETE FROM Office"));
        for (int i = 0; i < Offices; ++i)
            db->execute(QStringLiteral("INSERT INTO Office (OfficeName, OfficeDesc) VALUES (?, ?)"),
                        {QStringLiteral("Office %1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("d")});
        db->commit();
    }
};

World &world()
{
    static World w;
    return w;
}

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The registration window on the big event, shown.
struct OpenWindow
{
    BenchDialogs dialogs;
    std::unique_ptr<RegisterWindow> window;

    OpenWindow()
    {
        // Yes to every question.
        dialogs.answer = [](const QString &, const QString &, MsgButtons) { return MsgAnswer::Yes; };
        Dialogs::install(&dialogs);
        window = openRegisterWindow(world().folders, EventId);
        window->resize(1200, 800);
        QCoreApplication::processEvents();
    }
    ~OpenWindow()
    {
        window.reset();
        Dialogs::install(nullptr);
    }
};

// The plain SELECT of the eight fields, every value read as text.
double plainSelectMs(const QString &connection)
{
    const auto start = Clock::now();
    QSqlQuery q(QSqlDatabase::database(connection));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1 FROM Attendees WHERE ProgramID = ?").arg(Fields));
    q.addBindValue(EventId);
    q.exec();
    qsizetype characters = 0;
    while (q.next())
        for (int i = 0; i < 8; ++i)
            characters += q.value(i).toString().size();
    q.finish();
    benchmark::DoNotOptimize(characters);
    return msSince(start);
}

// Each iteration: the plain SELECT, then the switch to the datasheet until the list
// is painted; the form view is restored outside the time.
void BM_DatasheetAgainstPlainSelect(benchmark::State &state)
{
    OpenWindow open;
    const QString connection = QStringLiteral("bench-plain");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(world().file);
        db.open();
    }
    QAction *viewAll = open.window->findChild<QAction *>(QStringLiteral("mnuViewAll"));
    DatasheetList *list = open.window->lstEveryone();
    std::vector<double> plain, sheet;
    for (auto _ : state) {
        plain.push_back(plainSelectMs(connection));
        const auto start = Clock::now();
        viewAll->trigger();
        list->repaint();
        const double ms = msSince(start);
        sheet.push_back(ms);
        state.SetIterationTime(ms / 1000.0);
        if ((list->model() ? list->model()->rowCount() : 0) != Attendees)
            state.SkipWithError("the datasheet is not complete");
        viewAll->trigger(); // back to the form
    }
    QSqlDatabase::removeDatabase(connection);
    state.counters["plain_select_median_ms"] = medianOf(plain);
    state.counters["datasheet_median_ms"] = medianOf(sheet);
    state.counters["ratio"] = medianOf(sheet) / std::max(0.001, medianOf(plain));
}
BENCHMARK(BM_DatasheetAgainstPlainSelect)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// Find First through the dialog: the match is the last attendee (the whole event
// is searched), or nothing matches (the box is answered).
void BM_FindFirst(benchmark::State &state)
{
    OpenWindow open;
    FindDialog dialog(world().folders.context, open.window.get());
    dialog.showFind(open.window->datPrimaryRS()->recordset()); // closed at once; the recordset stays
    auto *fields = dialog.findChild<QComboBox *>(QStringLiteral("cboFields"));
    fields->setCurrentIndex(fields->findText(QStringLiteral("LastName")));
    const QString text = state.range(0) ? QStringLiteral("last10000") : QStringLiteral("nobody");
    std::vector<double> ms;
    for (auto _ : state) {
        open.window->datPrimaryRS()->button(0)->click(); // from the first attendee, outside the time
        const auto start = Clock::now();
        dialog.findRecord(text, 0);
        const double elapsed = msSince(start);
        ms.push_back(elapsed);
        state.SetIterationTime(elapsed / 1000.0);
    }
    state.counters["median_ms"] = medianOf(ms);
    state.SetLabel(open.window->datPrimaryRS()->caption().toStdString());
}
BENCHMARK(BM_FindFirst)->Arg(1)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);

// A new office typed and added (the question answered Yes), the list of 500 reloaded;
// the value is removed again outside the time so every iteration adds to 500.
void BM_AddLookupValueAndReload(benchmark::State &state)
{
    OpenWindow open;
    LookupCombo *office = open.window->attendeePanel()->cboOffice();
    std::shared_ptr<Database> db = Database::openSeparate(world().file);
    std::vector<double> ms;
    int n = 0;
    for (auto _ : state) {
        const QString value = QStringLiteral("Added %1").arg(n++);
        const auto start = Clock::now();
        open.window->lookupLists()->addToList(office, value);
        const double elapsed = msSince(start);
        ms.push_back(elapsed);
        state.SetIterationTime(elapsed / 1000.0);
        if (office->count() != Offices + 1)
            state.SkipWithError("the value was not added");
        db->execute(QStringLiteral("DELETE FROM Office WHERE OfficeName = ?"), {value});
        LookupLists::loadList(world().file, QStringLiteral("Office"), office);
    }
    state.counters["median_ms"] = medianOf(ms);
}
BENCHMARK(BM_AddLookupValueAndReload)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);

} // namespace

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv);
}
