#include "PictureSnapper.h"

#include "CaptureControl.h"
#include "PictureConverter.h"
#include "bindings/CommandRunner.h"
#include "core/AppContext.h"
#include "core/AppError.h"
#include "core/ModGen.h"
#include "core/Dialogs.h"
#include "data/PhotoStore.h"

#include <QAction>
#include <QFile>
#include <QPointer>
#include <QScopeGuard>

namespace {

const QString SaveImageError = QStringLiteral("Save Image Error");

} // namespace

PictureSnapper::PictureSnapper(const AppContext &context, QWidget *window, CaptureControl *video,
                               QAction *mnuPreview, QAction *mnuOverlay, Attendee attendee)
    : QObject(window)
    , m_context(context)
    , m_window(window)
    , m_video(video)
    , m_mnuPreview(mnuPreview)
    , m_mnuOverlay(mnuOverlay)
    , m_attendee(std::move(attendee))
{
}

QString PictureSnapper::relativePath(const QString &id)
{
    return PhotoStore::storedPath(id);
}

void PictureSnapper::mnuSnap_Click()
{
    CommandRunner(m_window).ignoring([this] { snapPicture(); });
}

void PictureSnapper::snapPicture()
{
    // One snap at a time: the converter's wait lets the menu be used meanwhile.
    if (m_busy)
        return;
    // No attendee, no photograph (the command is disabled then; this holds for code too).
    QString id;
    ignoreErrors([&] { id = m_attendee.id(); });
    if (id.isEmpty())
        return;
    // The window (and this snapper) may close while the converter is waited for.
    QPointer<PictureSnapper> alive(this);
    m_busy = true;
    const auto idle = qScopeGuard([&alive] {
        if (alive)
            alive->m_busy = false;
    });
    try {
        m_video->grabFrame();
        const MsgAnswer answer = Dialogs::instance().message(
            m_window, QStringLiteral("Would you like to Save this picture?"), Dialogs::applicationTitle(),
            MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::Yes);
        if (answer == MsgAnswer::Yes)
            savePicture();
    } catch (const AppError &error) {
        if (alive)
            Dialogs::instance().message(m_window, error.description(), QStringLiteral("Snap Picture Error"),
                                        MsgButtons::Ok, MsgIcon::Critical);
    }
    // Also after an error: a frozen frame would look like a camera that hangs.
    if (alive)
        restoreLiveVideo();
}

void PictureSnapper::restoreLiveVideo()
{
    ignoreErrors([this] { m_video->setPreviewOn(m_mnuPreview->isChecked()); });
    ignoreErrors([this] {
        if (m_video->hasOverlay())
            m_video->setOverlayOn(m_mnuOverlay->isChecked());
    });
}

void PictureSnapper::savePicture()
{
    QString id, jpeg, bitmap;
    std::unique_ptr<PhotoStore> photos;
    try {
        id = m_attendee.id();
        if (id.isEmpty())
            throw AppError(-1, SaveImageError, QStringLiteral("There is no attendee to take the picture of."));
        const QString relative = relativePath(id);
        m_attendee.setPicture(relative);
        // The Pic folder of a database file; on a server, a local file stored in the database afterwards.
        photos = PhotoStore::forLocation(m_context.databaseLocation());
        jpeg = photos->newPhotoFile(id);
        bitmap = jpeg.left(jpeg.lastIndexOf(QLatin1Char('.')) + 1) + QStringLiteral("bmp");
        m_video->saveFrame(bitmap);
    } catch (const AppError &error) {
        throw error.withSource(SaveImageError);
    }

    QPointer<PictureSnapper> alive(this);
    PictureConverter::Result result;
    try {
        result = PictureConverter(m_context.appFolder).run(bitmap, jpeg, m_timeLimitMs);
    } catch (const AppError &error) {
        Dialogs::instance().message(m_window, error.description(), Dialogs::applicationTitle(), MsgButtons::Ok,
                                    MsgIcon::None);
        throw error.withSource(SaveImageError);
    }
    // The window may have closed while the converter ran.
    if (!alive)
        return;

    const bool converted = result.outcome == PictureConverter::Outcome::Converted && modGen::fileExists(jpeg);
    if (converted) {
        ignoreErrors([&] { QFile::remove(bitmap); });
        try {
            photos->store(id); // every desk sees it from now on
        } catch (const AppError &error) {
            ignoreErrors([&] {
                if (m_attendee.id() == id)
                    m_attendee.clearPhoto();
            });
            throw AppError(-1, SaveImageError,
                           QStringLiteral("The picture could not be stored in the database: %1").arg(error.description()));
        }
        ignoreErrors([&] { m_attendee.showPhoto(); });
        return;
    }
    // No new photograph: an earlier one must not pass for it. The user moved
    // on meanwhile? Then the cards show that attendee, as they should.
    ignoreErrors([&] {
        if (m_attendee.id() == id)
            m_attendee.clearPhoto();
    });
    if (result.outcome == PictureConverter::Outcome::TimedOut)
        throw AppError(-1, SaveImageError,
                       QStringLiteral("The picture converter did not finish within %1 seconds. The snapped "
                                      "picture is kept as %2.")
                           .arg(m_timeLimitMs / 1000.0)
                           .arg(bitmap));
    throw AppError(-1, SaveImageError,
                   QStringLiteral("The picture could not be converted to %1: %2").arg(jpeg, result.message));
}
