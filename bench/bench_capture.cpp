// The snap's cost after the user's Yes: the 1280 x 720 frame written as a
// bitmap, the converter util1.sp started and waited for, the bitmap deleted,
// and the new photo read and shown on the miniature and both card windows.
// Also the converter alone on the same frame (process start, read, encode, rename).
//
// Run a Release build: QT_QPA_PLATFORM=offscreen bench_capture [--benchmark_repetitions=N]

#include "FakeCapture.h"

#include "capture/PictureConverter.h"
#include "support/BenchSupport.h"
#include "core/Settings.h"
#include "data/Database.h"
#include "idcard/CardWidget.h"
#include "idcard/CardWindows.h"
#include "register/AttendeePanel.h"
#include "register/RegisterWindow.h"
#include "session/CardContent.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <chrono>
#include <memory>
#include <optional>

namespace {

using Clock = std::chrono::steady_clock;
const QSize FrameSize(1280, 720);

// The registration window on one attendee, with the fake camera and the real
// converter; Yes to the snap's question (remembering when it was answered).
struct World
{
    BenchFolders folders;
    BenchDialogs dialogs;
    Clock::time_point answeredAt;
    int otherBoxes = 0;
    std::unique_ptr<RegisterWindow> window;

    World()
    {
        dialogs.answer = [this](const QString &, const QString &, MsgButtons buttons) {
            if (buttons != MsgButtons::YesNo) {
                ++otherBoxes;
                return MsgAnswer::Ok;
            }
            answeredAt = Clock::now();
            return MsgAnswer::Yes;
        };
        Dialogs::install(&dialogs);
        QFile::link(QStringLiteral(QUORVEX_CONVERTER), folders.appFolder + "util1.sp");
        std::shared_ptr<Database> db = Database::openSeparate(folders.databaseFile());
        db->beginWrite();
        db->execute(QStringLiteral("INSERT INTO Program (ProgramID, Name) VALUES (1, 'Fair')"), {});
        db->execute(QStringLiteral("INSERT INTO Attendees (ProgramID, FirstName, LastName) VALUES (1, 'Ann', 'Lee')"), {});
        db->commit();
        FakeCapture::install(FakeCapture::oneDriver(), FrameSize);
        window = openRegisterWindow(folders, 1);
    }
    ~World()
    {
        window.reset();
        CaptureControl::setMaker({});
        Dialogs::install(nullptr);
    }
};

bool photoOnEveryCard(const RegisterWindow &window)
{
    const QList<CardWidget *> cards = QList<CardWidget *>({window.attendeePanel()->card()})
                                      + window.cardWindows()->loadedCards();
    if (cards.size() != 3)
        return false;
    for (const CardWidget *card : cards) {
        if (card->photo().isNull())
            return false;
    }
    return true;
}

void BM_SnapYesToPhotoOnThreeCards(benchmark::State &state)
{
    World world;
    QAction *snap = world.window->findChild<QAction *>("mnuSnap");
    for (auto _ : state) {
        world.window->cardContent()->setPhoto(QImage(), QString());
        snap->trigger();
        const auto shown = Clock::now();
        if (!photoOnEveryCard(*world.window) || world.otherBoxes) {
            state.SkipWithError("the photo did not reach the three cards");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(shown - world.answeredAt).count());
    }
}
BENCHMARK(BM_SnapYesToPhotoOnThreeCards)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ConverterAlone(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString bitmap = dir.filePath("17.bmp");
    const QString jpeg = dir.filePath("17.jpg");
    QImage frame(FrameSize, QImage::Format_RGB888);
    frame.fill(QColor(120, 160, 200));
    frame.save(bitmap, "BMP");
    const PictureConverter converter(QFileInfo(QStringLiteral(QUORVEX_CONVERTER)).absolutePath() + QDir::separator());
    for (auto _ : state) {
        if (converter.run(bitmap, jpeg, 5000).outcome != PictureConverter::Outcome::Converted) {
            state.SkipWithError("the converter failed");
            break;
        }
    }
}
BENCHMARK(BM_ConverterAlone)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
