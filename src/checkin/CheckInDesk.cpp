#include "CheckInDesk.h"

#include "CheckInPanel.h"
#include "ScanBox.h"
#include "bindings/CommandRunner.h"
#include "bindings/DataControl.h"
#include "core/AppContext.h"
#include "core/AppError.h"
#include "core/Dialogs.h"
#include "core/ModGen.h"
#include "data/AttendeeSearch.h"
#include "data/CardPrintLog.h"
#include "data/CheckInLog.h"
#include "data/DataError.h"
#include "data/Database.h"
#include "data/Recordset.h"
#include "session/CardLines.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QStandardItemModel>

namespace {

constexpr int KeyRole = Qt::UserRole + 1;

QString when(const QDateTime &time)
{
    return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

} // namespace

CheckInDesk::CheckInDesk(const AppContext &context, DataControl *attendees, CheckInPanel *panel, Window window,
                         QWidget *owner)
    : QObject(owner)
    , m_context(context)
    , m_attendees(attendees)
    , m_panel(panel)
    , m_window(std::move(window))
    , m_owner(owner)
    , m_completer(new QCompleter(this))
    , m_names(new QStandardItemModel(this))
{
    setObjectName(QStringLiteral("checkInDesk"));
    // The list is the database's answer; the completer only shows it.
    m_completer->setModel(m_names);
    m_completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_completer->setWidget(panel->txtScan());
    m_completer->setMaxVisibleItems(12);
    m_completer->popup()->setObjectName(QStringLiteral("lstScanNames"));
    m_completer->popup()->setAccessibleName(QStringLiteral("Attendees found"));
    connect(m_completer, qOverload<const QModelIndex &>(&QCompleter::activated), this,
            [this](const QModelIndex &index) { chooseAttendee(index.data(KeyRole).toLongLong()); });

    ScanBox *box = panel->txtScan();
    connect(box, &ScanBox::codeEntered, this, &CheckInDesk::scanCode);
    connect(box, &ScanBox::nameEdited, this, &CheckInDesk::listNames);
    connect(box, &ScanBox::nameEntered, this, &CheckInDesk::chooseName);
}

void CheckInDesk::focusScan()
{
    m_panel->txtScan()->setFocus(Qt::ShortcutFocusReason);
    m_panel->txtScan()->selectAll();
}

void CheckInDesk::clearScan()
{
    m_completer->popup()->hide();
    m_names->clear();
    m_panel->txtScan()->clear();
}

qint64 CheckInDesk::currentKey() const
{
    const Recordset *rs = m_attendees->recordset();
    if (!rs || !rs->isOpen() || rs->editMode() == EditMode::Adding || rs->absolutePosition() < 0)
        return 0;
    return rs->currentKey();
}

QString CheckInDesk::currentName() const
{
    Recordset *rs = m_attendees->recordset();
    AttendeeMatch shown;
    shown.attendeeId = rs->currentKey();
    shown.firstName = rs->value(QStringLiteral("FirstName")).toString();
    shown.lastName = rs->value(QStringLiteral("LastName")).toString();
    return shown.fullName();
}

void CheckInDesk::scanCode(const QString &code)
{
    clearScan();
    const std::optional<CardLines::CodeKeys> keys = CardLines::parseCode(code);
    if (!keys)
        return;
    CommandRunner(m_owner).reporting({QString(), MsgIcon::Critical, true}, [&] {
        const std::shared_ptr<Database> connection = database();
        Database &db = *connection;
        const std::optional<AttendeeMatch> found = AttendeeSearch::byKey(db, keys->attendeeId);
        if (!found) {
            QApplication::beep();
            m_panel->showResult(QStringLiteral("No attendee has the code %1 (removed, or a card of another "
                                               "database). Nothing was changed.").arg(code),
                                CheckInPanel::Tone::Refused);
            return;
        }
        if (found->programId != m_window.currentEvent()) {
            const QString event = AttendeeSearch::eventName(db, found->programId);
            if (event.isEmpty()) {
                QApplication::beep();
                m_panel->showResult(QStringLiteral("%1 belongs to an event that was deleted. Nothing was changed.")
                                        .arg(found->fullName()),
                                    CheckInPanel::Tone::Refused);
                return;
            }
            const QString question = QStringLiteral("%1 is registered for the event \"%2\", not for the event "
                                                    "shown.\r\rSwitch to \"%2\" and check %1 in?")
                                         .arg(found->fullName(), event);
            if (Dialogs::instance().message(m_owner, question, QStringLiteral("Another Event"), MsgButtons::YesNo,
                                            MsgIcon::Question, MsgAnswer::Yes)
                != MsgAnswer::Yes) {
                m_panel->showResult(QStringLiteral("%1 was not checked in: registered for the event \"%2\".")
                                        .arg(found->fullName(), event),
                                    CheckInPanel::Tone::Notice);
                return;
            }
            if (!m_window.switchEvent(found->programId))
                return;
        }
        if (show(found->attendeeId))
            checkIn(found->attendeeId, found->fullName());
    });
    focusScan();
}

bool CheckInDesk::show(qint64 attendeeId)
{
    if (currentKey() == attendeeId)
        return true;
    Recordset *rs = m_attendees->recordset();
    if (!rs || !rs->isOpen())
        return false;
    const QByteArray bookmark = QByteArray::number(attendeeId);
    try {
        rs->setBookmark(bookmark);
    } catch (const AppError &error) {
        if (error.number() != DataError::InvalidArgument)
            throw;
        // Registered since the event's attendees were read (an import, another
        // desk): read them again, then go there.
        if (!m_window.switchEvent(m_window.currentEvent()))
            return false;
        rs = m_attendees->recordset();
        rs->setBookmark(bookmark);
    }
    if (currentKey() != attendeeId) {
        // The move was refused: what was typed could not be written (its box said why).
        m_panel->showResult(QStringLiteral("The attendee being typed could not be saved, so the scanned attendee "
                                           "is not shown and not checked in. Correct or undo the typing, then scan "
                                           "again."),
                            CheckInPanel::Tone::Refused);
        return false;
    }
    return true;
}

void CheckInDesk::checkIn(qint64 attendeeId, const QString &name)
{
    const std::shared_ptr<Database> connection = database();
    Database &db = *connection;
    const std::optional<CheckInRecord> earlier = CheckInLog::checkIn(db, attendeeId, modGen::getMachineName());
    if (earlier) {
        QApplication::beep();
        m_panel->showResult(QStringLiteral("%1 was already checked in on %2 at the desk %3: not counted again.")
                                .arg(name, when(earlier->checkedIn), earlier->desk),
                            CheckInPanel::Tone::Notice);
    } else {
        m_panel->showResult(QStringLiteral("%1 is checked in.").arg(name), CheckInPanel::Tone::Done);
        emit checkInsChanged();
    }
    showStatus();
}

void CheckInDesk::listNames(const QString &typed)
{
    m_names->clear();
    const qint64 event = m_window.currentEvent();
    if (typed.trimmed().isEmpty() || event <= 0) {
        m_completer->popup()->hide();
        return;
    }
    QList<AttendeeMatch> found;
    // A failed look-up lists nothing; the scan and the commands still say what fails.
    ignoreErrors([&] { found = AttendeeSearch::byName(*database(), event, typed); });
    for (const AttendeeMatch &match : found) {
        const QString last = match.lastName.trimmed();
        const QString first = match.firstName.trimmed();
        auto *item = new QStandardItem(last.isEmpty() || first.isEmpty() ? match.fullName()
                                                                         : last + QStringLiteral(", ") + first);
        item->setData(match.attendeeId, KeyRole);
        item->setToolTip(QStringLiteral("Attendee %1").arg(match.attendeeId));
        m_names->appendRow(item);
    }
    if (found.isEmpty()) {
        m_completer->popup()->hide();
        return;
    }
    m_completer->setCompletionPrefix(QString());
    m_completer->complete();
}

void CheckInDesk::chooseName(const QString &typed)
{
    const QModelIndex chosen = m_completer->popup()->isVisible() ? m_completer->popup()->currentIndex() : QModelIndex();
    if (chosen.isValid()) {
        chooseAttendee(chosen.data(KeyRole).toLongLong());
        return;
    }
    listNames(typed);
    if (m_names->rowCount() == 0) {
        QApplication::beep();
        m_panel->showResult(QStringLiteral("No attendee of this event has a first or last name beginning with "
                                           "\"%1\".").arg(typed.trimmed()),
                            CheckInPanel::Tone::Refused);
        return;
    }
    chooseAttendee(m_names->item(0)->data(KeyRole).toLongLong());
}

void CheckInDesk::chooseAttendee(qint64 attendeeId)
{
    clearScan();
    CommandRunner(m_owner).reporting({QString(), MsgIcon::Critical, true}, [&] {
        if (show(attendeeId))
            m_panel->showResult(QStringLiteral("%1 is shown. Check In (F8) checks them in.").arg(currentName()),
                                CheckInPanel::Tone::Done);
    });
    focusScan();
}

void CheckInDesk::checkInCurrent()
{
    CommandRunner(m_owner).reporting({QString(), MsgIcon::Critical, true}, [&] {
        Recordset *rs = m_attendees->recordset();
        // A new attendee being typed is saved first: a check-in belongs to a stored attendee.
        if (rs && rs->isOpen() && (rs->editMode() == EditMode::Adding || m_attendees->dataChanged())
            && !m_window.writePending())
            return;
        const qint64 key = currentKey();
        if (key <= 0) {
            m_panel->showResult(QStringLiteral("No attendee is shown: scan a card or type a name first."),
                                CheckInPanel::Tone::Refused);
            return;
        }
        checkIn(key, currentName());
    });
}

void CheckInDesk::undoCheckIn()
{
    CommandRunner(m_owner).reporting({QString(), MsgIcon::Critical, true}, [&] {
        const qint64 key = currentKey();
        if (key <= 0) {
            m_panel->showResult(QStringLiteral("No attendee is shown: scan a card or type a name first."),
                                CheckInPanel::Tone::Refused);
            return;
        }
        const std::shared_ptr<Database> connection = database();
        Database &db = *connection;
        const QString name = currentName();
        const std::optional<CheckInRecord> current = CheckInLog::current(db, key);
        if (!current) {
            m_panel->showResult(QStringLiteral("%1 is not checked in.").arg(name), CheckInPanel::Tone::Notice);
            return;
        }
        const QString question = QStringLiteral("Undo the check-in of %1 (checked in on %2 at the desk %3)?")
                                     .arg(name, when(current->checkedIn), current->desk);
        if (Dialogs::instance().message(m_owner, question, QStringLiteral("Undo Check-In"), MsgButtons::YesNo,
                                        MsgIcon::Question, MsgAnswer::No)
            != MsgAnswer::Yes)
            return;
        CheckInLog::undo(db, key);
        m_panel->showResult(QStringLiteral("The check-in of %1 was undone.").arg(name), CheckInPanel::Tone::Done);
        emit checkInsChanged();
        showStatus();
    });
}

// The desk's own connection, held by the caller while used (with a desk named,
// nothing else may be holding it).
std::shared_ptr<Database> CheckInDesk::database() const
{
    return Database::sharedByDesk(m_context.databaseLocation(), m_context.desk);
}

void CheckInDesk::showStatus()
{
    const qint64 key = currentKey();
    if (key <= 0) {
        m_panel->showStatus(QString(), false, QString());
        return;
    }
    std::optional<CheckInRecord> checkedIn;
    std::optional<CardPrintRecord> printed;
    // The statuses are a view: a failed read leaves them blank, the commands say what fails.
    bool read = false;
    ignoreErrors([&] {
        const std::shared_ptr<Database> connection = database();
        Database &db = *connection;
        checkedIn = CheckInLog::current(db, key);
        printed = CardPrintLog::last(db, key);
        read = true;
    });
    if (!read) {
        m_panel->showStatus(QString(), false, QString());
        return;
    }
    const QString checkIn = checkedIn ? QStringLiteral("Checked in %1 at %2").arg(when(checkedIn->checkedIn), checkedIn->desk)
                                      : QStringLiteral("Not checked in");
    QString card = QStringLiteral("No card printed");
    if (printed) {
        card = QStringLiteral("Card printed %1 at %2").arg(when(printed->printed), printed->desk);
        if (!printed->printer.isEmpty())
            card += QStringLiteral(" (%1)").arg(printed->printer);
    }
    m_panel->showStatus(checkIn, checkedIn.has_value(), card);
}
