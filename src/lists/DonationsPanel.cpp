#include "DonationsPanel.h"

#include "app/ModGen.h"
#include "bindings/DataControl.h"
#include "data/Recordset.h"
#include "data/RecordsetModel.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QStringList GridFields = {QStringLiteral("AttendeeID"), QStringLiteral("Amount"), QStringLiteral("RegFee"),
                                QStringLiteral("DonDate"), QStringLiteral("PaymentDate"),
                                QStringLiteral("PaymentType")};
const QStringList GridCaptions = {QStringLiteral("AttendeeID"), QStringLiteral("Amount"), QStringLiteral("Reg Fee?"),
                                  QStringLiteral("Donation Date"), QStringLiteral("Payment Date"),
                                  QStringLiteral("Payment Type")};

QComboBox *makeFloatingList(QWidget *parent, const char *name, const QStringList &items, const QString &accessible)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(false);
    box->addItems(items);
    box->setAccessibleName(accessible);
    box->hide();
    return box;
}

} // namespace

DonationsPanel::DonationsPanel(QWidget *parent)
    : QGroupBox(QStringLiteral("Donations && Fees"), parent)
{
    setObjectName(QStringLiteral("Frame1"));
    setAccessibleName(QStringLiteral("Donations & Fees"));

    m_grdDonors = new QTableView(this);
    m_grdDonors->setObjectName(QStringLiteral("grdDonors"));
    m_grdDonors->setAccessibleName(QStringLiteral("Donations & Fees"));
    m_grdDonors->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grdDonors->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grdDonors->setTabKeyNavigation(false); // Tab leaves the grid until in-cell editing arrives
    m_grdDonors->verticalHeader()->setDefaultSectionSize(m_grdDonors->fontMetrics().height() + 6);
    // The grid wears the system's information (tooltip) background and the window's text colour.
    QPalette palette = m_grdDonors->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::ToolTipBase));
    palette.setColor(QPalette::Text, palette.color(QPalette::WindowText));
    m_grdDonors->setPalette(palette);

    m_cboPaid = makeFloatingList(this, "cboPaid", {QStringLiteral("No"), QStringLiteral("Yes")},
                                 QStringLiteral("Reg Fee?"));
    m_cboPayType = makeFloatingList(this, "cboPayType", {QStringLiteral("Cash"), QStringLiteral("Check")},
                                    QStringLiteral("Payment Type"));
    m_cal = new QCalendarWidget(this);
    m_cal->setObjectName(QStringLiteral("cal"));
    m_cal->setAccessibleName(QStringLiteral("Calendar"));
    m_cal->hide();

    m_datDonors = new DataControl(this);
    m_datDonors->setObjectName(QStringLiteral("datDonors"));
    m_datDonors->setRecordSource(QStringLiteral("qryDon_Fees"));
    m_datDonors->hide();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_grdDonors);
}

QString DonationsPanel::sourceFor(const QString &attendeeId)
{
    return QStringLiteral("SELECT * FROM qryDon_Fees WHERE AttendeeID =") + attendeeId;
}

void DonationsPanel::showAttendee(const QString &attendeeId)
{
    m_datDonors->setDatabaseName(modGen::databaseFile());
    m_datDonors->setRecordSource(sourceFor(attendeeId));
    m_datDonors->refresh();
    if (Recordset *rs = m_datDonors->recordset())
        rs->setLockEdits(false);
    reloadGrid();
}

void DonationsPanel::reloadGrid()
{
    Recordset *rs = m_datDonors->recordset();
    if (!rs) {
        m_grdDonors->setModel(nullptr);
        delete m_model;
        m_model = nullptr;
        return;
    }
    if (m_model && m_model->recordset() == rs) {
        m_model->reload();
        return;
    }
    auto *model = new RecordsetModel(rs, GridFields, this);
    model->setHeaders(GridCaptions);
    m_grdDonors->setModel(model);
    delete m_model;
    m_model = model;
}
