#pragma once

// What the window benchmarks share: dialogs that answer at once, a temporary
// world of settings store, database and program folders, and a median.

#include "core/AppContext.h"
#include "core/Dialogs.h"

#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>
#include <vector>

class RegisterWindow;

// Every box is answered at once (Yes/No boxes by `answerYesNo`, others with
// OK, choice boxes with their last choice); input boxes and the file, colour and printer dialogs are cancelled and
// modal windows rejected.
class BenchDialogs : public Dialogs
{
public:
    // Sees every message box; its answer is used for Yes/No boxes.
    std::function<MsgAnswer(const QString &text, const QString &title, MsgButtons buttons)> answer;

    std::optional<QString> input(QWidget *, const QString &, const QString &, const QString &) override;
    QString openFile(QWidget *, const QString &, const QString &, const QString &, const QString &) override;
    QString saveFile(QWidget *, const QString &, const QString &, const QString &, const QString &) override;
    std::optional<quint32> color(QWidget *, quint32) override;
    bool printer(QWidget *, QPrinter *, const QString &) override;
    int showModal(QDialog *dialog) override;

protected:
    MsgAnswer showMessage(QWidget *, const QString &text, const QString &title, MsgButtons buttons, MsgIcon,
                          MsgAnswer) override;
    // A choice box takes its last caption (the one that changes nothing).
    int showChoice(QWidget *, const QString &, const QString &, const QStringList &captions, MsgIcon, int) override;
};

// A temporary settings store and the database and program folders (each ending
// with a separator; "Pic" and "Logo" inside, with the default logo), the
// database folder remembered in the store, and a context for the windows that
// points at both. Everything goes with it.
struct BenchFolders
{
    QTemporaryDir dir;
    QString dbFolder;
    QString appFolder;
    AppContext context;

    BenchFolders();
    ~BenchFolders();

    // dbFolder + "Quorvex.mdb", created empty with the schema on first call.
    QString databaseFile();
};

// A camera-sized JPEG with some detail (a plain one would decode unrealistically fast).
void writeDetailedPhoto(const QString &path, int width = 640, int height = 480);

double medianOf(std::vector<double> values);

// The registration window on the folders' context, loaded on event `eventId`, shown.
std::unique_ptr<RegisterWindow> openRegisterWindow(BenchFolders &folders, qint64 eventId);

// Times one navigator arrow click per benchmark iteration (next, or first at
// the end), as manual time; returns the milliseconds of each move.
std::vector<double> timeNavigatorMoves(benchmark::State &state, RegisterWindow &window);

// main() of a benchmark of the windows: a QApplication named as the program's
// (offscreen unless QT_QPA_PLATFORM says otherwise), then the benchmarks.
int runWindowBenchmarks(int argc, char **argv);
