#include "ToolCommand.h"

#include "core/AppError.h"
#include "data/Database.h"
#include "exchange/AttendeeImport.h"
#include "exchange/FieldMatcher.h"
#include "exchange/ImportFields.h"
#include "exchange/SheetReader.h"

namespace {

struct Arguments
{
    QString target;
    QString file;
    QString event;
    DuplicateChoice duplicates = DuplicateChoice::Skip;
    QList<std::pair<QString, QString>> maps; // field, header
};

// Nullopt (with the reason on `err`) for a wrong command line.
std::optional<Arguments> parse(const QStringList &args, QTextStream &err)
{
    Arguments parsed;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (arg == u"--event" && hasValue) {
            parsed.event = args.at(++i);
        } else if (arg == u"--duplicates" && hasValue) {
            const QString choice = args.at(++i);
            if (choice == u"skip")
                parsed.duplicates = DuplicateChoice::Skip;
            else if (choice == u"update")
                parsed.duplicates = DuplicateChoice::Update;
            else if (choice == u"add")
                parsed.duplicates = DuplicateChoice::Add;
            else {
                err << "quorvex-db: --duplicates takes skip, update or add, not \"" << choice << "\".\n";
                return std::nullopt;
            }
        } else if (arg == u"--map" && hasValue) {
            const QString map = args.at(++i);
            const qsizetype equals = map.indexOf(u'=');
            const ImportField *field = equals > 0 ? ImportFields::find(map.left(equals)) : nullptr;
            if (!field) {
                QStringList names;
                for (const ImportField &known : ImportFields::all())
                    names << known.name;
                err << "quorvex-db: --map takes FIELD=HEADER with FIELD one of " << names.join(QStringLiteral(", "))
                    << "; \"" << map << "\" is not that.\n";
                return std::nullopt;
            }
            parsed.maps.append({field->name, map.mid(equals + 1).trimmed()});
        } else if (arg.startsWith(QStringLiteral("--"))) {
            err << "quorvex-db: import does not know \"" << arg << "\" (or it lacks its value).\n";
            return std::nullopt;
        } else {
            positional << arg;
        }
    }
    if (positional.size() != 2 || parsed.event.trimmed().isEmpty()) {
        err << "quorvex-db: import needs TARGET, FILE and --event NAME.\n";
        return std::nullopt;
    }
    parsed.target = positional.at(0);
    parsed.file = positional.at(1);
    return parsed;
}

int import(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const std::optional<Arguments> parsed = parse(args, err);
    if (!parsed)
        return tool::WrongCommandLine;
    try {
        const SheetTable table = SheetReader::read(parsed->file);
        ImportOptions options;
        options.eventName = parsed->event;
        options.duplicates = parsed->duplicates;
        options.mapping = FieldMatcher::guess(table.header);
        for (const auto &[field, header] : parsed->maps) {
            for (QString &mapped : options.mapping) // the field leaves the column the guess gave it
                if (mapped == field)
                    mapped.clear();
            if (header.isEmpty())
                continue; // FIELD= : the field is filled by no column
            qsizetype column = -1;
            for (qsizetype i = 0; i < table.header.size() && column < 0; ++i)
                if (table.header.at(i).trimmed().compare(header, Qt::CaseInsensitive) == 0)
                    column = i;
            if (column < 0)
                return tool::fail(err, QStringLiteral("the file has no column \"%1\" (its columns: %2). Give "
                                                      "--map a header of the file.")
                                           .arg(header, table.header.join(QStringLiteral(", "))));
            options.mapping[column] = field;
        }
        auto db = Database::openSeparate(tool::databaseLocation(parsed->target));
        const ImportReport report = AttendeeImport::run(*db, table, options);
        out << report.text();
        if (!report.complete()) {
            out.flush();
            return tool::fail(err, QStringLiteral("%1 rows were refused; nothing was imported.")
                                       .arg(report.refused.size()));
        }
    } catch (const AppError &error) {
        return tool::fail(err, error.description());
    }
    return tool::Success;
}

} // namespace

const ToolCommand ImportCommand {
    "import",
    "  import TARGET FILE --event NAME [--duplicates skip|update|add] [--map FIELD=HEADER]...\n"
    "      imports the attendees of FILE (CSV or XLSX) into the event NAME of the\n"
    "      database TARGET (a database folder or file), making the event when none\n"
    "      has that name. Columns are matched to fields by their headers; --map\n"
    "      sets a field's column (FIELD= leaves the field out). Duplicates (the same\n"
    "      e-mail, else the same names) are skipped unless told otherwise. All or\n"
    "      nothing: a refused row (named with its line and reason) imports nothing.\n",
    import,
};
