// quorvex-db: makes and looks after the database the program works on.
#include "ToolCommand.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <iterator>
#include <memory>

namespace {

const ToolCommand *const Commands[] = {&CreateCommand, &CreateIfMissingCommand, &CopyCommand, &CheckCommand,
                                       &ImportCommand, &ExportCommand, &CardsCommand};

void printUsage(QTextStream &stream)
{
    stream << "Usage: quorvex-db COMMAND ARGUMENTS...\n\nCommands:\n";
    for (const ToolCommand *command : Commands)
        stream << command->usage;
    stream << "\nExit status: 0 success, 1 failure (said on standard error), 2 a wrong command line.\n";
}

} // namespace

int tool::fail(QTextStream &err, const QString &message)
{
    err << "quorvex-db: " << message << "\n";
    return Failure;
}

QString tool::databaseLocation(const QString &target)
{
    if (target.contains(QStringLiteral("://")) || !QFileInfo(target).isDir())
        return target;
    return QDir(target).filePath(QStringLiteral("Quorvex.mdb"));
}

int main(int argc, char *argv[])
{
    // Drawing cards needs fonts, so a GUI application, but never a screen: the
    // offscreen platform serves a script run without a desktop.
    const bool drawsCards = argc > 1 && qstrcmp(argv[1], "cards") == 0;
    if (drawsCards && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app = drawsCards ? std::make_unique<QGuiApplication>(argc, argv)
                                                       : std::make_unique<QCoreApplication>(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app->arguments().mid(1);
    if (args.size() == 1 && (args.at(0) == QLatin1String("--help") || args.at(0) == QLatin1String("-h"))) {
        printUsage(out);
        return tool::Success;
    }
    for (const ToolCommand *command : Commands) {
        if (!args.isEmpty() && args.at(0) == QLatin1String(command->name)) {
            const int status = command->run(args.mid(1), out, err);
            if (status == tool::WrongCommandLine)
                printUsage(err);
            return status;
        }
    }
    printUsage(err);
    return tool::WrongCommandLine;
}
