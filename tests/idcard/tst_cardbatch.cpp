// Cards in bulk: quorvex-db cards (pages of the card's size, sheets with crop
// marks, the attendees' QR codes read back by zbarimg), File > "Print Cards..."
// (cancelled in the middle), and a printer's calibration moving and scaling
// what it prints. The PDFs are read back by poppler's tools.

#include "../register/RegisterFixture.h"
#include "TestServer.h"
#include "idcard/AttendeeCard.h"
#include "idcard/CalibrationPage.h"
#include "idcard/CardLayout.h"
#include "idcard/CardPrint.h"
#include "idcard/PrinterCalibration.h"
#include "data/PhotoStore.h"
#include "lists/DatasheetList.h"

#include <QBuffer>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QProgressBar>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSqlRecord>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

constexpr int Attendees = 300;
constexpr double Dpi = 200;

// A checker's output (poppler's tools, zbarimg); fails the test when it fails or is missing.
QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        QTest::qFail(qPrintable(u"%1 %2 failed (poppler-utils and zbar-tools installed? scripts/install-deps.sh): %3"_s
                                    .arg(program, arguments.join(' '), QString::fromLocal8Bit(process.readAllStandardError()))),
                     __FILE__, __LINE__);
        return QString();
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QString artefacts()
{
    const QString folder = QCoreApplication::applicationDirPath() + "/test-artefacts/";
    QDir().mkpath(folder);
    return folder;
}

QString tool()
{
    return QDir(qEnvironmentVariable("QUORVEX_TOOLS_DIR")).filePath(u"quorvex-db"_s);
}

// Page count and the first page's size in points, as pdfinfo reports them.
std::pair<int, QString> pagesAndSize(const QString &pdf)
{
    const QString info = run("pdfinfo", {pdf});
    const auto pages = QRegularExpression(u"Pages: +(\\d+)"_s).match(info);
    const auto size = QRegularExpression(u"Page size: +([\\d.]+ x [\\d.]+) pts"_s).match(info);
    return {pages.captured(1).toInt(), size.captured(1)};
}

// One page as a picture.
QImage page(const QString &pdf, int number, double dpi = Dpi)
{
    const QString base = pdf.chopped(4) + u"-p%1"_s.arg(number);
    run("pdftoppm", {"-png", "-r", QString::number(dpi), "-f", QString::number(number), "-l", QString::number(number),
                     "-singlefile", pdf, base});
    QImage image = QImage(base + ".png").convertToFormat(QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    return image;
}

// Clicks a radio button on its caption, as a user does.
void choose(QDialog *dialog, const char *name)
{
    auto *option = dialog->findChild<QRadioButton *>(name);
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
    QVERIFY(option->isChecked());
}

bool isCard(QRgb pixel)
{
    // The cards' own light grey (224, 224, 224), the paper white, the marks black.
    return qAbs(qRed(pixel) - 224) < 10 && qAbs(qGreen(pixel) - 224) < 10 && qAbs(qBlue(pixel) - 224) < 10;
}

// The stretches of lines in which some pixels are card (`counts` per line);
// what lies less than 3 mm apart is one card (its photo or code may cross a line).
QList<std::pair<int, int>> cardStretches(const QList<int> &counts, int joined)
{
    QList<std::pair<int, int>> stretches;
    for (int i = 0; i < counts.size(); ++i) {
        if (counts.at(i) < 20)
            continue;
        if (!stretches.isEmpty() && i - stretches.last().second <= joined)
            stretches.last().second = i;
        else
            stretches.append({i, i});
    }
    return stretches;
}

// The cards on a page: grey rectangles in pixels, row by row.
QList<QRect> cardsOn(const QImage &image)
{
    QList<int> columns(image.width(), 0);
    QList<int> rows(image.height(), 0);
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (isCard(line[x])) {
                ++columns[x];
                ++rows[y];
            }
    }
    const int joined = qRound(3 * image.dotsPerMeterX() / 1000.0);
    QList<QRect> cards;
    for (const auto &[top, bottom] : cardStretches(rows, joined))
        for (const auto &[left, right] : cardStretches(columns, joined))
            cards.append(QRect(QPoint(left, top), QPoint(right, bottom)));
    return cards;
}

