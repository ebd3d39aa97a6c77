// The registration window printing through the system's printers, run by
// run_cups_print.sh against a CUPS server of its own: with no printer defined
// the toolbar's Print says "Printer Not Found"; with the PDF printer as the
// default it prints the "3 X 4" card at once, without a dialog. The attendee is
// the first of event 1, so the card's QR code must read "QVX:1:1". Then File >
// "Print Cards..." sends the cards of the event's three attendees to the same
// printer in one job.

#include "../register/RegisterFixture.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPrinterInfo>
#include <QToolButton>

class CupsPrintCheck : public QObject
{
    Q_OBJECT

private slots:
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    void noPrinterShowsPrinterNotFound();
    void toolbarPrintSendsOneCardToTheDefaultPrinter();
    void printCardsSendsTheEventsCardsInOneJob();

private:
    void openAndPrint()
    {
        f.addEvent(1);
        f.addAttendee(1, "Anne", "Smith", "Cork", "North");
        QCOMPARE(f.sql("SELECT 'QVX:' || ProgramID || ':' || AttendeeID FROM Attendees").toString(), "QVX:1:1");
        f.open(1);
        f.child<QComboBox>("cboIDSize")->setCurrentIndex(2); // "3 X 4"
        RegisterToolBar *bar = f.window->tbToolBar();
        auto *print = qobject_cast<QToolButton *>(bar->widgetForAction(bar->button("Print")));
        QVERIFY(print);
        QTest::mouseClick(print, Qt::LeftButton, {}, QPoint(print->width() / 4, print->height() / 2));
    }

    RegisterFixture f;
};

void CupsPrintCheck::noPrinterShowsPrinterNotFound()
{
    QVERIFY2(QPrinterInfo::availablePrinterNames().isEmpty(), qPrintable(QPrinterInfo::availablePrinterNames().join(' ')));
    f.dialogs->answer(MsgAnswer::Ok);
    openAndPrint();
    QCOMPARE(f.dialogs->lastBox().title, "Printer Not Found");
    QCOMPARE(f.dialogs->lastBox().icon, MsgIcon::Critical);
}

void CupsPrintCheck::toolbarPrintSendsOneCardToTheDefaultPrinter()
{
    const QString printer = qEnvironmentVariable("QUORVEX_TEST_PRINTER");
    QVERIFY2(QPrinterInfo::availablePrinterNames().contains(printer),
             qPrintable(QPrinterInfo::availablePrinterNames().join(' ')));
    QCOMPARE(QPrinterInfo::defaultPrinterName(), printer);
    openAndPrint(); // any box or dialog here fails the check
    QVERIFY(f.dialogs->boxes().isEmpty());
}

void CupsPrintCheck::printCardsSendsTheEventsCardsInOneJob()
{
    const QString printer = qEnvironmentVariable("QUORVEX_TEST_PRINTER");
    f.addEvent(1);
    for (const char *first : {"Anne", "Brid", "Ciara"})
        f.addAttendee(1, first, "Smith", "Cork", "North");
    f.open(1);
    f.dialogs->onModal([&](QDialog *dialog) {
        dialog->findChild<QComboBox *>("cboPrinter")->setCurrentText(printer);
        QCOMPARE(dialog->findChild<QComboBox *>("cboPrinter")->currentText(), printer);
        QTest::mouseClick(dialog->findChild<QPushButton *>("cmdPrint"), Qt::LeftButton);
        QCOMPARE(dialog->findChild<QLabel *>("lblCount")->text(), "Printed 3 cards on 3 pages.");
        dialog->reject();
    });
    f.action("mnuPrintCards")->trigger();
}

QTEST_MAIN(CupsPrintCheck)
#include "cups_print_check.moc"
