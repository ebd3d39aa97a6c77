#include "LiveRefresh.h"

#include "RecordDisplay.h"
#include "RegisterWindow.h"
#include "bindings/DataControl.h"
#include "checkin/CheckInDesk.h"
#include "core/AppContext.h"
#include "core/AppError.h"
#include "data/ChangeWatcher.h"
#include "data/Database.h"
#include "events/EventWindow.h"
#include "lists/DatasheetView.h"
#include "lists/DonationsPanel.h"
#include "lists/LookupLists.h"

#include <QLabel>
#include <QStatusBar>

namespace {

bool touches(const QSet<QString> &tables, std::initializer_list<const char *> names)
{
    if (tables.isEmpty())
        return true; // anything may have changed
    for (const char *name : names) {
        if (tables.contains(QLatin1String(name)))
            return true;
    }
    return false;
}

} // namespace

LiveRefresh::LiveRefresh(RegisterWindow *window)
    : QObject(window)
    , m_window(window)
{
    m_donationsLater.setInterval(500);
    connect(&m_donationsLater, &QTimer::timeout, this, &LiveRefresh::refreshDonations);
}

LiveRefresh::~LiveRefresh() = default;

QString LiveRefresh::lostText(const QString &server)
{
    return QStringLiteral("The database server %1 cannot be reached. What you type stays on screen; Quorvex "
                          "connects again by itself when the server is back, then save again.")
        .arg(server);
}

QString LiveRefresh::restoredText()
{
    // One line: the status bar does not wrap a message (the server was named when it went).
    return QStringLiteral("Connected again to the database server; anything not saved can be saved now.");
}

void LiveRefresh::start()
{
    const AppContext &context = m_window->context();
    m_watcher = std::make_unique<ChangeWatcher>(Database::sharedByDesk(context.databaseLocation(), context.desk));
    connect(m_watcher.get(), &ChangeWatcher::changed, this, &LiveRefresh::changed);
    connect(m_watcher.get(), &ChangeWatcher::connectionLost, this, &LiveRefresh::lost);
    connect(m_watcher.get(), &ChangeWatcher::connectionRestored, this, &LiveRefresh::restored);
}

void LiveRefresh::changed(const QSet<QString> &tables)
{
    if (touches(tables, {"attendees", "photos"})) {
        ignoreErrors([this] { m_window->datPrimaryRS()->lookAgain(); });
        ignoreErrors([this] { m_window->datasheetView()->lookAgain(); });
    }
    if (touches(tables, {"checkins", "cardprints"})) {
        // Another desk checked in or printed: the form's statuses and the datasheet's columns.
        ignoreErrors([this] { m_window->checkInDesk()->showStatus(); });
        ignoreErrors([this] { m_window->datasheetView()->refreshRows(); });
    }
    if (touches(tables, {"donations"}))
        refreshDonations();
    if (touches(tables, {"title", "office"}))
        ignoreErrors([this] { m_window->lookupLists()->loadLists(); });
    if (touches(tables, {"program"})) {
        ignoreErrors([this] {
            if (EventWindow *events = m_window->frmEvent())
                events->datPrimaryRS()->lookAgain();
        });
    }
}

void LiveRefresh::refreshDonations()
{
    bool done = true;
    ignoreErrors([&] { done = m_window->donationsPanel()->lookAgain(); });
    if (done)
        m_donationsLater.stop();
    else if (!m_donationsLater.isActive())
        m_donationsLater.start();
}

void LiveRefresh::lost()
{
    const QString text = lostText(m_watcher->database().displayName());
    if (!m_serverMark) {
        m_serverMark = new QLabel(m_window);
        m_serverMark->setObjectName(QStringLiteral("lblServer"));
        m_serverMark->setStyleSheet(QStringLiteral("QLabel { color: #a00000; font-weight: bold; }"));
        m_serverMark->setWordWrap(true);
        m_window->statusBar()->addWidget(m_serverMark, 1);
    }
    m_serverMark->setText(text);
    m_serverMark->setAccessibleName(text);
    m_serverMark->show();
}

void LiveRefresh::restored()
{
    if (m_serverMark)
        m_serverMark->hide();
    m_window->statusBar()->showMessage(restoredText(), 15000);
}
