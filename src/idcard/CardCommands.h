#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class AppContext;
class CardWindow;
class CardWindows;
class QComboBox;
class QPrinter;
class QWidget;

// The card commands of the registration window: preview the card of the size
// chosen in cboIDSize, print it at once (toolbar "Print"), or print it after the
// printer dialog (File > "&Print ID Card"). Every command ignores its own errors;
// what goes wrong for the user is said in a box.
class CardCommands : public QObject
{
    Q_OBJECT
public:
    // `photoFile` gives the file the current card's photo was read from (printing
    // reads it again at the page's resolution); empty when none.
    CardCommands(const AppContext &context, CardWindows *windows, QComboBox *cboIDSize, std::function<QString()> photoFile,
                 QWidget *owner);
    ~CardCommands() override;

    // mnuPreviewID_Click and the Print button's "PreviewID" entry.
    void preview();
    // PrintIDCard: one page of exactly the card's size, with the current printer.
    void printIDCard();
    // mnuFilePrint_Click: the printer dialog, then PrintIDCard.
    void mnuFilePrint_Click();

    // The current printer, kept for the session so the dialog's choices stay.
    QPrinter *printer();

    // Whose card is printed: the stored attendee's key, 0 when none. A card of an
    // attendee who has one already is printed only after asking (when and where
    // the last was printed); every card printed is recorded (CardPrintLog).
    void setAttendeeKey(std::function<qint64()> attendeeKey) { m_attendeeKey = std::move(attendeeKey); }

signals:
    // A card of `attendeeId` was printed and recorded.
    void cardPrinted(qint64 attendeeId);

private:
    bool noPrinterInstalled();
    CardWindow *chosenWindow();
    // Asks before a second card; false when the user says No.
    bool confirmAnotherCard(qint64 attendeeId);
    void recordPrint(qint64 attendeeId, const QString &cardSize, const QPrinter &printer);

    const AppContext &m_context;
    CardWindows *m_windows;
    QPointer<QComboBox> m_cboIDSize;
    QWidget *m_owner;
    std::function<QString()> m_photoFile;
    std::function<qint64()> m_attendeeKey;
    std::unique_ptr<QPrinter> m_printer;
};
