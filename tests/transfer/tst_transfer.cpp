// File > Import Attendees... and File > Export... on the real registration window:
// the file read when chosen with the columns guessed, the import into the current
// event re-opening its attendees without losing the desk's typing, an import into
// a named event cancelled and then done, a bad file's box, and the export.

#include "../register/RegisterFixture.h"

#include "exchange/SheetReader.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableWidget>

class TestTransfer : public QObject
{
    Q_OBJECT

private slots:
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    void importIntoTheCurrentEventKeepsTheDesk();
    void importIntoANamedEventAfterACancelAndABadFile();
    void exportWritesWhatTheDeskTyped();

private:
    QString writeFile(const QString &name, const QByteArray &bytes) const
    {
        const QString path = f.env->folder("files") + name;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    static QString column(QDialog *d, int i)
    {
        return d->findChild<QComboBox *>(QStringLiteral("cboColumn_%1").arg(i))->currentData().toString();
    }
    RegisterFixture f;
};

void TestTransfer::importIntoTheCurrentEventKeepsTheDesk()
{
    f.addEvent(1, "Fair");
    f.addAttendee(1, "Ann", "Lee");
    const qint64 bo = f.addAttendee(1, "Bo", "Ray");
    RegisterWindow *w = f.open(1);
    w->setWindowTitle("Fair");
    f.arrow(2);
    QCOMPARE(f.field(3)->text(), "Ray");
    RegisterFixture::retype(f.field(6), "Oslo"); // typed, not saved

    const QString file = writeFile("people.csv", "Given name;Surname;E-mail;Town;Shoe size\r\n"
                                                 "Cy;Fox;cy@x.org;Rome;42\r\n"
                                                 "bo;RAY;;\"Paris\";41\r\n");
    f.dialogs->answerOpenFile(file);
    f.dialogs->onModal([&](QDialog *d) {
        QCOMPARE(d->objectName(), "frmImport");
        QCOMPARE(d->windowTitle(), "Import Attendees");
        QVERIFY(d->findChild<QRadioButton *>("optCurrent")->isChecked());
        QCOMPARE(d->findChild<QRadioButton *>("optCurrent")->text(), "The &current event: Fair");
        RegisterFixture::press(d, "cmdBrowse");
        auto *preview = d->findChild<QTableWidget *>("tblPreview");
        QTRY_COMPARE(preview->rowCount(), 2);
        QCOMPARE((QStringList {column(d, 0), column(d, 1), column(d, 2), column(d, 3), column(d, 4)}),
                 (QStringList {"FirstName", "LastName", "EmailName", "City", ""}));
        QCOMPARE(preview->horizontalHeaderItem(0)->text(), "Given name\n→ First Name");
        QCOMPARE(preview->item(1, 3)->text(), "Paris");
        QVERIFY(d->findChild<QLabel *>("lblFormat")->text().startsWith("CSV, semicolon-separated, UTF-8; 2 rows"));
        RegisterFixture::press(d, "cmdImport");
        auto *report = d->findChild<QPlainTextEdit *>("txtReport");
        QTRY_VERIFY(report->isVisible());
        QCOMPARE(report->toPlainText(), "Event: Fair\nAdded: 1\nUpdated: 0\nSkipped: 1\nRefused: 0\n");
        QCOMPARE(d->findChild<QPushButton *>("cmdCancel")->text(), "Close");
        QVERIFY(!d->findChild<QPushButton *>("cmdImport")->isEnabled());
        RegisterFixture::press(d, "cmdCancel");
    });
    f.action("mnuImport")->trigger();

    // The typing was written before the import looked for duplicates, and kept.
    QCOMPARE(f.stored("City", bo), "Oslo");
    QCOMPARE(f.rows("Attendees WHERE ProgramID = 1 AND FirstName = 'Cy' AND City = 'Rome'"), 1);
    // The navigator holds the new attendee, and Bo is still the one shown.
    QCOMPARE(w->datPrimaryRS()->recordset()->recordCount(), 3);
    QCOMPARE(w->datPrimaryRS()->recordset()->currentKey(), bo);
    QCOMPARE(f.field(3)->text(), "Ray");
    QCOMPARE(f.field(6)->text(), "Oslo");
    QCOMPARE(f.lines().at(0), "Bo");
}

void TestTransfer::importIntoANamedEventAfterACancelAndABadFile()
{
    f.addEvent(1, "Fair");
    f.addAttendee(1, "Ann", "Lee");
    RegisterWindow *w = f.open(1);
    QByteArray big = "FirstName,LastName,Email\n";
    for (int i = 0; i < 60000; ++i)
        big += "Ann" + QByteArray::number(i) + ",Lee,ann" + QByteArray::number(i) + "@x.org\n";
    const QString junk = writeFile("photo.csv", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + QByteArray(500, '\x01'));
    f.dialogs->answerOpenFile(junk);
    f.dialogs->answer(MsgAnswer::Ok);
    f.dialogs->answerOpenFile(writeFile("big.csv", big));
    f.dialogs->onModal([&](QDialog *d) {
        RegisterFixture::press(d, "cmdBrowse");
        QTRY_VERIFY(!f.dialogs->boxes().isEmpty());
        const ScriptedDialogs::Box box = f.dialogs->lastBox();
        QVERIFY2(box.text.contains("is neither an XLSX workbook nor a CSV text file"), qPrintable(box.text));
        QCOMPARE(box.title, "Import Attendees");
        QCOMPARE(box.icon, MsgIcon::Exclamation);
        QVERIFY(!d->findChild<QPushButton *>("cmdImport")->isEnabled());

        RegisterFixture::press(d, "cmdBrowse");
        QTRY_COMPARE(d->findChild<QTableWidget *>("tblPreview")->rowCount(), 10);
        auto *event = d->findChild<QComboBox *>("cboEvent");
        event->setFocus();
        QTest::keyClicks(event, "Gala 2027");
        QVERIFY(d->findChild<QRadioButton *>("optNamed")->isChecked());
        RegisterFixture::press(d, "cmdImport");
        RegisterFixture::press(d, "cmdCancel"); // while it runs: stops it, keeps the window
        QVERIFY(d->isVisible());
        auto *status = d->findChild<QLabel *>("lblStatus");
        QTRY_COMPARE(status->text(), "Cancelled: nothing was written.");
        QCOMPARE(f.rows("Program"), 1);
        QCOMPARE(f.rows("Attendees"), 1);

        RegisterFixture::press(d, "cmdImport");
        auto *report = d->findChild<QPlainTextEdit *>("txtReport");
        QTRY_VERIFY_WITH_TIMEOUT(report->isVisible(), 60000);
        QVERIFY2(report->toPlainText().startsWith("Event: Gala 2027 (made by this import)\nAdded: 60000\n"),
                 qPrintable(report->toPlainText()));
        RegisterFixture::press(d, "cmdCancel");
    });
    f.action("mnuImport")->trigger();
    QCOMPARE(f.rows("Attendees a JOIN Program p ON p.ProgramID = a.ProgramID WHERE p.Name = 'Gala 2027'"), 60000);
    QCOMPARE(w->datPrimaryRS()->recordset()->recordCount(), 1); // another event's: the desk's stays as it was
}

void TestTransfer::exportWritesWhatTheDeskTyped()
{
    f.addEvent(1, "Fair");
    const qint64 ann = f.addAttendee(1, "Ann", "Lee");
    f.addDonation(ann, 25);
    f.open(1);
    RegisterFixture::retype(f.field(3), "Lee-Ørsted"); // typed, not saved

    const QString people = f.env->folder("out") + "people.csv";
    const QString gifts = f.env->folder("out") + "gifts.xlsx";
    f.dialogs->answerSaveFile(people);
    f.dialogs->answerSaveFile(gifts);
    f.dialogs->onModal([&](QDialog *d) {
        QCOMPARE(d->objectName(), "frmExport");
        QCOMPARE(d->findChild<QComboBox *>("cboEvent")->currentText(), "Fair");
        auto *status = d->findChild<QLabel *>("lblStatus");
        RegisterFixture::press(d, "cmdBrowse");
        RegisterFixture::press(d, "cmdExport");
        QTRY_COMPARE(status->text(), "Wrote 1 attendees to " + QDir::toNativeSeparators(people) + ".");
        d->findChild<QRadioButton *>("optDonations")->click();
        RegisterFixture::press(d, "cmdBrowse");
        RegisterFixture::press(d, "cmdExport");
        QTRY_VERIFY(status->text().startsWith("Wrote 1 donations and fees"));
        QCOMPARE(d->findChild<QPushButton *>("cmdCancel")->text(), "Close");
        RegisterFixture::press(d, "cmdCancel");
    });
    f.action("mnuExport")->trigger();

    const SheetTable attendees = SheetReader::read(people);
    QCOMPARE(attendees.rows.size(), size_t(1));
    QCOMPARE(attendees.rows[0].cells.at(attendees.header.indexOf("LastName")), "Lee-Ørsted");
    const SheetTable donations = SheetReader::read(gifts);
    QCOMPARE(donations.header, (QStringList {"AttendeeID", "First Name", "Last Name", "Amount", "Reg Fee?",
                                             "Donation Date", "Payment Date", "Payment Type"}));
    QCOMPARE(donations.rows[0].cells,
             (QStringList {QString::number(ann), "Ann", "Lee-Ørsted", "25", "No", "2026-01-02", "2026-01-02", "Cash"}));
}

QTEST_MAIN(TestTransfer)
#include "tst_transfer.moc"
