#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>
#include <memory>

class Database;

// Tells a desk that other desks changed the database, so that what it shows is
// read again. What it says is "look again", never data: the desk reads the rows
// itself, through its own connection.
//
// A server announces every committed change on the engine's channel (LISTEN/NOTIFY,
// subscribed on the desk's connection and again after a lost connection was made
// again); a file has no announcements, so its change counter (PRAGMA data_version,
// which moves only for other connections' commits) is looked at a few times a
// second. Either way the watcher also notices a connection lost under an idle desk
// and connects again, by itself, once the server is back.
class ChangeWatcher : public QObject
{
    Q_OBJECT
public:
    explicit ChangeWatcher(std::shared_ptr<Database> db, QObject *parent = nullptr);
    ~ChangeWatcher() override;

    // How often the counter, the connection and a lost server are looked at.
    static constexpr int PollMs = 200;
    static constexpr int ReconnectMs = 1000;
    // How long a server's connection stays without any notice before the watcher
    // asks the server for what it may be holding back.
    static constexpr int DeliverMs = PollMs;

    Database &database() const { return *m_db; }
    bool isConnected() const { return !m_lost; }

signals:
    // Other desks committed changes to `tables` (lower case, e.g. "attendees");
    // empty when any table may have changed (a file's counter, a connection made again).
    void changed(const QSet<QString> &tables);
    // The connection went (a server restarted, a cable out) / was made again.
    void connectionLost();
    void connectionRestored();

private:
    void poll();
    void subscribe();
    void announce(const QString &name, int source, const QVariant &payload);
    void emitPending();

    std::shared_ptr<Database> m_db;
    QString m_channel;
    quint64 m_subscribedGeneration = 0;
    qint64 m_counter = -1;
    bool m_lost = false;
    QElapsedTimer m_sinceTry;
    QElapsedTimer m_sinceNotice;
    QTimer m_poll;
    QTimer m_batch; // announcements of one commit (or a burst) become one signal
    QSet<QString> m_pending;
    bool m_pendingAll = false;
};
