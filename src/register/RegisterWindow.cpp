#include "RegisterWindow.h"

#include "AttendeePanel.h"
#include "RecordCommands.h"
#include "RecordDisplay.h"
#include "RegisterMenus.h"
#include "RegisterToolBar.h"
#include "AboutWindow.h"
#include "LiveRefresh.h"
#include "StartupSteps.h"
#include "core/AccessibleTitle.h"
#include "core/AppContext.h"
#include "core/AppError.h"
#include "core/Dialogs.h"
#include "core/ModGen.h"
#include "core/Twips.h"
#include "capture/CaptureControl.h"
#include "capture/PictureSnapper.h"
#include "capture/VideoMenus.h"
#include "capture/VideoPanel.h"
#include "checkin/CheckInDesk.h"
#include "checkin/CheckInPanel.h"
#include "checkin/ScanBox.h"
#include "bindings/DataControl.h"
#include "data/Database.h"
#include "data/AttendeeSearch.h"
#include "data/EventContents.h"
#include "data/Recordset.h"
#include "events/EventWindow.h"
#include "idcard/CardCommands.h"
#include "idcard/CardDesign.h"
#include "idcard/CardWindows.h"
#include "lists/DatasheetList.h"
#include "lists/DatasheetView.h"
#include "lists/DonationsGrid.h"
#include "lists/DonationsPanel.h"
#include "lists/FindDialog.h"
#include "lists/LookupLists.h"
#include "session/CardContent.h"
#include "session/CardDesignLoader.h"
#include "idcard/CalibrationDialog.h"
#include "idcard/PrintCardsDialog.h"
#include "transfer/ExportDialog.h"
#include "transfer/ImportDialog.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>

namespace {

// The original converted the event key with a type-conversion error for text.
constexpr int TypeMismatch = 13;

} // namespace