// The QR code zbarimg reads on each card of a page at 300 dpi, row by row.
QStringList codesOn(const QString &pdf, int number)
{
    const QImage image = page(pdf, number, 300);
    QStringList codes;
    for (const QRect &card : cardsOn(image)) {
        const QString file = pdf.chopped(4) + u"-card%1.png"_s.arg(codes.size());
        image.copy(card.adjusted(-20, -20, 20, 20)).save(file);
        codes << run("zbarimg", {"--quiet", "--raw", "-Sdisable", "-Sqrcode.enable", file}).trimmed();
    }
    return codes;
}

// A dark pixel within `slack` pixels of `at` across the mark's line.
bool darkNear(const QImage &image, QPoint at, bool horizontalLine, int slack = 2)
{
    for (int d = -slack; d <= slack; ++d) {
        const QPoint p = horizontalLine ? at + QPoint(0, d) : at + QPoint(d, 0);
        if (image.rect().contains(p) && qGray(image.pixel(p)) < 150)
            return true;
    }
    return false;
}

} // namespace

class TestCardBatch : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { f.tearDown(); }

    void cardsCommandDrawsPagesAndSheets_data();
    void cardsCommandDrawsPagesAndSheets();
    void cardsCommandRefusesWhatItCannotDo();
    void printCardsCancelledInTheMiddleKeepsThePagesPrinted();
    void cardsPrintedBeforeAreCountedAndLeftOutOnRequest();
    void printCardsOfTheLinesSelectedInTheDatasheet();
    void cardsCommandOnAServer();
    void calibrationMovesAndScalesTheCard();

private:
    // quorvex-db cards on the test's database, with a settings store and cache of
    // its own (never the user's): the card design is the default one.
    QString cards(const QStringList &arguments, int expectedStatus = 0)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", f.env->folder("tool-config"));
        environment.insert("XDG_CACHE_HOME", f.env->folder("tool-cache"));
        process.setProcessEnvironment(environment);
        process.start(tool(), QStringList {"cards", f.file.contains("://") ? f.file : f.folder} + arguments);
        const bool ended = process.waitForFinished(120000);
        const QString said = QString::fromLocal8Bit(process.readAllStandardOutput() + process.readAllStandardError());
        if (!ended || process.exitCode() != expectedStatus)
            QTest::qFail(qPrintable(u"quorvex-db cards ended %1: %2"_s.arg(process.exitCode()).arg(said)), __FILE__, __LINE__);
        return said;
    }

    RegisterFixture f;
    QList<qint64> m_keys;
};

void TestCardBatch::init()
{
    f.setUp();
    f.addEvent(1, "Spring Fair");
    f.addEvent(2, "Other");
    // Every tenth attendee has a photograph (one picture under each name), the
    // fifth a last name too long for its line; another event's attendee lies
    // between the keys.
    const auto add = [this](qint64 event, int from, int to) {
        TestEnvironment::exec(f.file, "WITH RECURSIVE n(i) AS (SELECT ? UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                                      "INSERT INTO Attendees (ProgramID, FirstName, LastName, City, Chapter) "
                                      "SELECT ?, 'First' || i, 'Last' || i, 'Cork', 'North' FROM n", {from, to, event});
    };
    add(1, 1, 6);
    add(2, 1, 1);
    add(1, 7, Attendees);
    m_keys.clear();
    for (const QString &key : TestEnvironment::column(f.file, "SELECT AttendeeID FROM Attendees WHERE ProgramID = 1 "
                                                              "ORDER BY AttendeeID"))
        m_keys.append(key.toLongLong());
    QCOMPARE(m_keys.size(), Attendees);
    TestEnvironment::exec(f.file, "UPDATE Attendees SET LastName = 'Featherstonehaugh-Wolfeschlegelstein' "
                                  "WHERE AttendeeID = ?", {m_keys.at(4)});
    QDir(f.folder).mkpath("Pic");
    QImage photo(320, 240, QImage::Format_RGB32);
    photo.fill(QColor(40, 90, 160));
    for (int i = 0; i < Attendees; i += 10) {
        photo.save(f.folder + u"Pic/%1.jpg"_s.arg(m_keys.at(i)));
        TestEnvironment::exec(f.file, "UPDATE Attendees SET Picture = ? WHERE AttendeeID = ?",
                              {u"Pic\\%1.jpg"_s.arg(m_keys.at(i)), m_keys.at(i)});
    }
}

