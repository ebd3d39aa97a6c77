#include "ImportDialog.h"

#include "BackgroundJob.h"
#include "ColumnChoices.h"
#include "core/AppContext.h"
#include "core/Dialogs.h"
#include "data/Database.h"
#include "exchange/AttendeeImport.h"
#include "exchange/EventDirectory.h"
#include "exchange/FieldMatcher.h"
#include "exchange/SheetReader.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString Title = QStringLiteral("Import Attendees");

QRadioButton *radio(const QString &name, const QString &caption, QWidget *parent)
{
    auto *button = new QRadioButton(caption, parent);
    button->setObjectName(name);
    return button;
}

} // namespace

ImportDialog::ImportDialog(AppContext &context, const Event &current, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
    , m_current(current)
    , m_job(new BackgroundJob(this))
    , m_progressTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(Title);
    setAccessibleName(Title);

    auto *lblFile = new QLabel(QStringLiteral("&File:"), this);
    m_txtFile = new QLineEdit(this);
    m_txtFile->setObjectName(QStringLiteral("txtFile"));
    m_txtFile->setAccessibleName(QStringLiteral("File"));
    m_txtFile->setPlaceholderText(QStringLiteral("a .csv or .xlsx file of attendees"));
    lblFile->setBuddy(m_txtFile);
    m_cmdBrowse = new QPushButton(QStringLiteral("&Browse..."), this);
    m_cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    m_lblFormat = new QLabel(this);
    m_lblFormat->setObjectName(QStringLiteral("lblFormat"));

    auto *into = new QGroupBox(QStringLiteral("Into"), this);
    m_optCurrent = radio(QStringLiteral("optCurrent"), QStringLiteral("The &current event: %1").arg(current.name), into);
    m_optNamed = radio(QStringLiteral("optNamed"), QStringLiteral("The e&vent named:"), into);
    m_cboEvent = new QComboBox(into);
    m_cboEvent->setObjectName(QStringLiteral("cboEvent"));
    m_cboEvent->setEditable(true);
    m_cboEvent->setAccessibleName(QStringLiteral("Event name (a new event is made when none has it)"));
    m_cboEvent->setToolTip(QStringLiteral("Pick an event or type a new name: a new event is made when none has it."));
    m_cboEvent->setMinimumContentsLength(24);
    auto *intoLayout = new QGridLayout(into);
    intoLayout->addWidget(m_optCurrent, 0, 0, 1, 2);
    intoLayout->addWidget(m_optNamed, 1, 0);
    intoLayout->addWidget(m_cboEvent, 1, 1);
    intoLayout->setColumnStretch(1, 1);
    m_optCurrent->setEnabled(current.id != 0);
    (current.id != 0 ? m_optCurrent : m_optNamed)->setChecked(true);

    auto *columnsBox = new QGroupBox(QStringLiteral("Columns: the field each one fills"), this);
    m_columns = new ColumnChoices(columnsBox);
    auto *scroll = new QScrollArea(columnsBox);
    scroll->setWidget(m_columns);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto *columnsLayout = new QVBoxLayout(columnsBox);
    columnsLayout->addWidget(scroll);

    auto *previewBox = new QGroupBox(QStringLiteral("First rows"), this);
    m_tblPreview = new QTableWidget(previewBox);
    m_tblPreview->setObjectName(QStringLiteral("tblPreview"));
    m_tblPreview->setAccessibleName(QStringLiteral("First rows of the file"));
    m_tblPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tblPreview->setWordWrap(false);
    auto *previewLayout = new QVBoxLayout(previewBox);
    previewLayout->addWidget(m_tblPreview);

    auto *duplicates = new QGroupBox(QStringLiteral("An attendee already there (same e-mail, or same names)"), this);
    m_optSkip = radio(QStringLiteral("optSkip"), QStringLiteral("&Skip the row"), duplicates);
    m_optUpdate = radio(QStringLiteral("optUpdate"), QStringLiteral("&Update the attendee from the row"), duplicates);
    m_optAdd = radio(QStringLiteral("optAdd"), QStringLiteral("&Add the row anyway"), duplicates);
    m_optSkip->setChecked(true);
    auto *duplicatesLayout = new QHBoxLayout(duplicates);
    for (QRadioButton *button : {m_optSkip, m_optUpdate, m_optAdd})
        duplicatesLayout->addWidget(button);
    duplicatesLayout->addStretch(1);

    m_prgWork = new QProgressBar(this);
    m_prgWork->setObjectName(QStringLiteral("prgWork"));
    m_prgWork->setAccessibleName(QStringLiteral("Progress"));
    m_prgWork->hide();
    m_lblStatus = new QLabel(this);
    m_lblStatus->setObjectName(QStringLiteral("lblStatus"));
    m_txtReport = new QPlainTextEdit(this);
    m_txtReport->setObjectName(QStringLiteral("txtReport"));
    m_txtReport->setAccessibleName(QStringLiteral("Import report"));
    m_txtReport->setReadOnly(true);
    m_txtReport->setMaximumHeight(140);
    m_txtReport->hide();

    m_cmdImport = new QPushButton(QStringLiteral("&Import"), this);
    m_cmdImport->setObjectName(QStringLiteral("cmdImport"));
    m_cmdImport->setDefault(true);
    m_cmdImport->setEnabled(false);
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(lblFile);
    fileRow->addWidget(m_txtFile, 1);
    fileRow->addWidget(m_cmdBrowse);
    auto *middle = new QHBoxLayout;
    middle->addWidget(columnsBox, 2);
    middle->addWidget(previewBox, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_prgWork, 1);
    buttons->addWidget(m_lblStatus, 1);
    buttons->addWidget(m_cmdImport);
    buttons->addWidget(m_cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addWidget(m_lblFormat);
    layout->addWidget(into);
    layout->addLayout(middle, 1);
    layout->addWidget(duplicates);
    layout->addWidget(m_txtReport);
    layout->addLayout(buttons);
    resize(980, 640);

    refreshEvents();
    connect(m_cmdBrowse, &QPushButton::clicked, this, &ImportDialog::browse);
    connect(m_txtFile, &QLineEdit::returnPressed, this, [this] { loadFile(m_txtFile->text().trimmed()); });
    connect(m_cmdImport, &QPushButton::clicked, this, &ImportDialog::startImport);
    connect(m_cmdCancel, &QPushButton::clicked, this, &ImportDialog::reject);
    connect(m_cboEvent, &QComboBox::editTextChanged, this, [this] { m_optNamed->setChecked(true); });
    connect(m_columns, &ColumnChoices::mappingChanged, this, &ImportDialog::showPreview);
    connect(m_progressTimer, &QTimer::timeout, this, &ImportDialog::showProgress);
    m_progressTimer->setInterval(100);
}

ImportDialog::~ImportDialog() = default;

void ImportDialog::refreshEvents()
{
    m_cboEvent->blockSignals(true);
    m_cboEvent->clear();
    try {
        auto db = Database::sharedByDesk(m_context.databaseLocation(), m_context.desk);
        for (const EventDirectory::Event &event : EventDirectory::list(*db))
            if (event.id != m_current.id)
                m_cboEvent->addItem(event.name);
    } catch (const AppError &) {
        // The list only helps typing; the import names the problem if there is one.
    }
    m_cboEvent->setCurrentText(QString());
    m_cboEvent->blockSignals(false);
}

void ImportDialog::browse()
{
    const QString folder = m_txtFile->text().isEmpty() ? QDir::homePath()
                                                       : QFileInfo(m_txtFile->text()).absolutePath();
    const QString file = Dialogs::instance().openFile(
        this, Title, folder,
        QStringLiteral("Attendee lists (*.csv, *.xlsx, *.txt)|*.csv;*.xlsx;*.txt|All files (*.*)|*.*"),
        QStringLiteral("csv"));
    if (!file.isEmpty())
        loadFile(file);
}

void ImportDialog::setRunning(bool running, const QString &what)
{
    m_cmdBrowse->setEnabled(!running);
    m_txtFile->setReadOnly(running);
    m_cmdImport->setEnabled(!running && m_table && !m_imported);
    m_cmdCancel->setText(running || !m_imported ? QStringLiteral("Cancel") : QStringLiteral("Close"));
    m_cmdCancel->setEnabled(true);
    m_prgWork->setVisible(running);
    m_prgWork->setRange(0, 0);
    m_lblStatus->setText(what);
    if (running)
        m_progressTimer->start();
    else
        m_progressTimer->stop();
}

void ImportDialog::showProgress()
{
    const ExchangeProgress &progress = m_job->progress();
    if (progress.total > 0) {
        m_prgWork->setRange(0, progress.total);
        m_prgWork->setValue(progress.done);
    }
}

void ImportDialog::showError(const QString &text)
{
    Dialogs::instance().message(this, text, Title, MsgButtons::Ok, MsgIcon::Exclamation);
}

void ImportDialog::loadFile(const QString &file)
{
    if (file.isEmpty() || m_job->isRunning())
        return;
    m_txtFile->setText(QDir::toNativeSeparators(file));
    m_table.reset();
    m_report.reset();
    m_txtReport->hide();
    m_reading = std::make_shared<SheetTable>();
    auto target = m_reading;
    m_job->start([target, file](ExchangeProgress &) { *target = SheetReader::read(file); });
    disconnect(m_job, &BackgroundJob::finished, this, nullptr);
    connect(m_job, &BackgroundJob::finished, this, &ImportDialog::readFinished);
    setRunning(true, QStringLiteral("Reading the file..."));
}

void ImportDialog::readFinished()
{
    const bool cancelled = m_job->progress().cancelled;
    setRunning(false, cancelled ? QStringLiteral("Cancelled.") : QString());
    if (cancelled || m_job->error()) {
        m_columns->setColumns({}, {});
        m_tblPreview->clear();
        m_lblFormat->clear();
        if (!cancelled)
            showError(m_job->error()->description());
        return;
    }
    m_table = m_reading;
    m_columns->setColumns(m_table->header, FieldMatcher::guess(m_table->header));
    m_lblFormat->setText(QStringLiteral("%1; %2 rows below the header.").arg(m_table->format).arg(m_table->rows.size()));
    showPreview();
    setRunning(false, QString());
}

void ImportDialog::showPreview()
{
    if (!m_table)
        return;
    const QStringList mapping = m_columns->mapping();
    const int rows = int(qMin<size_t>(PreviewRows, m_table->rows.size()));
    m_tblPreview->clear();
    m_tblPreview->setColumnCount(int(m_table->header.size()));
    m_tblPreview->setRowCount(rows);
    QStringList headers;
    for (qsizetype i = 0; i < m_table->header.size(); ++i)
        headers << m_table->header.at(i).simplified() + QStringLiteral("\n→ ") + ColumnChoices::caption(mapping.value(i));
    m_tblPreview->setHorizontalHeaderLabels(headers);
    QStringList lines;
    for (int r = 0; r < rows; ++r) {
        const SheetRow &row = m_table->rows.at(size_t(r));
        lines << QString::number(row.line);
        for (qsizetype c = 0; c < row.cells.size() && c < m_table->header.size(); ++c) {
            auto *item = new QTableWidgetItem(row.cells.at(c).simplified());
            item->setToolTip(row.cells.at(c));
            if (mapping.value(c).isEmpty())
                item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
            m_tblPreview->setItem(r, int(c), item);
        }
    }
    m_tblPreview->setVerticalHeaderLabels(lines);
    m_tblPreview->resizeColumnsToContents();
    for (int c = 0; c < m_tblPreview->columnCount(); ++c)
        m_tblPreview->setColumnWidth(c, qMin(m_tblPreview->columnWidth(c), 220));
}

void ImportDialog::startImport()
{
    if (!m_table || m_job->isRunning())
        return;
    ImportOptions options;
    if (m_optCurrent->isChecked()) {
        options.eventId = m_current.id;
    } else {
        options.eventName = m_cboEvent->currentText().trimmed();
        if (options.eventName.isEmpty()) {
            showError(QStringLiteral("Type the name of the event to import into, or choose the current event."));
            m_cboEvent->setFocus();
            return;
        }
    }
    options.mapping = m_columns->mapping();
    options.duplicates = m_optUpdate->isChecked() ? DuplicateChoice::Update
                         : m_optAdd->isChecked()  ? DuplicateChoice::Add
                                                  : DuplicateChoice::Skip;
    auto table = m_table;
    auto report = std::make_shared<ImportReport>();
    const QString location = m_context.databaseLocation();
    m_job->start([table, options, report, location](ExchangeProgress &progress) {
        auto db = Database::openSeparate(location);
        *report = AttendeeImport::run(*db, *table, options, &progress);
    });
    disconnect(m_job, &BackgroundJob::finished, this, nullptr);
    connect(m_job, &BackgroundJob::finished, this, [this, report] {
        m_report = *report;
        importFinished();
    });
    m_txtReport->hide();
    setRunning(true, QStringLiteral("Importing..."));
}

void ImportDialog::importFinished()
{
    if (m_job->error()) {
        m_report.reset();
        setRunning(false, m_job->wasCancelled() ? m_job->error()->description() : QString());
        if (!m_job->wasCancelled())
            showError(m_job->error()->description());
        return;
    }
    if (m_report->written)
        m_imported = m_report;
    m_txtReport->setPlainText(m_report->text());
    m_txtReport->show();
    setRunning(false, m_report->written ? QStringLiteral("Imported.") : QStringLiteral("Nothing was imported."));
    (m_imported ? static_cast<QWidget *>(m_cmdCancel) : m_txtReport)->setFocus();
}

void ImportDialog::reject()
{
    // Cancel (or Esc) while working stops the work and keeps the window, which then
    // says that nothing was written; the next Cancel closes it.
    if (m_job->isRunning()) {
        m_job->cancel();
        m_cmdCancel->setEnabled(false);
        m_lblStatus->setText(QStringLiteral("Cancelling..."));
        return;
    }
    if (m_imported)
        accept();
    else
        QDialog::reject();
}
