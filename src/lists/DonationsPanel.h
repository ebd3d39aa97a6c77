#pragma once

#include <QGroupBox>
#include <QString>

class AppContext;
class DataControl;
class DonationsGrid;
class RecordsetModel;

// "Frame1", "Donations && Fees": the donations and fees of the attendee on screen
// in the grid "grdDonors", over the hidden data control "datDonors" through the
// recordset table model. Six columns (AttendeeID, Amount, Reg Fee?, Donation
// Date, Payment Date, Payment Type) with their display formats and in-cell
// editors; a new row starts with Amount 50, Reg Fee? No, both dates today and
// Payment Type Check; the program writes the attendee's AttendeeID into every
// row it writes (the column cannot be edited).
//
// The grid only ever holds the rows of the attendee it was pointed at: while no
// stored attendee is current (a new one not yet saved, an event without
// attendees, the start) it is empty and takes no input, so a donation can never
// be written for another attendee or for none.
class DonationsPanel : public QGroupBox
{
    Q_OBJECT
public:
    explicit DonationsPanel(const AppContext &context, QWidget *parent = nullptr);

    enum Column { AttendeeCol, AmountCol, RegFeeCol, DonDateCol, PaymentDateCol, PaymentTypeCol };

    DataControl *datDonors() const { return m_datDonors; }
    DonationsGrid *grdDonors() const { return m_grdDonors; }
    RecordsetModel *model() const { return m_model; }
    // Whose donations are shown; empty when none.
    QString attendeeId() const { return m_attendeeId; }

    // Points datDonors at the donations of `attendeeId` ("SELECT * FROM qryDon_Fees
    // WHERE AttendeeID =" + id), with optimistic locking, and shows them; a row
    // still pending for the attendee shown before is written first. Raises the
    // data control's errors (the grid is then empty).
    void showAttendee(const QString &attendeeId);
    // No stored attendee is current: the grid empties and takes no input.
    void showNoAttendee();

    // Save: the cell being typed and the pending row are written. Throws the data error.
    void savePending();
    // The attendee is going away: its pending row and open editor are dropped.
    void discardPending();
    // Delete with the grid active: the grid's current row goes and the next one is
    // current (the previous one after the last). A new row not yet written is just
    // dropped; the empty new-row line deletes nothing. Throws the data error.
    void deleteCurrentRow();

    // Other workstations changed donations: the attendee's rows are read again, the
    // current cell kept. While a row is being typed (an open editor, a row not yet
    // written) nothing is read and false is returned: ask again once it is written.
    bool lookAgain();

    static QString sourceFor(const QString &attendeeId);

private:
    // The pending row of the attendee shown is written; when that fails the
    // model has reported why and the row is dropped.
    void finishPending();
    void detach();

    const AppContext &m_context;
    DataControl *m_datDonors = nullptr;
    DonationsGrid *m_grdDonors = nullptr;
    RecordsetModel *m_model = nullptr;
    QString m_attendeeId;
};