void TestCardBatch::cardsCommandDrawsPagesAndSheets_data()
{
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<int>("perPage");
    QTest::addColumn<QString>("pageSize");
    QTest::newRow("3 X 4, a page each") << "3 X 4" << "" << 1 << "275 x 179";
    QTest::newRow("2 1/4 X 3.5, a page each") << "2 1/4 X 3.5" << "" << 1 << "217 x 124";
    // A4 upright: one card across, four down; Letter takes more of the small card
    // turned: three by four.
    QTest::newRow("3 X 4 on A4") << "3 X 4" << "a4" << 4 << "595 x 842";
    QTest::newRow("2 1/4 X 3.5 on Letter") << "2 1/4 X 3.5" << "Letter" << 12 << "792 x 612";
}

void TestCardBatch::cardsCommandDrawsPagesAndSheets()
{
    QFETCH(QString, size);
    QFETCH(QString, sheet);
    QFETCH(int, perPage);
    QFETCH(QString, pageSize);
    const QString pdf = f.env->root() + "/cards.pdf";
    QStringList arguments {"--event", "spring fair", "--size", size};
    if (!sheet.isEmpty())
        arguments << "--sheet" << sheet;
    const QString said = cards(arguments << pdf);
    const int pages = (Attendees + perPage - 1) / perPage;
    QVERIFY2(said.contains(u"Wrote %1 cards of \"Spring Fair\" on %2 pages"_s.arg(Attendees).arg(pages)), qPrintable(said));
    QCOMPARE(pagesAndSize(pdf), std::make_pair(pages, pageSize));

    // The codes on a sampling of pages are the attendees', in the order of their
    // keys, row by row on a sheet.
    for (const int number : {1, pages / 2, pages}) {
        QStringList expected;
        for (int i = (number - 1) * perPage; i < std::min<int>(number * perPage, Attendees); ++i)
            expected << u"QVX:1:%1"_s.arg(m_keys.at(i));
        QCOMPARE(codesOn(pdf, number), expected);
    }
    if (perPage == 1)
        return;

    // On a full sheet every card lies apart, and each of its corners has its two
    // marks going on from its edges in the gap, never touching the card.
    const QImage image = page(pdf, 1);
    const QList<QRect> found = cardsOn(image);
    QCOMPARE(found.size(), perPage);
    const int mm = qRound(Dpi / 25.4);
    for (const QRect &card : found) {
        for (const QPoint corner : {card.topLeft(), card.topRight(), card.bottomLeft(), card.bottomRight()}) {
            const int outX = corner.x() == card.left() ? -1 : 1;
            const int outY = corner.y() == card.top() ? -1 : 1;
            QVERIFY2(darkNear(image, corner + QPoint(outX * 3 * mm, 0), true), qPrintable(u"%1,%2"_s.arg(corner.x()).arg(corner.y())));
            QVERIFY(darkNear(image, corner + QPoint(0, outY * 3 * mm), false));
            QCOMPARE(qGray(image.pixel(corner + QPoint(outX * 3 * mm, outY * 3 * mm))), 255);
        }
    }
}

