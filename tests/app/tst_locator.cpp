#include "app/ModGen.h"
#include "core/Settings.h"
#include "app/DatabaseLocator.h"
#include "ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

// The database search through real temporary folders: stored, share, program
// folder, then the prompt, with the user's answers scripted.
class TestLocator : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
        Settings::setStoreFolderForTesting(m_dir->filePath(QStringLiteral("settings")));
        m_shareCalls = m_programCalls = 0;
        m_share = folder(QStringLiteral("share"));
        DatabaseLocator::setShareFolderSource([this] { ++m_shareCalls; return m_share; });
        DatabaseLocator::setProgramFolderSource([this] {
            ++m_programCalls;
            return folder(QStringLiteral("program"));
        });
        modGen::dbFolder().clear();
    }
    void cleanup()
    {
        DatabaseLocator::setShareFolderSource(nullptr);
        DatabaseLocator::setProgramFolderSource(nullptr);
        Settings::setStoreFolderForTesting(QString());
        modGen::dbFolder().clear();
    }

    // Stored folder, share, program folder: the first that holds a database wins.
    void searchOrder_data()
    {
        QTest::addColumn<QStringList>("databases"); // the folders that hold a Quorvex.mdb
        QTest::addColumn<QString>("stored");        // as an earlier run (or a hand edit) left it
        QTest::addColumn<QString>("found");
        QTest::addColumn<int>("shareCalls");
        QTest::addColumn<int>("programCalls");
        QTest::newRow("stored wins") << QStringList {"stored", "share", "program"} << "stored/" << "stored" << 0 << 0;
        // Stored by hand without the trailing separator: still that folder.
        QTest::newRow("stored, no separator") << QStringList {"stored", "share"} << "stored" << "stored" << 0 << 0;
        QTest::newRow("stored holds none") << QStringList {"share", "program"} << "stored/" << "share" << 1 << 0;
        // A system without shares skips the step.
        QTest::newRow("stale stored, no share") << QStringList {"program"} << "gone/" << "program" << 1 << 1;
    }
    void searchOrder()
    {
        QFETCH(QStringList, databases);
        QFETCH(QString, stored);
        QFETCH(QString, found);
        folder(QStringLiteral("stored")); // exists, holding a database only where listed
        for (const QString &name : databases)
            createDatabase(folder(name));
        if (!databases.contains(QStringLiteral("share")))
            m_share.clear();
        const QString raw = QDir::toNativeSeparators(m_dir->filePath(stored));
        SettingKeys::DBPath.write(raw);
        QTest::qSleep(20); // a rewrite would show in the file's time
        const QDateTime written = QFileInfo(Settings::storeFile()).lastModified();
        ScriptedDialogs dialogs;

        QVERIFY(modGen::locateDatabase());
        QCOMPARE(modGen::dbFolder(), folder(found));
        QTEST(m_shareCalls, "shareCalls");
        QTEST(m_programCalls, "programCalls");
        if (found == QStringLiteral("stored")) { // found in the first step: not rewritten
            QCOMPARE(storedPath(), raw);
            QCOMPARE(QFileInfo(Settings::storeFile()).lastModified(), written);
        } else {
            QCOMPARE(storedPath(), folder(found));
        }
    }

    // Typed with or without the trailing separator, blanks around it ignored.
    void promptAcceptsATypedFolder_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("with separator") << QStringLiteral("%1/");
        QTest::newRow("without separator, padded") << QStringLiteral("  %1 ");
    }
    void promptAcceptsATypedFolder()
    {
        QFETCH(QString, answer);
        const QString typed = folder(QStringLiteral("Events"));
        createDatabase(typed);
        ScriptedDialogs dialogs;
        dialogs.answerInput(answer.arg(typed.chopped(1)));

        QVERIFY(modGen::locateDatabase());
        QCOMPARE(modGen::dbFolder(), typed);
        QCOMPARE(storedPath(), typed);
        QCOMPARE(dialogs.inputPrompts(),
                 QStringList {QStringLiteral("Enter a Full UNC Path to the Database\rE.g \\\\MyComputerName\\Quorvex\\")});
        QCOMPARE(m_shareCalls, 1);
        QCOMPARE(m_programCalls, 1);
    }

    // A folder that does not exist or holds no database: the retry box, then the prompt again.
    void wrongAnswersAskAgain()
    {
        const QString typed = folder(QStringLiteral("typed"));
        createDatabase(typed);
        ScriptedDialogs dialogs;
        dialogs.answerInput(m_dir->filePath(QStringLiteral("does/not/exist")) + QDir::separator());
        dialogs.answer(MsgAnswer::Ok);
        dialogs.answerInput(folder(QStringLiteral("nodb")));
        dialogs.answer(MsgAnswer::Ok);
        dialogs.answerInput(typed);

        QVERIFY(modGen::locateDatabase());
        QCOMPARE(modGen::dbFolder(), typed);
        QCOMPARE(dialogs.inputPrompts().size(), 3);
        QCOMPARE(dialogs.boxes().size(), 2);
        for (const ScriptedDialogs::Box &box : dialogs.boxes()) {
            QCOMPARE(box.title, QStringLiteral("Connecting to Server"));
            QCOMPARE(box.text, QStringLiteral("Incorrect Database Path Entered\rPlease check your value and try "
                                              "again. \rPath must be in the form shown in the Example"));
            QCOMPARE(box.icon, MsgIcon::Information);
            QCOMPARE(box.buttons, MsgButtons::Ok);
        }
        QVERIFY(dialogs.allAnswersUsed());
    }

    // Giving up returns false and stores an empty path, with no box.
    void cancelOrEmptyGivesUp_data()
    {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::newRow("cancel") << std::optional<QString>();
        QTest::newRow("empty") << std::optional<QString>(QString());
        QTest::newRow("blanks") << std::optional<QString>(QStringLiteral("   "));
    }
    void cancelOrEmptyGivesUp()
    {
        QFETCH(std::optional<QString>, answer);
        SettingKeys::DBPath.write(m_dir->filePath(QStringLiteral("gone")) + QDir::separator());
        ScriptedDialogs dialogs;
        dialogs.answerInput(answer);

        QVERIFY(!modGen::locateDatabase());
        QCOMPARE(modGen::dbFolder(), QString());
        QCOMPARE(storedPath(), QString());
        QVERIFY(dialogs.boxes().isEmpty());
        QVERIFY(dialogs.allAnswersUsed());
    }

private:
    QString folder(const QString &name) const
    {
        const QString path = m_dir->filePath(name);
        QDir().mkpath(path);
        return QDir::toNativeSeparators(path) + QDir::separator();
    }
    static void createDatabase(const QString &folder)
    {
        QFile file(folder + QStringLiteral("Quorvex.mdb"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("SQLite format 3");
    }
    static QString storedPath()
    {
        return QSettings(Settings::storeFile(), QSettings::IniFormat).value(QStringLiteral("dbpath/path")).toString();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_share;
    int m_shareCalls = 0;
    int m_programCalls = 0;
};

QTEST_MAIN(TestLocator)
#include "tst_locator.moc"
