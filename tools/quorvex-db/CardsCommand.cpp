#include "ToolCommand.h"

#include "core/AppError.h"
#include "data/Database.h"
#include "data/PhotoStore.h"
#include "exchange/EventDirectory.h"
#include "idcard/CardBatch.h"
#include "idcard/CardLayout.h"
#include "idcard/CardSelection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>

namespace {

// "3 X 4" and "2 1/4 X 3.5", spaced and lettered as typed on a command line.
std::optional<CardLayout> layoutNamed(const QString &size)
{
    const QString typed = size.simplified().toUpper().remove(QLatin1Char(' '));
    for (const CardLayout &layout : {CardLayout::card3x4(), CardLayout::card2x35()})
        if (QString(layout.name).remove(QLatin1Char(' ')).toUpper() == typed)
            return layout;
    return std::nullopt;
}

int printCards(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QString event;
    QString size;
    std::optional<CardSheet::Paper> sheet;
    bool unprinted = false;
    bool markPrinted = false;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (arg == u"--event" && hasValue) {
            event = args.at(++i);
        } else if (arg == u"--size" && hasValue) {
            size = args.at(++i);
        } else if (arg == u"--sheet" && hasValue) {
            CardSheet::Paper paper;
            if (!CardSheet::paperFromName(args.at(++i), paper)) {
                err << "quorvex-db: cards --sheet takes a4 or letter, not \"" << args.at(i) << "\".\n";
                return tool::WrongCommandLine;
            }
            sheet = paper;
        } else if (arg == u"--unprinted") {
            unprinted = true;
        } else if (arg == u"--mark-printed") {
            markPrinted = true;
        } else if (arg.startsWith(QStringLiteral("--"))) {
            err << "quorvex-db: cards does not know \"" << arg << "\" (or it lacks its value).\n";
            return tool::WrongCommandLine;
        } else {
            positional << arg;
        }
    }
    if (positional.size() != 2 || event.trimmed().isEmpty() || size.isEmpty()) {
        err << "quorvex-db: cards needs TARGET, --event NAME, --size SIZE and FILE.pdf.\n";
        return tool::WrongCommandLine;
    }
    const std::optional<CardLayout> layout = layoutNamed(size);
    if (!layout) {
        err << "quorvex-db: cards --size takes \"3 X 4\" or \"2 1/4 X 3.5\", not \"" << size << "\".\n";
        return tool::WrongCommandLine;
    }
    const QString file = QFileInfo(positional.at(1)).absoluteFilePath();
    // The PDF is written beside its name and put in place when whole, so a failed
    // or interrupted run never leaves half a batch under the name a script expects.
    const QString partial = file + QStringLiteral(".part");
    try {
        const QString location = tool::databaseLocation(positional.at(0));
        auto db = Database::openSeparate(location);
        const auto found = EventDirectory::findByName(*db, event);
        if (!found)
            return tool::fail(err, QStringLiteral("no event is named \"%1\". Give the name the Event Form shows.")
                                       .arg(event.trimmed()));
        const QList<qint64> keys = CardSelection::keys(
            *db, found->id, unprinted ? CardSelection::Who::Unprinted : CardSelection::Who::All);
        if (keys.isEmpty()) {
            out << "No card to print: \"" << found->name << "\" has no attendee of those chosen. Nothing was written.\n";
            return tool::Success;
        }
        auto photos = PhotoStore::forLocation(location);
        CardBatch batch(*db, *photos, QString(), *layout, sheet);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(partial);
        printer.setDocName(QStringLiteral("%1 cards").arg(found->name));
        printer.setCreator(QStringLiteral("Quorvex"));
        QList<qint64> drawn;
        batch.pageDone = [&drawn](const QList<qint64> &onPage) { drawn += onPage; };
        const CardBatch::Result result = batch.print(printer, keys);
        QFile::remove(file);
        if (!QFile::rename(partial, file))
            throw AppError(-1, QStringLiteral("cards"),
                           QStringLiteral("the cards could not be written to %1. Check that the folder can be written.")
                               .arg(QDir::toNativeSeparators(file)));
        // Recorded once the file is whole: a run that fails records nothing.
        if (markPrinted)
            CardBatch::recordPrinted(*db, drawn, layout->name,
                                     QDir::toNativeSeparators(file));
        out << "Wrote " << result.drawn << (result.drawn == 1 ? " card" : " cards") << " of \"" << found->name
            << "\" on " << result.pages << (result.pages == 1 ? " page" : " pages") << " to "
            << QDir::toNativeSeparators(file) << (markPrinted ? ", recorded as printed" : "") << "\n";
    } catch (const AppError &error) {
        QFile::remove(partial);
        return tool::fail(err, error.description());
    }
    return tool::Success;
}

} // namespace

const ToolCommand CardsCommand {
    "cards",
    "  cards TARGET --event NAME --size SIZE [--sheet a4|letter] [--unprinted] [--mark-printed] FILE.pdf\n"
    "      draws the ID cards of the event NAME into FILE.pdf, in the order of the\n"
    "      attendees' keys: one page of the card's size per card, or with --sheet\n"
    "      as many as fit on each A4 or Letter sheet, with crop marks. SIZE is\n"
    "      \"3 X 4\" or \"2 1/4 X 3.5\". --unprinted leaves out the attendees whose\n"
    "      card was printed; --mark-printed records the cards written as printed.\n",
    printCards,
};
