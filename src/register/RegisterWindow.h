#pragma once

#include "bindings/CommandRunner.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <functional>

class AppContext;
class AttendeePanel;
class CaptureControl;
class PictureSnapper;
class CardCommands;
class CardContent;
class CardWindows;
class CheckInDesk;
class CheckInPanel;
class DataControl;
class DatasheetList;
class DatasheetView;
class DonationsPanel;
class EventWindow;
class LiveRefresh;
class LookupLists;
class QPushButton;
class RecordCommands;
class RecordDisplay;
class RegisterToolBar;
class StartupSteps;
class VideoMenus;
class VideoPanel;

// "frmRegister", the main window: the attendees of the current event, their
// donations, the card miniature and the video. It composes the parts of the
// subsystems and wires them; closing it ends the program.
class RegisterWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit RegisterWindow(AppContext &context, QWidget *parent = nullptr);
    ~RegisterWindow() override;

    // The load sequence. `startup` finds the database and shows the progress;
    // without one, the context's database folder must be set already. Every
    // error is raised again unchanged (AppError).
    void formLoad(StartupSteps *startup);

    AppContext &context() const { return m_context; }

    // The current event's ProgramID as text ("Tag"); empty until chosen.
    QString tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }

    // Points the data controls at the attendees of the current event; asks for
    // an event when none is chosen, or when the chosen one no longer exists (it
    // was deleted, here or on another workstation): a window never shows a
    // deleted event. Raises every error to its caller; when the user chooses no
    // event the window shows none ("Event has not been selected").
    void setEvent();
    // The current event is stored. When it is not (deleted, or none chosen) the
    // user is told and chooses one, which the window then shows; a new attendee
    // being typed goes to it and is saved there. False when the user chose none:
    // nothing may then be saved for an event.
    bool ensureEvent();
    // The event of the window's tag is stored.
    bool eventExists() const;

    DataControl *datPrimaryRS() const;
    DataControl *datDonors() const;
    // The event window, loaded (not shown) when it is not loaded.
    EventWindow *frmEvent();
    // What the ID cards show: the current attendee's card content, which the
    // miniature and both card windows observe.
    CardContent *cardContent() const { return m_cardContent; }
    // The card windows frmIDCard and frmIDCard2, each loaded when first touched.
    CardWindows *cardWindows() const { return m_cardWindows; }
    // Preview and printing of the card (its printer is the window's current printer).
    CardCommands *cardCommands() const { return m_cardCommands; }

    AttendeePanel *attendeePanel() const { return m_attendee; }
    DonationsPanel *donationsPanel() const { return m_donations; }
    DatasheetList *lstEveryone() const { return m_lstEveryone; }
    RegisterToolBar *tbToolBar() const { return m_toolBar; }
    RecordDisplay *recordDisplay() const { return m_display; }
    LookupLists *lookupLists() const { return m_lookupLists; }
    DatasheetView *datasheetView() const { return m_datasheet; }
    // What other desks save shows here (started by the load).
    LiveRefresh *liveRefresh() const { return m_live; }
    CheckInPanel *checkInPanel() const { return m_checkInPanel; }
    CheckInDesk *checkInDesk() const { return m_checkInDesk; }

    // The attendees a command for several acts on: those selected in the
    // datasheet when it is shown, else the stored attendee shown (none for a new
    // one); keys in key order. A feature is handed selectedAttendeesSource().
    QList<qint64> selectedAttendees() const;
    std::function<QList<qint64>()> selectedAttendeesSource();

    // The attendee source of an event: "Select * from Attendees where ProgramID =" and
    // the key as a whole number. Throws AppError 13 (source "SetEvent") when the
    // key is not a number.
    static QString attendeeSource(const QString &tag);

