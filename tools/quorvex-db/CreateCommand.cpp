#include "ToolCommand.h"

#include "core/AppError.h"
#include "data/Database.h"

#include <QDir>
#include <QFileInfo>

namespace {

int create(const QStringList &args, QTextStream &out, QTextStream &err, bool ifMissing)
{
    if (args.size() != 1)
        return tool::WrongCommandLine;
    const QString folder = args.at(0);
    if (!QFileInfo(folder).isDir())
        return tool::fail(err, QStringLiteral("the folder \"%1\" does not exist; make it first.")
                                   .arg(QDir::toNativeSeparators(folder)));
    const QString file = QDir(folder).filePath(QStringLiteral("Quorvex.mdb"));
    if (QFileInfo::exists(file)) {
        if (ifMissing)
            return tool::Success;
        return tool::fail(err, QStringLiteral("\"%1\" already exists and was left as it is. Choose another folder, "
                                              "or move the file away first.")
                                   .arg(QDir::toNativeSeparators(file)));
    }
    try {
        Database::create(file);
    } catch (const AppError &error) {
        return tool::fail(err, error.description());
    }
    out << "Made " << QDir::toNativeSeparators(file) << "\n";
    return tool::Success;
}

} // namespace

const ToolCommand CreateCommand {
    "create",
    "  create FOLDER\n"
    "      makes FOLDER/Quorvex.mdb: the empty tables, the donations query, and a few\n"
    "      common titles and offices. An existing file is never overwritten: the\n"
    "      command then fails.\n",
    [](const QStringList &args, QTextStream &out, QTextStream &err) { return create(args, out, err, false); },
};

const ToolCommand CreateIfMissingCommand {
    "create-if-missing",
    "  create-if-missing FOLDER\n"
    "      the same, but does nothing (and succeeds) when the file exists.\n",
    [](const QStringList &args, QTextStream &out, QTextStream &err) { return create(args, out, err, true); },
};
