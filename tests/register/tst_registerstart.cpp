// The registration window as a frame: the first start through the splash window,
// its controls, menus and toolbar, the load sequence's failures, Help and closing.

#include "RegisterFixture.h"

#include "app/AppError.h"
#include "app/ProgressBox.h"
#include "app/SplashWindow.h"
#include "app/Twips.h"
#include "events/EventWindow.h"
#include "idcard/CardLayout.h"
#include "lists/DatasheetList.h"

#include <QAccessible>
#include <QCalendarWidget>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QToolBar>
#include <QUrl>

class TestRegisterStart : public QObject
{
    Q_OBJECT

private slots:
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    void firstStartAsksForTheDatabaseAndAnEvent();
    void everyControlByNameCaptionAndKeyboard();
    void menusAndToolbarInOrder();
    void laterCommandsSayNothing();
    void loadFailuresAreRaisedUnchanged();
    void cardDesignIsRestored();
    void progressAdvancesThroughTheLoad();
    void helpMenu();
    void closingTheMainWindowClosesEveryWindow();

private:
    RegisterFixture f;
};

void TestRegisterStart::firstStartAsksForTheDatabaseAndAnEvent()
{
    // Empty settings store, empty database: the path is asked for, then an event.
    f.dialogs->answerInput(f.folder);
    f.dialogs->answer(MsgAnswer::Ok); // "Please select an event"
    f.dialogs->onModal([](QDialog *dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("frmEvent"));
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdAdd")), Qt::LeftButton);
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("txtFields_1"));
        QVERIFY(name);
        QTest::keyClicks(name, QStringLiteral("Spring Gala"));
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });

    SplashWindow splash;
    QVERIFY(splash.formLoad());
    RegisterWindow *main = splash.mainWindow();
    QVERIFY(main);
    f.window = main;

    QCOMPARE(f.dialogs->boxes().size(), 1);
    const ScriptedDialogs::Box box = f.dialogs->boxes().at(0);
    QCOMPARE(box.text, QStringLiteral("Please select an event"));
    QCOMPARE(box.title, QStringLiteral("Event Required"));
    QCOMPARE(box.icon, MsgIcon::Information);
    QCOMPARE(box.buttons, MsgButtons::Ok);

    QVERIFY(main->isVisible());
    QCOMPARE(main->windowTitle(), QStringLiteral("Spring Gala"));
    QCOMPARE(f.counter(), QStringLiteral("0 of 0"));
    const qint64 id = f.sql(QStringLiteral("SELECT ProgramID FROM Program WHERE Name = 'Spring Gala'")).toLongLong();
    QVERIFY(id > 0);
    QCOMPARE(main->tag(), QString::number(id));
    QCOMPARE(main->datPrimaryRS()->recordSource(),
             QStringLiteral("Select * from Attendees where ProgramID =") + QString::number(id));
    // The folders of the load sequence, and the program's folder in its short form.
    QVERIFY(QDir(f.folder + QStringLiteral("Pic")).exists());
    QVERIFY(modGen::appFolder().endsWith(QDir::separator()));
    QVERIFY(QDir(modGen::appFolder() + QStringLiteral("Logo")).exists());
    QCOMPARE(Settings::get(QStringLiteral("DBPath"), QStringLiteral("Path")), f.folder);
    QVERIFY(!main->lstEveryone()->isVisible());
}

