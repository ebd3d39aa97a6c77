#include "VideoMenus.h"

#include "CaptureControl.h"
#include "VideoPreferences.h"
#include "core/AppError.h"
#include "core/Dialogs.h"
#include "core/Settings.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>

VideoMenus::VideoMenus(QMainWindow *window, CaptureControl *video)
    : QObject(window)
    , m_window(window)
    , m_runner(window)
    , m_video(video)
{
    m_options = window->findChild<QMenu *>(QStringLiteral("mnuOptions"));
    m_mnuAudioFmt = item("mnuAudioFmt");
    m_mnuFormat = item("mnuFormat");
    m_mnuSource = item("mnuSource");
    m_mnuDisplay = item("mnuDisplay");
    m_mnuCompression = item("mnuCompression");
    m_mnuPreview = item("mnuPreview");
    m_mnuOverlay = item("mnuOverlay");
    m_mnuSnap = item("mnuSnap");
    if (QAction *first = item("mnuDriver_0")) {
        first->setCheckable(true);
        m_drivers.append(first);
        connectDriverItem(first, 0);
    }
    if (m_mnuPreview)
        connect(m_mnuPreview, &QAction::triggered, this, &VideoMenus::previewChosen);
    if (m_mnuOverlay)
        connect(m_mnuOverlay, &QAction::triggered, this, &VideoMenus::overlayChosen);
    updateSnap(); // no driver and no attendee yet
}

QAction *VideoMenus::item(const char *name) const
{
    return m_window->findChild<QAction *>(QString::fromLatin1(name));
}

QAction *VideoMenus::driverItem(int index) const
{
    return index >= 0 && index < m_drivers.size() ? m_drivers.at(index) : nullptr;
}

void VideoMenus::connectDriverItem(QAction *driver, int index)
{
    connect(driver, &QAction::triggered, this, [this, index] { m_runner.ignoring([&] { mnuDriver_Click(index); }); });
}

int VideoMenus::vbEnumCapDrivers()
{
    int count = 0;
    ignoreErrors([&] { count = m_video->driverCount(); });
    if (count < 1) {
        ignoreErrors([&] {
            Dialogs::instance().message(m_window, QStringLiteral("No Video Capture Device!"),
                                        Dialogs::applicationTitle(), MsgButtons::Ok, MsgIcon::Information);
        });
    } else {
        for (int i = 0; i < count; ++i) {
            ignoreErrors([&] {
                QAction *driver = driverItem(i);
                if (!driver) {
                    driver = m_options->addAction(QString());
                    driver->setObjectName(QStringLiteral("mnuDriver_%1").arg(i));
                    driver->setProperty("index", i);
                    driver->setCheckable(true);
                    m_drivers.append(driver);
                    connectDriverItem(driver, i);
                }
                driver->setText(m_video->driverName(i) + QLatin1Char(' ') + m_video->driverVersion(i));
                driver->setEnabled(true);
            });
        }
        ignoreErrors([&] {
            int index = VideoPreferences::storedDriverIndex();
            // Beyond the list (or below it, which no driver can be): the first driver.
            if (index > int(m_drivers.size()) - 1 || index < 0)
                index = 0;
            mnuDriver_Click(index);
        });
    }
    ignoreErrors([&] { count = m_video->driverCount(); });
    return count;
}

void VideoMenus::mnuDriver_Click(int index)
{
    int previous = -1;
    ignoreErrors([&] { previous = m_video->driverIndex(); });
    bool connected = false;
    try {
        m_video->setDriverIndex(index);
        connected = true;
    } catch (...) {
    }
    if (connected) {
        for (QAction *driver : std::as_const(m_drivers))
            ignoreErrors([&] { driver->setChecked(false); });
        ignoreErrors([&] { if (QAction *chosen = driverItem(index)) chosen->setChecked(true); });
        ignoreErrors([&] { setVideoMenus(); });
        ignoreErrors([&] { VideoPreferences::storeDriverIndex(index); });
        return;
    }
    ignoreErrors([&] { m_video->setDriverIndex(previous); });
    // The chosen item got its check mark from the click; it goes back to the previous one.
    ignoreErrors([&] { if (QAction *chosen = driverItem(index); chosen && index != previous) chosen->setChecked(false); });
    ignoreErrors([&] { if (QAction *before = driverItem(previous)) before->setChecked(true); });
    ignoreErrors([&] {
        Dialogs::instance().message(m_window, QStringLiteral("Could not connect to video device"),
                                    Dialogs::applicationTitle(), MsgButtons::Ok, MsgIcon::Information);
    });
}