RegisterWindow::RegisterWindow(AppContext &context, QWidget *parent)
    : QMainWindow(parent)
    , m_context(context)
{
    setObjectName(QStringLiteral("frmRegister"));
    setAccessibleName(QStringLiteral("Attendee Registration"));
    followTitleWithAccessibleName(this);
    m_cardContent = new CardContent(this);

    RegisterMenus::build(this);
    m_toolBar = new RegisterToolBar(this);
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    buildCentralArea();

    m_display = new RecordDisplay(m_context, this, m_attendee, m_donations, m_lstEveryone, m_cardContent);
    m_commands = new RecordCommands(this, m_attendee, m_donations);
    m_lookupLists = new LookupLists(m_context, this, m_attendee->cboTitle(), m_attendee->cboOffice(), m_cardContent);
    m_datasheet = new DatasheetView(this, m_lstEveryone, m_datPrimaryRS, findChild<QAction *>(QStringLiteral("mnuViewAll")),
                                    m_toolBar->button(QStringLiteral("View All")),
                                    [this](const QString &key) { return m_toolBar->image(key); });
    m_cardWindows = new CardWindows(m_cardContent, this);
    m_cardCommands = new CardCommands(m_context, m_cardWindows, m_toolBar->cboIDSize(),
                                      [this] { return m_display->photoFile(); }, this);
    m_cardCommands->setAttendeeKey([this] {
        const Recordset *rs = m_datPrimaryRS->recordset();
        return rs && rs->isOpen() && rs->editMode() != EditMode::Adding && rs->absolutePosition() >= 0
            ? rs->currentKey()
            : qint64(0);
    });
    CheckInDesk::Window desk;
    desk.currentEvent = [this] { return m_tag.trimmed().toLongLong(); };
    desk.switchEvent = [this](qint64 programId) { return switchToEvent(programId); };
    desk.writePending = [this] { return writePending(); };
    m_checkInDesk = new CheckInDesk(m_context, m_datPrimaryRS, m_checkInPanel, std::move(desk), this);
    connect(m_datPrimaryRS, &DataControl::reposition, m_checkInDesk, &CheckInDesk::showStatus);
    connect(m_cardCommands, &CardCommands::cardPrinted, m_checkInDesk, &CheckInDesk::showStatus);
    connect(m_cardCommands, &CardCommands::cardPrinted, m_datasheet, &DatasheetView::refreshRows);
    connect(m_checkInDesk, &CheckInDesk::checkInsChanged, m_datasheet, &DatasheetView::refreshRows);
    connect(m_datPrimaryRS, &DataControl::reposition, m_datasheet, &DatasheetView::followCurrent);
    new CardDesign(m_context, m_attendee->card(), m_cardContent, findChild<QAction *>(QStringLiteral("mnuQRCode")),
                   this);
    m_videoMenus = new VideoMenus(this, video());
    PictureSnapper::Attendee attendee;
    attendee.id = [this] {
        if (!hasCurrentAttendee())
            return QString();
        // A new attendee's label is still empty: the key its row reserved.
        const QString shown = m_attendee->lblAttID()->text().trimmed();
        return shown.isEmpty() ? m_datPrimaryRS->recordset()->value(QStringLiteral("AttendeeID")).toString() : shown;
    };
    attendee.setPicture = [this](const QString &path) { m_datPrimaryRS->setBoundValue(m_attendee->lblPic(), path); };
    attendee.showPhoto = [this] { m_display->showPhoto(); };
    attendee.clearPhoto = [this] { m_display->clearPhoto(); };
    m_snapper = new PictureSnapper(m_context, this, video(), m_videoMenus->mnuPreview(), m_videoMenus->mnuOverlay(),
                                   std::move(attendee));

    m_attendee->bindTo(m_datPrimaryRS);
    connect(m_datPrimaryRS, &DataControl::reposition, m_display, &RecordDisplay::datPrimaryRS_Reposition);
    connect(m_datPrimaryRS, &DataControl::reposition, this,
            [this] { m_videoMenus->setAttendeeCurrent(hasCurrentAttendee()); });
    m_datPrimaryRS->setHandler(m_commands);
    connect(m_datPrimaryRS, &DataControl::rowsRefreshed, m_display, &RecordDisplay::datPrimaryRS_Refreshed);
    m_live = new LiveRefresh(this);
    connect(m_datPrimaryRS, &DataControl::mouseMoved, m_display, &RecordDisplay::datPrimaryRS_MouseMove);
    // A deleted attendee's donations went with it: a row still typed in the grid is not written.
    connect(m_datPrimaryRS, &DataControl::rowDeleted, m_donations, [this] { m_donations->discardPending(); });
    connect(m_attendee, &AttendeePanel::fieldChanged, m_display, &RecordDisplay::txtFields_Change);
    connect(m_attendee, &AttendeePanel::reloadRequested, m_commands, &RecordCommands::reloadRecord);

    connectMenus();
    setTabOrder();
}

RegisterWindow::~RegisterWindow() = default;

void RegisterWindow::buildCentralArea()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("frmRegisterClient"));

    m_checkInPanel = new CheckInPanel(central);
    m_attendee = new AttendeePanel(m_cardContent, central);
    m_video = new VideoPanel(central);
    m_donations = new DonationsPanel(m_context, central);

    m_datPrimaryRS = new DataControl(central);
    m_datPrimaryRS->setObjectName(QStringLiteral("datPrimaryRS"));
    m_datPrimaryRS->setRecordSource(QStringLiteral("Attendees"));
    const QString navigatorTip = QStringLiteral("Click the arrows to navigate through your records");
    m_datPrimaryRS->setToolTip(navigatorTip);
    m_datPrimaryRS->setAccessibleName(QStringLiteral("Record navigator"));
    m_datPrimaryRS->setAccessibleDescription(navigatorTip);

    m_cmdClose = new QPushButton(QStringLiteral("&Close"), central);
    m_cmdClose->setObjectName(QStringLiteral("cmdClose"));
    connect(m_cmdClose, &QPushButton::clicked, this, &RegisterWindow::cmdClose_Click);

    auto *grid = new QGridLayout(central);
    grid->addWidget(m_checkInPanel, 0, 0, 1, 2);
    grid->addWidget(m_attendee, 1, 0, 2, 1);
    grid->addWidget(m_video, 1, 1);
    grid->addWidget(m_donations, 2, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setRowStretch(2, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_datPrimaryRS, 1);
    bottom->addStretch(1);
    bottom->addWidget(m_cmdClose);
    grid->addLayout(bottom, 3, 0, 1, 2);

    // The datasheet is laid over the form when shown; it is not part of the layout.
    m_lstEveryone = new DatasheetList(central);
    setCentralWidget(central);
}

