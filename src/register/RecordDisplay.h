#pragma once

#include <QObject>
#include <QPixmap>
#include <QSize>

class AppContext;
class AttendeePanel;
class DatasheetList;
class DonationsPanel;
class RegisterWindow;

// What the registration window shows on top of the bound fields whenever the
// current attendee changes: the photograph, the card's name and chapter lines on
// every card, the record counter and the attendee's donations. Also the data
// control's own error box and the navigator guard of the datasheet view.
class RecordDisplay : public QObject
{
    Q_OBJECT
public:
    RecordDisplay(const AppContext &context, RegisterWindow *window, AttendeePanel *attendee, DonationsPanel *donations,
                  DatasheetList *datasheet);

    // After every change of the current record; each step runs even when an earlier one failed.
    void datPrimaryRS_Reposition();
    // The navigator may not be used while the datasheet list covers the form.
    void datPrimaryRS_MouseMove();
    // A text box changed: the card lines that depend on it follow at once.
    void txtFields_Change(int index);

    // lblName(0) = first name, lblName(1) = last name in capitals, on every card.
    void cardNameUpdate();
    // lblChap = the chapter and " Chapter", or the city when the chapter is blank.
    void cardChapterUpdate();

    // The relative path of the photo shown ("Tag" of imgPic), empty when none.
    QString photoTag() const { return m_photoTag; }

    // The photo keeper: loads the photo that the record's Picture field names
    // onto every card (none when the file is missing), or empties every card's photo.
    void showPhoto();
    void clearPhoto();

private:
    void setPhotoOnCards(const QPixmap &photo, const QString &tag);
    QSize photoPixelSize() const;

    const AppContext &m_context;
    RegisterWindow *m_window;
    AttendeePanel *m_attendee;
    DonationsPanel *m_donations;
    DatasheetList *m_datasheet;
    QString m_photoTag;
};
