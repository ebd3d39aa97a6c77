#pragma once

#include <QGroupBox>
#include <QString>

class DataControl;
class QCalendarWidget;
class QComboBox;
class QTableView;
class RecordsetModel;

// "Frame1", "Donations && Fees": the current attendee's donations and fees in the
// grid "grdDonors" over the hidden data control "datDonors", with the floating
// editors "cboPaid", "cboPayType" and the calendar "cal" (hidden). The grid shows
// the rows; editing them in place comes with the donations grid's own handlers.
class DonationsPanel : public QGroupBox
{
    Q_OBJECT
public:
    explicit DonationsPanel(QWidget *parent = nullptr);

    DataControl *datDonors() const { return m_datDonors; }
    QTableView *grdDonors() const { return m_grdDonors; }

    // Points datDonors at the donations of `attendeeId` ("SELECT * FROM qryDon_Fees
    // WHERE AttendeeID =" + id), opens them with optimistic locking and shows them.
    // Raises the data control's errors.
    void showAttendee(const QString &attendeeId);
    // The grid's rows again from datDonors' recordset (after a deletion or a move).
    void reloadGrid();

    static QString sourceFor(const QString &attendeeId);

private:
    DataControl *m_datDonors = nullptr;
    QTableView *m_grdDonors = nullptr;
    QComboBox *m_cboPaid = nullptr;
    QComboBox *m_cboPayType = nullptr;
    QCalendarWidget *m_cal = nullptr;
    RecordsetModel *m_model = nullptr;
};