void RegisterWindow::connectMenus()
{
    const auto on = [this](const char *name, void (RegisterWindow::*slot)()) {
        if (QAction *action = findChild<QAction *>(QString::fromLatin1(name)))
            connect(action, &QAction::triggered, this, slot);
    };
    on("mnuFileNew", &RegisterWindow::mnuFileNew_Click);
    on("mnuFileSave", &RegisterWindow::mnuFileSave_Click);
    on("mnuFileDel", &RegisterWindow::mnuFileDel_Click);
    on("mnuViewAll", &RegisterWindow::mnuViewAll_Click);
    on("mnuFind", &RegisterWindow::mnuFind_Click);
    on("mnuImport", &RegisterWindow::mnuImport_Click);
    on("mnuExport", &RegisterWindow::mnuExport_Click);
    on("mnuPreviewID", &RegisterWindow::mnuPreviewID_Click);
    on("mnuFilePrint", &RegisterWindow::mnuFilePrint_Click);
    on("mnuPrintCards", &RegisterWindow::mnuPrintCards_Click);
    on("mnuCalibrate", &RegisterWindow::mnuCalibrate_Click);
    on("mnuExit", &RegisterWindow::mnuExit_Click);
    on("mnuEvent", &RegisterWindow::mnuEvent_Click);
    on("mnuAudioFmt", &RegisterWindow::mnuAudioFmt_Click);
    on("mnuFormat", &RegisterWindow::mnuFormat_Click);
    on("mnuSource", &RegisterWindow::mnuSource_Click);
    on("mnuDisplay", &RegisterWindow::mnuDisplay_Click);
    on("mnuCompression", &RegisterWindow::mnuCompression_Click);
    on("mnuSnap", &RegisterWindow::mnuSnap_Click);
    on("mnuAbout", &RegisterWindow::mnuAbout_Click);
    on("mnuContent", &RegisterWindow::mnuContent_Click);
    const auto desk = [this](const char *name, void (CheckInDesk::*command)()) {
        if (QAction *action = findChild<QAction *>(QString::fromLatin1(name)))
            connect(action, &QAction::triggered, m_checkInDesk, [this, command] {
                // Copies: a nested [&] would name `command` of the enclosing call (gone by then).
                m_runner.ignoring([desk = m_checkInDesk, command] { (desk->*command)(); });
            });
    };
    desk("mnuScan", &CheckInDesk::focusScan);
    desk("mnuCheckIn", &CheckInDesk::checkInCurrent);
    desk("mnuUndoCheckIn", &CheckInDesk::undoCheckIn);

    connect(m_toolBar, &RegisterToolBar::buttonClick, this, &RegisterWindow::tbToolBar_ButtonClick);
    connect(m_toolBar, &RegisterToolBar::buttonMenuClick, this, &RegisterWindow::tbToolBar_ButtonMenuClick);
}

void RegisterWindow::setTabOrder()
{
    QList<QWidget *> chain;
    chain << m_checkInPanel->txtScan();
    chain << m_toolBar->cboIDSize();
    chain << m_attendee->tabChain();
    chain << m_donations->grdDonors();
    for (int i = 0; i < 4; ++i) {
        if (QToolButton *arrow = m_datPrimaryRS->button(i))
            chain << arrow;
    }
    chain << m_cmdClose;
    for (int i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain.at(i - 1), chain.at(i));
}

