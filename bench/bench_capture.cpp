// The snap's cost after the user's Yes: the 1280 x 720 frame written as a
// bitmap, the converter util1.sp started and waited for, the bitmap deleted,
// and the new photo read and shown on the miniature and both card windows.
// Also the converter alone on the same frame (process start, read, encode, rename).
//
// Run a Release build: QT_QPA_PLATFORM=offscreen bench_capture [--benchmark_repetitions=N]

#include "FakeCapture.h"

#include "app/ModGen.h"
#include "capture/PictureConverter.h"
#include "core/Dialogs.h"
#include "core/Settings.h"
#include "data/Database.h"
#include "idcard/CardWidget.h"
#include "register/RegisterWindow.h"

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

// Yes to the snap's question (remembering when it was answered); OK otherwise.
class BenchDialogs : public Dialogs
{
public:
    Clock::time_point answeredAt;
    int otherBoxes = 0;

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
        if (buttons == MsgButtons::YesNo) {
            answeredAt = Clock::now();
            return MsgAnswer::Yes;
        }
        ++otherBoxes;
        return MsgAnswer::Ok;
    }
};

// A database with one event and one attendee, the program folder with the
// converter, and the main window open on that attendee with a fake camera.
struct World
{
    QTemporaryDir dir;
    BenchDialogs dialogs;
    std::unique_ptr<RegisterWindow> window;

    World()
    {
        Settings::setStoreFolderForTesting(dir.filePath("settings"));
        Dialogs::install(&dialogs);
        const QString dbFolder = QDir::toNativeSeparators(dir.filePath("db")) + QDir::separator();
        const QString appFolder = QDir::toNativeSeparators(dir.filePath("app")) + QDir::separator();
        QDir().mkpath(dbFolder);
        QDir().mkpath(appFolder + "Logo");
        QImage logo(61, 61, QImage::Format_RGB32);
        logo.fill(Qt::blue);
        logo.save(appFolder + "Logo/logo.bmp");
        QFile::link(QStringLiteral(QUORVEX_CONVERTER), appFolder + "util1.sp");
        Database::create(dbFolder + "Quorvex.mdb");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "bench-setup");
            db.setDatabaseName(dbFolder + "Quorvex.mdb");
            db.open();
            QSqlQuery q(db);
            q.exec("INSERT INTO Program (ProgramID, Name) VALUES (1, 'Fair')");
            q.exec("INSERT INTO Attendees (ProgramID, FirstName, LastName) VALUES (1, 'Ann', 'Lee')");
            q.finish();
            db.close();
        }
        QSqlDatabase::removeDatabase("bench-setup");
        SettingKeys::DBPath.write(dbFolder);
        modGen::dbFolder() = dbFolder;
        modGen::appFolder() = appFolder;
        FakeCapture::install(FakeCapture::oneDriver(), FrameSize);

        window = std::make_unique<RegisterWindow>();
        window->setTag("1");
        window->formLoad(nullptr);
        window->show();
        QApplication::processEvents();
    }
    ~World()
    {
        window.reset();
        CaptureControl::setMaker({});
        Dialogs::install(nullptr);
        Settings::setStoreFolderForTesting(QString());
    }
};

bool photoOnEveryCard(const RegisterWindow &window)
{
    const QList<CardWidget *> cards = window.cards();
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
        for (CardWidget *card : world.window->cards())
            card->setPhoto(QPixmap());
        snap->trigger();
        const auto shown = Clock::now();
        if (!photoOnEveryCard(*world.window) || world.dialogs.otherBoxes) {
            state.SkipWithError("the photo did not reach the three cards");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(shown - world.dialogs.answeredAt).count());
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
    const QString saved = modGen::appFolder();
    modGen::appFolder() = QFileInfo(QStringLiteral(QUORVEX_CONVERTER)).absolutePath() + QDir::separator();
    for (auto _ : state) {
        if (PictureConverter().run(bitmap, jpeg, 5000).outcome != PictureConverter::Outcome::Converted) {
            state.SkipWithError("the converter failed");
            break;
        }
    }
    modGen::appFolder() = saved;
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