void TestRegisterStart::everyControlByNameCaptionAndKeyboard()
{
    f.addEvent(3, QStringLiteral("Fair"));
    RegisterWindow *w = f.open(3);
    QCOMPARE(w->objectName(), QStringLiteral("frmRegister"));

    for (const char *name : {"fraAtt", "Label2", "Label3", "lblInfo", "cboTitle", "cboOffice", "cmdDelFromList_0",
                             "cmdDelFromList_1", "lblProgramID", "lblAttID", "lblPic", "datPrimaryRS", "Frame1",
                             "grdDonors", "cboPaid", "cboPayType", "cal", "datDonors", "fraID", "fraVideo",
                             "lstEveryone", "cmdClose", "tbToolBar", "cboIDSize"})
        QVERIFY2(f.child<QWidget>(QString::fromLatin1(name)), name);

    QCOMPARE(f.child<QLabel>(QStringLiteral("Label2"))->text(), QStringLiteral("Attendee Information"));
    QCOMPARE(f.child<QLabel>(QStringLiteral("Label3"))->text(), QStringLiteral("Attendee Information"));
    QCOMPARE(f.child<QLabel>(QStringLiteral("lblInfo"))->text(), QStringLiteral("Information:"));
    QCOMPARE(f.child<QGroupBox>(QStringLiteral("Frame1"))->title(), QStringLiteral("Donations && Fees"));
    QCOMPARE(f.child<QGroupBox>(QStringLiteral("fraVideo"))->title(), QStringLiteral("Video"));
    QCOMPARE(f.child<QPushButton>(QStringLiteral("cmdClose"))->text(), QStringLiteral("&Close"));
    QCOMPARE(w->datPrimaryRS()->toolTip(), QStringLiteral("Click the arrows to navigate through your records"));
    for (const char *name : {"cmdDelFromList_0", "cmdDelFromList_1"})
        QCOMPARE(f.child<QWidget>(QString::fromLatin1(name))->toolTip(),
                 QStringLiteral("Delete Displayed Value from List"));
    auto *payType = f.child<QComboBox>(QStringLiteral("cboPayType"));
    QCOMPARE(payType->count(), 2);
    QCOMPARE(payType->itemText(0), QStringLiteral("Cash"));
    QCOMPARE(payType->itemText(1), QStringLiteral("Check"));
    QVERIFY(!payType->isVisible());
    QVERIFY(!f.child<QCalendarWidget>(QStringLiteral("cal"))->isVisible());
    QVERIFY(!w->datDonors()->isVisible());
    for (const char *name : {"lblProgramID", "lblAttID", "lblPic"})
        QVERIFY2(!f.child<QWidget>(QString::fromLatin1(name))->isVisible(), name);
    auto *datasheet = w->lstEveryone();
    QCOMPARE(datasheet->headerItem()->text(0), QStringLiteral("Name"));
    QCOMPARE(datasheet->headerItem()->text(2), QStringLiteral("City/State/Zip/County"));
    QCOMPARE(datasheet->headerItem()->text(3), QStringLiteral("Chapter"));
    QVERIFY(!datasheet->isVisible());
    QCOMPARE(datasheet->pos(), Twips::toPixelRect(QRect(2040, 600, 0, 0), w->logicalDpiX(), w->logicalDpiY()).topLeft());

    // The miniature at its place inside the attendee frame.
    CardWidget *mini = f.card();
    QCOMPARE(mini->objectName(), QStringLiteral("fraID"));
    QCOMPARE(mini->parentWidget()->objectName(), QStringLiteral("fraAtt"));
    QCOMPARE(mini->geometry(), Twips::toPixelRect(QRect(2040, 600, 2655, 1575), mini->logicalDpiX(),
                                                   mini->logicalDpiY()));
    QCOMPARE(mini->layout().name, CardLayout::miniature().name);

    // Each box has its caption label as buddy and is found by that caption.
    const QStringList captions = {"Title:",   "First Name:", "MI:",        "Last Name:",    "Office:",     "Address:",
                                  "City:",    "State/Province:", "ZipCode:", "Country:",     "Chapter:",
                                  "Email:",   "HomePhone:",  "WorkPhone:", "MobilePhone:", "FaxNumber:", "Note:"};
    for (int i = 0; i < captions.size(); ++i) {
        auto *label = f.child<QLabel>(QStringLiteral("lblLabels_%1").arg(i));
        QVERIFY(label);
        QCOMPARE(label->text(), captions.at(i));
        QWidget *buddy = label->buddy();
        QVERIFY(buddy);
        const QString expected = i == 0 ? QStringLiteral("cboTitle")
            : i == 4                    ? QStringLiteral("cboOffice")
                                        : QStringLiteral("txtFields_%1").arg(i);
        QCOMPARE(buddy->objectName(), expected);
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(buddy);
        QVERIFY(accessible);
        QCOMPARE(accessible->text(QAccessible::Name), captions.at(i));
    }
    QVERIFY(!f.field(0) && !f.field(4));
    QCOMPARE(w->datPrimaryRS()->boundField(f.field(3)), QStringLiteral("LastName"));
    QCOMPARE(w->datPrimaryRS()->boundField(f.field(8)), QStringLiteral("PostalCode"));
    QCOMPARE(w->datPrimaryRS()->boundField(f.child<QWidget>(QStringLiteral("lblProgramID"))), QStringLiteral("ProgramID"));
    QCOMPARE(w->datPrimaryRS()->boundField(f.child<QWidget>(QStringLiteral("cboOffice"))), QStringLiteral("OfficeName"));

    // Tab runs top to bottom through the details: Title, its button, First Name, MI, ...
    QWidget *title = f.child<QWidget>(QStringLiteral("cboTitle"));
    title->setFocus();
    QTRY_VERIFY(title->hasFocus());
    QStringList visited;
    for (int i = 0; i < 7; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focus = QApplication::focusWidget();
        // An editable combo's line edit stands for the combo.
        if (focus && qobject_cast<QComboBox *>(focus->parentWidget()))
            focus = focus->parentWidget();
        visited << (focus ? focus->objectName() : QString());
    }
    QCOMPARE(visited, QStringList({"cmdDelFromList_0", "txtFields_1", "txtFields_2", "txtFields_3", "cboOffice",
                                   "cmdDelFromList_1", "txtFields_5"}));
    // Every text box and button can take the keyboard focus and has a name.
    for (QWidget *widget : w->findChildren<QWidget *>()) {
        if (!widget->isVisibleTo(w) || !(qobject_cast<QLineEdit *>(widget) || qobject_cast<QAbstractButton *>(widget)
                                           || qobject_cast<QComboBox *>(widget)))
            continue;
        if (widget->parentWidget() && qobject_cast<QToolBar *>(widget->parentWidget())
            && qobject_cast<QAbstractButton *>(widget))
            continue; // toolbar buttons: their commands are menu items with shortcuts
        if (qobject_cast<QComboBox *>(widget->parentWidget()) || qobject_cast<QAbstractItemView *>(widget->parentWidget()))
            continue; // a combo's own line edit, a grid's corner button
        if (widget->window() != w)
            continue; // the event window, loaded and hidden, has tests of its own
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY2(accessible && !accessible->text(QAccessible::Name).isEmpty(),
                 qPrintable(widget->objectName() + QLatin1Char(' ') + widget->metaObject()->className()
                            + QLatin1Char(' ') + widget->parentWidget()->objectName()));
        QVERIFY2(widget->focusPolicy() & Qt::TabFocus, qPrintable(widget->objectName()));
    }
    // The accelerator of "&Close" reaches the button.
    QCOMPARE(QKeySequence::mnemonic(f.child<QPushButton>(QStringLiteral("cmdClose"))->text()),
             QKeySequence(Qt::ALT | Qt::Key_C));
}

