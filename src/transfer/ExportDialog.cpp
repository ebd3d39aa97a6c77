#include "ExportDialog.h"

#include "BackgroundJob.h"
#include "core/AppContext.h"
#include "core/Dialogs.h"
#include "data/Database.h"
#include "exchange/EventDirectory.h"
#include "exchange/EventExport.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString Title = QStringLiteral("Export");

} // namespace

ExportDialog::ExportDialog(AppContext &context, qint64 currentEvent, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
    , m_job(new BackgroundJob(this))
    , m_progressTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(Title);
    setAccessibleName(Title);

    m_cboEvent = new QComboBox(this);
    m_cboEvent->setObjectName(QStringLiteral("cboEvent"));
    m_cboEvent->setAccessibleName(QStringLiteral("Event"));
    m_cboEvent->setMinimumContentsLength(28);
    try {
        auto db = Database::sharedByDesk(m_context.databaseLocation(), m_context.desk);
        for (const EventDirectory::Event &event : EventDirectory::list(*db))
            m_cboEvent->addItem(event.name, event.id);
    } catch (const AppError &error) {
        m_cboEvent->setToolTip(error.description());
    }
    m_cboEvent->setCurrentIndex(qMax(0, m_cboEvent->findData(currentEvent)));

    m_optAttendees = new QRadioButton(QStringLiteral("&Attendees (every field)"), this);
    m_optAttendees->setObjectName(QStringLiteral("optAttendees"));
    m_optAttendees->setChecked(true);
    m_optDonations = new QRadioButton(QStringLiteral("&Donations && Fees (with the attendees' names)"), this);
    m_optDonations->setObjectName(QStringLiteral("optDonations"));
    auto *what = new QVBoxLayout;
    what->addWidget(m_optAttendees);
    what->addWidget(m_optDonations);

    m_txtFile = new QLineEdit(this);
    m_txtFile->setObjectName(QStringLiteral("txtFile"));
    m_txtFile->setAccessibleName(QStringLiteral("File"));
    m_txtFile->setPlaceholderText(QStringLiteral("a file ending in .xlsx or .csv"));
    m_cmdBrowse = new QPushButton(QStringLiteral("&Browse..."), this);
    m_cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(m_txtFile, 1);
    fileRow->addWidget(m_cmdBrowse);

    auto *form = new QFormLayout;
    auto *lblEvent = new QLabel(QStringLiteral("&Event:"), this);
    lblEvent->setBuddy(m_cboEvent);
    form->addRow(lblEvent, m_cboEvent);
    form->addRow(new QLabel(QStringLiteral("What:"), this), what);
    auto *lblFile = new QLabel(QStringLiteral("&File:"), this);
    lblFile->setBuddy(m_txtFile);
    form->addRow(lblFile, fileRow);

    m_prgWork = new QProgressBar(this);
    m_prgWork->setObjectName(QStringLiteral("prgWork"));
    m_prgWork->setAccessibleName(QStringLiteral("Progress"));
    m_prgWork->hide();
    m_lblStatus = new QLabel(this);
    m_lblStatus->setObjectName(QStringLiteral("lblStatus"));
    m_lblStatus->setWordWrap(true);
    m_cmdExport = new QPushButton(QStringLiteral("E&xport"), this);
    m_cmdExport->setObjectName(QStringLiteral("cmdExport"));
    m_cmdExport->setDefault(true);
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_prgWork, 1);
    buttons->addStretch();
    buttons->addWidget(m_cmdExport);
    buttons->addWidget(m_cmdCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_lblStatus);
    layout->addLayout(buttons);
    resize(560, sizeHint().height());

    connect(m_cmdBrowse, &QPushButton::clicked, this, &ExportDialog::browse);
    connect(m_cmdExport, &QPushButton::clicked, this, &ExportDialog::startExport);
    connect(m_cmdCancel, &QPushButton::clicked, this, &ExportDialog::reject);
    connect(m_job, &BackgroundJob::finished, this, &ExportDialog::exportFinished);
    connect(m_progressTimer, &QTimer::timeout, this, [this] {
        if (m_job->progress().total > 0) {
            m_prgWork->setRange(0, m_job->progress().total);
            m_prgWork->setValue(m_job->progress().done);
        }
    });
    m_progressTimer->setInterval(100);
}

