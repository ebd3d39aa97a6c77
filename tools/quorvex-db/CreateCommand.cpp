#include "ToolCommand.h"

#include "core/AppError.h"
#include "data/DataError.h"
#include "data/Database.h"
#include "data/Engine.h"

#include <QDir>
#include <QFileInfo>

namespace {

// A server's database: the schema goes into it unless it has Quorvex tables.
int createOnServer(const QString &url, QTextStream &out, QTextStream &err, bool ifMissing)
{
    try {
        if (ifMissing) {
            try {
                (void)Database::openSeparate(url);
                return tool::Success; // it is a Quorvex database already
            } catch (const AppError &error) {
                if (error.number() != DataError::UnrecognizedFormat)
                    throw;
            }
        }
        const std::shared_ptr<Database> db = Database::create(url);
        out << "Made the Quorvex tables in " << db->displayName() << "\n";
    } catch (const AppError &error) {
        return tool::fail(err, error.description());
    }
    return tool::Success;
}

int create(const QStringList &args, QTextStream &out, QTextStream &err, bool ifMissing)
{
    if (args.size() != 1)
        return tool::WrongCommandLine;
    const QString target = args.at(0);
    if (Engine::isServerLocation(target))
        return createOnServer(target, out, err, ifMissing);
    if (!QFileInfo(target).isDir())
        return tool::fail(err, QStringLiteral("the folder \"%1\" does not exist; make it first.")
                                   .arg(QDir::toNativeSeparators(target)));
    const QString file = QDir(target).filePath(QStringLiteral("Quorvex.mdb"));
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
    "  create TARGET\n"
    "      TARGET a folder: makes FOLDER/Quorvex.mdb; TARGET a server's database\n"
    "      (postgresql://USER@HOST:PORT/DATABASE, made empty with createdb -E UTF8):\n"
    "      makes the tables there. The empty tables, the donations query, and a few\n"
    "      common titles and offices. An existing database is never overwritten:\n"
    "      the command then fails.\n",
    [](const QStringList &args, QTextStream &out, QTextStream &err) { return create(args, out, err, false); },
};

const ToolCommand CreateIfMissingCommand {
    "create-if-missing",
    "  create-if-missing TARGET\n"
    "      the same, but does nothing (and succeeds) when the database is there.\n",
    [](const QStringList &args, QTextStream &out, QTextStream &err) { return create(args, out, err, true); },
};