void TestCardBatch::cardsCommandRefusesWhatItCannotDo()
{
    const QString pdf = f.env->root() + "/none.pdf";
    struct Case
    {
        QStringList arguments;
        int status;
        QString says;
    };
    const QList<Case> cases {
        {{"--event", "Spring Fair", "--size", "3 X 5", pdf}, 2, "--size takes \"3 X 4\" or \"2 1/4 X 3.5\""},
        {{"--event", "Spring Fair", "--size", "3 X 4", "--sheet", "a3", pdf}, 2, "--sheet takes a4 or letter"},
        {{"--event", "Spring Fair", "--size", "3 X 4"}, 2, "cards needs TARGET"},
        {{"--event", "Winter", "--size", "3 X 4", pdf}, 1, "no event is named \"Winter\""},
        {{"--event", "Spring Fair", "--size", "3 x 4", f.env->root() + "/no/such/folder/cards.pdf"}, 1,
         "could not be sent to the file"},
    };
    for (const Case &c : cases) {
        const QString said = cards(c.arguments, c.status);
        QVERIFY2(said.contains(c.says), qPrintable(said));
        QVERIFY(!QFileInfo::exists(pdf));
    }
    QVERIFY(QDir(f.env->root() + "/no").isEmpty() || !QDir(f.env->root() + "/no").exists());
}

void TestCardBatch::printCardsCancelledInTheMiddleKeepsThePagesPrinted()
{
    f.open(1);
    f.arrow(2); // the second attendee on screen
    const QString counter = f.counter();
    const QString pdf = f.env->root() + "/desk.pdf";
    f.dialogs->onModal([&](QDialog *dialog) {
        QCOMPARE(dialog->windowTitle(), "Print Cards");
        auto *printer = dialog->findChild<QComboBox *>("cboPrinter");
        printer->setCurrentText("PDF file");
        dialog->findChild<QLineEdit *>("txtFile")->setText(pdf);
        auto *progress = dialog->findChild<QProgressBar *>("prgCards");
        auto *cancel = dialog->findChild<QPushButton *>("cmdCancel");
        QObject::connect(progress, &QProgressBar::valueChanged, progress, [cancel](int done) {
            if (done == 5)
                QTest::mouseClick(cancel, Qt::LeftButton);
        });
        RegisterFixture::press(dialog, "cmdPrint");
        QCOMPARE(dialog->findChild<QLabel *>("lblCount")->text(),
                 u"Stopped after 5 of %1 cards; those printed are recorded."_s.arg(Attendees));
        QVERIFY(dialog->isVisible());
        RegisterFixture::press(dialog, "cmdCancel"); // now "Close"
        QVERIFY(!dialog->isVisible());
    });
    f.action("mnuPrintCards")->trigger();
    QCOMPARE(pagesAndSize(pdf), std::make_pair(5, u"275 x 179"_s));
    QCOMPARE(codesOn(pdf, 5), QStringList {u"QVX:1:%1"_s.arg(m_keys.at(4))});
    QCOMPARE(f.counter(), counter);
    // The five cards sent are recorded, each once, and nothing more.
    QCOMPARE(f.sql("SELECT count(*) || ' ' || count(DISTINCT AttendeeID) || ' ' || max(AttendeeID) || ' ' || "
                   "min(CardSize) FROM CardPrints").toString(),
             u"5 5 %1 3 X 4"_s.arg(m_keys.at(4)));
}

