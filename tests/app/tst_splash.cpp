#include "app/ModGen.h"
#include "app/ProgressBox.h"
#include "app/Settings.h"
#include "app/SplashWindow.h"
#include "data/DatabaseLocator.h"
#include "register/RegisterWindow.h"
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

// The splash window: its labels, the key that closes it, and a start that
// fails because no database can be found.
class TestSplash : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
        Settings::setStoreFolderForTesting(m_dir->filePath(QStringLiteral("settings")));
        const QString program = m_dir->filePath(QStringLiteral("program"));
        QVERIFY(QDir().mkpath(program));
        // No share, and a program folder without a database.
        DatabaseLocator::setShareFolderSource([] { return QString(); });
        DatabaseLocator::setProgramFolderSource(
            [program] { return QDir::toNativeSeparators(program) + QDir::separator(); });
        modGen::dbFolder().clear();
    }
    void cleanup()
    {
        DatabaseLocator::setShareFolderSource(nullptr);
        DatabaseLocator::setProgramFolderSource(nullptr);
        Settings::setStoreFolderForTesting(QString());
    }

    void failedDatabaseSearchEndsTheStart_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("company");
        QTest::addColumn<QString>("userLine");
        QTest::newRow("nothing stored") << QString() << QString() << QStringLiteral(" \r\n ");
        QTest::newRow("user stored") << QStringLiteral("Ann Lee") << QStringLiteral("Friends of the Park")
                                     << QStringLiteral(" Ann Lee\r\n Friends of the Park");
    }
    void failedDatabaseSearchEndsTheStart()
    {
        QFETCH(QString, name);
        QFETCH(QString, company);
        QFETCH(QString, userLine);
        if (!name.isEmpty()) {
            SettingKeys::DefName.write(name);
            SettingKeys::DefCompany.write(company);
        }
        ScriptedDialogs dialogs;
        dialogs.answerInput(std::nullopt); // the database prompt: Cancel
        dialogs.answer(MsgAnswer::Ok);     // the failure box

        SplashWindow splash;
        QCOMPARE(splash.objectName(), QStringLiteral("frmSplash"));
        QVERIFY(!splash.formLoad());

        QCOMPARE(dialogs.inputPrompts().size(), 1);
        QCOMPARE(dialogs.boxes().size(), 1);
        const ScriptedDialogs::Box box = dialogs.lastBox();
        QCOMPARE(box.title, QStringLiteral("Invalid Database path"));
        QCOMPARE(box.text, QStringLiteral("Connection to Database Server Failure"));
        QCOMPARE(box.icon, MsgIcon::Critical);
        QCOMPARE(box.buttons, MsgButtons::Ok);
        QVERIFY(dialogs.allAnswersUsed());

        // Nothing is left behind: no window shown, the main window gone.
        QVERIFY(!splash.mainWindow());
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (QWidget *window : QApplication::topLevelWidgets())
            QVERIFY2(!window->isVisible(), qPrintable(window->objectName()));
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(SettingKeys::DBPath.read(), QString());

        // What the splash showed meanwhile.
        QCOMPARE(splash.findChild<QLabel *>(QStringLiteral("lblVersion"))->text(),
                 QStringLiteral("Version %1.%2.%3")
                     .arg(QUORVEX_VERSION_MAJOR)
                     .arg(QUORVEX_VERSION_MINOR)
                     .arg(QUORVEX_VERSION_PATCH));
        QCOMPARE(splash.findChild<QLabel *>(QStringLiteral("lblUser_1"))->text(), userLine);
        QVERIFY(!splash.findChild<QLabel *>(QStringLiteral("lblUser_0"))->text().isEmpty());
        QCOMPARE(splash.findChild<QLabel *>(QStringLiteral("lblProductName"))->text(), QStringLiteral("Quorvex"));
        QCOMPARE(splash.findChild<QLabel *>(QStringLiteral("lblCompanyProduct"))->text(), QStringLiteral("Free Ware"));
        QCOMPARE(splash.findChild<QLabel *>(QStringLiteral("Label1"))->text(), QStringLiteral("WARNING:"));
        QVERIFY(!splash.findChild<QLabel *>(QStringLiteral("imgLogo"))->pixmap().isNull());
        // The main window's load drew its first step into the splash's box before the search.
        QCOMPARE(splash.picStatus(), static_cast<QWidget *>(splash.findChild<ProgressBox *>(QStringLiteral("picStatus"))));
        QCOMPARE(splash.progressBox()->lastText(), QStringLiteral("10%"));
        QCOMPARE(splash.progressBox()->image().deviceIndependentSize().toSize(), splash.progressBox()->size());
    }

    void successfulStartHandsOverToTheMainWindow()
    {
        TestEnvironment env; // its own settings store, database and current folder
        const QString folder = env.folder(QStringLiteral("db"));
        const QString file = env.createDatabase(folder);
        TestEnvironment::exec(file, QStringLiteral("INSERT INTO Program (ProgramID, Name) VALUES (7, 'Harvest Fair')"));
        env.useDatabaseFolder(folder);
        modGen::dbFolder().clear();
        modGen::appFolder() = env.folder(QStringLiteral("app"));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(env.root()); // the default logo "Logo\logo.bmp" is found from here
        QDir(env.root()).mkpath(QStringLiteral("Logo"));
        QImage logo(61, 61, QImage::Format_RGB32);
        logo.fill(Qt::darkGreen);
        QVERIFY(logo.save(env.root() + QStringLiteral("Logo/logo.bmp")));

        SplashWindow splash;
        ScriptedDialogs dialogs;
        dialogs.answer(MsgAnswer::Ok); // "Please select an event"
        bool splashShown = false;
        QString progressMeanwhile;
        dialogs.onModal([&](QDialog *events) {
            splashShown = splash.isVisible();
            progressMeanwhile = splash.progressBox()->lastText();
            QTest::mouseClick(events->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
        });

        const bool started = splash.formLoad();
        QDir::setCurrent(previous);
        QVERIFY(started);
        QVERIFY(dialogs.allAnswersUsed());
        QVERIFY(splashShown);
        QCOMPARE(progressMeanwhile, QStringLiteral("35%"));
        QCOMPARE(splash.progressBox()->lastText(), QStringLiteral("100%"));
        QVERIFY(!splash.isVisible());
        QVERIFY(splash.mainWindow());
        QVERIFY(splash.mainWindow()->isVisible());
        QCOMPARE(splash.mainWindow()->windowTitle(), QStringLiteral("Harvest Fair"));
        QCOMPARE(modGen::dbFolder(), folder);
        QVERIFY(!QApplication::overrideCursor());
        splash.mainWindow()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        modGen::dbFolder().clear();
        modGen::appFolder().clear();
    }

    void anyKeyClosesTheSplash()
    {
        SplashWindow splash;
        // The first bar is drawn before the window is shown: already at the box's final size.
        modGen::showProgress(splash.picStatus(), 0.0f, true);
        const QSize drawn = splash.progressBox()->image().deviceIndependentSize().toSize();
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        QCOMPARE(drawn, splash.progressBox()->size());
        QTest::keyClick(&splash, Qt::Key_X);
        QVERIFY(!splash.isVisible());
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