DataControl *RegisterWindow::datPrimaryRS() const
{
    return m_datPrimaryRS;
}

DataControl *RegisterWindow::datDonors() const
{
    return m_donations->datDonors();
}

EventWindow *RegisterWindow::frmEvent()
{
    if (!m_frmEvent || m_frmEvent->isUnloaded()) {
        auto *events = new EventWindow(m_context, this);
        connect(events, &EventWindow::eventChosen, this, &RegisterWindow::eventChosen);
        m_frmEvent = events;
        try {
            events->formLoad();
        } catch (...) {
            delete events;
            throw;
        }
    }
    return m_frmEvent;
}

// ---- Load and close -------------------------------------------------------

void RegisterWindow::formLoad(StartupSteps *startup)
{
    // Step 1: the splash window's progress (none when started without one).
    const auto progress = [&startup](float fraction) {
        if (startup)
            startup->showProgress(fraction);
    };
    progress(0.1f);

    const bool located = startup ? startup->locateDatabase() : m_context.hasDatabase();
    if (!located) // step 2
        throw AppError(-1, QStringLiteral("Invalid Database path"),
                       QStringLiteral("Connection to Database Server Failure"));
    tellIfReadOnly();
    if (m_context.appFolder.isEmpty()) // step 3
        m_context.appFolder = modGen::getShortPath(QCoreApplication::applicationDirPath() + QDir::separator());
    if (m_context.serverUrl.isEmpty()) // step 4 (a server keeps the photographs itself)
        modGen::ensureFolder(m_context.dbFolder + QStringLiteral("Pic"));
    modGen::ensureFolder(m_context.appFolder + QStringLiteral("Logo"));
    progress(0.25f);

    CardDesignLoader::restore(*m_cardContent, m_context.appFolder); // step 6
    m_toolBar->cboIDSize()->setCurrentIndex(0);    // step 7
    frmEvent();                                    // step 8
    progress(0.35f);

    setEvent(); // step 10
    if (startup)
        startup->refresh(); // step 11
    progress(0.65f);

    loadLookupLists(); // step 13
    setVideoMenus();   // step 14
    progress(0.75f);
    vbEnumCapDrivers(); // step 16
    loadCardWindows();    // step 17

    // Step 18: the datasheet's place over the form (the navigator below it stays in sight).
    // Below the desk's scan strip, which stays in reach while the datasheet is shown.
    const QRect place = Twips::toPixelRect(QRect(2040, 600, 0, 0), logicalDpiX(), logicalDpiY());
    m_lstEveryone->placeOver(place.topLeft() + QPoint(0, m_checkInPanel->sizeHint().height() + 6),
                             m_datPrimaryRS->sizeHint().height() + 12);
    m_live->start(); // from now on, what other desks save shows here
    progress(0.999f);
    startup = nullptr; // step 20
}

void RegisterWindow::closeEvent(QCloseEvent *event)
{
    // The data control writes what is pending (Unload). When that write fails (for
    // instance another workstation saved the record meanwhile) its error box has
    // been shown; the window stays open so the typing is not lost.
    const CommandRunner::Report report {QString(), MsgIcon::Critical, true};
    bool written = true;
    const bool ran = m_runner.reporting(report, [&] {
        if (m_datPrimaryRS->recordset())
            written = m_datPrimaryRS->unload();
        if (written)
            m_donations->savePending(); // the donation row still being typed, too
    });
    if (!ran || !written) {
        event->ignore();
        return;
    }
    m_runner.reporting(report, [this] { modGen::closeAllForms(m_context); });
    event->accept();
}

void RegisterWindow::cmdClose_Click()
{
    m_runner.ignoring([this] { close(); });
}