void TestCardBatch::cardsPrintedBeforeAreCountedAndLeftOutOnRequest()
{
    // Ten cards printed before; fifteen checked in, ten of them without a card.
    for (int i = 0; i < 20; ++i) {
        if (i < 10)
            TestEnvironment::exec(f.file, "INSERT INTO CardPrints (AttendeeID, Printed, CardSize, Printer, Desk) "
                                          "VALUES (?, '2026-12-01T09:00:00Z', '3 X 4', 'Card Printer', 'DESK1')",
                                  {m_keys.at(i)});
        if (i >= 5)
            TestEnvironment::exec(f.file, "INSERT INTO CheckIns (AttendeeID, CheckedIn, Desk) "
                                          "VALUES (?, '2026-12-01T09:00:00Z', 'DESK1')", {m_keys.at(i)});
    }
    f.open(1);
    const QString pdf = f.env->root() + "/checked-in.pdf";
    f.dialogs->answerChoice(2); // the second run: Cancel at the question
    f.dialogs->onModal([&](QDialog *dialog) {
        auto *count = dialog->findChild<QLabel *>("lblCount");
        QCOMPARE(count->text(), u"%1 cards; 10 of them printed before."_s.arg(Attendees));
        choose(dialog, "optCheckedIn");
        QCOMPARE(count->text(), "10 cards.");
        dialog->findChild<QComboBox *>("cboPrinter")->setCurrentText("PDF file");
        dialog->findChild<QLineEdit *>("txtFile")->setText(pdf);
        RegisterFixture::press(dialog, "cmdPrint");
        QCOMPARE(count->text(), "Printed 10 cards on 10 pages.");
        // All again: twenty printed before now, asked about before anything is printed.
        choose(dialog, "optAll");
        RegisterFixture::press(dialog, "cmdPrint");
        dialog->reject();
    });
    f.action("mnuPrintCards")->trigger();
    QCOMPARE(f.dialogs->lastBox(),
             (ScriptedDialogs::Box {u"20 of these %1 cards were printed before.\nPrint them again, or leave them out?"_s.arg(Attendees),
                                    "Print Cards", MsgButtons::Ok, MsgIcon::Question, MsgAnswer::Ok,
                                    {"Print &Again", "&Leave Them Out", "Cancel"}}));
    QCOMPARE(pagesAndSize(pdf).first, 10);
    QCOMPARE(codesOn(pdf, 1), QStringList {u"QVX:1:%1"_s.arg(m_keys.at(10))});
    QCOMPARE(f.rows("CardPrints"), 20);

    // The command line leaves out the twenty and records the rest once the file is whole.
    const QString night = f.env->root() + "/night.pdf";
    const QString said = cards({"--event", "Spring Fair", "--size", "3 X 4", "--unprinted", "--mark-printed", night});
    QVERIFY2(said.contains(u"Wrote %1 cards"_s.arg(Attendees - 20)), qPrintable(said));
    QCOMPARE(pagesAndSize(night).first, Attendees - 20);
    QCOMPARE(codesOn(night, 1), QStringList {u"QVX:1:%1"_s.arg(m_keys.at(20))});
    QCOMPARE(f.sql("SELECT count(DISTINCT AttendeeID) || ' ' || count(*) FROM CardPrints").toString(),
             u"%1 %1"_s.arg(Attendees));
    QVERIFY(cards({"--event", "Spring Fair", "--size", "3 X 4", "--unprinted", night}).contains("No card to print"));
}

void TestCardBatch::printCardsOfTheLinesSelectedInTheDatasheet()
{
    f.open(1);
    f.action("mnuViewAll")->trigger();
    QTreeView *list = f.window->lstEveryone();
    const auto centreOf = [list](int row) { return list->visualRect(list->model()->index(row, 0)).center(); };
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centreOf(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, centreOf(3));
    const QString pdf = f.env->root() + "/selected.pdf";
    f.dialogs->onModal([&](QDialog *dialog) {
        QVERIFY(dialog->findChild<QRadioButton *>("optSelected")->isChecked());
        QCOMPARE(dialog->findChild<QLabel *>("lblCount")->text(), "2 cards.");
        dialog->findChild<QComboBox *>("cboPrinter")->setCurrentText("PDF file");
        dialog->findChild<QLineEdit *>("txtFile")->setText(pdf);
        RegisterFixture::press(dialog, "cmdPrint");
        dialog->reject();
    });
    f.action("mnuPrintCards")->trigger();
    QCOMPARE(pagesAndSize(pdf).first, 2);
    QCOMPARE(codesOn(pdf, 2), QStringList {u"QVX:1:%1"_s.arg(m_keys.at(3))});
    QCOMPARE(f.sql("SELECT group_concat(AttendeeID) FROM CardPrints").toString(),
             u"%1,%2"_s.arg(m_keys.at(1)).arg(m_keys.at(3)));
}

