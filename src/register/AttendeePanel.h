#pragma once

#include <QFrame>
#include <QMap>

class CardContent;
class CardWidget;
class DataControl;
class LookupCombo;
class QLabel;
class QLineEdit;

// "fraAtt": the attendee's details. Headings "Label2", "Label3" and "lblInfo",
// the caption labels "lblLabels_N" (buddies of their boxes), the bound text
// boxes "txtFields_N" (N = 1, 2, 3, 5..16), the lookup boxes "cboTitle" and
// "cboOffice" with their delete buttons, the hidden bound labels "lblProgramID",
// "lblAttID" and "lblPic", and the card miniature "fraID" (showing the card
// content it is given) at its place in the frame.
class AttendeePanel : public QFrame
{
    Q_OBJECT
public:
    explicit AttendeePanel(const CardContent *card, QWidget *parent = nullptr);

    // Binds every box and hidden label to its field of `data`.
    void bindTo(DataControl *data);

    // The text box of element `index` (nullptr for 0, 4 and unknown indexes).
    QLineEdit *txtFields(int index) const { return m_txtFields.value(index); }
    QString fieldText(int index) const;
    // Something was entered for the attendee shown: a box, a list's text or a photo.
    bool hasTypedText() const;
    QLabel *lblProgramID() const { return m_lblProgramID; }
    QLabel *lblAttID() const { return m_lblAttID; }
    QLabel *lblPic() const { return m_lblPic; }
    LookupCombo *cboTitle() const { return m_cboTitle; }
    LookupCombo *cboOffice() const { return m_cboOffice; }
    CardWidget *card() const { return m_card; }

    // The focus chain top to bottom through the boxes and buttons.
    QList<QWidget *> tabChain() const;

    // Where the card sits inside the frame, in twips.
    static QRect cardTwips() { return QRect(2040, 600, 2655, 1575); }

signals:
    // txtFields_Change(index): the text of element `index` changed (typing or filling).
    void fieldChanged(int index);
    // Esc inside the record: drop the typing and show the stored record again.
    void reloadRequested();

protected:
    void changeEvent(QEvent *event) override;

private:
    void placeCard();

    QMap<int, QLineEdit *> m_txtFields;
    QList<QWidget *> m_tabChain;
    QLabel *m_lblProgramID = nullptr;
    QLabel *m_lblAttID = nullptr;
    QLabel *m_lblPic = nullptr;
    LookupCombo *m_cboTitle = nullptr;
    LookupCombo *m_cboOffice = nullptr;
    CardWidget *m_card = nullptr;
};
