#include "DonationsPanel.h"

#include <algorithm>

#include "DonationDelegates.h"
#include "DonationsGrid.h"
#include "bindings/DataControl.h"
#include "core/AppContext.h"
#include "core/Dialogs.h"
#include "data/Database.h"
#include "data/Recordset.h"
#include "data/RecordsetModel.h"

#include <QDate>
#include <QHeaderView>
#include <QVBoxLayout>

namespace {

const QStringList GridFields = {QStringLiteral("AttendeeID"), QStringLiteral("Amount"), QStringLiteral("RegFee"),
                                QStringLiteral("DonDate"), QStringLiteral("PaymentDate"),
                                QStringLiteral("PaymentType")};
const QStringList GridCaptions = {QStringLiteral("AttendeeID"), QStringLiteral("Amount"), QStringLiteral("Reg Fee?"),
                                  QStringLiteral("Donation Date"), QStringLiteral("Payment Date"),
                                  QStringLiteral("Payment Type")};

} // namespace

DonationsPanel::DonationsPanel(const AppContext &context, QWidget *parent)
    : QGroupBox(QStringLiteral("Donations && Fees"), parent)
    , m_context(context)
{
    setObjectName(QStringLiteral("Frame1"));
    setAccessibleName(QStringLiteral("Donations & Fees"));

    m_datDonors = new DataControl(this);
    m_datDonors->setObjectName(QStringLiteral("datDonors"));
    m_datDonors->setRecordSource(QStringLiteral("qryDon_Fees"));
    m_datDonors->hide();

    m_model = new RecordsetModel(nullptr, GridFields, this);
    m_model->setHeaders(GridCaptions);
    m_model->setAllowAddRow(true);
    m_model->setColumnFormat(AmountCol, RecordsetModel::Format::Currency);
    m_model->setColumnFormat(RegFeeCol, RecordsetModel::Format::YesNo);
    m_model->setColumnFormat(DonDateCol, RecordsetModel::Format::ShortDate);
    m_model->setColumnFormat(PaymentDateCol, RecordsetModel::Format::ShortDate);
    m_model->setColumnDefault(AmountCol, [] { return QVariant(qint64(50)); });
    m_model->setColumnDefault(RegFeeCol, [] { return QVariant(false); });
    m_model->setColumnDefault(DonDateCol, [] { return QVariant(QDate::currentDate()); });
    m_model->setColumnDefault(PaymentDateCol, [] { return QVariant(QDate::currentDate()); });
    m_model->setColumnDefault(PaymentTypeCol, [] { return QVariant(QStringLiteral("Check")); });
    connect(m_datDonors, &DataControl::recordsetOpened, m_model, &RecordsetModel::setRecordset);
    // A row the grid could not write (another workstation changed it meanwhile) is reported.
    connect(m_model, &RecordsetModel::dataError, this, [this](const QString &message) {
        Dialogs::instance().message(this, message, QString(), MsgButtons::Ok, MsgIcon::Exclamation);
    });

    m_grdDonors = new DonationsGrid(this);
    m_grdDonors->setModel(m_model);
    // A read-only database: a donation typed into the grid is refused with the reason.
    connect(m_grdDonors, &DonationsGrid::editRefused, this, [this] {
        if (Recordset *rs = m_model->recordset())
            Dialogs::instance().message(this, rs->database().readOnlyError().description(), QString(),
                                        MsgButtons::Ok, MsgIcon::Exclamation);
    });
    m_grdDonors->setItemDelegateForColumn(AmountCol, new AmountDelegate(m_grdDonors));
    m_grdDonors->setItemDelegateForColumn(
        RegFeeCol, new ChoiceDelegate(QStringLiteral("cboPaid"), QStringLiteral("Reg Fee?"),
                                      {QStringLiteral("No"), QStringLiteral("Yes")}, true, m_grdDonors));
    m_grdDonors->setItemDelegateForColumn(DonDateCol, new DateDelegate(QStringLiteral("Donation Date"), m_grdDonors));
    m_grdDonors->setItemDelegateForColumn(PaymentDateCol,
                                          new DateDelegate(QStringLiteral("Payment Date"), m_grdDonors));
    m_grdDonors->setItemDelegateForColumn(
        PaymentTypeCol, new ChoiceDelegate(QStringLiteral("cboPayType"), QStringLiteral("Payment Type"),
                                           {QStringLiteral("Cash"), QStringLiteral("Check")}, false, m_grdDonors));
    m_grdDonors->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_grdDonors->resizeColumnsToContents();
    m_grdDonors->setEnabled(false); // no attendee yet

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_grdDonors);
}

