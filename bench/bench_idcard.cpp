// The ID card's costs: printing one card to PDF through the toolbar's Print (the
// card window's page set up, the photo read from its file at the page's
// resolution, the card painted, the file written), and what the two loaded card
// windows add to a navigator move (their names, chapter and photo follow the record).
//
// Run a Release build: QT_QPA_PLATFORM=offscreen bench_idcard [--benchmark_repetitions=N]

#include "app/ModGen.h"
#include "bindings/DataControl.h"
#include "core/Dialogs.h"
#include "core/Settings.h"
#include "data/Database.h"
#include "data/Recordset.h"
#include "idcard/CardCommands.h"
#include "idcard/CardWindow.h"
#include "idcard/CardWindows.h"
#include "register/RegisterToolBar.h"
#include "register/RegisterWindow.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPrinter>
#include <QTemporaryDir>
#include <QToolButton>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Every box is answered with OK; no dialog is expected.
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
        return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
    }
};

constexpr int Attendees = 2000;
constexpr qint64 EventId = 1;

// The temporary world: settings store, an event whose attendees each have a
// camera-sized JPEG photo, and the program folder with a logo.
struct World
{
    QTemporaryDir dir;
    QString dbFolder;
    QString appFolder;

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
        SettingKeys::DBPath.write(dbFolder);
        SettingKeys::Header1.write(QStringLiteral("Spring Convention 2026"));

        QImage photo(640, 480, QImage::Format_RGB32);
        for (int y = 0; y < photo.height(); ++y)
            for (int x = 0; x < photo.width(); ++x)
                photo.setPixel(x, y, qRgb((x * 7) & 255, (y * 5) & 255, ((x ^ y) * 3) & 255));
        photo.save(dbFolder + QStringLiteral("Pic/photo.jpg"), "JPG", 65);

        const QString file = dbFolder + QLatin1String(modGen::DatabaseFileName);
        Database::create(file);
        std::shared_ptr<Database> db = Database::openSeparate(file);
        db->beginWrite();
        db->execute(QStringLiteral("INSERT INTO Program (ProgramID, Name) VALUES (?, 'Benchmark')"), {EventId});
        for (int i = 1; i <= Attendees; ++i)
            db->execute(QStringLiteral("INSERT INTO Attendees (AttendeeID, ProgramID, Picture, FirstName, LastName, "
                                       "City, Chapter) VALUES (?, ?, 'Pic\\photo.jpg', ?, ?, 'Springfield', ?)"),
                        {i, EventId, QStringLiteral("First%1").arg(i), QStringLiteral("last%1").arg(i),
                         i % 3 ? QStringLiteral("North") : QString()});
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

// The registration window open on the benchmark event, shown.
std::unique_ptr<RegisterWindow> openWindow()
{
    World &w = world();
    modGen::dbFolder().clear();
    modGen::appFolder() = w.appFolder;
    auto window = std::make_unique<RegisterWindow>();
    window->setTag(QString::number(EventId));
    window->formLoad(nullptr);
    window->show();
    QCoreApplication::processEvents();
    return window;
}

void BM_PrintCardToPdf(benchmark::State &state)
{
    BenchDialogs dialogs;
    Dialogs::install(&dialogs);
    CardCommands::setPrinterCount([] { return 1; });
    auto window = openWindow();
    window->tbToolBar()->cboIDSize()->setCurrentIndex(state.range(0));
    const QString file = world().dir.path() + QStringLiteral("/card.pdf");
    QPrinter *printer = window->cardCommands()->printer();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(file);

    std::vector<double> ms;
    for (auto _ : state) {
        const auto start = Clock::now();
        window->tbToolBar_ButtonClick(QStringLiteral("Print"));
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(elapsed);
        ms.push_back(elapsed * 1000.0);
    }
    state.counters["median_ms"] = medianOf(ms);
    state.counters["pdf_bytes"] = double(QFileInfo(file).size());
    state.SetLabel(state.range(0) == 2 ? "3 X 4" : "2 1/4 X 3.5");
    window.reset();
    CardCommands::setPrinterCount(nullptr);
    Dialogs::install(nullptr);
}
BENCHMARK(BM_PrintCardToPdf)->Arg(2)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(100);

// A navigator move with both card windows loaded (1) and with none (0).
void BM_MoveWithCardWindows(benchmark::State &state)
{
    BenchDialogs dialogs;
    Dialogs::install(&dialogs);
    auto window = openWindow();
    if (state.range(0) == 0) {
        window->cardWindows()->frmIDCard()->close();
        window->cardWindows()->frmIDCard2()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    const int cards = int(window->cards().size());
    DataControl *navigator = window->datPrimaryRS();
    QToolButton *next = navigator->button(2);
    QToolButton *first = navigator->button(0);
    std::vector<double> ms;
    for (auto _ : state) {
        QToolButton *button = navigator->recordset()->absolutePosition() + 1 >= Attendees ? first : next;
        const auto start = Clock::now();
        button->click();
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(elapsed);
        ms.push_back(elapsed * 1000.0);
    }
    state.counters["median_ms"] = medianOf(ms);
    state.counters["cards"] = cards;
    state.SetLabel(state.range(0) ? "both card windows loaded" : "no card window loaded");
    window.reset();
    Dialogs::install(nullptr);
}
BENCHMARK(BM_MoveWithCardWindows)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1500);

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
