// The ID cards through the registration window: the design clicks on the miniature,
// the two card windows (their tables, loading, following the record, preview), the card
// of any attendee drawn from the stored row alone, and printing one page of exactly the
// card's size, checked in the PDF with poppler's tools. The attendee's QR code is read
// back by zbarimg, a reader nobody here wrote, from the card windows' pictures and from
// the printed pages.

#include "../register/RegisterFixture.h"
#include "core/ModGen.h"

#include "core/Resources.h"
#include "data/PhotoStore.h"
#include "idcard/AttendeeCard.h"
#include "idcard/CardCommands.h"
#include "idcard/CardImage.h"
#include "idcard/CardItem.h"
#include "idcard/CardWindow.h"
#include "idcard/CardWindows.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>

#include <cmath>

namespace {

// The scripted boxes, also keeping what each dialog was asked with.
class RecordingDialogs : public ScriptedDialogs
{
public:
    QStringList asked;

    std::optional<QString> input(QWidget *parent, const QString &prompt, const QString &title,
                                 const QString &defaultText) override
    {
        asked << QStringList {"input", prompt, title, defaultText}.join('|');
        return ScriptedDialogs::input(parent, prompt, title, defaultText);
    }
    QString openFile(QWidget *parent, const QString &title, const QString &folder, const QString &filter,
                     const QString &defaultExtension) override
    {
        asked << QStringList {"open", title, folder, filter, defaultExtension}.join('|');
        return ScriptedDialogs::openFile(parent, title, folder, filter, defaultExtension);
    }
    bool printer(QWidget *parent, QPrinter *printer, const QString &title) override
    {
        asked << QStringLiteral("printer|") + title;
        return ScriptedDialogs::printer(parent, printer, title);
    }
};

// A box with an OK button, as the card commands show them.
ScriptedDialogs::Box okBox(const QString &text, const QString &title, MsgIcon icon)
{
    return {text, title, MsgButtons::Ok, icon};
}

QString artefacts()
{
    const QString folder = QCoreApplication::applicationDirPath() + "/test-artefacts/";
    QDir().mkpath(folder);
    return folder;
}

// A checker's output (poppler's tools, zbarimg); fails the test when it fails or is missing.
QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        QTest::qFail(qPrintable(QStringLiteral("%1 %2 failed (poppler-utils and zbar-tools installed? "
                                               "scripts/install-deps.sh): %3")
                                    .arg(program, arguments.join(' '), QString::fromLocal8Bit(process.readAllStandardError()))),
                     __FILE__, __LINE__);
        return QString();
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// The QR codes zbarimg reads in a picture, one text a line.
QString readCodes(const QString &picture)
{
    return run("zbarimg", {"--quiet", "--raw", "-Sdisable", "-Sqrcode.enable", picture}).trimmed();
}

// The PDF's page turned into a picture at 300 dots per inch, as a card printer prints it.
QString pageAt300Dpi(const QString &pdf)
{
    const QString base = pdf.chopped(4) + "-300dpi";
    run("pdftoppm", {"-png", "-r", "300", "-singlefile", pdf, base});
    return base + ".png";
}

// Each word of the PDF's text with its box (points, from the top left).
QMap<QString, QRectF> pdfWords(const QString &pdf)
{
    const QString words = run("pdftotext", {"-bbox", pdf, "-"});
    const QRegularExpression word(
        "<word xMin=\"([-\\d.]+)\" yMin=\"([-\\d.]+)\" xMax=\"([-\\d.]+)\" yMax=\"([-\\d.]+)\">([^<]*)</word>");
    QMap<QString, QRectF> found;
    for (const QRegularExpressionMatch &m : word.globalMatch(words))
        found.insert(m.captured(5), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                           QPointF(m.captured(3).toDouble(), m.captured(4).toDouble())));
    return found;
}

// A picture with some shape to it, so that a person looking at the artefacts sees where it went.
QImage portrait()
{
    QImage image(480, 600, QImage::Format_RGB32);
    image.fill(QColor(150, 190, 230));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(60, 60, 120));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRect(90, 380, 300, 320));
    p.setBrush(QColor(235, 200, 170));
    p.drawEllipse(QRect(150, 110, 180, 230));
    return image;
}

} // namespace