QString DonationsPanel::sourceFor(const QString &attendeeId)
{
    return QStringLiteral("SELECT * FROM qryDon_Fees WHERE AttendeeID =") + attendeeId;
}

void DonationsPanel::finishPending()
{
    m_grdDonors->commitOpenEditor();
    if (!m_model->submit())
        m_model->revert();
}

void DonationsPanel::detach()
{
    m_attendeeId.clear();
    m_model->setColumnLink(AttendeeCol, QVariant());
    m_model->setRecordset(nullptr);
    m_grdDonors->setEnabled(false);
}

void DonationsPanel::showAttendee(const QString &attendeeId)
{
    finishPending();
    bool ok = false;
    const qint64 key = attendeeId.trimmed().toLongLong(&ok);
    if (!ok) {
        detach();
        return;
    }
    m_attendeeId = QString::number(key);
    m_model->setColumnLink(AttendeeCol, key);
    try {
        m_datDonors->setDatabaseName(m_context.databaseLocation(), m_context.desk);
        m_datDonors->setRecordSource(sourceFor(m_attendeeId));
        m_datDonors->refresh(); // the model follows the new recordset
        m_datDonors->recordset()->setLockEdits(false);
    } catch (...) {
        detach();
        throw;
    }
    if (m_model->recordset() != m_datDonors->recordset())
        m_model->setRecordset(m_datDonors->recordset());
    m_grdDonors->setEnabled(true);
}

void DonationsPanel::showNoAttendee()
{
    finishPending();
    detach();
}

bool DonationsPanel::lookAgain()
{
    Recordset *rs = m_model->recordset();
    if (m_attendeeId.isEmpty() || !rs || !rs->isOpen())
        return true;
    if (m_model->pendingRow() >= 0 || m_grdDonors->isEditing())
        return false;
    const QModelIndex current = m_grdDonors->currentIndex();
    const qint64 currentKey = current.isValid() ? m_model->rowKey(current.row()) : -1;
    rs->takeInChanges();
    m_model->reload();
    int row = current.isValid() ? std::min(current.row(), m_model->rowCount() - 1) : -1;
    for (int r = 0; currentKey >= 0 && r < m_model->rowCount(); ++r) {
        if (m_model->rowKey(r) == currentKey)
            row = r;
    }
    if (row >= 0)
        m_grdDonors->setCurrentIndex(m_model->index(row, current.column()));
    return true;
}

void DonationsPanel::savePending()
{
    if (m_attendeeId.isEmpty())
        return;
    m_grdDonors->commitOpenEditor();
    m_model->writePending();
}

void DonationsPanel::discardPending()
{
    m_grdDonors->discardOpenEditor();
    m_model->revert();
}

void DonationsPanel::deleteCurrentRow()
{
    Recordset *rs = m_model->recordset();
    if (m_attendeeId.isEmpty() || !rs)
        return;
    // What is being typed into a cell goes with the row (the cell is in the current row).
    m_grdDonors->discardOpenEditor();
    const QModelIndex current = m_grdDonors->currentIndex();
    const int row = current.isValid() ? current.row() : rs->absolutePosition();
    if (row < 0 || row >= m_model->rowCount() || m_model->isAddRow(row))
        return;
    if (row == m_model->pendingRow()) {
        const bool added = m_model->pendingIsNew();
        m_model->revert(); // the typing goes with the row
        if (added)
            return;        // never written: dropping it is its deletion
    } else {
        m_model->writePending(); // leaving another pending row writes it
    }
    if (rs->absolutePosition() != row)
        rs->setAbsolutePosition(row);
    m_datDonors->deleteCurrentAndMove();
    m_model->reload();
    const int stored = rs->recordCount();
    m_grdDonors->setCurrentIndex(m_model->index(stored > 0 ? qMin(row, stored - 1) : 0, qMax(0, current.column())));
}