void RegisterWindow::mnuExit_Click()
{
    m_runner.ignoring([this] { close(); });
}

// ---- The current event ----------------------------------------------------

QString RegisterWindow::attendeeSource(const QString &tag)
{
    // The key is a whole number of any size the database holds (an event 40000 opens
    // like any other); leading blanks and zeros go.
    bool ok = false;
    const qint64 programId = tag.trimmed().toLongLong(&ok);
    if (!ok)
        throw AppError(TypeMismatch, QStringLiteral("SetEvent"),
                       QStringLiteral("The event key \"%1\" is not a number. Choose the event again in the "
                                      "Event Form.")
                           .arg(tag));
    return QStringLiteral("Select * from Attendees where ProgramID =") + QString::number(programId);
}

void RegisterWindow::setEvent()
{
    if (m_tag.isEmpty()) {
        EventWindow *events = frmEvent();
        if (events->tag().isEmpty()) {
            Dialogs::instance().message(this, QStringLiteral("Please select an event"),
                                        QStringLiteral("Event Required"), MsgButtons::Ok, MsgIcon::Information);
            Dialogs::instance().showModal(events);
        }
        if (m_tag.isEmpty())
            throw AppError(-1, QStringLiteral("SetEvent"), QStringLiteral("Event has not been selected"));
    }
    const QString source = attendeeSource(m_tag);
    // The event may have been deleted meanwhile (Cancel after deleting it in the
    // event window, or another workstation): its attendees are gone with it.
    if (!eventExists()) {
        if (!chooseEvent()) {
            showNoEvent();
            throw AppError(-1, QStringLiteral("SetEvent"), QStringLiteral("Event has not been selected"));
        }
        setEvent();
        return;
    }
    m_datPrimaryRS->setDatabaseName(m_context.databaseLocation(), m_context.desk);
    m_datPrimaryRS->setRecordSource(source);
    m_datPrimaryRS->refresh();
    Recordset *rs = m_datPrimaryRS->recordset();
    rs->setLockEdits(false);
    // MoveLast then MoveFirst: the first attendee current, the count exact.
    if (!rs->eof())
        rs->moveLast();
    if (!rs->bof())
        rs->moveFirst();
    datDonors()->setDatabaseName(m_context.databaseLocation(), m_context.desk);
    if (rs->absolutePosition() >= 0)
        m_donations->showAttendee(rs->value(QStringLiteral("AttendeeID")).toString());
    else
        m_donations->showNoAttendee(); // an event without attendees shows no one's donations
}

bool RegisterWindow::eventExists() const
{
    bool ok = false;
    const qint64 programId = m_tag.trimmed().toLongLong(&ok);
    return ok && EventContents::exists(*Database::sharedByDesk(m_context.databaseLocation(), m_context.desk), programId);
}

bool RegisterWindow::chooseEvent()
{
    QString reason = QStringLiteral("Please select an event");
    if (!m_tag.isEmpty()) {
        const QString event = windowTitle().isEmpty() ? QStringLiteral("The event")
                                                      : QStringLiteral("The event \"%1\"").arg(windowTitle());
        reason = event + QStringLiteral(" no longer exists: it was deleted, on this or another workstation. Please "
                                        "select an event.");
        m_tag.clear(); // never again the deleted one
    }
    Dialogs::instance().message(this, reason, QStringLiteral("Event Required"), MsgButtons::Ok, MsgIcon::Information);
    Dialogs::instance().showModal(frmEvent());
    return !m_tag.isEmpty();
}

bool RegisterWindow::ensureEvent()
{
    if (eventExists())
        return true;
    Recordset *rs = m_datPrimaryRS->recordset();
    const bool typingNew = rs && rs->editMode() == EditMode::Adding;
    const qint64 newKey = typingNew ? rs->currentKey() : 0;
    if (!chooseEvent() || !eventExists()) {
        showNoEvent();
        return false;
    }
    // The new attendee being typed belongs to the chosen event: opening that event
    // writes it there first; then it is shown.
    if (typingNew)
        m_datPrimaryRS->setBoundValue(m_attendee->lblProgramID(), m_tag.trimmed().toLongLong());
    setEvent();
    if (typingNew)
        ignoreErrors([&] { m_datPrimaryRS->recordset()->findFirst(QStringLiteral("AttendeeID = %1").arg(newKey)); });
    return true;
}

