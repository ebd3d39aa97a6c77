#include "../register/RegisterFixture.h"
#include "TestHelpers.h"

#include "app/ProgressBox.h"
#include "app/SplashWindow.h"

#include <QDialog>
#include <QLabel>

// The splash window: a start that fails because no database can be found, a
// start that hands over to the main window, and the key that closes it. (The
// registration fixture's world: no share, and a program folder without a database.)
class TestSplash : public QObject
{
    Q_OBJECT

private slots:
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    void failedDatabaseSearchEndsTheStart()
    {
        SettingKeys::DefName.write("Ann Lee");
        SettingKeys::DefCompany.write("Friends of the Park");
        f.dialogs->answerInput(std::nullopt); // the database prompt: Cancel
        f.dialogs->answer(MsgAnswer::Ok);     // the failure box

        SplashWindow splash(f.context);
        QVERIFY(!splash.formLoad());
        QCOMPARE(f.dialogs->lastBox(), (ScriptedDialogs::Box {"Connection to Database Server Failure",
                                                              "Invalid Database path", MsgButtons::Ok, MsgIcon::Critical}));

        // Nothing is left behind: no window shown, the main window gone.
        QVERIFY(!splash.mainWindow());
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(testHelpers::visibleWindows(), QStringList());
        QVERIFY(!QApplication::overrideCursor());

        // What the splash showed meanwhile; the logo is compiled in and must be loaded.
        QCOMPARE(splash.findChild<QLabel *>("lblVersion")->text(), testHelpers::versionText());
        QCOMPARE(splash.findChild<QLabel *>("lblUser_1")->text(), " Ann Lee\r\n Friends of the Park");
        QVERIFY(!splash.findChild<QLabel *>("imgLogo")->pixmap().isNull());
        // The main window's load drew its first step into the splash's box before the search.
        QCOMPARE(splash.progressBox()->lastText(), "10%");
    }

    void successfulStartHandsOverToTheMainWindow()
    {
        f.addEvent(7, "Harvest Fair");
        f.env->useDatabaseFolder(f.context, f.folder);
        f.context.dbFolder.clear();
        f.context.appFolder = f.env->folder("bare"); // without a logo: the start goes on

        SplashWindow splash(f.context);
        f.dialogs->answer(MsgAnswer::Ok); // "Please select an event"
        bool splashShown = false;
        QString progressMeanwhile;
        f.dialogs->onModal([&](QDialog *events) {
            splashShown = splash.isVisible();
            progressMeanwhile = splash.progressBox()->lastText();
            RegisterFixture::press(events, "cmdOK");
        });

        QVERIFY(splash.formLoad());
        f.window = splash.mainWindow(); // closed by the fixture
        // The splash stays up during the load and hands over at 100 %.
        QVERIFY(splashShown);
        QCOMPARE(progressMeanwhile, "35%");
        QCOMPARE(splash.progressBox()->lastText(), "100%");
        QVERIFY(!splash.isVisible());
        QVERIFY(splash.mainWindow() && splash.mainWindow()->isVisible());
        QCOMPARE(splash.mainWindow()->windowTitle(), "Harvest Fair");
        QVERIFY(!QApplication::overrideCursor());
    }

    void anyKeyClosesTheSplash()
    {
        SplashWindow splash(f.context);
        // The first bar is drawn before the window is shown: already at the box's final size.
        splash.progressBox()->showProgress(0.0f, true);
        const QSize drawn = splash.progressBox()->image().deviceIndependentSize().toSize();
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        QCOMPARE(drawn, splash.progressBox()->size());
        QTest::keyClick(&splash, Qt::Key_X);
        QVERIFY(!splash.isVisible());
    }

private:
    RegisterFixture f;
};

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
