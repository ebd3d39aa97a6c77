#include "CardCommands.h"

#include "CardLayout.h"
#include "CardPhoto.h"
#include "CardPrint.h"
#include "CardWidget.h"
#include "CardWindow.h"
#include "CardWindows.h"
#include "bindings/CommandRunner.h"
#include "core/AppContext.h"
#include "core/AppError.h"
#include "core/Dialogs.h"
#include "core/ModGen.h"
#include "core/Twips.h"
#include "data/CardPrintLog.h"
#include "data/Database.h"

#include <QComboBox>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

namespace {

// The photo is printed from its file at this resolution at most: sharp on a
// card printer, small and quick in a PDF.
constexpr double PhotoDpi = 300.0;

void selectCardSize()
{
    Dialogs::instance().message(nullptr, QStringLiteral("Select ID Card Size from the Toolbar"),
                                QStringLiteral("Select ID Card Size"), MsgButtons::Ok, MsgIcon::Information);
}

} // namespace

CardCommands::CardCommands(const AppContext &context, CardWindows *windows, QComboBox *cboIDSize,
                           std::function<QString()> photoFile, QWidget *owner)
    : QObject(owner), m_context(context), m_windows(windows), m_cboIDSize(cboIDSize), m_owner(owner),
      m_photoFile(std::move(photoFile))
{
    setObjectName(QStringLiteral("cardCommands"));
}

CardCommands::~CardCommands() = default;

QPrinter *CardCommands::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_printer.get();
}

bool CardCommands::noPrinterInstalled()
{
    return !m_context.installedPrinters || m_context.installedPrinters().isEmpty();
}

CardWindow *CardCommands::chosenWindow()
{
    return m_windows->forSizeIndex(m_cboIDSize ? m_cboIDSize->currentIndex() : -1);
}

void CardCommands::preview()
{
    CommandRunner(m_owner).ignoring([this] {
        CardWindow *window = chosenWindow();
        if (!window) {
            selectCardSize();
            return;
        }
        window->showOverOwner();
    });
}

void CardCommands::printIDCard()
{
    // Every step on its own: a step that fails is skipped and the rest still run.
    if (noPrinterInstalled()) {
        Dialogs::instance().message(m_owner,
                                    QStringLiteral("No Defualt Printer has been set up in this system\r"
                                                   "Please set up a printer and try again later"),
                                    QStringLiteral("Printer Not Found"), MsgButtons::Ok, MsgIcon::Critical);
        return;
    }
    CardWindow *window = nullptr;
    ignoreErrors([&] { window = chosenWindow(); });
    if (!window) {
        selectCardSize();
        return;
    }
    const qint64 attendee = m_attendeeKey ? m_attendeeKey() : 0;
    if (attendee > 0 && !confirmAnotherCard(attendee))
        return;
    ignoreErrors([&] {
        if (window->isVisible())
            window->hide();
    });

    QPrinter *out = printer();
    ignoreErrors([&] {
        // The printer of an earlier print may have gone since (or none was there
        // when the session began): the default printer takes over.
        if (out->outputFormat() == QPrinter::NativeFormat && QPrinterInfo::printerInfo(out->printerName()).isNull())
            out->setPrinterName(QPrinterInfo::defaultPrinterName());
    });
    ignoreErrors([&] { out->setDocName(window->windowTitle().remove(QStringLiteral(" 100%"))); });

    CardFace face = window->card()->face();
    // The card's photo was decoded for the screen; the page gets it from its file
    // at the page's resolution, the same picture, only sharper.
    ignoreErrors([&] {
        const QString file = m_photoFile ? m_photoFile() : QString();
        const CardElement *box = window->card()->layout().element(QStringLiteral("imgPic"));
        if (file.isEmpty() || !box || face.photo.isNull())
            return;
        const double dpi = std::min(PhotoDpi, double(out->resolution()));
        const QImage sharp = CardPhoto::load(file, Twips::toPixelSize(box->twips.size(), dpi, dpi));
        if (!sharp.isNull())
            face.photo = sharp;
    });
    bool printed = false;
    ignoreErrors([&] { printed = CardPrint::print(window->card()->layout(), face, *out); });
    if (printed && attendee > 0)
        recordPrint(attendee, m_cboIDSize ? m_cboIDSize->currentText() : QString(), *out);
}

bool CardCommands::confirmAnotherCard(qint64 attendeeId)
{
    std::optional<CardPrintRecord> last;
    CommandRunner(m_owner).reporting({QString(), MsgIcon::Critical, true}, [&] {
        last = CardPrintLog::last(*Database::sharedByDesk(m_context.databaseLocation(), m_context.desk), attendeeId);
    });
    if (!last)
        return true;
    const QString printer = last->printer.isEmpty() ? QString() : QStringLiteral(" on the printer %1").arg(last->printer);
    const QString text = QStringLiteral("A card for this attendee was already printed on %1 at the desk %2%3.\r\r"
                                        "Print another card?")
                             .arg(last->printed.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")), last->desk,
                                  printer);
    return Dialogs::instance().message(m_owner, text, QStringLiteral("Card Already Printed"), MsgButtons::YesNo,
                                       MsgIcon::Question, MsgAnswer::No)
           == MsgAnswer::Yes;
}

void CardCommands::recordPrint(qint64 attendeeId, const QString &cardSize, const QPrinter &printer)
{
    // The card is in the printer's hands: a failure to record it is said, the card stays printed.
    const QString name = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : printer.printerName();
    const bool recorded = CommandRunner(m_owner).reporting({QString(), MsgIcon::Exclamation, true}, [&] {
        CardPrintLog::record(*Database::sharedByDesk(m_context.databaseLocation(), m_context.desk), attendeeId, cardSize, name,
                             modGen::getMachineName());
    });
    if (recorded)
        emit cardPrinted(attendeeId);
}

void CardCommands::mnuFilePrint_Click()
{
    bool chosen = false;
    ignoreErrors([&] { chosen = Dialogs::instance().printer(m_owner, printer(), QStringLiteral("Print ID Card")); });
    if (chosen) {
        printIDCard();
        return;
    }
    // Cancelling is reported as an error of the dialog, with the platform's words.
    Dialogs::instance().message(m_owner, QStringLiteral("Printing was cancelled.") + QStringLiteral("\rID Will not be printed"),
                                QStringLiteral("Print ID Card"), MsgButtons::Ok, MsgIcon::Information);
    // Nothing was started, so no job is pending: nothing to discard.
}
