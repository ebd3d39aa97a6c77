// The registration window as a frame: the first start through the splash window,
// its controls, menus and toolbar, the load sequence's failures, Help and closing.

#include "RegisterFixture.h"
#include "TestHelpers.h"
#include "ThrownError.h"

#include "app/DatabaseLocator.h"
#include "app/ProgressBox.h"
#include "app/SplashWindow.h"
#include "register/StartupSteps.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QToolBar>
#include <QUrl>

class TestRegisterStart : public QObject
{
    Q_OBJECT

private:
    RegisterFixture f;

private slots:
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    void firstStartAsksForTheDatabaseAndAnEvent()
    {
        // Empty settings store, empty database: the path is asked for, then an event is made.
        SplashWindow splash(f.context);
        int percentWhileChoosing = -1;
        f.dialogs->answerInput(f.folder);
        f.dialogs->answer(MsgAnswer::Ok); // "Please select an event"
        f.dialogs->onModal([&](QDialog *dialog) {
            QCOMPARE(dialog->objectName(), "frmEvent");
            percentWhileChoosing = splash.progressBox()->lastPercent();
            RegisterFixture::press(dialog, "cmdAdd");
            QTest::keyClicks(dialog->findChild<QLineEdit *>("txtFields_1"), "Spring Gala");
            RegisterFixture::press(dialog, "cmdOK");
        });
        QVERIFY(splash.formLoad());
        RegisterWindow *main = f.window = splash.mainWindow();
        QVERIFY(main);

        QCOMPARE(f.dialogs->boxes(), QList<ScriptedDialogs::Box>({{"Please select an event", "Event Required", MsgButtons::Ok,
                                                                     MsgIcon::Information}}));
        QCOMPARE(percentWhileChoosing, 35);

        QVERIFY(main->isVisible());
        QCOMPARE(main->windowTitle(), "Spring Gala");
        QCOMPARE(main->accessibleName(), "Spring Gala"); // screen readers announce the event
        QCOMPARE(f.counter(), "0 of 0");
        QCOMPARE(main->tag(), f.sql("SELECT ProgramID FROM Program WHERE Name = 'Spring Gala'").toString());
        // The path is remembered, the photo folder made.
        QCOMPARE(Settings::get("DBPath", "Path"), f.folder);
        QVERIFY(QDir(f.folder + "Pic").exists());
    }

    void controlsCommandsAndKeyboard()
    {
        f.addEvent(3);
        RegisterWindow *w = f.open(3);
        QCOMPARE(w->objectName(), "frmRegister");

        // The system's own words on the controls and the commands' keys: object name, property, value.
        const QList<std::tuple<const char *, const char *, QString>> texts = {
            {"Label2", "text", "Attendee Information"}, {"lblInfo", "text", "Information:"},
            {"Frame1", "title", "Donations && Fees"},   {"fraVideo", "title", "Video"},
            {"cmdClose", "text", "&Close"},             {"cmdDelFromList_1", "toolTip", "Delete Displayed Value from List"},
            {"datPrimaryRS", "toolTip", "Click the arrows to navigate through your records"},
            {"mnuOptions", "title", "Video &Options"},    {"mnuSnap", "text", "&Snap Picture"},
            {"mnuFileNew", "shortcut", "Ctrl+N"},       {"mnuFileSave", "shortcut", "Ctrl+S"},
            {"mnuFileDel", "shortcut", "Ctrl+D"},       {"mnuFind", "shortcut", "Ctrl+F"},
            {"mnuFilePrint", "shortcut", "Ctrl+P"},     {"mnuExit", "text", "E&xit"},
            {"mnuEvent", "text", "Event Form"},         {"mnuContent", "text", "Help Content"},
            {"lblScan", "text", "Scan or type a name:"}, {"mnuScan", "shortcut", "F3"},
            {"mnuCheckIn", "shortcut", "F8"},           {"mnuUndoCheckIn", "text", "&Undo Check-In"}};
        for (const auto &[name, property, text] : texts) {
            QVERIFY2(f.child<QObject>(name), name);
            QCOMPARE(f.child<QObject>(name)->property(property).toString(), text);
        }
        for (const QString &name : QStringLiteral("fraAtt Label3 cboTitle cboOffice cmdDelFromList_0 lblProgramID lblAttID "
                                                  "lblPic grdDonors datDonors fraID lstEveryone "
                                                  "tbToolBar cboIDSize").split(QLatin1Char(' ')))
            QVERIFY2(f.child<QWidget>(name), qPrintable(name));

        // Each box has its caption label as buddy and is found by that caption.
        const QStringList captions = QStringLiteral("Title:|First Name:|MI:|Last Name:|Office:|Address:|City:|"
                                                    "State/Province:|ZipCode:|Country:|Chapter:|Email:|HomePhone:|"
                                                    "WorkPhone:|MobilePhone:|FaxNumber:|Note:").split(QLatin1Char('|'));
        for (int i = 0; i < captions.size(); ++i) {
            auto *label = f.child<QLabel>(QStringLiteral("lblLabels_%1").arg(i));
            QVERIFY(label && label->buddy());
            QCOMPARE(label->text(), captions.at(i));
            const QString buddy = i == 0 ? QStringLiteral("cboTitle")
                : i == 4                 ? QStringLiteral("cboOffice")
                                         : QStringLiteral("txtFields_%1").arg(i);
            QCOMPARE(label->buddy()->objectName(), buddy);
            QCOMPARE(QAccessible::queryAccessibleInterface(label->buddy())->text(QAccessible::Name), captions.at(i));
        }
        // Every visible box and button of the window takes the keyboard focus and has a name
        // (toolbar buttons stand for menu items; a combo's own edit and a grid's corner belong to them).
        for (QWidget *widget : w->findChildren<QWidget *>()) {
            QWidget *parent = widget->parentWidget();
            if (!widget->isVisibleTo(w) || widget->window() != w
                || !(qobject_cast<QLineEdit *>(widget) || qobject_cast<QAbstractButton *>(widget)
                     || qobject_cast<QComboBox *>(widget))
                || qobject_cast<QToolBar *>(parent) || qobject_cast<QComboBox *>(parent)
                || qobject_cast<QAbstractItemView *>(parent))
                continue;
            QVERIFY2(!QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name).isEmpty(),
                     qPrintable(widget->objectName()));
            QVERIFY2(widget->focusPolicy() & Qt::TabFocus, qPrintable(widget->objectName()));
        }

