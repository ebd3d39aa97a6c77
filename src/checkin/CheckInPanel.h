#pragma once

#include <QWidget>

class QLabel;
class ScanBox;

// The desk's strip above the form: the caption "Scan or type a name:" with the
// scan box, what the last scan or check-in did, and whether the current attendee
// is checked in and has a printed card (when, where).
class CheckInPanel : public QWidget
{
    Q_OBJECT
public:
    explicit CheckInPanel(QWidget *parent = nullptr);

    ScanBox *txtScan() const { return m_scan; }
    QLabel *lblScanResult() const { return m_result; }
    QLabel *lblCheckedIn() const { return m_checkedIn; }
    QLabel *lblCardPrinted() const { return m_cardPrinted; }

    enum class Tone { Done, Notice, Refused };
    // What the last scan or check-in did, marked by its tone.
    void showResult(const QString &text, Tone tone);
    // The current attendee's two statuses (empty text: no attendee).
    void showStatus(const QString &checkedIn, bool isCheckedIn, const QString &cardPrinted);

private:
    ScanBox *m_scan;
    QLabel *m_result;
    QLabel *m_checkedIn;
    QLabel *m_cardPrinted;
};
