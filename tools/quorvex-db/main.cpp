// quorvex-db: makes the database file Quorvex.mdb that the program works on.
#include "core/AppError.h"
#include "data/Database.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {

const char *const Usage =
    "Usage: quorvex-db create FOLDER\n"
    "       quorvex-db create-if-missing FOLDER\n"
    "\n"
    "  create             makes FOLDER/Quorvex.mdb: the empty tables, the donations query,\n"
    "                     and a few common titles and offices. An existing file is never\n"
    "                     overwritten: the command then fails.\n"
    "  create-if-missing  the same, but does nothing (and succeeds) when the file exists.\n";

int usage(QTextStream &err)
{
    err << Usage;
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 1 && (args.at(0) == QLatin1String("--help") || args.at(0) == QLatin1String("-h"))) {
        out << Usage;
        return 0;
    }
    if (args.size() != 2)
        return usage(err);
    const QString &command = args.at(0);
    const bool ifMissing = command == QLatin1String("create-if-missing");
    if (command != QLatin1String("create") && !ifMissing)
        return usage(err);

    const QString folder = args.at(1);
    if (!QFileInfo(folder).isDir()) {
        err << "quorvex-db: the folder \"" << QDir::toNativeSeparators(folder)
            << "\" does not exist; make it first.\n";
        return 1;
    }
    const QString file = QDir(folder).filePath(QStringLiteral("Quorvex.mdb"));
    if (QFileInfo::exists(file)) {
        if (ifMissing)
            return 0;
        err << "quorvex-db: \"" << QDir::toNativeSeparators(file)
            << "\" already exists and was left as it is. Choose another folder, or move the file away first.\n";
        return 1;
    }
    try {
        Database::create(file);
    } catch (const AppError &error) {
        err << "quorvex-db: " << error.description() << "\n";
        return 1;
    }
    out << "Made " << QDir::toNativeSeparators(file) << "\n";
    return 0;
}