class TestCardWindows : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void cardWindowsLoadHiddenAndPreviewOneWindowPerSize();
    void designClicksShowOnTheCardsAndAreStored();
    void cardDrawnFromTheRowIsTheCardTheWindowShows();
    void newAttendeesCardCarriesItsCodeAndTheCodeCanBeLeftOff();
    void printingMakesOnePageOfTheCardsSize_data();
    void printingMakesOnePageOfTheCardsSize();
    void printCommandsSayWhyNothingIsPrinted();
    void everyCardPrintedIsRecordedAndASecondIsAskedFor();

private:
    RecordingDialogs *dialogs() const { return static_cast<RecordingDialogs *>(f.dialogs.get()); }
    CardWindows *windows() const { return f.window->cardWindows(); }
    QComboBox *sizeBox() const { return f.child<QComboBox>("cboIDSize"); }
    // Opens event 1 with three attendees: the first with a photo and an office, the
    // second without a photo, the third with long names and a photo file that is missing.
    RegisterWindow *openWithAttendees();
    void clickPrintButton() const;
    QString pdf() const { return f.env->root() + "card.pdf"; }
    void printToPdf() const;
    // "QVX:" & ProgramID & ":" & AttendeeID of the attendee of that first name, as stored.
    QString codeOf(const QString &firstName) const
    {
        return f.sql("SELECT 'QVX:' || ProgramID || ':' || AttendeeID FROM Attendees WHERE FirstName = ?", {firstName})
            .toString();
    }

    RegisterFixture f;
};

void TestCardWindows::init()
{
    f.setUp();
    f.dialogs.reset(); // one scripted seam at a time
    f.dialogs = std::make_unique<RecordingDialogs>();
    f.context.installedPrinters = [] { return QStringList {"Card Printer"}; };
}

void TestCardWindows::cleanup()
{
    f.tearDown();
}

RegisterWindow *TestCardWindows::openWithAttendees()
{
    f.addEvent(1);
    const qint64 anne = f.addAttendee(1, "Anne", "Smith", "Cork", "North", "Pic\\1.jpg");
    f.addAttendee(1, "Bob", "ray", "Rome");
    f.addAttendee(1, "Maximiliana Theodora", "von Vandenberghe-Oppenheimer", "Saint-Jean-sur-Richelieu", "  ",
                  "Pic\\missing.jpg");
    TestEnvironment::exec(f.file, "UPDATE Attendees SET OfficeName = 'Treasurer' WHERE AttendeeID = ?", {anne});
    QDir().mkpath(f.folder + "Pic");
    portrait().save(f.folder + "Pic/1.jpg", "JPG");
    SettingKeys::Header1.write("Spring Convention 2026");
    // The logo the program ships with, as the default "Logo\logo.bmp".
    appResources::ensureLoaded();
    QFile::remove(f.appFolder + "Logo/logo.bmp");
    QFile::copy(":/images/logo.bmp", f.appFolder + "Logo/logo.bmp");
    return f.open(1);
}

void TestCardWindows::clickPrintButton() const
{
    auto *button = qobject_cast<QToolButton *>(
        f.window->tbToolBar()->widgetForAction(f.window->tbToolBar()->button("Print")));
    QVERIFY(button);
    // The left part is the button itself; the arrow on the right opens its drop-down.
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(button->width() / 4, button->height() / 2));
}

void TestCardWindows::printToPdf() const
{
    QPrinter *printer = f.window->cardCommands()->printer();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(pdf());
    QFile::remove(pdf());
}

