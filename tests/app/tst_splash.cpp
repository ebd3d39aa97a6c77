#include "app/ProgressBox.h"
#include "app/SplashWindow.h"
#include "core/AppContext.h"
#include "core/Settings.h"
#include "register/RegisterWindow.h"
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "TestHelpers.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>

// The splash window: a start that fails because no database can be found, a
// start that hands over to the main window, and the key that closes it.
class TestSplash : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        // No share, and a program folder without a database.
        m_context = AppContext();
        m_context.shareFolder = [] { return QString(); };
        const QString program = m_env->folder(QStringLiteral("program"));
        m_context.programFolder = [program] { return program; };
    }
    void cleanup() { m_env.reset(); }

    void failedDatabaseSearchEndsTheStart()
    {
        SettingKeys::DefName.write(QStringLiteral("Ann Lee"));
        SettingKeys::DefCompany.write(QStringLiteral("Friends of the Park"));
        ScriptedDialogs dialogs;
        dialogs.answerInput(std::nullopt); // the database prompt: Cancel
        dialogs.answer(MsgAnswer::Ok);     // the failure box

        SplashWindow splash(m_context);
        QVERIFY(!splash.formLoad());
        QVERIFY(dialogs.allAnswersUsed()); // and no other box or prompt: the seam fails on those
        QCOMPARE(dialogs.lastBox(), (ScriptedDialogs::Box {QStringLiteral("Connection to Database Server Failure"),
                                                           QStringLiteral("Invalid Database path"), MsgButtons::Ok,
                                                           MsgIcon::Critical}));

        // Nothing is left behind: no window shown, the main window gone.
        QVERIFY(!splash.mainWindow());
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(testHelpers::visibleWindows(), QStringList());
        QVERIFY(!QApplication::overrideCursor());

        // What the splash showed meanwhile; the logo is compiled in and must be loaded.
        QCOMPARE(splash.findChild<QLabel *>("lblVersion")->text(), testHelpers::versionText());
        QCOMPARE(splash.findChild<QLabel *>(QStringLiteral("lblUser_1"))->text(),
                 QStringLiteral(" Ann Lee\r\n Friends of the Park"));
        QVERIFY(!splash.findChild<QLabel *>(QStringLiteral("imgLogo"))->pixmap().isNull());
        // The main window's load drew its first step into the splash's box before the search.
        QCOMPARE(splash.progressBox()->lastText(), QStringLiteral("10%"));
    }

    void successfulStartHandsOverToTheMainWindow()
    {
        const QString folder = m_env->folder(QStringLiteral("db"));
        TestEnvironment::exec(m_env->createDatabase(folder),
                              QStringLiteral("INSERT INTO Program (ProgramID, Name) VALUES (7, 'Harvest Fair')"));
        m_env->useDatabaseFolder(m_context, folder);
        m_context.dbFolder.clear();
        m_context.appFolder = m_env->folder(QStringLiteral("app")); // without a logo: the start goes on

        SplashWindow splash(m_context);
        ScriptedDialogs dialogs;
        dialogs.answer(MsgAnswer::Ok); // "Please select an event"
        bool splashShown = false;
        QString progressMeanwhile;
        dialogs.onModal([&](QDialog *events) {
            splashShown = splash.isVisible();
            progressMeanwhile = splash.progressBox()->lastText();
            QTest::mouseClick(events->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
        });

        QVERIFY(splash.formLoad());
        QVERIFY(dialogs.allAnswersUsed());
        // The splash stays up during the load and hands over at 100 %.
        QVERIFY(splashShown);
        QCOMPARE(progressMeanwhile, QStringLiteral("35%"));
        QCOMPARE(splash.progressBox()->lastText(), QStringLiteral("100%"));
        QVERIFY(!splash.isVisible());
        QVERIFY(splash.mainWindow() && splash.mainWindow()->isVisible());
        QCOMPARE(splash.mainWindow()->windowTitle(), QStringLiteral("Harvest Fair"));
        QVERIFY(!QApplication::overrideCursor());
        splash.mainWindow()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void anyKeyClosesTheSplash()
    {
        SplashWindow splash(m_context);
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
    std::unique_ptr<TestEnvironment> m_env;
    AppContext m_context;
};

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
