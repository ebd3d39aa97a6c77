#include "RecordDisplay.h"

#include "AttendeePanel.h"
#include "RegisterWindow.h"
#include "core/AppError.h"
#include "core/Dialogs.h"
#include "core/AppContext.h"
#include "core/ModGen.h"
#include "core/Twips.h"
#include "bindings/DataControl.h"
#include "data/DataError.h"
#include "data/Recordset.h"
#include "idcard/CardLayout.h"
#include "idcard/CardWidget.h"
#include "lists/DatasheetList.h"
#include "lists/DonationsPanel.h"

#include <QGuiApplication>
#include <QImageReader>
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
                             DonationsPanel *donations, DatasheetList *datasheet)
    : QObject(window)
    , m_context(context)
    , m_window(window)
    , m_attendee(attendee)
    , m_donations(donations)
    , m_datasheet(datasheet)
{
}

void RecordDisplay::cardNameUpdate()
{
    const QString first = m_attendee->fieldText(FirstName);
    const QString last = m_attendee->fieldText(LastName).toUpper();
    for (CardWidget *card : m_window->cards()) {
        ignoreErrors([&] { card->setName(0, first); });
        ignoreErrors([&] { card->setName(1, last); });
    }
}

void RecordDisplay::cardChapterUpdate()
{
    const QString chapter = m_attendee->fieldText(Chapter);
    // A chapter of blanks counts as none; a real one keeps its blanks.
    const QString line = chapter.trimmed().isEmpty() ? m_attendee->fieldText(City)
                                                     : chapter + QStringLiteral(" Chapter");
    for (CardWidget *card : m_window->cards())
        ignoreErrors([&] { card->setChapter(line); });
}

void RecordDisplay::txtFields_Change(int index)
{
    if (index == FirstName || index == LastName)
        cardNameUpdate();
    if (index == City || index == Chapter)
        cardChapterUpdate();
}

QSize RecordDisplay::photoPixelSize() const
{
    // One picture serves every card, the card windows too (also those loaded
    // later, which copy it), so it is decoded for the largest photo box of all
    // the layouts: the preview is as sharp as the miniature.
    const QList<CardWidget *> cards = m_window->cards();
    const CardWidget *card = cards.isEmpty() ? nullptr : cards.first();
    const qreal ratio = card ? card->devicePixelRatioF() : 1.0;
    const double dpiX = (card ? card->logicalDpiX() : 96.0) * ratio;
    const double dpiY = (card ? card->logicalDpiY() : 96.0) * ratio;
    QSize largest;
    for (const CardLayout &layout : {CardLayout::miniature(), CardLayout::card3x4(), CardLayout::card2x35()}) {
        if (const CardElement *box = layout.element(QStringLiteral("imgPic"))) {
            const QSize size = Twips::toPixelSize(box->twips.size(), dpiX, dpiY);
            if (size.width() * size.height() > largest.width() * largest.height())
                largest = size;
        }
    }
    return largest;
}

void RecordDisplay::setPhotoOnCards(const QPixmap &photo, const QString &tag)
{
    m_photoTag = tag;
    for (CardWidget *card : m_window->cards()) {
        ignoreErrors([&] { card->setPhoto(photo); });
        ignoreErrors([&] {
            if (QObject *item = card->findChild<QObject *>(QStringLiteral("imgPic")))
                item->setProperty("Tag", tag);
        });
    }
}

void RecordDisplay::clearPhoto()
{
    setPhotoOnCards(QPixmap(), QString());
}

void RecordDisplay::showPhoto()
{
    const QString stored = m_attendee->lblPic()->text();
    const QString file = stored.isEmpty() ? QString() : m_context.dbFolder + modGen::toNativePath(stored);
    if (file.isEmpty() || !modGen::fileExists(file)) {
        setPhotoOnCards(QPixmap(), QString());
        return;
    }
    // Decoded straight at the box's size: a JPEG reader scales while it decodes.
    QImageReader reader(file);
    const QSize size = photoPixelSize();
    if (size.isValid())
        reader.setScaledSize(size);
    const QImage image = reader.read();
    // A photo that exists but cannot be read shows no photo: never the previous
    // attendee's picture on this attendee's card.
    if (image.isNull()) {
        setPhotoOnCards(QPixmap(), QString());
        return;
    }
    QPixmap photo = QPixmap::fromImage(image);
    if (const QList<CardWidget *> cards = m_window->cards(); !cards.isEmpty())
        photo.setDevicePixelRatio(cards.first()->devicePixelRatioF());
    setPhotoOnCards(photo, stored);
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
    ignoreErrors([&] {
        const Recordset *rs = data->recordset();
        data->setCaption(QString::number(rs->absolutePosition() + 1) + QStringLiteral(" of ")
                         + QString::number(rs->recordCount()));
    });
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