void TestRegisterStart::menusAndToolbarInOrder()
{
    f.addEvent(3, QStringLiteral("Fair"));
    RegisterWindow *w = f.open(3);

    // The bar: File, View, Video Options, the Snap command, Help.
    QStringList bar;
    for (QAction *a : w->menuBar()->actions())
        bar << a->objectName() + QLatin1Char('=') + a->text();
    QCOMPARE(bar, QStringList({"mnuFile=&File", "mnuView=&View", "mnuOptions=Video &Options",
                               "mnuSnap=&Snap Picture", "mnuHelp=&Help"}));
    QVERIFY(!f.action("mnuSnap")->menu());

    const auto items = [&](const char *menu) {
        QStringList list;
        for (QAction *a : f.child<QMenu>(QString::fromLatin1(menu))->actions()) {
            QString line = a->objectName() + QLatin1Char('=') + (a->isSeparator() ? QStringLiteral("-") : a->text());
            if (!a->shortcut().isEmpty())
                line += QLatin1Char(' ') + a->shortcut().toString(QKeySequence::PortableText);
            list << line;
        }
        return list;
    };
    QCOMPARE(items("mnuFile"),
             QStringList({"mnuFileNew=&New Ctrl+N", "mnuFileSave=&Save Ctrl+S", "mnuFileDel=&Delete Ctrl+D",
                          "mnuViewAll=Datasheet View", "mnuFind=&Find... Ctrl+F", "mnuSpacer0=-",
                          "mnuPreviewID=Preview ID Card", "mnuFilePrint=&Print ID Card Ctrl+P", "mnuSpacer6=-",
                          "mnuExit=E&xit"}));
    QCOMPARE(items("mnuView"), QStringList({"mnuEvent=Event Form"}));
    QCOMPARE(items("mnuOptions"),
             QStringList({"mnuAudioFmt=&Audio Format", "mnuSpacer1=-", "mnuFormat=Video &Format",
                          "mnuSource=Video S&ource", "mnuDisplay=&Display", "mnuSpacer2=-",
                          "mnuCompression=&Compression", "mnuSpacer3=-", "mnuPreview=&Preview",
                          "mnuOverlay=&Overlay (Live)", "mnuSpacer4=-", "mnuDriver_0=<no video driver found>"}));
    QCOMPARE(items("mnuHelp"), QStringList({"mnuAbout=About", "mnuContent=Help Content"}));
    QVERIFY(!f.action("mnuDriver_0")->isEnabled());

    // The toolbar's buttons by key, with their tooltips; the size box starts on its first entry.
    QStringList buttons;
    for (QAction *a : w->tbToolBar()->actions()) {
        const QString key = a->property("key").toString();
        if (!key.isEmpty())
            buttons << key + QLatin1Char('=') + a->toolTip();
    }
    QCOMPARE(buttons, QStringList({"New=Add New", "View All=View All", "Save=Save", "Delete=Delete Current Record",
                                   "Print=Print ID Card", "Find=Find ", "Help=Help"}));
    QAction *print = w->tbToolBar()->button(QStringLiteral("Print"));
    QVERIFY(print->menu());
    QCOMPARE(print->menu()->actions().size(), 1);
    QCOMPARE(print->menu()->actions().at(0)->text(), QStringLiteral("Preview ID Card"));
    QCOMPARE(print->menu()->actions().at(0)->property("key").toString(), QStringLiteral("PreviewID"));
    auto *size = f.child<QComboBox>(QStringLiteral("cboIDSize"));
    QCOMPARE(size->currentIndex(), 0);
    QCOMPARE(size->currentText(), QStringLiteral("<ID Card Size>"));
}