void TestCardWindows::cardWindowsLoadHiddenAndPreviewOneWindowPerSize()
{
    // Both card windows are loaded hidden showing the current card content (their items are
    // tst_cardwidget's); the window is the card's true size.
    RegisterWindow *w = openWithAttendees();
    CardWidget *mini = f.card();
    QVERIFY(windows()->isLoaded(CardWindow::Card3x4) && windows()->isLoaded(CardWindow::Card2x35));
    QCOMPARE(f.cards().size(), 3);
    QCOMPARE(f.content().photoPath, "Pic\\1.jpg");
    const QList<std::tuple<CardWindow *, QString, QString, QSize>> cases = {
        {windows()->frmIDCard(), "frmIDCard", "ID Card (3 X 4) 100%", QSize(5505, 3585)},
        {windows()->frmIDCard2(), "frmIDCard2", "ID Card (2 1/4 X 3.5) 100%", QSize(4335, 2475)}};
    for (const auto &[window, name, title, inner] : cases) {
        QVERIFY(!window->isVisible());
        QCOMPARE(QStringList({window->objectName(), window->windowTitle(), window->accessibleName()}),
                 QStringList({name, title, title}));
        QCOMPARE(window->parentWidget(), w);
        QCOMPARE(window->size(), QSize(qRound(inner.width() * window->logicalDpiX() / 1440.0),
                                       qRound(inner.height() * window->logicalDpiY() / 1440.0)));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QCOMPARE(window->palette().color(QPalette::Window), QColor(0, 64, 64));
        CardWidget *card = window->card();
        QCOMPARE(card->objectName(), "fraID");
        QCOMPARE(card->geometry(), window->rect());
        QCOMPARE(card->sizeHint(), window->size()); // the layout of this size, not the other's
        QCOMPARE(card->logo().size(), QSize(61, 61));
        QVERIFY(!card->photo().isNull());
        QCOMPARE(QStringList({card->header(0), card->header(1), card->name(0), card->name(1), card->chapter()}),
                 QStringList({"Spring Convention 2026", "******Header Line 2******", "Anne", "SMITH", "North Chapter"}));
        QCOMPARE(card->color(), mini->color());
    }
    // Each card as a person sees it, for the artefacts.
    mini->grab().save(artefacts() + "card-miniature.png");
    windows()->frmIDCard()->card()->grab().save(artefacts() + "card-3x4.png");
    windows()->frmIDCard2()->card()->grab().save(artefacts() + "card-2x35.png");
    // Each card window's picture carries a code that reads as the attendee's.
    QCOMPARE(QStringList({readCodes(artefacts() + "card-3x4.png"), readCodes(artefacts() + "card-2x35.png")}),
             QStringList(2, codeOf("Anne")));

    QAction *previewItem = f.child<QMenu>("tbToolBar_PrintMenu")->actions().value(0);
    QCOMPARE(QStringList({previewItem->text(), f.action("mnuPreviewID")->text()}), QStringList(2, "Preview ID Card"));

    // No size chosen: both ways in say so and show nothing.
    const QString selectSize = "Select ID Card Size from the Toolbar";
    QCOMPARE(sizeBox()->currentText(), "<ID Card Size>");
    for (QAction *command : {f.action("mnuPreviewID"), previewItem}) {
        f.dialogs->answer(MsgAnswer::Ok);
        command->trigger();
        QCOMPARE(f.dialogs->lastBox(), okBox(selectSize, "Select ID Card Size", MsgIcon::Information));
    }
    QVERIFY(!windows()->frmIDCard()->isVisible() && !windows()->frmIDCard2()->isVisible());

    // "2 1/4 X 3.5" from the menu, then again from the drop-down: one window, brought up.
    sizeBox()->setCurrentIndex(1);
    QCOMPARE(sizeBox()->currentText(), "2 1/4 X 3.5");
    f.action("mnuPreviewID")->trigger();
    QPointer<CardWindow> small = windows()->frmIDCard2();
    QTRY_VERIFY(small->isVisible());
    QVERIFY(!windows()->frmIDCard()->isVisible());
    QVERIFY(!small->isModal());
    QVERIFY(qAbs(small->frameGeometry().center().x() - w->frameGeometry().center().x()) <= 2);
    previewItem->trigger();
    QCOMPARE(windows()->frmIDCard2(), small.data());
    QCOMPARE(w->findChildren<CardWindow *>().size(), 2);

    // The shown card follows moves and typing at once.
    CardWidget *card = small->card();
    QVERIFY(!card->photo().isNull());
    f.arrow(2);
    QCOMPARE(QStringList({card->name(0), card->name(1), card->chapter()}), QStringList({"Bob", "RAY", "Rome"}));
    QVERIFY(card->photo().isNull());
    QCOMPARE(f.content().photoPath, QString());
    RegisterFixture::retype(f.field(1), "Robert");
    QCOMPARE(card->name(0), "Robert");

    // Closed, it is unloaded; the next preview loads it again, showing the card content as it is now.
    small->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(small.isNull());
    QCOMPARE(f.cards().size(), 2);
    w->cardContent()->setHeader(1, "Second line"); // as a design click would have left it
    f.action("mnuPreviewID")->trigger();
    CardWindow *again = windows()->frmIDCard2();
    QTRY_VERIFY(again->isVisible());
    QCOMPARE(QStringList({again->card()->name(0), again->card()->header(1)}), QStringList({"Robert", "Second line"}));
    QCOMPARE(f.cards().size(), 3);

    // "3 X 4" shows the other window; Esc closes a card window.
    sizeBox()->setCurrentIndex(2);
    previewItem->trigger();
    QTRY_VERIFY(windows()->frmIDCard()->isVisible());
    QPointer<CardWindow> big = windows()->frmIDCard();
    QTRY_VERIFY(QApplication::activeWindow() == big);
    QTest::keyClick(big, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(big.isNull());
}

void TestCardWindows::designClicksShowOnTheCardsAndAreStored()
{
    openWithAttendees();
    CardWidget *mini = f.card();
    const auto click = [&](const char *item) {
        QWidget *target = item ? static_cast<QWidget *>(mini->item(item)) : mini;
        // The bare card: its bottom right corner holds no line or picture.
        const QPoint at = item ? target->rect().center() : QPoint(mini->width() - 3, mini->height() - 3);
        QTest::mouseClick(target, Qt::LeftButton, {}, at);
    };
    const auto onEveryCard = [&](auto read) {
        QStringList seen;
        for (CardWidget *card : f.cards())
            seen << read(card);
        return seen;
    };

    // Header lines: OK stores the text in full (past the advised length); Cancel changes nothing;
    // an empty OK stores an empty line. Loaded card windows show the new text at once.
    const QString long1 = QString(50, QLatin1Char('H'));
    f.dialogs->answerInput(long1);
    click("lblHeader_0");
    f.dialogs->answerInput(std::nullopt);
    click("lblHeader_0");
    f.dialogs->answerInput(QString());
    click("lblHeader_1");
    const QString line1 = "input|Please Enter Title Line 1 (40 charaters Max)|ID Header|**************Header Line 1*************";
    QCOMPARE(dialogs()->asked, QStringList({line1, line1, "input|Please Enter Title Line 2 (25 charaters Max)|ID Header|******Header Line 2******"}));
    QCOMPARE(onEveryCard([](CardWidget *c) { return c->header(0) + '/' + c->header(1); }),
             QStringList(3, long1 + '/'));
    QCOMPARE(SettingKeys::Header1.read(), long1);
    QCOMPARE(Settings::get("Header2", "header2", "unset"), QString());
    dialogs()->asked.clear();

    // Logo: from a folder with a dot in its name, copied as "idlogo" and the file's own extension.
    const QString pics = f.env->folder("my.pictures");
    QImage badge(64, 48, QImage::Format_RGB32);
    badge.fill(QColor(200, 30, 30));
    QVERIFY(badge.save(pics + "Badge.Jpg", "JPG"));
    const QString logoFolder = f.appFolder + "Logo" + QDir::separator();
    f.dialogs->answerOpenFile(pics + "Badge.Jpg");
    click("ImgLogo");
    QCOMPARE(dialogs()->asked, QStringList({"open|Add Logo to ID|" + logoFolder +
                                            "|Pictures (*.bmp;*.ico;*.jpg;*.gif)|*.bmp;*.ico;*.jpg;*.gif|.bmp"}));
    QCOMPARE(SettingKeys::Logo.read(), logoFolder + "idlogo.Jpg");
    QCOMPARE(onEveryCard([](CardWidget *c) { return QString::number(c->logo().width()); }), QStringList(3, "64"));
    // Choosing the copy itself keeps it (an error box would fail the test); Cancel changes nothing;
    // a file that is no picture: its copy stays, the logo and the setting do not change.
    f.dialogs->answerOpenFile(logoFolder + "idlogo.Jpg");
    click("ImgLogo");
    f.dialogs->answerOpenFile(QString());
    click("ImgLogo");
    QFile junk(pics + "broken.gif");
    QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write("GIF? no") > 0);
    junk.close();
    f.dialogs->answerOpenFile(pics + "broken.gif");
    f.dialogs->answer(MsgAnswer::Ok);
    click("ImgLogo");
    const ScriptedDialogs::Box error = f.dialogs->lastBox();
    QCOMPARE(f.dialogs->boxes().size(), 1);
    QCOMPARE(error, okBox(error.text, "Add ID Logo Error", MsgIcon::Critical));
    QVERIFY2(error.text.contains("broken") || error.text.contains("idlogo.gif"), qPrintable(error.text));
    QVERIFY(QFile::exists(logoFolder + "idlogo.gif"));
    QCOMPARE(SettingKeys::Logo.read(), logoFolder + "idlogo.Jpg");
    QCOMPARE(mini->logo().width(), 64);

    // Colour: black and Cancel change nothing; the attendee's lines and photo are no design
    // controls (the scripted dialogs fail on a colour dialog nobody queued an answer for);
    // red goes to every card, a card window loaded later too, and is stored as decimal text.
    const quint32 grey = mini->color();
    f.dialogs->answerColor(0);
    click(nullptr);
    f.dialogs->answerColor(std::nullopt);
    click(nullptr);
    for (const char *item : {"lblName_0", "lblName_1", "lblOffice", "lblChap", "imgPic"})
        click(item);
    QCOMPARE(onEveryCard([](CardWidget *c) { return QString::number(c->color()); }), QStringList(3, QString::number(grey)));
    QCOMPARE(Settings::get("IdColor", "idcolor", "unset"), "unset");
    windows()->frmIDCard2()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(f.cards().size(), 2);
    f.dialogs->answerColor(255);
    click(nullptr);
    windows()->frmIDCard2();
    QCOMPARE(onEveryCard([](CardWidget *c) { return QString::number(c->color()); }), QStringList(3, "255"));
    QCOMPARE(SettingKeys::IdColor.read(), "255");
    // A colour with the top bit set is stored as the signed number it is.
    f.dialogs->answerColor(0xFF000000u | 0x00FFFFu);
    click(nullptr);
    QCOMPARE(SettingKeys::IdColor.read(), QString::number(qint32(0xFF00FFFFu)));
}

