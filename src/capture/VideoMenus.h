#pragma once

#include "bindings/CommandRunner.h"

#include <QList>
#include <QObject>

class CaptureControl;
class QAction;
class QMainWindow;
class QMenu;

// The "Video &Options" menu of the registration window and "&Snap Picture":
// lists the capture drivers ("mnuDriver_N"), connects the chosen one, enables
// the items the connected driver supports and applies and remembers the preview
// and overlay preferences. Snap is enabled only with a driver and a current
// attendee.
//
// The check items (preview, overlay, drivers) are connected here: Qt has
// already inverted a check mark when their triggered() arrives. The public
// ..._Click() functions are the same commands for code, inverting themselves.
class VideoMenus : public QObject
{
    Q_OBJECT
public:
    VideoMenus(QMainWindow *window, CaptureControl *video);

    // Fills the driver list and connects the stored driver; returns the driver count.
    int vbEnumCapDrivers();
    void setVideoMenus();
    void mnuDriver_Click(int index);
    void mnuPreview_Click();
    void mnuOverlay_Click();
    void mnuAudioFmt_Click();
    void mnuFormat_Click();
    void mnuSource_Click();
    void mnuDisplay_Click();
    void mnuCompression_Click();

    // Whether the window has a current attendee (one shown, or a new one being added).
    void setAttendeeCurrent(bool current);

    // The driver item `index` ("mnuDriver_<index>"), nullptr when there is none.
    QAction *driverItem(int index) const;
    QAction *mnuPreview() const { return m_mnuPreview; }
    QAction *mnuOverlay() const { return m_mnuOverlay; }

private:
    QAction *item(const char *name) const;
    void connectDriverItem(QAction *item, int index);
    void previewChosen(bool on);
    void overlayChosen(bool on);
    void updateSnap();

    QMainWindow *m_window;
    CommandRunner m_runner;
    CaptureControl *m_video;
    QMenu *m_options = nullptr;
    QAction *m_mnuAudioFmt = nullptr;
    QAction *m_mnuFormat = nullptr;
    QAction *m_mnuSource = nullptr;
    QAction *m_mnuDisplay = nullptr;
    QAction *m_mnuCompression = nullptr;
    QAction *m_mnuPreview = nullptr;
    QAction *m_mnuOverlay = nullptr;
    QAction *m_mnuSnap = nullptr;
    QList<QAction *> m_drivers;
    bool m_snapAllowed = false;   // a driver exists (set by setVideoMenus)
    bool m_attendeeCurrent = false;
};