void TestCardBatch::cardsCommandOnAServer()
{
    if (!TestServer::available())
        QSKIP("no test server: run the tests through ctest");
    f.useServer();
    f.addEvent(3, "Gala");
    const qint64 ann = f.addAttendee(3, "Ann", "Lee", "Oslo", QString(), "Pic\\1.jpg");
    f.addAttendee(3, "Bob", "Ray", "Rome");
    const qint64 cy = f.addAttendee(3, "Cy", "Day", "Nice");
    // Ann's photograph lives in the database; Bob's card was printed before.
    QImage photo(320, 240, QImage::Format_RGB32);
    photo.fill(QColor(40, 90, 160));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && photo.save(&buffer, "JPG"));
    TestEnvironment::exec(f.file, "INSERT INTO Photos (AttendeeID, Photo) VALUES (?, ?)", {ann, jpeg});
    TestEnvironment::exec(f.file, "INSERT INTO CardPrints (AttendeeID, Printed, CardSize, Printer, Desk) "
                                  "VALUES (?, now(), '3 X 4', 'Card Printer', 'DESK1')", {ann + 1});
    const QString pdf = f.env->root() + "/gala.pdf";
    const QString said = cards({"--event", "Gala", "--size", "2 1/4 X 3.5", "--unprinted", "--mark-printed", pdf});
    QVERIFY2(said.contains("Wrote 2 cards of \"Gala\" on 2 pages"), qPrintable(said));
    QCOMPARE(pagesAndSize(pdf), std::make_pair(2, u"217 x 124"_s));
    QCOMPARE(codesOn(pdf, 2), QStringList {u"QVX:3:%1"_s.arg(cy)});
    // The photograph came from the server: the card's photo box is the photo's blue.
    const QImage first = page(pdf, 1);
    const QRect box = QRect(3120, 480, 1215, 1335); // the small card's imgPic, in twips
    const QPoint inside(qRound((box.center().x()) * Dpi / 1440.0), qRound(box.center().y() * Dpi / 1440.0));
    QVERIFY2(qBlue(first.pixel(inside)) > 120 && qRed(first.pixel(inside)) < 90, qPrintable(QColor(first.pixel(inside)).name()));
    QCOMPARE(f.sql("SELECT count(*) || ' ' || min(CardSize) FROM CardPrints WHERE AttendeeID <> ?", {ann + 1}).toString(),
             "2 2 1/4 X 3.5");
}