void TestCardWindows::cardDrawnFromTheRowIsTheCardTheWindowShows()
{
    // The card of an attendee drawn from the stored row and the stored design alone is,
    // pixel for pixel, the card a card window shows once the navigator reaches that attendee.
    SettingKeys::IdColor.write(QString::number(200 + 256 * 230 + 65536 * 255));
    openWithAttendees();
    for (const char *name : {"Anne", "Bob", "Maximiliana Theodora"}) {
        QTRY_COMPARE(f.field(1)->text(), QString::fromLatin1(name)); // moved there through the window
        const QSqlRecord row = TestEnvironment::row(f.file, "SELECT * FROM Attendees WHERE FirstName = ?", {name});
        for (CardWindow *window : {windows()->frmIDCard(), windows()->frmIDCard2()}) {
            CardWidget *card = window->card();
            const double dpiX = card->logicalDpiX(), dpiY = card->logicalDpiY();
            const qreal ratio = card->devicePixelRatioF();
            const CardFace face = AttendeeCard::fromRow(row, *PhotoStore::forLocation(f.file), f.appFolder, dpiX * ratio,
                                                        dpiY * ratio);
            const QImage drawn = CardImage::render(card->layout(), face, dpiX, dpiY, ratio)
                                     .convertToFormat(QImage::Format_RGB32);
            const QImage shown = card->grab().toImage().convertToFormat(QImage::Format_RGB32);
            if (drawn != shown) {
                const QString file = artefacts() + "from-row-" + window->objectName() + '-' + name;
                drawn.save(file + "-drawn.png");
                shown.save(file + "-shown.png");
                QFAIL(qPrintable("the card drawn from the row differs from the window's: see " + file + "-*.png"));
            }
        }
        f.arrow(2);
    }
}