void VideoMenus::setVideoMenus()
{
    for (QAction *action : {m_mnuAudioFmt, m_mnuFormat, m_mnuDisplay, m_mnuSource, m_mnuCompression, m_mnuOverlay})
        ignoreErrors([&] { action->setEnabled(false); });
    m_snapAllowed = false;
    ignoreErrors([&] { updateSnap(); });

    ignoreErrors([&] {
        if (m_video->driverCount() >= 1) {
            m_snapAllowed = true;
            updateSnap();
            // Compression only where the driver has a real dialog for it.
            m_mnuCompression->setEnabled(m_video->hasCompressionDialog());
        }
    });
    ignoreErrors([&] { if (m_video->hasAudio()) m_mnuAudioFmt->setEnabled(true); });
    ignoreErrors([&] { if (m_video->hasFormatDialog()) m_mnuFormat->setEnabled(true); });
    ignoreErrors([&] { if (m_video->hasDisplayDialog()) m_mnuDisplay->setEnabled(true); });
    ignoreErrors([&] { if (m_video->hasSourceDialog()) m_mnuSource->setEnabled(true); });

    ignoreErrors([&] {
        if (!m_video->hasOverlay())
            return;
        m_mnuOverlay->setEnabled(true);
        if (const std::optional<bool> on = VideoPreferences::storedBoolean(SettingKeys::Overlay,
                                                                           m_mnuOverlay->isChecked())) {
            m_video->setOverlayOn(*on);
            m_mnuOverlay->setChecked(*on);
        }
    });
    ignoreErrors([&] {
        if (const std::optional<bool> on = VideoPreferences::storedBoolean(SettingKeys::Preview,
                                                                           m_mnuPreview->isChecked())) {
            m_video->setPreviewOn(*on);
            m_mnuPreview->setChecked(*on);
        }
    });
}

void VideoMenus::previewChosen(bool on)
{
    ignoreErrors([&] { m_video->setPreviewOn(on); });
    ignoreErrors([&] { VideoPreferences::storeBoolean(SettingKeys::Preview, on); });
}

void VideoMenus::overlayChosen(bool on)
{
    ignoreErrors([&] { m_video->setOverlayOn(on); });
    ignoreErrors([&] { VideoPreferences::storeBoolean(SettingKeys::OverlayWrite, on); });
}

void VideoMenus::mnuPreview_Click()
{
    ignoreErrors([&] {
        m_mnuPreview->setChecked(!m_mnuPreview->isChecked());
        previewChosen(m_mnuPreview->isChecked());
    });
}

void VideoMenus::mnuOverlay_Click()
{
    ignoreErrors([&] {
        m_mnuOverlay->setChecked(!m_mnuOverlay->isChecked());
        overlayChosen(m_mnuOverlay->isChecked());
    });
}

void VideoMenus::mnuAudioFmt_Click()
{
    m_runner.ignoring([&] { m_video->showAudioFormatDialog(); });
}

void VideoMenus::mnuFormat_Click()
{
    m_runner.ignoring([&] { m_video->showFormatDialog(); });
}

void VideoMenus::mnuSource_Click()
{
    m_runner.ignoring([&] { m_video->showSourceDialog(); });
}

void VideoMenus::mnuDisplay_Click()
{
    m_runner.ignoring([&] { m_video->showDisplayDialog(); });
}

void VideoMenus::mnuCompression_Click()
{
    m_runner.ignoring([&] { m_video->showCompressionDialog(); });
}

void VideoMenus::setAttendeeCurrent(bool current)
{
    m_attendeeCurrent = current;
    updateSnap();
}

void VideoMenus::updateSnap()
{
    if (m_mnuSnap)
        m_mnuSnap->setEnabled(m_snapAllowed && m_attendeeCurrent);
}