void RegisterWindow::showNoEvent()
{
    m_tag.clear();
    setWindowTitle(QStringLiteral("Quorvex (no event selected)"));
    // The attendees of a deleted event went with it: read the (now empty) list
    // again, unless a new attendee is being typed, which stays on screen unsaved.
    Recordset *rs = m_datPrimaryRS->recordset();
    if (rs && m_datPrimaryRS->dataChanged())
        return;
    ignoreErrors([this] { m_datPrimaryRS->refresh(); });
    m_donations->showNoAttendee();
}

void RegisterWindow::tellIfReadOnly()
{
    const std::shared_ptr<Database> db = Database::sharedByDesk(m_context.databaseLocation(), m_context.desk);
    if (!db->isReadOnly())
        return;
    const QString why = db->readOnlyError().description();
    auto *mark = new QLabel(QStringLiteral("Read-only: nothing can be changed"), this);
    mark->setObjectName(QStringLiteral("lblReadOnly"));
    mark->setToolTip(why);
    mark->setAccessibleName(mark->text());
    mark->setAccessibleDescription(why);
    mark->setStyleSheet(QStringLiteral("QLabel { color: #a00000; font-weight: bold; }"));
    statusBar()->addPermanentWidget(mark);
    Dialogs::instance().message(this, why, QStringLiteral("Read-Only Database"), MsgButtons::Ok, MsgIcon::Exclamation);
}

bool RegisterWindow::switchToEvent(qint64 programId)
{
    if (!writePending())
        return false;
    const QString name = AttendeeSearch::eventName(*Database::sharedByDesk(m_context.databaseLocation(), m_context.desk), programId);
    if (name.isEmpty() && !EventContents::exists(*Database::sharedByDesk(m_context.databaseLocation(), m_context.desk), programId))
        return false;
    if (programId != m_tag.trimmed().toLongLong())
        eventChosen(QString::number(programId), name);
    // The datasheet lists the attendees as they were: the form shows the new ones.
    if (m_datasheet->isDatasheetShown())
        m_datasheet->switchView(false);
    setEvent();
    return true;
}

QList<qint64> RegisterWindow::selectedAttendees() const
{
    if (m_datasheet->isDatasheetShown())
        return m_datasheet->selectedKeys();
    const Recordset *rs = m_datPrimaryRS->recordset();
    if (rs && rs->isOpen() && rs->editMode() != EditMode::Adding && rs->absolutePosition() >= 0)
        return {rs->currentKey()};
    return {};
}

std::function<QList<qint64>()> RegisterWindow::selectedAttendeesSource()
{
    return [window = QPointer<RegisterWindow>(this)] { return window ? window->selectedAttendees() : QList<qint64>(); };
}

void RegisterWindow::eventChosen(const QString &key, const QString &name)
{
    m_tag = key;
    setWindowTitle(name);
}

bool RegisterWindow::writePending()
{
    if (m_datPrimaryRS->recordset() && m_datPrimaryRS->dataChanged()) {
        bool written = false;
        m_runner.ignoring([&] { written = m_datPrimaryRS->saveChanges(DataAction::Close); });
        if (!written)
            return false;
    }
    const CommandRunner::Report report {QString(), MsgIcon::Critical, true};
    return m_runner.reporting(report, [this] { m_donations->savePending(); });
}

