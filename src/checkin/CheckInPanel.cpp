#include "CheckInPanel.h"

#include "ScanBox.h"

#include <QGridLayout>
#include <QLabel>

namespace {

QLabel *statusLabel(const char *name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

CheckInPanel::CheckInPanel(QWidget *parent)
    : QWidget(parent)
    , m_scan(new ScanBox(this))
    , m_result(statusLabel("lblScanResult", this))
    , m_checkedIn(statusLabel("lblCheckedIn", this))
    , m_cardPrinted(statusLabel("lblCardPrinted", this))
{
    setObjectName(QStringLiteral("CheckInPanel"));
    auto *caption = new QLabel(QStringLiteral("Scan or type a name:"), this);
    caption->setObjectName(QStringLiteral("lblScan"));
    caption->setBuddy(m_scan);
    m_scan->setAccessibleName(QStringLiteral("Scan or type a name"));
    m_scan->setToolTip(QStringLiteral("Scan an ID card's code, or type the start of a first or last name (F3)"));
    m_scan->setPlaceholderText(QStringLiteral("Scan a card, or type a name"));
    m_scan->setMinimumWidth(260);
    m_result->setAccessibleName(QStringLiteral("Last scan"));
    m_result->setWordWrap(true);
    m_checkedIn->setAccessibleName(QStringLiteral("Check-in"));
    m_cardPrinted->setAccessibleName(QStringLiteral("Card printed"));

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(caption, 0, 0);
    grid->addWidget(m_scan, 0, 1);
    grid->addWidget(m_result, 0, 2, 1, 2);
    grid->addWidget(m_checkedIn, 1, 1);
    grid->addWidget(m_cardPrinted, 1, 2, 1, 2);
    grid->setColumnStretch(3, 1);
    showStatus(QString(), false, QString());
}

void CheckInPanel::showResult(const QString &text, Tone tone)
{
    static const char *const colours[] = {"#006400", "#8a5a00", "#a00000"};
    m_result->setStyleSheet(QStringLiteral("QLabel { color: %1; font-weight: bold; }").arg(QLatin1String(colours[int(tone)])));
    m_result->setText(text);
    m_result->setAccessibleDescription(text);
}

void CheckInPanel::showStatus(const QString &checkedIn, bool isCheckedIn, const QString &cardPrinted)
{
    m_checkedIn->setText(checkedIn);
    m_checkedIn->setStyleSheet(isCheckedIn ? QStringLiteral("QLabel { color: #006400; font-weight: bold; }") : QString());
    m_checkedIn->setAccessibleDescription(checkedIn);
    m_cardPrinted->setText(cardPrinted);
    m_cardPrinted->setAccessibleDescription(cardPrinted);
}
