#include "RecordDisplay.h"

#include "AttendeePanel.h"
#include "RegisterWindow.h"
#include "core/AppError.h"
#include "core/Dialogs.h"
#include "core/AppContext.h"
#include "bindings/DataControl.h"
#include "data/DataError.h"
#include "data/PhotoStore.h"
#include "data/Recordset.h"
#include "idcard/CardPhoto.h"
#include "idcard/CardWidget.h"
#include "lists/DatasheetList.h"
#include "lists/DonationsPanel.h"
#include "session/CardContent.h"
#include "session/CardLines.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>

namespace {

// The text boxes the card lines come from.
constexpr int FirstName = 1;
constexpr int LastName = 3;
constexpr int City = 6;
constexpr int Chapter = 10;

} // namespace

RecordDisplay::RecordDisplay(const AppContext &context, RegisterWindow *window, AttendeePanel *attendee,
                             DonationsPanel *donations, DatasheetList *datasheet, CardContent *card)
    : QObject(window)
    , m_context(context)
    , m_window(window)
    , m_attendee(attendee)
    , m_donations(donations)
    , m_datasheet(datasheet)
    , m_card(card)
{
}

void RecordDisplay::cardNameUpdate()
{
    ignoreErrors([&] { m_card->setName(0, m_attendee->fieldText(FirstName)); });
    ignoreErrors([&] { m_card->setName(1, CardLines::lastName(m_attendee->fieldText(LastName))); });
}

void RecordDisplay::cardChapterUpdate()
{
    ignoreErrors([&] {
        m_card->setChapter(CardLines::chapter(m_attendee->fieldText(Chapter), m_attendee->fieldText(City)));
    });
}

void RecordDisplay::cardCodeUpdate()
{
    const Recordset *rs = m_window->datPrimaryRS()->recordset();
    const bool shown = rs && rs->isOpen() && (rs->absolutePosition() >= 0 || rs->editMode() == EditMode::Adding);
    if (!shown) {
        m_card->setCode(QString());
        return;
    }
    // A new row has no event written yet when it is first shown: it belongs to the window's event.
    QString program = rs->value(QStringLiteral("ProgramID")).toString();
    if (program.trimmed().isEmpty())
        program = m_window->tag();
    m_card->setCode(CardLines::code(program, rs->value(QStringLiteral("AttendeeID")).toString()));
}

void RecordDisplay::txtFields_Change(int index)
{
    if (index == FirstName || index == LastName)
        cardNameUpdate();
    if (index == City || index == Chapter)
        cardChapterUpdate();
}

void RecordDisplay::clearPhoto()
{
    m_photoFile.clear();
    m_card->setPhoto(QImage(), QString());
}

void RecordDisplay::showPhoto()
{
    const QString stored = m_attendee->lblPic()->text();
    QString file;
    QImage photo;
    try {
        if (!stored.isEmpty()) {
            const Recordset *rs = m_window->datPrimaryRS()->recordset();
            const QString key = rs ? QString::number(rs->currentKey()) : QString();
            file = PhotoStore::forLocation(m_context.databaseLocation())->photoFile(key, stored);
            // Decoded for the screen the miniature is on (the card windows share it).
            const CardWidget *miniature = m_attendee->card();
            const qreal ratio = miniature->devicePixelRatioF();
            photo = CardPhoto::load(file, CardPhoto::largestBox(miniature->logicalDpiX() * ratio,
                                                                miniature->logicalDpiY() * ratio));
        }
    } catch (...) {
        clearPhoto(); // never the previous attendee's picture on this attendee's card
        throw;
    }
    // A photo that exists but cannot be read shows no photo either.
    if (photo.isNull()) {
        clearPhoto();
        return;
    }
    m_photoFile = file;
    m_card->setPhoto(photo, stored);
}

void RecordDisplay::showCounter()
{
    const Recordset *rs = m_window->datPrimaryRS()->recordset();
    if (rs)
        m_window->datPrimaryRS()->setCaption(QString::number(rs->absolutePosition() + 1) + QStringLiteral(" of ")
                                             + QString::number(rs->recordCount()));
}

void RecordDisplay::datPrimaryRS_Refreshed(bool refilled)
{
    ignoreErrors([&] { showCounter(); });
    if (!refilled)
        return; // the typing stays on screen and on the cards
    ignoreErrors([&] { showPhoto(); });
    ignoreErrors([&] { cardNameUpdate(); });
    ignoreErrors([&] { cardChapterUpdate(); });
    ignoreErrors([&] { cardCodeUpdate(); });
}

void RecordDisplay::datPrimaryRS_Reposition()
{
    DataControl *data = m_window->datPrimaryRS();
    ignoreErrors([] {
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
    });
    ignoreErrors([&] { showPhoto(); });
    ignoreErrors([&] { cardNameUpdate(); });
    ignoreErrors([&] { cardChapterUpdate(); });
    ignoreErrors([&] { cardCodeUpdate(); });
    ignoreErrors([&] { showCounter(); });
    ignoreErrors([&] {
        const Recordset *rs = data->recordset();
        // A new attendee not yet saved, or none: the grid shows no one's donations.
        if (rs && rs->absolutePosition() > -1)
            m_donations->showAttendee(rs->value(QStringLiteral("AttendeeID")).toString());
        else
            m_donations->showNoAttendee();
    });
}

void RecordDisplay::datPrimaryRS_MouseMove()
{
    ignoreErrors([&] { m_window->datPrimaryRS()->setEnabled(!m_datasheet->isVisible()); });
}