void RegisterWindow::mnuEvent_Click()
{
    // A new attendee typed for an event that was deleted meanwhile: choosing the
    // event is what it needs (it is saved there).
    Recordset *rs = m_datPrimaryRS->recordset();
    if (rs && rs->editMode() == EditMode::Adding && m_datPrimaryRS->dataChanged() && !eventExists()) {
        m_runner.ignoring([this] { ensureEvent(); });
        return;
    }
    // Choosing another event re-opens the attendees: what is pending is written first;
    // when that fails its box was shown and the typing stays.
    if (rs && m_datPrimaryRS->dataChanged()) {
        bool written = false;
        m_runner.ignoring([&] { written = m_datPrimaryRS->saveChanges(DataAction::Close); });
        if (!written)
            return;
    }
    m_runner.ignoring([this] { Dialogs::instance().showModal(frmEvent()); });
    m_runner.ignoring([this] { setEvent(); });
}

// ---- Record commands ------------------------------------------------------

void RegisterWindow::mnuFileNew_Click()
{
    m_runner.ignoring([this] { m_commands->addNewRecord(); });
}

void RegisterWindow::mnuFileSave_Click()
{
    m_runner.ignoring([this] { m_commands->saveRecord(); });
}

void RegisterWindow::mnuFileDel_Click()
{
    m_runner.ignoring([this] { m_commands->deleteRecord(); });
}

void RegisterWindow::tbToolBar_ButtonClick(const QString &key)
{
    m_runner.ignoring([&] {
        if (key == QLatin1String("New"))
            m_commands->addNewRecord();
        else if (key == QLatin1String("View All"))
            switchView(true);
        else if (key == QLatin1String("View Rec"))
            switchView(false);
        else if (key == QLatin1String("Save"))
            m_commands->saveRecord();
        else if (key == QLatin1String("Delete"))
            m_commands->deleteRecord();
        else if (key == QLatin1String("Print"))
            printIDCard();
        else if (key == QLatin1String("Find"))
            openFind();
        else if (key == QLatin1String("Check In"))
            m_checkInDesk->checkInCurrent();
        // "Help" and any other key: nothing.
    });
}

void RegisterWindow::tbToolBar_ButtonMenuClick(const QString &key)
{
    if (key == QLatin1String("PreviewID"))
        m_runner.ignoring([this] { mnuPreviewID_Click(); });
}

// ---- ID cards ---------------------------------------------------------------

void RegisterWindow::loadCardWindows()
{
    m_cardWindows->frmIDCard();
    m_cardWindows->frmIDCard2();
}

void RegisterWindow::printIDCard()
{
    // The card's code names a stored attendee, and its print is recorded for one:
    // the attendee being typed is saved first.
    if (!writePending())
        return;
    m_cardCommands->printIDCard();
}

void RegisterWindow::mnuPrintCards_Click()
{
    // The cards are drawn from the stored rows: what the desk typed is written first.
    if (!writePending())
        return;
    PrintCardsDialog dialog(m_context, {m_tag.trimmed().toLongLong(), windowTitle()}, selectedAttendeesSource(),
                            m_toolBar->cboIDSize()->currentIndex(), this);
    // The datasheet's "Card Printed" column and the form's status follow the batch.
    connect(&dialog, &PrintCardsDialog::cardsPrinted, m_datasheet, &DatasheetView::refreshRows);
    connect(&dialog, &PrintCardsDialog::cardsPrinted, m_checkInDesk, &CheckInDesk::showStatus);
    Dialogs::instance().showModal(&dialog);
}

void RegisterWindow::mnuCalibrate_Click()
{
    CalibrationDialog dialog(m_context.installedPrinters ? m_context.installedPrinters() : QStringList(),
                             m_toolBar->cboIDSize()->currentIndex(), this);
    Dialogs::instance().showModal(&dialog);
}

void RegisterWindow::mnuPreviewID_Click()
{
    m_runner.ignoring([this] { m_cardCommands->preview(); });
}

void RegisterWindow::mnuFilePrint_Click()
{
    if (!writePending())
        return;
    m_runner.ignoring([this] { m_cardCommands->mnuFilePrint_Click(); });
}

