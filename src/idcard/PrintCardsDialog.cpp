#include "PrintCardsDialog.h"

#include "CardBatch.h"
#include "CardLayout.h"
#include "core/AppContext.h"
#include "core/AppError.h"
#include "core/Dialogs.h"
#include "data/Database.h"
#include "data/PhotoStore.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace {

const QString Title = QStringLiteral("Print Cards");

QRadioButton *option(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new QRadioButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

} // namespace

PrintCardsDialog::PrintCardsDialog(const AppContext &context, const Event &event,
                                   std::function<QList<qint64>()> selectedKeys, int cardSizeIndex, QWidget *parent)
    : QDialog(parent), m_context(context), m_event(event), m_selectedKeys(std::move(selectedKeys))
{
    setObjectName(QStringLiteral("frmPrintCards"));
    setWindowTitle(Title);
    setAccessibleName(Title);

    m_optAll = option(this, "optAll", QStringLiteral("&All attendees of the event"));
    m_optSelected = option(this, "optSelected", QStringLiteral("Those s&elected in the datasheet"));
    m_optUnprinted = option(this, "optUnprinted", QStringLiteral("Those &without a printed card"));
    m_optCheckedIn = option(this, "optCheckedIn", QStringLiteral("Those checked &in without a printed card"));
    m_who = new QButtonGroup(this);
    m_who->addButton(m_optAll, int(CardSelection::Who::All));
    m_who->addButton(m_optSelected, int(CardSelection::Who::Selected));
    m_who->addButton(m_optUnprinted, int(CardSelection::Who::Unprinted));
    m_who->addButton(m_optCheckedIn, int(CardSelection::Who::CheckedInUnprinted));
    auto *whoBox = new QVBoxLayout;
    for (QAbstractButton *button : m_who->buttons())
        whoBox->addWidget(button);
    // On the form the "selection" is the attendee shown: the whole event is the
    // likelier wish then; several lines chosen in the datasheet are the choice.
    const qsizetype selected = m_selectedKeys ? m_selectedKeys().size() : 0;
    m_optSelected->setEnabled(selected > 0);
    m_optSelected->setToolTip(QStringLiteral("With the form shown: the attendee on it"));
    (selected > 1 ? m_optSelected : m_optAll)->setChecked(true);

    m_cboCardSize = new QComboBox(this);
    m_cboCardSize->setObjectName(QStringLiteral("cboCardSize"));
    m_cboCardSize->setAccessibleName(QStringLiteral("Card size"));
    m_cboCardSize->addItems({QStringLiteral("3 X 4"), QStringLiteral("2 1/4 X 3.5")});
    m_cboCardSize->setCurrentIndex(cardSizeIndex == 1 ? 1 : 0);

    m_optOnePerPage = option(this, "optOnePerPage", QStringLiteral("&One card per page (card printer)"));
    m_optOnePerPage->setChecked(true);
    m_optSheets = option(this, "optSheets", QStringLiteral("S&heets with crop marks, paper:"));
    m_cboPaper = new QComboBox(this);
    m_cboPaper->setObjectName(QStringLiteral("cboPaper"));
    m_cboPaper->setAccessibleName(QStringLiteral("Sheet paper"));
    m_cboPaper->addItems({QStringLiteral("A4"), QStringLiteral("Letter")});
    auto *pages = new QButtonGroup(this);
    pages->addButton(m_optOnePerPage);
    pages->addButton(m_optSheets);
    auto *sheetRow = new QHBoxLayout;
    sheetRow->addWidget(m_optSheets);
    sheetRow->addWidget(m_cboPaper);
    sheetRow->addStretch();
    auto *pagesBox = new QVBoxLayout;
    pagesBox->addWidget(m_optOnePerPage);
    pagesBox->addLayout(sheetRow);

    m_cboPrinter = new QComboBox(this);
    m_cboPrinter->setObjectName(QStringLiteral("cboPrinter"));
    m_cboPrinter->setAccessibleName(QStringLiteral("Printer"));
    m_cboPrinter->setMinimumContentsLength(24);
    if (m_context.installedPrinters)
        m_cboPrinter->addItems(m_context.installedPrinters());
    m_cboPrinter->addItem(pdfFileItem());
    m_txtFile = new QLineEdit(this);
    m_txtFile->setObjectName(QStringLiteral("txtFile"));
    m_txtFile->setAccessibleName(QStringLiteral("PDF file"));
    m_txtFile->setPlaceholderText(QStringLiteral("the PDF file to write"));
    m_cmdBrowse = new QPushButton(QStringLiteral("&Browse..."), this);
    m_cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(m_txtFile, 1);
    fileRow->addWidget(m_cmdBrowse);

    auto *form = new QFormLayout;
    form->addRow(new QLabel(QStringLiteral("Print the cards of:"), this), whoBox);
    auto *lblSize = new QLabel(QStringLiteral("Card si&ze:"), this);
    lblSize->setBuddy(m_cboCardSize);
    form->addRow(lblSize, m_cboCardSize);
    form->addRow(new QLabel(QStringLiteral("Pages:"), this), pagesBox);
    auto *lblPrinter = new QLabel(QStringLiteral("&Printer:"), this);
    lblPrinter->setBuddy(m_cboPrinter);
    form->addRow(lblPrinter, m_cboPrinter);
    auto *lblFile = new QLabel(QStringLiteral("PDF &file:"), this);
    lblFile->setBuddy(m_txtFile);
    form->addRow(lblFile, fileRow);

    m_lblCount = new QLabel(this);
    m_lblCount->setObjectName(QStringLiteral("lblCount"));
    m_lblCount->setWordWrap(true);
    m_prgCards = new QProgressBar(this);
    m_prgCards->setObjectName(QStringLiteral("prgCards"));
    m_prgCards->setAccessibleName(QStringLiteral("Cards printed"));
    m_prgCards->setFormat(QStringLiteral("%v of %m"));
    m_prgCards->hide();
    m_cmdPrint = new QPushButton(QStringLiteral("P&rint"), this);
    m_cmdPrint->setObjectName(QStringLiteral("cmdPrint"));
    m_cmdPrint->setDefault(true);
    m_cmdCancel = new QPushButton(QStringLiteral("Close"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_prgCards, 1);
    buttons->addStretch();
    buttons->addWidget(m_cmdPrint);
    buttons->addWidget(m_cmdCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addWidget(m_lblCount);
    layout->addLayout(buttons);
    resize(qMax(520, sizeHint().width()), sizeHint().height());

    connect(m_who, &QButtonGroup::idClicked, this, &PrintCardsDialog::updateChoices);
    connect(pages, &QButtonGroup::buttonClicked, this, &PrintCardsDialog::updateChoices);
    connect(m_cboCardSize, &QComboBox::currentIndexChanged, this, &PrintCardsDialog::updateChoices);
    connect(m_cboPaper, &QComboBox::currentIndexChanged, this, [this] {
        m_optSheets->setChecked(true);
        updateChoices();
    });
    connect(m_cboPrinter, &QComboBox::currentIndexChanged, this, &PrintCardsDialog::updateChoices);
    connect(m_cmdBrowse, &QPushButton::clicked, this, &PrintCardsDialog::browse);
    connect(m_cmdPrint, &QPushButton::clicked, this, &PrintCardsDialog::startPrinting);
    connect(m_cmdCancel, &QPushButton::clicked, this, &PrintCardsDialog::reject);
    updateChoices();
}

CardSelection::Who PrintCardsDialog::who() const
{
    return CardSelection::Who(m_who->checkedId());
}

void PrintCardsDialog::updateChoices()
{
    const bool toFile = m_cboPrinter->currentText() == pdfFileItem();
    m_txtFile->setEnabled(toFile && !m_running);
    m_cmdBrowse->setEnabled(toFile && !m_running);
    if (m_running)
        return;
    try {
        auto db = Database::sharedByDesk(m_context.databaseLocation(), m_context.desk);
        const QList<qint64> keys =
            CardSelection::keys(*db, m_event.id, who(), m_selectedKeys ? m_selectedKeys() : QList<qint64>());
        const CardLayout layout = m_cboCardSize->currentIndex() == 1 ? CardLayout::card2x35() : CardLayout::card3x4();
        const CardSheet sheet(m_cboPaper->currentIndex() == 1 ? CardSheet::Paper::Letter : CardSheet::Paper::A4,
                              layout.twips);
        QString text = keys.size() == 1 ? QStringLiteral("1 card") : QStringLiteral("%1 cards").arg(keys.size());
        if (m_optSheets->isChecked())
            text += QStringLiteral(", %1 to a sheet").arg(sheet.perSheet());
        if (const qsizetype before = CardSelection::printedAmong(*db, m_event.id, keys).size())
            text += QStringLiteral("; %1 of them printed before").arg(before);
        m_lblCount->setText(text + QLatin1Char('.'));
    } catch (const AppError &error) {
        m_lblCount->setText(error.description());
    }
}

void PrintCardsDialog::browse()
{
    QString suggested = m_event.name + QStringLiteral(" cards.pdf");
    suggested.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral("_"));
    const QString shown = m_txtFile->text().trimmed();
    const QString folder = shown.isEmpty() ? QDir::homePath() : QFileInfo(shown).absolutePath();
    const QString file = Dialogs::instance().saveFile(this, Title, QDir(folder).filePath(suggested),
                                                      QStringLiteral("PDF file (*.pdf)|*.pdf"), QStringLiteral("pdf"));
    if (!file.isEmpty())
        m_txtFile->setText(QDir::toNativeSeparators(file));
}

void PrintCardsDialog::setRunning(bool running)
{
    m_running = running;
    for (QWidget *input : {static_cast<QWidget *>(m_optAll), static_cast<QWidget *>(m_optUnprinted),
                           static_cast<QWidget *>(m_optCheckedIn), static_cast<QWidget *>(m_cboCardSize),
                           static_cast<QWidget *>(m_optOnePerPage), static_cast<QWidget *>(m_optSheets),
                           static_cast<QWidget *>(m_cboPaper), static_cast<QWidget *>(m_cboPrinter),
                           static_cast<QWidget *>(m_cmdPrint)})
        input->setEnabled(!running);
    m_optSelected->setEnabled(!running && m_selectedKeys && !m_selectedKeys().isEmpty());
    m_cmdCancel->setText(running ? QStringLiteral("Cancel") : QStringLiteral("Close"));
    m_prgCards->setVisible(running || m_prgCards->value() > 0);
    updateChoices();
}

void PrintCardsDialog::reject()
{
    // While printing, Cancel (and Esc, and the close box) stops after the card in hand.
    if (m_running) {
        m_stopAsked = true;
        m_cmdCancel->setEnabled(false);
        return;
    }
    QDialog::reject();
}

void PrintCardsDialog::startPrinting()
{
    if (m_running)
        return;
    const bool toFile = m_cboPrinter->currentText() == pdfFileItem();
    const QString file = QDir::fromNativeSeparators(m_txtFile->text().trimmed());
    if (toFile && file.isEmpty()) {
        Dialogs::instance().message(this, QStringLiteral("Choose the PDF file to write with Browse..., or type its name."),
                                    Title, MsgButtons::Ok, MsgIcon::Exclamation);
        m_txtFile->setFocus();
        return;
    }
    const CardLayout layout = m_cboCardSize->currentIndex() == 1 ? CardLayout::card2x35() : CardLayout::card3x4();
    std::optional<CardSheet::Paper> paper;
    if (m_optSheets->isChecked())
        paper = m_cboPaper->currentIndex() == 1 ? CardSheet::Paper::Letter : CardSheet::Paper::A4;

    try {
        auto db = Database::sharedByDesk(m_context.databaseLocation(), m_context.desk);
        QList<qint64> keys =
            CardSelection::keys(*db, m_event.id, who(), m_selectedKeys ? m_selectedKeys() : QList<qint64>());
        if (keys.isEmpty()) {
            Dialogs::instance().message(this, QStringLiteral("There is no card to print among the attendees chosen."),
                                        Title, MsgButtons::Ok, MsgIcon::Information);
            return;
        }

        // Nothing is printed twice by surprise: the cards printed before are counted first.
        const QList<qint64> before = CardSelection::printedAmong(*db, m_event.id, keys);
        if (!before.isEmpty()) {
            const int answer = Dialogs::instance().choose(
                this,
                QStringLiteral("%1 of these %2 cards were printed before.\nPrint them again, or leave them out?")
                    .arg(before.size())
                    .arg(keys.size()),
                Title, {QStringLiteral("Print &Again"), QStringLiteral("&Leave Them Out"), QStringLiteral("Cancel")},
                MsgIcon::Question, 1);
            if (answer == 2)
                return;
            if (answer == 1)
                keys = CardSelection::withoutPrinted(*db, m_event.id, keys);
            if (keys.isEmpty()) {
                Dialogs::instance().message(this, QStringLiteral("Every card chosen was printed before: nothing to print."),
                                            Title, MsgButtons::Ok, MsgIcon::Information);
                return;
            }
        }

        QPrinter printer(QPrinter::HighResolution);
        if (toFile) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file);
        } else {
            printer.setPrinterName(m_cboPrinter->currentText());
            // Qt falls back to a PDF file when the printer has gone since the list was made.
            if (printer.outputFormat() != QPrinter::NativeFormat || printer.printerName() != m_cboPrinter->currentText()) {
                Dialogs::instance().message(this,
                                            QStringLiteral("The printer \"%1\" is not there any more. Choose another "
                                                           "printer, or a PDF file.")
                                                .arg(m_cboPrinter->currentText()),
                                            Title, MsgButtons::Ok, MsgIcon::Exclamation);
                return;
            }
        }
        printer.setDocName(QStringLiteral("%1 cards").arg(m_event.name));
        printer.setCreator(QStringLiteral("Quorvex"));

        auto photos = PhotoStore::forLocation(m_context.databaseLocation());
        CardBatch batch(*db, *photos, m_context.appFolder, layout, paper);
        m_prgCards->setRange(0, int(keys.size()));
        m_prgCards->setValue(0);
        m_stopAsked = false;
        m_printed = 0;
        batch.keepGoing = [this](int drawn) {
            m_prgCards->setValue(drawn);
            // The Cancel button (and the window) stay alive between cards.
            QApplication::processEvents();
            return !m_stopAsked;
        };
        // As the single card records it: the PDF file's name, or the printer's.
        const QString printerName = toFile ? QDir::toNativeSeparators(file) : m_cboPrinter->currentText();
        // A page's cards are recorded when the page is complete, before the next one
        // begins: the job reaches the printer when it ends, a cancelled one too.
        batch.pageDone = [&](const QList<qint64> &onPage) {
            CardBatch::recordPrinted(*db, onPage, layout.name, printerName);
            m_printed += int(onPage.size());
        };
        setRunning(true);
        CardBatch::Result result;
        try {
            result = batch.print(printer, keys);
        } catch (const AppError &error) {
            setRunning(false);
            if (m_printed > 0)
                emit cardsPrinted();
            m_cmdCancel->setEnabled(true);
            m_lblCount->setText(QStringLiteral("Stopped after %1 cards; those are recorded as printed.").arg(m_printed));
            if (m_printed == 0)
                throw;
            throw AppError(error.number(), error.source(),
                           QStringLiteral("Printing stopped after %1 cards, which are recorded as printed.\n%2")
                               .arg(m_printed)
                               .arg(error.description()));
        }
        m_prgCards->setValue(result.drawn);
        setRunning(false);
        if (m_printed > 0)
            emit cardsPrinted();
        m_cmdCancel->setEnabled(true);
        QString done = result.stopped
            ? QStringLiteral("Stopped after %1 of %2 cards; those printed are recorded.").arg(result.drawn).arg(keys.size())
            : QStringLiteral("Printed %1 cards on %2 pages.").arg(result.drawn).arg(result.pages);
        if (result.missing > 0)
            done += QStringLiteral(" %1 attendees chosen were deleted meanwhile and not printed.").arg(result.missing);
        m_lblCount->setText(done);
    } catch (const AppError &error) {
        Dialogs::instance().message(this, error.description(), Title, MsgButtons::Ok, MsgIcon::Exclamation);
    }
}
