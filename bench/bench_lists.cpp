// The lists' hot paths on an event of 10,000 attendees (each with a 640 x 480
// JPEG photo): the datasheet filled and shown, against a plain SELECT of the same
// eight fields through QSqlQuery in the same run; Find First through the find
// dialog (the move and the record display included); and adding a lookup value
// with the reload of a list of 500 entries.
//
// Run a Release build: QT_QPA_PLATFORM=offscreen bench_lists

#include "app/ModGen.h"
#include "bindings/DataControl.h"
#include "core/Dialogs.h"
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

// Yes to every question, OK to every box, every modal window closed at once.
class BenchDialogs : public Dialogs
{
public:
    std::optional<QString> input(QWidget *, const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    QString openFile(QWidget *, const QString &, const QString &, const QString &, const QString &) override
    {
        return QString();
    }
    std::optional<quint32> color(QWidget *, quint32) override { return std::nullopt; }
    bool printer(QWidget *, QPrinter *) override { return false; }
    int showModal(QDialog *dialog) override
    {
        dialog->reject();
        return QDialog::Rejected;
    }

protected:
    MsgAnswer showMessage(QWidget *, const QString &, const QString &, MsgButtons buttons, MsgIcon,
                          MsgAnswer) override
    {
        return buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
    }
};

constexpr int Attendees = 10000;
constexpr int Offices = 500;
constexpr qint64 EventId = 1;
const QString Fields = QStringLiteral("LastName, FirstName, Address, City, StateOrProvince, PostalCode, Country, Chapter");

struct World
{
    QTemporaryDir dir;
    QString dbFolder;
    QString appFolder;
    QString file;

    World()
    {
        const QString root = dir.path() + QLatin1Char('/');
        Settings::setStoreFolderForTesting(root + QStringLiteral("settings"));
        dbFolder = root + QStringLiteral("db/");
        appFolder = root + QStringLiteral("app/");
        QDir().mkpath(dbFolder + QStringLiteral("Pic"));
        QDir().mkpath(appFolder + QStringLiteral("Logo"));
        QImage logo(61, 61, QImage::Format_RGB32);
        logo.fill(Qt::darkBlue);
        logo.save(appFolder + QStringLiteral("Logo/logo.bmp"));
        SettingKeys::Logo.write(appFolder + QStringLiteral("Logo/logo.bmp"));
        SettingKeys::DBPath.write(dbFolder);
        QImage photo(640, 480, QImage::Format_RGB32);
        for (int y = 0; y < photo.height(); ++y)
            for (int x = 0; x < photo.width(); ++x)
                photo.setPixel(x, y, qRgb((x * 7) & 255, (y * 5) & 255, ((x ^ y) * 3) & 255));
        photo.save(dbFolder + QStringLiteral("Pic/photo.jpg"), "JPG", 65);

        file = dbFolder + QLatin1String(modGen::DatabaseFileName);
        Database::create(file);
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

double medianOf(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
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
        Dialogs::install(&dialogs);
        modGen::dbFolder().clear();
        modGen::appFolder() = world().appFolder;
        window = std::make_unique<RegisterWindow>();
        window->setTag(QString::number(EventId));
        window->formLoad(nullptr);
        window->resize(1200, 800);
        window->show();
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
        if (list->topLevelItemCount() != Attendees)
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
    FindDialog dialog(open.window.get());
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
        LookupLists::loadList(QStringLiteral("Office"), office);
    }
    state.counters["median_ms"] = medianOf(ms);
}
BENCHMARK(BM_AddLookupValueAndReload)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvex"));
    QApplication::setQuitOnLastWindowClosed(false);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Settings::setStoreFolderForTesting(QString());
    return 0;
}