void TestCardWindows::newAttendeesCardCarriesItsCodeAndTheCodeCanBeLeftOff()
{
    // The stored choice is restored at start (the value's letter case does not matter).
    SettingKeys::QrCode.write("false");
    openWithAttendees();
    QAction *item = f.action("mnuQRCode");
    QCOMPARE(QList<bool>({item->isCheckable(), item->isChecked(), f.content().showCode}), QList<bool>({true, false, false}));
    QCOMPARE(item->text().remove('&'), "Show QR Code on ID Card");
    QVERIFY(!windows()->frmIDCard()->card()->item("imgQRCode")->isVisible());

    // Turned on: every card shows it, and the choice is stored.
    item->trigger();
    QCOMPARE(QList<bool>({item->isChecked(), f.content().showCode}), QList<bool>({true, true}));
    QCOMPARE(SettingKeys::QrCode.read(), "True");

    // A new attendee's card carries the code of the key reserved for it, before it is saved:
    // the saved row is the one the code names.
    f.action("mnuFileNew")->trigger();
    RegisterFixture::retype(f.field(1), "Nora");
    RegisterFixture::retype(f.field(3), "Quinn");
    const QString picture = artefacts() + "card-3x4-new.png";
    windows()->frmIDCard()->card()->grab().save(picture);
    const QString code = readCodes(picture);
    QVERIFY2(code.startsWith("QVX:1:"), qPrintable(code));
    f.action("mnuFileSave")->trigger();
    QCOMPARE(codeOf("Nora"), code);

    // Turned off: no code on any card and nothing else moves; the place is the bare card again.
    QList<QImage> with;
    for (CardWidget *card : f.cards())
        with << card->grab().toImage();
    item->trigger();
    QCOMPARE(SettingKeys::QrCode.read(), "False");
    for (int i = 0; i < f.cards().size(); ++i) {
        CardWidget *card = f.cards().at(i);
        const QImage without = card->grab().toImage();
        const qreal ratio = without.devicePixelRatio();
        const QRect place = card->item("imgQRCode")->geometry();
        const QRect placed(QPointF(place.topLeft() * ratio).toPoint(), QPointF(place.bottomRight() * ratio).toPoint());
        int changed = 0;
        for (int y = 0; y < without.height(); ++y)
            for (int x = 0; x < without.width(); ++x) {
                if (without.pixel(x, y) == with.at(i).pixel(x, y))
                    continue;
                ++changed;
                QVERIFY2(placed.adjusted(-1, -1, 1, 1).contains(x, y), qPrintable(QStringLiteral("%1 changed at %2,%3").arg(card->layout().name).arg(x).arg(y)));
                QCOMPARE(without.pixel(x, y), CardFace::toQColor(card->color()).rgb());
            }
        QVERIFY(changed > placed.width() * placed.height() / 4);
        QVERIFY(!card->item("imgQRCode")->isVisible());
    }
}

