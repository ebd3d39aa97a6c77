#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>
#include <memory>

class ChangeWatcher;
class QLabel;
class RegisterWindow;

// Keeps the registration window showing what the other desks save, with nobody at
// this desk doing anything: the attendees of the event (the counter and the
// navigator's set; the fields when nothing typed is unsaved), the datasheet when
// shown, the donations of the attendee shown (never under a row being typed:
// those are read once it is written), the Title and Office lists and the events.
//
// It also tells the desk when the server cannot be reached (a mark in the status
// bar; what is typed stays on screen) and when it was connected again by itself
// (the save can then be repeated).
class LiveRefresh : public QObject
{
    Q_OBJECT
public:
    explicit LiveRefresh(RegisterWindow *window);
    ~LiveRefresh() override;

    // Watches the database the window opened (after its load).
    void start();
    ChangeWatcher *watcher() const { return m_watcher.get(); }
    // The status bar's mark of a server out of reach ("lblServer").
    QLabel *serverMark() const { return m_serverMark; }

    static QString lostText(const QString &server);
    static QString restoredText();

private:
    void changed(const QSet<QString> &tables);
    void lost();
    void restored();
    void refreshDonations();

    RegisterWindow *m_window;
    std::unique_ptr<ChangeWatcher> m_watcher;
    QLabel *m_serverMark = nullptr;
    QTimer m_donationsLater; // donations changed while a row was being typed
};