void TestRegisterStart::laterCommandsSayNothing()
{
    f.addEvent(3, QStringLiteral("Fair"));
    f.addAttendee(3, QStringLiteral("Ann"), QStringLiteral("Lee"));
    RegisterWindow *w = f.open(3);
    // Items of the parts still to come, and the Help button: no box, no change.
    for (const char *name : {"mnuViewAll", "mnuFind", "mnuPreviewID", "mnuFilePrint", "mnuAudioFmt", "mnuFormat",
                             "mnuSource", "mnuDisplay", "mnuCompression", "mnuPreview", "mnuOverlay", "mnuSnap"})
        f.action(name)->trigger();
    w->tbToolBar()->button(QStringLiteral("Help"))->trigger();
    w->tbToolBar()->button(QStringLiteral("Print"))->menu()->actions().at(0)->trigger();
    QVERIFY(f.dialogs->boxes().isEmpty());
    QVERIFY(w->isVisible());
    QCOMPARE(f.counter(), QStringLiteral("1 of 1"));
    QCOMPARE(f.sql(QStringLiteral("SELECT count(*) FROM Attendees")).toInt(), 1);
}

void TestRegisterStart::loadFailuresAreRaisedUnchanged()
{
    const auto loadError = [&]() -> std::optional<AppError> {
        auto *w = new RegisterWindow;
        f.window = w;
        try {
            w->formLoad(nullptr);
        } catch (const AppError &error) {
            delete w;
            return error;
        }
        delete w;
        return std::nullopt;
    };

    // The database cannot be found and the user gives up.
    f.dialogs->answerInput(std::nullopt);
    std::optional<AppError> error = loadError();
    QVERIFY(error);
    QCOMPARE(error->number(), -1);
    QCOMPARE(error->source(), QStringLiteral("Invalid Database path"));
    QCOMPARE(error->description(), QStringLiteral("Connection to Database Server Failure"));

    f.env->useDatabaseFolder(f.folder);
    f.addEvent(5, QStringLiteral("Fair"));

    // The event window cancelled at start.
    f.dialogs->answer(MsgAnswer::Ok);
    f.dialogs->onModal([](QDialog *dialog) {
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdCancel")), Qt::LeftButton);
    });
    error = loadError();
    QVERIFY(error);
    QCOMPARE(error->number(), -1);
    QCOMPARE(error->source(), QStringLiteral("SetEvent"));
    QCOMPARE(error->description(), QStringLiteral("Event has not been selected"));
    QCOMPARE(f.dialogs->lastBox().title, QStringLiteral("Event Required"));

    // A stored logo that is missing, then one that is not a picture: the start fails naming the file.
    SettingKeys::Logo.write(QStringLiteral("Logo\\missing.bmp"));
    error = loadError();
    QVERIFY(error);
    QVERIFY2(error->description().contains(QStringLiteral("missing.bmp")), qPrintable(error->description()));
    QFile junk(f.env->root() + QStringLiteral("Logo/junk.bmp"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("this is no picture");
    junk.close();
    SettingKeys::Logo.write(QStringLiteral("Logo\\junk.bmp"));
    error = loadError();
    QVERIFY(error);
    QVERIFY2(error->description().contains(QStringLiteral("junk.bmp")), qPrintable(error->description()));

    // A stored colour that is not a number.
    SettingKeys::Logo.write(QStringLiteral("Logo\\logo.bmp"));
    SettingKeys::IdColor.write(QStringLiteral("blue"));
    error = loadError();
    QVERIFY(error);
    QVERIFY2(error->description().contains(QStringLiteral("\"blue\"")), qPrintable(error->description()));
    QVERIFY(error->description().contains(QStringLiteral("not a number")));
    QVERIFY(f.dialogs->allAnswersUsed());
}

void TestRegisterStart::cardDesignIsRestored()
{
    f.addEvent(3, QStringLiteral("Fair"));
    // Defaults on an empty store; the logo from the current folder.
    RegisterWindow *w = f.open(3);
    QCOMPARE(f.card()->header(0), QStringLiteral("**************Header Line 1*************"));
    QCOMPARE(f.card()->header(1), QStringLiteral("******Header Line 2******"));
    QCOMPARE(f.card()->logo().size(), QSize(61, 61));
    QCOMPARE(f.card()->color(), quint32(224 + 256 * 224 + 65536 * 224));
    delete w;

    // Stored values; a relative logo not in the current folder is found beside the program.
    SettingKeys::Header1.write(QStringLiteral("Annual Meeting"));
    SettingKeys::Header2.write(QString());
    SettingKeys::IdColor.write(QStringLiteral("255"));
    const QString programLogo = QCoreApplication::applicationDirPath() + QStringLiteral("/tst_registerstart_logo.png");
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(programLogo));
    SettingKeys::Logo.write(QStringLiteral("tst_registerstart_logo.png"));
    f.open(3);
    QFile::remove(programLogo);
    QCOMPARE(f.card()->header(0), QStringLiteral("Annual Meeting"));
    QCOMPARE(f.card()->header(1), QString());
    QCOMPARE(f.card()->color(), quint32(255));
    QCOMPARE(f.card()->logo().size(), QSize(20, 10));
}

void TestRegisterStart::progressAdvancesThroughTheLoad()
{
    f.addEvent(3, QStringLiteral("Fair"));
    f.env->useDatabaseFolder(f.folder);
    modGen::appFolder() = f.appFolder;
    SplashWindow splash;
    ProgressBox *bar = splash.progressBox();
    auto *w = new RegisterWindow;
    f.window = w;
    // While the event is chosen the bar stands at 35 per cent.
    int whileChoosing = -1;
    f.dialogs->answer(MsgAnswer::Ok);
    f.dialogs->onModal([&](QDialog *dialog) {
        whileChoosing = bar->lastPercent();
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
    w->formLoad(&splash);
    QCOMPARE(whileChoosing, 35);
    QCOMPARE(bar->lastPercent(), 99);
    QCOMPARE(w->tag(), QStringLiteral("3"));
}

void TestRegisterStart::helpMenu()
{
    f.addEvent(3, QStringLiteral("Fair"));
    RegisterWindow *w = f.open(3);

    QList<QPair<QUrl, QString>> opened;
    modGen::setDocumentOpener([&opened](const QUrl &url, const QString &verb) {
        opened.append({url, verb});
        return true;
    });
    QFile help(modGen::appFolder() + QStringLiteral("Help.doc"));
    QVERIFY(help.open(QIODevice::WriteOnly));
    help.close();
    f.action("mnuContent")->trigger();
    modGen::setDocumentOpener(nullptr);
    QCOMPARE(opened.size(), 1);
    QCOMPARE(QFileInfo(opened.at(0).first.toLocalFile()).canonicalFilePath(),
             QFileInfo(help.fileName()).canonicalFilePath());
    QCOMPARE(opened.at(0).second, QStringLiteral("open"));

    // About: a modal window owned by the main window.
    QString aboutName;
    QWidget *owner = nullptr;
    f.dialogs->onModal([&](QDialog *dialog) {
        aboutName = dialog->objectName();
        owner = dialog->parentWidget();
        dialog->accept();
    });
    f.action("mnuAbout")->trigger();
    QCOMPARE(aboutName, QStringLiteral("frmAbout"));
    QCOMPARE(owner, w);
}

void TestRegisterStart::closingTheMainWindowClosesEveryWindow()
{
    f.addEvent(3, QStringLiteral("Fair"));
    RegisterWindow *w = f.open(3);
    QPointer<EventWindow> events = w->frmEvent();
    QPointer<QWidget> other = new QWidget;
    other->setAttribute(Qt::WA_DeleteOnClose);
    other->setObjectName(QStringLiteral("frmFind"));
    other->show();
    QVERIFY(QTest::qWaitForWindowExposed(other));

    f.action("mnuExit")->trigger();
    QVERIFY(!w->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!other || !other->isVisible());
    QVERIFY(!events || !events->isVisible());
    for (QWidget *top : QApplication::topLevelWidgets())
        QVERIFY2(!top->isVisible(), qPrintable(top->objectName()));

    // The close button does the same.
    delete w;
    RegisterWindow *again = f.open(3);
    QTest::mouseClick(f.child<QPushButton>(QStringLiteral("cmdClose")), Qt::LeftButton);
    QVERIFY(!again->isVisible());
}

QTEST_MAIN(TestRegisterStart)
#include "tst_registerstart.moc"
