#include "BenchSupport.h"

#include "bindings/DataControl.h"
#include "core/Settings.h"
#include "data/Database.h"
#include "data/Recordset.h"
#include "register/RegisterWindow.h"

#include <QApplication>
#include <QCoreApplication>

#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QToolButton>

#include <algorithm>
#include <chrono>

std::optional<QString> BenchDialogs::input(QWidget *, const QString &, const QString &, const QString &)
{
    return std::nullopt;
}

QString BenchDialogs::openFile(QWidget *, const QString &, const QString &, const QString &, const QString &)
{
    return QString();
}

QString BenchDialogs::saveFile(QWidget *, const QString &, const QString &, const QString &, const QString &)
{
    return QString();
}

std::optional<quint32> BenchDialogs::color(QWidget *, quint32)
{
    return std::nullopt;
}

bool BenchDialogs::printer(QWidget *, QPrinter *, const QString &)
{
    return false;
}

int BenchDialogs::showModal(QDialog *dialog)
{
    dialog->reject();
    return QDialog::Rejected;
}

MsgAnswer BenchDialogs::showMessage(QWidget *, const QString &text, const QString &title, MsgButtons buttons,
                                    MsgIcon, MsgAnswer)
{
    const MsgAnswer given = answer ? answer(text, title, buttons) : MsgAnswer::No;
    return buttons == MsgButtons::YesNo ? given : MsgAnswer::Ok;
}

int BenchDialogs::showChoice(QWidget *, const QString &, const QString &, const QStringList &captions, MsgIcon, int)
{
    return int(captions.size()) - 1;
}

BenchFolders::BenchFolders()
{
    const QString root = dir.path() + QLatin1Char('/');
    Settings::setStoreFolderForTesting(root + QStringLiteral("settings"));
    dbFolder = QDir::toNativeSeparators(root + QStringLiteral("db")) + QDir::separator();
    appFolder = QDir::toNativeSeparators(root + QStringLiteral("app")) + QDir::separator();
    QDir().mkpath(dbFolder + QStringLiteral("Pic"));
    QDir().mkpath(appFolder + QStringLiteral("Logo"));
    QImage logo(61, 61, QImage::Format_RGB32);
    logo.fill(Qt::darkBlue);
    logo.save(appFolder + QStringLiteral("Logo/logo.bmp"));
    SettingKeys::Logo.write(appFolder + QStringLiteral("Logo/logo.bmp"));
    SettingKeys::DBPath.write(dbFolder);
    context.dbFolder = dbFolder;
    context.appFolder = appFolder;
    context.installedPrinters = [] { return QStringList {QStringLiteral("Card Printer")}; };
}

BenchFolders::~BenchFolders()
{
    Settings::setStoreFolderForTesting(QString());
}

QString BenchFolders::databaseFile()
{
    const QString file = context.databaseFile();
    if (!QFileInfo::exists(file))
        Database::create(file);
    return file;
}

void writeDetailedPhoto(const QString &path, int width, int height)
{
    QImage photo(width, height, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb((x * 7) & 255, (y * 5) & 255, ((x ^ y) * 3) & 255));
    photo.save(path, "JPG", 65);
}

double medianOf(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

std::unique_ptr<RegisterWindow> openRegisterWindow(BenchFolders &folders, qint64 eventId)
{
    auto window = std::make_unique<RegisterWindow>(folders.context);
    window->setTag(QString::number(eventId));
    window->formLoad(nullptr);
    window->show();
    QCoreApplication::processEvents();
    return window;
}

std::vector<double> timeNavigatorMoves(benchmark::State &state, RegisterWindow &window)
{
    using Clock = std::chrono::steady_clock;
    DataControl *navigator = window.datPrimaryRS();
    QToolButton *next = navigator->button(2);
    QToolButton *first = navigator->button(0);
    const qint64 rows = navigator->recordset()->recordCount();
    std::vector<double> ms;
    ms.reserve(100000);
    for (auto _ : state) {
        QToolButton *button = navigator->recordset()->absolutePosition() + 1 >= rows ? first : next;
        const auto start = Clock::now();
        button->click();
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(elapsed);
        ms.push_back(elapsed * 1000.0);
    }
    return ms;
}

int runWindowBenchmarks(int argc, char **argv)
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
    return 0;
}