void TestCardBatch::calibrationMovesAndScalesTheCard()
{
    // A printer name with what an INI file dislikes: a slash, a hash, an equals sign.
    const QString name = "Desk/Laser #2=A";
    f.context.installedPrinters = [name] { return QStringList {"Card Printer", name}; };
    f.open(1);
    f.dialogs->onModal([&](QDialog *dialog) {
        QCOMPARE(dialog->windowTitle(), "Calibrate Printer");
        dialog->findChild<QComboBox *>("cboPrinter")->setCurrentText(name);
        for (const auto &[box, typed] : {std::pair {"spnOffsetX", "4.0"}, {"spnOffsetY", "-3.0"}, {"spnScale", "95"}}) {
            auto *spin = dialog->findChild<QDoubleSpinBox *>(box);
            spin->setFocus();
            spin->selectAll();
            QTest::keyClicks(spin, typed);
        }
        // No such printer on this machine: the page cannot go, and the user is told.
        RegisterFixture::press(dialog, "cmdPrintPage");
        QTest::keyClick(dialog, Qt::Key_Enter);
    });
    f.dialogs->answer(MsgAnswer::Ok);
    f.action("mnuCalibrate")->trigger();
    QCOMPARE(f.dialogs->lastBox().text, u"The calibration page could not be sent to \"%1\". Check that the printer is "
                                        "on and installed, then print again."_s.arg(name));
    // Print Cards on a printer that has gone since the list was made prints nothing.
    f.dialogs->answer(MsgAnswer::Ok);
    f.dialogs->onModal([&](QDialog *dialog) {
        QCOMPARE(dialog->findChild<QComboBox *>("cboPrinter")->currentText(), "Card Printer");
        RegisterFixture::press(dialog, "cmdPrint");
        dialog->reject();
    });
    f.action("mnuPrintCards")->trigger();
    QCOMPARE(f.dialogs->lastBox().text, "The printer \"Card Printer\" is not there any more. Choose another printer, "
                                        "or a PDF file.");
    QCOMPARE(f.rows("CardPrints"), 0);
    const PrinterCalibration kept = PrinterCalibration::load(name);
    QCOMPARE(std::make_tuple(kept.offsetXMm, kept.offsetYMm, kept.scalePercent), std::make_tuple(4.0, -3.0, 95.0));
    QCOMPARE(PrinterCalibration::load("Card Printer").isIdentity(), true);
    // The section names the printer safely: one group, no nesting, nothing lost.
    QSettings ini(Settings::storeFile(), QSettings::IniFormat);
    QVERIFY(ini.childGroups().contains("calibration"));
    QVERIFY(!ini.childGroups().contains("desk"));
    ini.beginGroup("calibration");
    QCOMPARE(ini.childGroups(), QStringList {"desk%2flaser %232%3da"});

    // The same card printed with and without the correction: moved by the offset
    // (the card starts 4 mm right and -3 mm up, cut there by the page) and 95 % as wide.
    const CardLayout layout = CardLayout::card3x4();
    const QSqlRecord row = TestEnvironment::row(f.file, "SELECT " + AttendeeCard::selectFields() + " FROM Attendees WHERE AttendeeID = ?",
                                                {m_keys.at(0)});
    const CardFace face = AttendeeCard::fromRow(row, *PhotoStore::forLocation(f.file), f.appFolder, 300, 300);
    QList<QRect> drawn;
    for (const PrinterCalibration &calibration : {PrinterCalibration {}, kept, PrinterCalibration {0, 3, 95}}) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString pdf = f.env->root() + u"/calibrated%1.pdf"_s.arg(drawn.size());
        printer.setOutputFileName(pdf);
        QVERIFY(CardPrint::print(layout, face, printer, calibration));
        const QList<QRect> cards = cardsOn(page(pdf, 1));
        QCOMPARE(cards.size(), 1);
        drawn.append(cards.first());
    }
    const double mm = Dpi / 25.4;
    QVERIFY2(qAbs(drawn[1].left() - drawn[0].left() - 4 * mm) <= 1.5, qPrintable(u"%1 %2"_s.arg(drawn[1].left()).arg(drawn[0].left())));
    QCOMPARE(drawn[1].top(), 0); // moved up: cut by the page's top
    QVERIFY(qAbs(drawn[2].top() - drawn[0].top() - 3 * mm) <= 1.5);
    QVERIFY2(qAbs(drawn[2].width() - 0.95 * drawn[0].width()) <= 2, qPrintable(u"%1 %2"_s.arg(drawn[2].width()).arg(drawn[0].width())));
    QVERIFY(qAbs(drawn[2].height() - 0.95 * drawn[0].height()) <= 2);

    // The calibration page is the card's size and says what it was printed with.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = f.env->root() + "/calibration.pdf";
    printer.setOutputFileName(pdf);
    QVERIFY(CalibrationPage::print(printer, layout.twips, kept));
    QCOMPARE(pagesAndSize(pdf), std::make_pair(1, u"275 x 179"_s));
    page(pdf, 1, 300).save(artefacts() + "calibration-page.png");
    const QString text = run("pdftotext", {"-layout", pdf, "-"}).simplified();
    QVERIFY2(text.contains("Printed with Across 4.0 mm, Down -3.0 mm, Scale 95.0 %."), qPrintable(text));
}

QTEST_MAIN(TestCardBatch)
#include "tst_cardbatch.moc"
