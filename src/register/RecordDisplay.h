#pragma once

#include <QObject>
#include <QString>

class AppContext;
class AttendeePanel;
class CardContent;
class DatasheetList;
class DonationsPanel;
class RegisterWindow;

// What the registration window shows on top of the bound fields whenever the
// current attendee changes: the photograph and the card's name and chapter
// lines (written into the card content, which every card shows), the record
// counter and the attendee's donations. Also the data control's own error box
// and the navigator guard of the datasheet view.
class RecordDisplay : public QObject
{
    Q_OBJECT
public:
    RecordDisplay(const AppContext &context, RegisterWindow *window, AttendeePanel *attendee, DonationsPanel *donations,
                  DatasheetList *datasheet, CardContent *card);

    // After every change of the current record; each step runs even when an earlier one failed.
    void datPrimaryRS_Reposition();
    // The navigator may not be used while the datasheet list covers the form.
    void datPrimaryRS_MouseMove();
    // The attendees were read again (another workstation's change): the counter,
    // and when the fields were filled anew the card lines and the photo.
    void datPrimaryRS_Refreshed(bool refilled);
    // A text box changed: the card lines that depend on it follow at once.
    void txtFields_Change(int index);

    // lblName(0) = first name, lblName(1) = last name in capitals.
    void cardNameUpdate();
    // lblChap = the chapter and " Chapter", or the city when the chapter is blank.
    void cardChapterUpdate();
    // The card's QR code: the shown attendee's event and key (a new attendee's
    // key is reserved at once, so its card carries its code before it is saved).
    void cardCodeUpdate();

    // The photo keeper: the photo that the record's Picture field names, read
    // through the database's photo store (none when it is missing or cannot be
    // read), or no photo.
    void showPhoto();
    void clearPhoto();
    // The navigator's caption: "3 of 12".
    void showCounter();
    // The file the photo shown was read from (printing reads it again, sharper);
    // empty when no photo is shown.
    QString photoFile() const { return m_photoFile; }

private:
    const AppContext &m_context;
    RegisterWindow *m_window;
    AttendeePanel *m_attendee;
    DonationsPanel *m_donations;
    DatasheetList *m_datasheet;
    CardContent *m_card;
    QString m_photoFile;
};
