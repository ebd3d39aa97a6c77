// quorvex-db: makes and looks after the database the program works on.
#include "ToolCommand.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <iterator>

namespace {

const ToolCommand *const Commands[] = {&CreateCommand, &CreateIfMissingCommand, &CopyCommand, &CheckCommand,
                                       &ImportCommand, &ExportCommand};

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
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
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