public slots:
    void cmdClose_Click();
    void mnuExit_Click();
    void mnuEvent_Click();
    void mnuFileNew_Click();
    void mnuFileSave_Click();
    void mnuFileDel_Click();
    void tbToolBar_ButtonClick(const QString &key);
    void tbToolBar_ButtonMenuClick(const QString &key);
    void mnuAbout_Click();
    void mnuContent_Click();

    void mnuPreviewID_Click();
    void mnuFilePrint_Click();
    // Cards in bulk for the current event, and a printer's correction.
    void mnuPrintCards_Click();
    void mnuCalibrate_Click();

    // The datasheet view and the find dialog.
    void mnuViewAll_Click();
    void mnuFind_Click();

    // Attendee lists in, an event's rows out. Both write what the desk typed first;
    // an import into the current event re-opens its attendees on the one shown.
    void mnuImport_Click();
    void mnuExport_Click();

    // Photo capture: the video options and the snap (the check items' menu
    // clicks go to VideoMenus directly; these are the same commands for code).
    void mnuAudioFmt_Click();
    void mnuFormat_Click();
    void mnuSource_Click();
    void mnuDisplay_Click();
    void mnuCompression_Click();
    void mnuPreview_Click();
    void mnuOverlay_Click();
    void mnuDriver_Click(int index);
    void mnuSnap_Click();

public:
    // Lists the capture drivers in the menu and connects the stored one; the driver count.
    int vbEnumCapDrivers();
    CaptureControl *video() const;
    VideoMenus *videoMenus() const { return m_videoMenus; }
    PictureSnapper *snapper() const { return m_snapper; }
    // An attendee is shown, or a new one is being added.
    bool hasCurrentAttendee() const;

protected:
    // Form_Unload: the pending change is written first; when that fails the
    // window stays open so nothing typed is lost.
    void closeEvent(QCloseEvent *event) override;

private:
    void buildCentralArea();
    void connectMenus();
    void setTabOrder();

    // Load steps of the lookup lists, the video and the card windows.
    void loadLookupLists();
    void setVideoMenus();
    void loadCardWindows();
    // The datasheet view (toolbar "View All"/"View Rec").
    void switchView(bool datasheet);
    void printIDCard();
    void openFind();

    // Writes the attendee and donation row being typed; false (its box shown, the
    // typing kept) when that fails.
    bool writePending();

    // Shows the event `programId` (the desk's scan of another event's attendee, or
    // the current one read again): what was typed is written first; false when
    // that failed or the event is gone.
    bool switchToEvent(qint64 programId);

    // The event window's OK: the chosen event becomes the window's Tag and caption.
    void eventChosen(const QString &key, const QString &name);
    // Tells why an event must be chosen and shows the event window; true when an event was chosen.
    bool chooseEvent();
    // No event is chosen: the window says so, and shows no attendee of a deleted one.
    void showNoEvent();
    // The database cannot be written: said once at open, and marked in the window.
    void tellIfReadOnly();

    AppContext &m_context;
    CommandRunner m_runner {this};
    QString m_tag;
    QPointer<EventWindow> m_frmEvent;
    RegisterToolBar *m_toolBar = nullptr;
    AttendeePanel *m_attendee = nullptr;
    DonationsPanel *m_donations = nullptr;
    VideoPanel *m_video = nullptr;
    VideoMenus *m_videoMenus = nullptr;
    PictureSnapper *m_snapper = nullptr;
    DatasheetList *m_lstEveryone = nullptr;
    DataControl *m_datPrimaryRS = nullptr;
    QPushButton *m_cmdClose = nullptr;
    RecordDisplay *m_display = nullptr;
    RecordCommands *m_commands = nullptr;
    LookupLists *m_lookupLists = nullptr;
    DatasheetView *m_datasheet = nullptr;
    LiveRefresh *m_live = nullptr;
    CardContent *m_cardContent = nullptr;
    CardWindows *m_cardWindows = nullptr;
    CardCommands *m_cardCommands = nullptr;
    CheckInPanel *m_checkInPanel = nullptr;
    CheckInDesk *m_checkInDesk = nullptr;
};
