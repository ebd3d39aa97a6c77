#include "ToolCommand.h"

#include "core/AppError.h"
#include "core/ModGen.h"
#include "data/Database.h"
#include "data/Engine.h"
#include "data/Schema.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

namespace {

qint64 count(Database &db, const QString &sql)
{
    QSqlQuery q = db.query(sql);
    const qint64 n = q.next() ? q.value(0).toLongLong() : 0;
    q.finish();
    return n;
}

// Attendees whose Picture names a photograph that is not there.
qint64 missingPhotos(Database &db, const QString &location)
{
    if (db.engine().keepsPhotosInDatabase())
        return count(db, QStringLiteral("SELECT count(*) FROM Attendees a WHERE a.Picture IS NOT NULL AND a.Picture "
                                        "<> '' AND NOT EXISTS (SELECT 1 FROM Photos p WHERE p.AttendeeID = "
                                        "a.AttendeeID)"));
    const QString folder = QFileInfo(location).absolutePath() + QLatin1Char('/');
    qint64 missing = 0;
    QSqlQuery q = db.query(QStringLiteral("SELECT Picture FROM Attendees WHERE Picture IS NOT NULL AND Picture <> ''"));
    while (q.next()) {
        if (!QFileInfo::exists(folder + QDir::fromNativeSeparators(modGen::toNativePath(q.value(0).toString()))))
            ++missing;
    }
    q.finish();
    return missing;
}

int check(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1)
        return tool::WrongCommandLine;
    QString location = args.at(0);
    if (!Engine::isServerLocation(location)) {
        if (!QFileInfo(location).isDir())
            return tool::fail(err, QStringLiteral("the folder \"%1\" does not exist.").arg(QDir::toNativeSeparators(location)));
        location = QDir(location).filePath(QStringLiteral("Quorvex.mdb"));
    }
    QStringList problems;
    try {
        // Opening refuses what is not a Quorvex database, or one of a newer schema.
        const std::shared_ptr<Database> db = Database::openSeparate(location);
        const Engine &engine = db->engine();
        out << "Database: " << db->displayName() << "\n";
        out << "Schema version: " << engine.schemaVersion(*db) << " (this program knows " << Schema::Version << ")\n";
        if (db->upgradedFrom() > 0)
            out << "Upgraded from schema " << db->upgradedFrom() << " on opening (every row kept).\n";
        QStringList tables {QStringLiteral("Program"), QStringLiteral("Attendees"), QStringLiteral("Donations"),
                            QStringLiteral("Office"), QStringLiteral("Title"), QStringLiteral("CheckIns"),
                            QStringLiteral("CardPrints")};
        if (engine.keepsPhotosInDatabase())
            tables << QStringLiteral("Photos");
        for (const QString &table : tables)
            out << table << ": " << count(*db, QStringLiteral("SELECT count(*) FROM %1").arg(table)) << " rows\n";

        for (const QString &problem : engine.integrityProblems(*db))
            problems << problem;
        // Deleting an attendee takes its donations: one left over means the data was changed behind the program.
        if (const qint64 n = count(*db, QStringLiteral("SELECT count(*) FROM Donations d WHERE NOT EXISTS (SELECT 1 "
                                                       "FROM Attendees a WHERE a.AttendeeID = d.AttendeeID)")))
            problems << QStringLiteral("%1 donations belong to no attendee").arg(n);
        // What the program leaves behind by design is told, not counted as a problem.
        if (const qint64 n = count(*db, QStringLiteral("SELECT count(*) FROM Attendees a WHERE NOT EXISTS (SELECT 1 "
                                                       "FROM Program p WHERE p.ProgramID = a.ProgramID)")))
            out << "Note: " << n << " attendees belong to an event that was deleted (they are kept).\n";
        if (const qint64 n = missingPhotos(*db, location))
            out << "Note: " << n << " attendees name a photograph that is not there.\n";
        if (engine.keepsPhotosInDatabase()) {
            if (const qint64 n = count(*db, QStringLiteral("SELECT count(*) FROM Photos p WHERE NOT EXISTS (SELECT 1 "
                                                           "FROM Attendees a WHERE a.AttendeeID = p.AttendeeID)")))
                out << "Note: " << n << " photographs belong to no attendee (snapped for a new attendee never saved).\n";
        }
    } catch (const AppError &error) {
        return tool::fail(err, error.description());
    }
    if (!problems.isEmpty()) {
        for (const QString &problem : problems)
            out << "Problem: " << problem << "\n";
        return tool::fail(err, QStringLiteral("%1 problem(s) found in the database; see above.").arg(problems.size()));
    }
    out << "No problems found.\n";
    return tool::Success;
}

} // namespace

const ToolCommand CheckCommand {
    "check",
    "  check TARGET\n"
    "      TARGET a folder (its Quorvex.mdb) or a server database URL: shows the schema\n"
    "      version and the rows of each table, and checks the database: the engine's\n"
    "      own integrity check, and donations that belong to no attendee. Fails when it\n"
    "      finds a problem.\n",
    check,
};