void TestCardWindows::printingMakesOnePageOfTheCardsSize_data()
{
    // Page in whole points nearest the card; where the last name's box is (twips).
    QTest::addColumn<int>("sizeIndex");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QRect>("lastNameBox");
    QTest::addColumn<QString>("file");
    QTest::newRow("3 X 4") << 2 << "275 x 179 pts" << QRect(240, 1920, 3135, 330) << "print-3x4";
    QTest::newRow("2 1/4 X 3.5") << 1 << "217 x 124 pts" << QRect(120, 1200, 2655, 330) << "print-2x35";
}

void TestCardWindows::printingMakesOnePageOfTheCardsSize()
{
    QFETCH(int, sizeIndex);
    QFETCH(QString, page);
    QFETCH(QRect, lastNameBox);
    QFETCH(QString, file);
    openWithAttendees();
    sizeBox()->setCurrentIndex(sizeIndex);
    // Printed while shown as a preview: the preview goes away, the page is printed.
    f.action("mnuPreviewID")->trigger();
    CardWindow *window = windows()->forSizeIndex(sizeIndex);
    QTRY_VERIFY(window->isVisible());
    printToPdf();
    clickPrintButton(); // at once: no printer dialog
    QVERIFY(dialogs()->asked.isEmpty());
    QVERIFY(!window->isVisible());
    QFile::remove(artefacts() + file + ".pdf");
    QFile::copy(pdf(), artefacts() + file + ".pdf");

    const QString info = run("pdfinfo", {"-box", pdf()});
    QVERIFY2(info.contains(QRegularExpression("Pages:\\s+1\\n")), qPrintable(info));
    QVERIFY2(info.contains("Page size:       " + page), qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression("MediaBox:\\s+0\\.00\\s+0\\.00")), qPrintable(info));

    // The names are text, at true scale: each word where its box is, 20 twips to the point.
    const QMap<QString, QRectF> found = pdfWords(pdf());
    for (const char *name : {"Anne", "SMITH", "Spring", "Chapter"})
        QVERIFY2(found.contains(name), qPrintable(QStringList(found.keys()).join(' ')));
    const QRectF box(QPointF(lastNameBox.topLeft()) / 20.0, QSizeF(lastNameBox.size()) / 20.0);
    const QRectF smith = found.value("SMITH");
    QVERIFY2(box.adjusted(-1, -1, 1, 1).contains(smith),
             qPrintable(QStringLiteral("SMITH at %1,%2 %3 x %4").arg(smith.left()).arg(smith.top())
                            .arg(smith.width()).arg(smith.height())));
    QVERIFY(qAbs(smith.left() - box.left()) < 1.5);
    QVERIFY(smith.height() > 9 && smith.height() < 20); // 12 or 13.5 pt type

    // The printed page as a picture, for a person to look at.
    run("pdftoppm", {"-png", "-r", "200", "-singlefile", pdf(), artefacts() + file});
    // The code on the page, printed at 300 dots per inch, reads as the attendee's.
    QCOMPARE(readCodes(pageAt300Dpi(pdf())), codeOf("Anne"));

    // The third attendee's long names: every word whole inside its line's box (drawn
    // smaller, not wrapped into the line below and lost), and the code theirs.
    f.arrow(2);
    f.arrow(2);
    QTRY_COMPARE(f.field(1)->text(), "Maximiliana Theodora");
    QFile::remove(pdf());
    clickPrintButton();
    QFile::remove(artefacts() + file + "-long.pdf");
    QFile::copy(pdf(), artefacts() + file + "-long.pdf");
    const QMap<QString, QRectF> words = pdfWords(pdf());
    const CardLayout &layout = window->card()->layout();
    const QList<QPair<const char *, QStringList>> lines = {{"lblName_0", {"Maximiliana", "Theodora"}},
                                                           {"lblName_1", {"VON", "VANDENBERGHE-OPPENHEIMER"}}};
    for (const auto &[element, inLine] : lines) {
        const QRect twips = layout.element(element)->twips;
        const QRectF lineBox = QRectF(QPointF(twips.topLeft()) / 20.0, QSizeF(twips.size()) / 20.0).adjusted(-1, -1, 1, 1);
        for (const QString &w : inLine)
            QVERIFY2(words.contains(w) && lineBox.contains(words.value(w)),
                     qPrintable(w + " not inside " + element + ": " + QStringList(words.keys()).join(' ')));
    }
    QCOMPARE(readCodes(pageAt300Dpi(pdf())), codeOf("Maximiliana Theodora"));
}

