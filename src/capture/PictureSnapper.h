#pragma once

#include <QObject>
#include <QString>
#include <functional>

class AppContext;
class CaptureControl;
class QAction;
class QWidget;

// "&Snap Picture": freezes a frame, asks whether to keep it, saves it as the
// bitmap "Pic\<AttendeeID>.bmp" in the database folder, has the converter turn
// it into "Pic\<AttendeeID>.jpg", points the attendee's Picture field there and
// has the photograph shown on the cards. On a server the converter writes into
// a local folder and the photograph is then stored in the database (the photo
// store), so every desk sees it. The live video comes back afterwards from the
// check marks of "&Preview" and "&Overlay (Live)".
class PictureSnapper : public QObject
{
    Q_OBJECT
public:
    // What the snapper needs of the registration window.
    struct Attendee
    {
        // The current attendee's key (a new one's reserved key); empty when none.
        std::function<QString()> id;
        // Writes the relative photo path into the record's Picture field.
        std::function<void(const QString &relativePath)> setPicture;
        // Puts the record's photo on the cards, or takes the photo off them.
        std::function<void()> showPhoto;
        std::function<void()> clearPhoto;
    };

    PictureSnapper(const AppContext &context, QWidget *window, CaptureControl *video, QAction *mnuPreview, QAction *mnuOverlay,
                   Attendee attendee);

    void mnuSnap_Click();
    void snapPicture();

    // How long the converter may take before the user is told (milliseconds).
    void setConverterTimeLimit(int ms) { m_timeLimitMs = ms; }
    int converterTimeLimit() const { return m_timeLimitMs; }
    // True while a snap is in progress (its converter may still be running).
    bool busy() const { return m_busy; }

    // "Pic\17.jpg" for the key 17.
    static QString relativePath(const QString &id);

private:
    void savePicture();
    void restoreLiveVideo();

    const AppContext &m_context;
    QWidget *m_window;
    CaptureControl *m_video;
    QAction *m_mnuPreview;
    QAction *m_mnuOverlay;
    Attendee m_attendee;
    int m_timeLimitMs = 5000;
    bool m_busy = false;
};