        // The toolbar's keys with their tooltips.
        QStringList buttons;
        for (QAction *a : w->tbToolBar()->actions())
            if (!RegisterToolBar::keyOf(a).isEmpty())
                buttons << RegisterToolBar::keyOf(a) + QLatin1Char('=') + a->toolTip();
        QCOMPARE(buttons, QStringList({"New=Add New", "View All=View All", "Save=Save", "Delete=Delete Current Record",
                                       "Print=Print ID Card", "Find=Find ", "Check In=Check In (F8)", "Help=Help"}));
    }

    void loadFailuresAreRaisedUnchanged()
    {
        // The load's steps as the splash gives them: the database search, no progress.
        struct Startup : StartupSteps
        {
            AppContext &context;
            explicit Startup(AppContext &c) : context(c) {}
            bool locateDatabase() override { return DatabaseLocator(context).locate(); }
            void showProgress(float) override {}
            void refresh() override {}
        } startup(f.context);
        const auto load = [&] {
            std::unique_ptr<RegisterWindow> w(f.window = new RegisterWindow(f.context));
            w->formLoad(&startup);
        };

        // The database cannot be found and the user gives up.
        f.dialogs->answerInput(std::nullopt);
        QCOMPARE(thrownFields(load), QStringList({"-1", "Invalid Database path", "Connection to Database Server Failure"}));

        // The event window cancelled at start.
        f.env->useDatabaseFolder(f.context, f.folder);
        f.addEvent(5);
        f.dialogs->answer(MsgAnswer::Ok);
        f.dialogs->onModal([](QDialog *dialog) { RegisterFixture::press(dialog, "cmdCancel"); });
        QCOMPARE(thrownFields(load), QStringList({"-1", "SetEvent", "Event has not been selected"}));
        QCOMPARE(f.dialogs->lastBox().title, "Event Required");
    }

    void cardDesignAndHelpFile()
    {
        // The card design from the store; a relative logo is the program folder's, not the current folder's.
        f.addEvent(3);
        SettingKeys::Header1.write("Annual Meeting");
        SettingKeys::Header2.write(QString());
        SettingKeys::IdColor.write("255");
        QImage image(20, 10, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(f.appFolder + "Logo/small.png"));
        QVERIFY(QDir(f.env->root()).mkpath("Logo") && image.scaled(40, 40).save(f.env->root() + "Logo/small.png"));
        SettingKeys::Logo.write("Logo\\small.png");
        f.open(3);
        QCOMPARE(f.card()->header(0), "Annual Meeting");
        QCOMPARE(f.card()->header(1), QString());
        QCOMPARE(f.card()->color(), quint32(255));
        QCOMPARE(f.card()->logo().size(), QSize(20, 10));

        // A logo that is missing or no picture, a colour that is no number: the start goes on,
        // the card without a logo, in its design colour.
        QVERIFY(testHelpers::writeFile(f.appFolder + "Logo/junk.bmp", "this is no picture"));
        const QList<std::pair<QString, QString>> stored = {
            {"Logo\\missing.bmp", "255"}, {"Logo\\junk.bmp", "255"}, {"Logo\\logo.bmp", "blue"}};
        for (const auto &[logo, colour] : stored) {
            delete f.window.data();
            SettingKeys::Logo.write(logo);
            SettingKeys::IdColor.write(colour);
            f.open(3);
            QVERIFY2(f.window->isVisible(), qPrintable(logo));
            QCOMPARE(f.card()->logo().isNull(), logo != "Logo\\logo.bmp");
            QCOMPARE(f.card()->color(), colour == "blue" ? quint32(224 + 256 * 224 + 65536 * 224) : quint32(255));
        }

        // Help Content opens the program folder's Help.doc.
        QStringList opened;
        f.context.openUrl = [&opened](const QUrl &url, const QString &verb) {
            opened << QFileInfo(url.toLocalFile()).canonicalFilePath() + QLatin1Char(' ') + verb;
            return true;
        };
        QVERIFY(testHelpers::writeFile(f.context.appFolder + "Help.doc"));
        f.action("mnuContent")->trigger();
        QCOMPARE(opened, QStringList(QFileInfo(f.context.appFolder + "Help.doc").canonicalFilePath() + " open"));
    }

    void closingTheMainWindowClosesEveryWindow()
    {
        f.addEvent(3);
        RegisterWindow *w = f.open(3);
        QPointer<QWidget> other = new QWidget;
        other->setAttribute(Qt::WA_DeleteOnClose);
        other->show();
        QVERIFY(QTest::qWaitForWindowExposed(other));
        QVERIFY(w->frmEvent());

        f.action("mnuExit")->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(testHelpers::visibleWindows(), QStringList());

        // The Close button does the same.
        delete w;
        RegisterWindow *again = f.open(3);
        QTest::mouseClick(f.child<QPushButton>("cmdClose"), Qt::LeftButton);
        QVERIFY(!again->isVisible());
    }
};

QTEST_MAIN(TestRegisterStart)
#include "tst_registerstart.moc"
