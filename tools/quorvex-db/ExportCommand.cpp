#include "ToolCommand.h"

#include "core/AppError.h"
#include "data/Database.h"
#include "exchange/EventDirectory.h"
#include "exchange/EventExport.h"

#include <QDir>

namespace {

int exportEvent(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QString event;
    QString file;
    std::optional<EventExport::Kind> kind;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (arg == u"--event" && hasValue) {
            event = args.at(++i);
        } else if ((arg == u"--attendees" || arg == u"--donations") && hasValue && !kind) {
            kind = arg == u"--attendees" ? EventExport::Kind::Attendees : EventExport::Kind::Donations;
            file = args.at(++i);
        } else if (arg.startsWith(QStringLiteral("--"))) {
            err << "quorvex-db: export does not know \"" << arg << "\" (or it lacks its value, or repeats a kind).\n";
            return tool::WrongCommandLine;
        } else {
            positional << arg;
        }
    }
    if (positional.size() != 1 || event.trimmed().isEmpty() || !kind) {
        err << "quorvex-db: export needs TARGET, --event NAME and one of --attendees FILE or --donations FILE.\n";
        return tool::WrongCommandLine;
    }
    try {
        auto db = Database::openSeparate(tool::databaseLocation(positional.at(0)));
        const auto found = EventDirectory::findByName(*db, event);
        if (!found)
            return tool::fail(err, QStringLiteral("no event is named \"%1\". Give the name the Event Form shows.")
                                       .arg(event.trimmed()));
        const int rows = EventExport::write(*db, found->id, *kind, file);
        out << "Wrote " << rows << (kind == EventExport::Kind::Attendees ? " attendees" : " donations and fees")
            << " of \"" << found->name << "\" to " << QDir::toNativeSeparators(file) << "\n";
    } catch (const AppError &error) {
        return tool::fail(err, error.description());
    }
    return tool::Success;
}

} // namespace

const ToolCommand ExportCommand {
    "export",
    "  export TARGET --event NAME --attendees|--donations FILE\n"
    "      writes the attendees (every field) or the donations and fees (with the\n"
    "      attendees' names) of the event NAME to FILE, CSV or XLSX as its ending\n"
    "      says. An existing FILE is replaced.\n",
    exportEvent,
};
