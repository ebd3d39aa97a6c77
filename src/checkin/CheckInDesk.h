#pragma once

#include <QObject>
#include <functional>
#include <memory>

class AppContext;
class CheckInPanel;
class DataControl;
class Database;
class QCompleter;
class QStandardItemModel;
class QWidget;
struct AttendeeMatch;

// The desk's check-in: a scanned card makes its attendee current and checks them
// in; a typed name lists the event's attendees to choose from; "Check In" and
// "Undo Check-In" act on the attendee shown. The attendee becomes current through
// the attendee navigator (a bookmark), so the form, card, photo and donations
// follow as on any move, and what was typed is written first.
class CheckInDesk : public QObject
{
    Q_OBJECT
public:
    // What the registration window lends the desk.
    struct Window
    {
        std::function<qint64()> currentEvent;         // the event shown; 0 when none
        std::function<bool(qint64)> switchEvent;      // shows that event (what was typed written first); false when not
        std::function<bool()> writePending;           // writes the attendee being typed; false (said why) when not
    };

    CheckInDesk(const AppContext &context, DataControl *attendees, CheckInPanel *panel, Window window,
                QWidget *owner);

    // A card's code (the scan box's codeEntered).
    void scanCode(const QString &code);
    // The list of names beginning with `typed` (empty: none).
    void listNames(const QString &typed);
    // Enter on a name: the attendee chosen in the list, else the first found.
    void chooseName(const QString &typed);
    // "Check In": the attendee shown.
    void checkInCurrent();
    // "Undo Check-In": the attendee shown, after asking.
    void undoCheckIn();
    // The current attendee's check-in and card statuses, read again.
    void showStatus();
    // Puts the cursor in the scan box.
    void focusScan();

    QCompleter *nameList() const { return m_completer; }

signals:
    // An attendee was checked in, or a check-in undone.
    void checkInsChanged();

private:
    std::shared_ptr<Database> database() const;
    void chooseAttendee(qint64 attendeeId);
    // Makes the attendee current in the navigator; false when it could not.
    bool show(qint64 attendeeId);
    // The stored attendee shown (0: none, or a new one not yet saved).
    qint64 currentKey() const;
    QString currentName() const;
    void checkIn(qint64 attendeeId, const QString &name);
    void clearScan();

    const AppContext &m_context;
    DataControl *m_attendees;
    CheckInPanel *m_panel;
    Window m_window;
    QWidget *m_owner;
    QCompleter *m_completer;
    QStandardItemModel *m_names;
};
