// The ID card's costs: printing one card to PDF through the toolbar's Print (the
// card window's page set up, the photo read from its file at the page's
// resolution, the card painted, the file written), what the two loaded card
// windows add to a navigator move (their names, chapter, photo and code follow
// the record), and drawing one card into a picture with and without its QR code
// (and with a last name that has to be drawn smaller).
//
// Run a Release build: QT_QPA_PLATFORM=offscreen bench_idcard [--benchmark_repetitions=N]

#include "bindings/DataControl.h"
#include "support/BenchSupport.h"
#include "core/Settings.h"
#include "data/Database.h"
#include "data/Recordset.h"
#include "idcard/CardCommands.h"
#include "idcard/CardImage.h"
#include "idcard/CardLayout.h"
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


constexpr int Attendees = 2000;
constexpr qint64 EventId = 1;

// The temporary world: settings store, an event whose attendees each have a
// camera-sized JPEG photo, and the program folder with a logo.
struct World
{
    BenchFolders folders;
    QTemporaryDir &dir = folders.dir;
    const QString &appFolder = folders.appFolder;

    World()
    {
        SettingKeys::Header1.write(QStringLiteral("Spring Convention 2026"));
        writeDetailedPhoto(folders.dbFolder + QStringLiteral("Pic/photo.jpg"));
        const QString file = folders.databaseFile();
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

// The registration window open on the benchmark event, shown.
std::unique_ptr<RegisterWindow> openWindow()
{
    return openRegisterWindow(world().folders, EventId);
}

void BM_PrintCardToPdf(benchmark::State &state)
{
    BenchDialogs dialogs;
    Dialogs::install(&dialogs);
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
    const int cards = 1 + int(window->cardWindows()->loadedCards().size()); // and the miniature
    const std::vector<double> ms = timeNavigatorMoves(state, *window);
    state.counters["median_ms"] = medianOf(ms);
    state.counters["cards"] = cards;
    state.SetLabel(state.range(0) ? "both card windows loaded" : "no card window loaded");
    window.reset();
    Dialogs::install(nullptr);
}
BENCHMARK(BM_MoveWithCardWindows)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1500);

// One card drawn into a picture, as the card widget does on every change:
// range(0) the layout (0 miniature, 1 "2 1/4 X 3.5", 2 "3 X 4"), range(1) 1 with
// the code, range(2) the resolution (96: a screen, 300: a card printer's page).
void BM_DrawCard(benchmark::State &state)
{
    const CardLayout layout = state.range(0) == 0   ? CardLayout::miniature()
                              : state.range(0) == 1 ? CardLayout::card2x35()
                                                    : CardLayout::card3x4();
    QImage photo(480, 600, QImage::Format_RGB32);
    photo.fill(Qt::darkCyan);
    CardFace face;
    face.header[0] = QStringLiteral("Spring Convention 2026");
    face.header[1] = QStringLiteral("******Header Line 2******");
    face.name[0] = QStringLiteral("Maria");
    face.name[1] = QStringLiteral("VASCONCELOS-ALBUQUERQUE"); // drawn smaller on every layout
    face.office = QStringLiteral("Treasurer");
    face.chapter = QStringLiteral("North Chapter");
    face.photo = CardFace::drawable(photo);
    face.code = QStringLiteral("QVX:3:1207");
    face.showCode = state.range(1) != 0;
    const double dpi = double(state.range(2));
    std::vector<double> ms;
    for (auto _ : state) {
        const auto start = Clock::now();
        const QImage card = CardImage::render(layout, face, dpi, dpi);
        benchmark::DoNotOptimize(card.constBits());
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(elapsed);
        ms.push_back(elapsed * 1000.0);
    }
    state.counters["median_ms"] = medianOf(ms);
    state.SetLabel(layout.name.toStdString() + (face.showCode ? ", with code" : ", without code"));
}
BENCHMARK(BM_DrawCard)
    ->ArgsProduct({{0, 1, 2}, {0, 1}, {96}})
    ->Args({2, 0, 300})
    ->Args({2, 1, 300})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(300);

} // namespace

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv);
}