ExportDialog::~ExportDialog()
{
    delete m_job; // stops and waits for the work, which writes into this window
}

QString ExportDialog::suggestedFile() const
{
    QString name = m_cboEvent->currentText() + (m_optAttendees->isChecked() ? QStringLiteral(" attendees.xlsx")
                                                                            : QStringLiteral(" donations.xlsx"));
    name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral("_"));
    const QString shown = m_txtFile->text().trimmed();
    const QString folder = shown.isEmpty() ? QDir::homePath() : QFileInfo(shown).absolutePath();
    return QDir(folder).filePath(name);
}

void ExportDialog::browse()
{
    const QString file = Dialogs::instance().saveFile(
        this, Title, suggestedFile(),
        QStringLiteral("Excel workbook (*.xlsx)|*.xlsx|CSV, comma-separated (*.csv)|*.csv"), QStringLiteral("xlsx"));
    if (!file.isEmpty())
        m_txtFile->setText(QDir::toNativeSeparators(file));
}

void ExportDialog::setRunning(bool running, const QString &what)
{
    for (QWidget *input : {static_cast<QWidget *>(m_cboEvent), static_cast<QWidget *>(m_optAttendees),
                           static_cast<QWidget *>(m_optDonations), static_cast<QWidget *>(m_txtFile),
                           static_cast<QWidget *>(m_cmdBrowse), static_cast<QWidget *>(m_cmdExport)})
        input->setEnabled(!running);
    m_cmdCancel->setEnabled(true);
    m_cmdCancel->setText(m_done && !running ? QStringLiteral("Close") : QStringLiteral("Cancel"));
    m_prgWork->setVisible(running);
    m_prgWork->setRange(0, 0);
    m_lblStatus->setText(what);
    if (running)
        m_progressTimer->start();
    else
        m_progressTimer->stop();
}

void ExportDialog::startExport()
{
    if (m_job->isRunning())
        return;
    const QString file = QDir::fromNativeSeparators(m_txtFile->text().trimmed());
    if (m_cboEvent->currentIndex() < 0) {
        Dialogs::instance().message(this, QStringLiteral("There is no event to export. Add one in the Event Form."),
                                    Title, MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    if (file.isEmpty()) {
        Dialogs::instance().message(this, QStringLiteral("Choose the file to write with Browse..., or type its "
                                                         "name (ending in .xlsx or .csv)."),
                                    Title, MsgButtons::Ok, MsgIcon::Exclamation);
        m_txtFile->setFocus();
        return;
    }
    const qint64 event = m_cboEvent->currentData().toLongLong();
    const auto kind = m_optAttendees->isChecked() ? EventExport::Kind::Attendees : EventExport::Kind::Donations;
    const QString location = m_context.databaseLocation();
    m_done = false;
    m_job->start([this, event, kind, file, location](ExchangeProgress &progress) {
        auto db = Database::openSeparate(location);
        m_written = EventExport::write(*db, event, kind, file, &progress);
    });
    setRunning(true, QStringLiteral("Exporting..."));
}

void ExportDialog::exportFinished()
{
    if (m_job->error()) {
        const bool cancelled = m_job->wasCancelled();
        setRunning(false, cancelled ? m_job->error()->description() : QStringLiteral("Nothing was written."));
        if (!cancelled)
            Dialogs::instance().message(this, m_job->error()->description(), Title, MsgButtons::Ok,
                                        MsgIcon::Exclamation);
        return;
    }
    m_done = true;
    const bool people = m_optAttendees->isChecked();
    setRunning(false, QStringLiteral("Wrote %1 %2 to %3.")
                          .arg(m_written)
                          .arg(people ? QStringLiteral("attendees") : QStringLiteral("donations and fees"),
                               m_txtFile->text().trimmed()));
}

void ExportDialog::reject()
{
    if (m_job->isRunning()) {
        m_job->cancel();
        m_cmdCancel->setEnabled(false);
        m_lblStatus->setText(QStringLiteral("Cancelling..."));
        return;
    }
    QDialog::reject();
}