void TestCardWindows::printCommandsSayWhyNothingIsPrinted()
{
    openWithAttendees();
    printToPdf();
    sizeBox()->setCurrentIndex(2);
    f.action("mnuPreviewID")->trigger();
    CardWindow *window = windows()->frmIDCard();
    QTRY_VERIFY(window->isVisible());

    // No printer installed: both ways in say so; the preview stays.
    f.context.installedPrinters = [] { return QStringList(); };
    f.dialogs->answer(MsgAnswer::Ok);
    clickPrintButton();
    f.dialogs->answerPrinter(true);
    f.dialogs->answer(MsgAnswer::Ok);
    f.action("mnuFilePrint")->trigger();
    const auto noPrinter = okBox("No Defualt Printer has been set up in this system\rPlease set up a printer and try again later",
                                 "Printer Not Found", MsgIcon::Critical);
    QCOMPARE(f.dialogs->boxes(), QList<ScriptedDialogs::Box>({noPrinter, noPrinter}));
    QVERIFY(window->isVisible());
    QVERIFY(!QFile::exists(pdf()));

    // No size chosen: asked for after the printer check.
    f.context.installedPrinters = [] { return QStringList {"Card Printer"}; };
    sizeBox()->setCurrentIndex(0);
    f.dialogs->clear();
    f.dialogs->answer(MsgAnswer::Ok);
    clickPrintButton();
    QCOMPARE(f.dialogs->lastBox(), okBox("Select ID Card Size from the Toolbar", "Select ID Card Size", MsgIcon::Information));
    QVERIFY(!QFile::exists(pdf()));

    // The menu item: the printer dialog first; cancelled, nothing is printed.
    sizeBox()->setCurrentIndex(2);
    dialogs()->asked.clear();
    f.dialogs->answerPrinter(false);
    f.dialogs->answer(MsgAnswer::Ok);
    f.action("mnuFilePrint")->trigger();
    QCOMPARE(dialogs()->asked, QStringList("printer|Print ID Card"));
    const ScriptedDialogs::Box box = f.dialogs->lastBox();
    QCOMPARE(box.title, "Print ID Card");
    QCOMPARE(box.icon, MsgIcon::Information);
    QVERIFY2(box.text.endsWith("\rID Will not be printed") && box.text.size() > 24, qPrintable(box.text));
    QVERIFY(!QFile::exists(pdf()));
    QVERIFY(window->isVisible());
    // Confirmed, it prints; Ctrl+P is its shortcut.
    QCOMPARE(f.action("mnuFilePrint")->shortcut(), QKeySequence("Ctrl+P"));
    f.dialogs->answerPrinter(true);
    f.action("mnuFilePrint")->trigger();
    QVERIFY(QFile::exists(pdf()));
    QVERIFY(!window->isVisible());
}