// ---- Photo capture ----------------------------------------------------------

CaptureControl *RegisterWindow::video() const
{
    return m_video->video();
}

bool RegisterWindow::hasCurrentAttendee() const
{
    const Recordset *rs = m_datPrimaryRS->recordset();
    return rs && rs->isOpen() && (rs->absolutePosition() >= 0 || rs->editMode() == EditMode::Adding);
}

void RegisterWindow::setVideoMenus()
{
    m_videoMenus->setVideoMenus();
}

int RegisterWindow::vbEnumCapDrivers()
{
    return m_videoMenus->vbEnumCapDrivers();
}

void RegisterWindow::mnuDriver_Click(int index)
{
    m_videoMenus->mnuDriver_Click(index);
}

void RegisterWindow::mnuAudioFmt_Click()
{
    m_videoMenus->mnuAudioFmt_Click();
}

void RegisterWindow::mnuFormat_Click()
{
    m_videoMenus->mnuFormat_Click();
}

void RegisterWindow::mnuSource_Click()
{
    m_videoMenus->mnuSource_Click();
}

void RegisterWindow::mnuDisplay_Click()
{
    m_videoMenus->mnuDisplay_Click();
}

void RegisterWindow::mnuCompression_Click()
{
    m_videoMenus->mnuCompression_Click();
}

void RegisterWindow::mnuPreview_Click()
{
    m_videoMenus->mnuPreview_Click();
}

void RegisterWindow::mnuOverlay_Click()
{
    m_videoMenus->mnuOverlay_Click();
}

void RegisterWindow::mnuSnap_Click()
{
    m_snapper->mnuSnap_Click();
}

// ---- Help -----------------------------------------------------------------

void RegisterWindow::mnuAbout_Click()
{
    m_runner.ignoring([this] { AboutWindow::showAbout(m_context, this); });
}

void RegisterWindow::mnuContent_Click()
{
    m_runner.ignoring([this] {
        modGen::openDocument(m_context, m_context.appFolder + QStringLiteral("Help.doc"), QStringLiteral("open"));
    });
}

// ---- Lookup lists, datasheet and find ------------------------------------------

void RegisterWindow::loadLookupLists()
{
    m_lookupLists->loadLists();
}

void RegisterWindow::switchView(bool datasheet)
{
    m_datasheet->switchView(datasheet);
}

void RegisterWindow::openFind()
{
    FindDialog::openFind(m_context, this, m_datPrimaryRS);
}

void RegisterWindow::mnuViewAll_Click()
{
    m_runner.ignoring([this] { m_datasheet->mnuViewAll_Click(); });
}

void RegisterWindow::mnuFind_Click()
{
    m_runner.ignoring([this] { openFind(); });
}

// ---- Import and export --------------------------------------------------------

void RegisterWindow::mnuImport_Click()
{
    // The import checks duplicates against what is stored: the attendee on screen first.
    if (!writePending())
        return;
    const qint64 event = m_tag.trimmed().toLongLong();
    ImportDialog dialog(m_context, {event, windowTitle()}, this);
    Dialogs::instance().showModal(&dialog);
    if (!dialog.imported() || dialog.imported()->eventId != event || event == 0)
        return;
    // The new attendees join the navigator; the attendee shown stays shown.
    const Recordset *rs = m_datPrimaryRS->recordset();
    const qint64 shown = rs && rs->absolutePosition() >= 0 ? rs->currentKey() : -1;
    m_runner.ignoring([this, shown] {
        setEvent();
        if (shown >= 0)
            m_datPrimaryRS->recordset()->findFirst(QStringLiteral("AttendeeID = %1").arg(shown));
    });
}

void RegisterWindow::mnuExport_Click()
{
    if (!writePending())
        return;
    ExportDialog dialog(m_context, m_tag.trimmed().toLongLong(), this);
    Dialogs::instance().showModal(&dialog);
}

