#include "ChangeWatcher.h"

#include "Database.h"
#include "Engine.h"
#include "core/AppError.h"

#include <QSqlDriver>

ChangeWatcher::ChangeWatcher(std::shared_ptr<Database> db, QObject *parent)
    : QObject(parent)
    , m_db(std::move(db))
    , m_channel(m_db->engine().changeChannel())
{
    m_batch.setSingleShot(true);
    m_batch.setInterval(20);
    connect(&m_batch, &QTimer::timeout, this, &ChangeWatcher::emitPending);
    connect(&m_poll, &QTimer::timeout, this, &ChangeWatcher::poll);
    if (m_channel.isEmpty())
        ignoreErrors([this] { m_counter = m_db->engine().changeCounter(*m_db); });
    else
        subscribe();
    m_poll.start(PollMs);
}

ChangeWatcher::~ChangeWatcher()
{
    if (!m_channel.isEmpty() && m_db->connection().isOpen() && !m_db->isLost())
        ignoreErrors([this] { m_db->connection().driver()->unsubscribeFromNotification(m_channel); });
}

void ChangeWatcher::subscribe()
{
    QSqlDriver *driver = m_db->connection().driver();
    // The driver of a connection made again is the same object; connect once.
    disconnect(driver, nullptr, this, nullptr);
    connect(driver, &QSqlDriver::notification, this,
            [this](const QString &name, QSqlDriver::NotificationSource source, const QVariant &payload) {
                announce(name, int(source), payload);
            });
    if (!driver->subscribedToNotifications().contains(m_channel))
        driver->subscribeToNotification(m_channel);
    m_subscribedGeneration = m_db->connectionGeneration();
    m_sinceNotice.start();
}

void ChangeWatcher::announce(const QString &name, int source, const QVariant &payload)
{
    m_sinceNotice.start();
    // This desk's own writes are shown already.
    if (name != m_channel || source == int(QSqlDriver::SelfSource))
        return;
    m_pending.insert(payload.toString().section(QLatin1Char(' '), 0, 0));
    m_batch.start();
}

void ChangeWatcher::emitPending()
{
    QSet<QString> tables = m_pendingAll ? QSet<QString>() : m_pending;
    m_pending.clear();
    m_pendingAll = false;
    emit changed(tables);
}

void ChangeWatcher::poll()
{
    // Never in the middle of the desk's own write (a box shown during a save runs this loop).
    if (m_db->inTransaction())
        return;
    if (m_lost) {
        if (m_sinceTry.elapsed() < ReconnectMs)
            return;
        m_sinceTry.start();
        if (m_db->isLost() && !m_db->tryReconnect())
            return; // still away
        m_lost = false;
        if (!m_channel.isEmpty())
            subscribe();
        // What changed while the connection was away was never announced.
        m_pendingAll = true;
        emit connectionRestored();
        emitPending();
        return;
    }
    if (!m_db->checkAlive()) {
        m_lost = true;
        m_sinceTry.start();
        emit connectionLost();
        return;
    }
    if (!m_channel.isEmpty()) {
        if (m_sinceNotice.elapsed() >= DeliverMs) {
            m_sinceNotice.start();
            try {
                m_db->engine().deliverNotices(*m_db);
            } catch (const AppError &) {
                return; // a lost connection: noticed on the next beat
            }
        }
        // Another use connected again (a statement found the connection lost).
        if (m_db->connectionGeneration() != m_subscribedGeneration) {
            subscribe();
            m_pendingAll = true;
            emitPending();
        }
        return;
    }
    qint64 counter = -1;
    try {
        counter = m_db->engine().changeCounter(*m_db);
    } catch (const AppError &) {
        return; // a lock of another workstation: looked at again next time
    }
    if (counter != m_counter) {
        m_counter = counter;
        m_pendingAll = true;
        emitPending();
    }
}
