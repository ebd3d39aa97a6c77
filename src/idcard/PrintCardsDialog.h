#pragma once

#include "CardSelection.h"

#include <QDialog>
#include <QList>

#include <functional>

class AppContext;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

// File > "Print Cards...": the cards of many attendees of the current event in
// one job: which attendees, the card size, one card per page (card printers) or
// sheets of A4 or Letter with crop marks, and the printer (an installed one or a
// PDF file). Before printing it says how many of the chosen cards were printed
// before and asks whether to print them again or leave them out. The job runs
// with a progress bar; Cancel stops after the card in hand, and the cards
// printed stay recorded. Cards are drawn from the stored rows: the record on
// the registration window never moves.
class PrintCardsDialog : public QDialog
{
    Q_OBJECT
public:
    struct Event
    {
        qint64 id = 0;
        QString name;
    };
    // `selectedKeys` gives the keys selected in the datasheet (none: that choice
    // is unavailable); `cardSizeIndex`
    // the toolbar's size (1 "2 1/4 X 3.5", 2 "3 X 4"; anything else "3 X 4").
    PrintCardsDialog(const AppContext &context, const Event &event, std::function<QList<qint64>()> selectedKeys,
                     int cardSizeIndex, QWidget *parent = nullptr);

    // The item "PDF file" of the printer list.
    static QString pdfFileItem() { return QStringLiteral("PDF file"); }

    // Cards printed by the last run.
    int printed() const { return m_printed; }

signals:
    // Some cards were printed and recorded (the run may go on or have stopped).
    void cardsPrinted();

public slots:
    void reject() override;

private:
    CardSelection::Who who() const;
    void updateChoices();
    void browse();
    void startPrinting();
    void setRunning(bool running);

    const AppContext &m_context;
    Event m_event;
    std::function<QList<qint64>()> m_selectedKeys;
    bool m_running = false;
    bool m_stopAsked = false;
    int m_printed = 0;

    QButtonGroup *m_who;
    QRadioButton *m_optAll;
    QRadioButton *m_optSelected;
    QRadioButton *m_optUnprinted;
    QRadioButton *m_optCheckedIn;
    QComboBox *m_cboCardSize;
    QRadioButton *m_optOnePerPage;
    QRadioButton *m_optSheets;
    QComboBox *m_cboPaper;
    QComboBox *m_cboPrinter;
    QLineEdit *m_txtFile;
    QPushButton *m_cmdBrowse;
    QLabel *m_lblCount;
    QProgressBar *m_prgCards;
    QPushButton *m_cmdPrint;
    QPushButton *m_cmdCancel;
};