void TestCardWindows::everyCardPrintedIsRecordedAndASecondIsAskedFor()
{
    openWithAttendees();
    sizeBox()->setCurrentIndex(2);
    printToPdf();
    const qint64 anne = f.sql("SELECT AttendeeID FROM Attendees WHERE FirstName = 'Anne'").toLongLong();
    const auto prints = [&] { return f.rows("CardPrints WHERE AttendeeID = ?", {anne}); };
    auto *printed = f.child<QLabel>("lblCardPrinted");
    QCOMPARE(printed->text(), "No card printed");
    clickPrintButton();
    QVERIFY(QFile::exists(pdf()));
    QCOMPARE(prints(), 1);
    QCOMPARE(f.sql("SELECT CardSize || '|' || Printer || '|' || Desk FROM CardPrints").toString(),
             "3 X 4|" + pdf() + "|" + modGen::getMachineName());
    QVERIFY2(printed->text().startsWith("Card printed ") && printed->text().contains(modGen::getMachineName()),
             qPrintable(printed->text()));

    // Again: asked, with when and where; No prints nothing, Yes prints and records.
    QFile::remove(pdf());
    f.dialogs->answer(MsgAnswer::No);
    clickPrintButton();
    QCOMPARE(f.dialogs->lastBox().title, "Card Already Printed");
    QVERIFY2(f.dialogs->lastBox().text.contains(modGen::getMachineName()), qPrintable(f.dialogs->lastBox().text));
    QVERIFY(!QFile::exists(pdf()));
    QCOMPARE(prints(), 1);
    f.dialogs->answer(MsgAnswer::Yes);
    clickPrintButton();
    QVERIFY(QFile::exists(pdf()));
    QCOMPARE(prints(), 2);
    // Another attendee's first card is not asked about.
    f.arrow(2);
    QFile::remove(pdf());
    clickPrintButton();
    QVERIFY(QFile::exists(pdf()));
    QCOMPARE(f.rows("CardPrints"), 3);
}

QTEST_MAIN(TestCardWindows)
#include "tst_cardwindows.moc"
