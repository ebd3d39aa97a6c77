#include "app/ModGen.h"
#include "app/Settings.h"
#include "data/DatabaseLocator.h"
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
        m_shareCalls = 0;
        m_programCalls = 0;
        m_share = folder(QStringLiteral("share"));
        m_program = folder(QStringLiteral("program"));
        DatabaseLocator::setShareFolderSource([this] {
            ++m_shareCalls;
            return m_share;
        });
        DatabaseLocator::setProgramFolderSource([this] {
            ++m_programCalls;
            return m_program;
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

    void storedFolderWinsAndIsNotRewritten()
    {
        const QString stored = folder(QStringLiteral("stored"));
        for (const QString &f : {stored, m_share, m_program})
            createDatabase(f);
        writeRaw(stored);
        QTest::qSleep(20); // a rewrite would show in the file's time
        const QDateTime written = QFileInfo(Settings::storeFile()).lastModified();
        ScriptedDialogs dialogs;

        QVERIFY(modGen::locateDatabase());
        QCOMPARE(modGen::dbFolder(), stored);
        QCOMPARE(m_shareCalls, 0);
        QCOMPARE(m_programCalls, 0);
        QCOMPARE(storedPath(), stored);
        QCOMPARE(QFileInfo(Settings::storeFile()).lastModified(), written);
        QVERIFY(dialogs.boxes().isEmpty());
    }

    void storedFolderWithoutSeparatorIsThatFolder()
    {
        const QString stored = folder(QStringLiteral("by-hand"));
        createDatabase(stored);
        createDatabase(m_share);
        QString withoutSeparator = stored;
        withoutSeparator.chop(1);
        writeRaw(withoutSeparator);
        ScriptedDialogs dialogs;

        QVERIFY(modGen::locateDatabase());
        QCOMPARE(modGen::dbFolder(), stored);
        QCOMPARE(m_shareCalls, 0);
        QCOMPARE(storedPath(), withoutSeparator); // found in step 1: not rewritten
    }

    void shareBeatsProgramFolder()
    {
        createDatabase(m_share);
        createDatabase(m_program);
        const QString stored = folder(QStringLiteral("stored-empty")); // exists, but holds no database
        writeRaw(stored);
        ScriptedDialogs dialogs;

        QVERIFY(modGen::locateDatabase());
        QCOMPARE(modGen::dbFolder(), m_share);
        QCOMPARE(storedPath(), m_share);
        QCOMPARE(m_programCalls, 0);
    }

    void programFolderWhenNoShare()
    {
        createDatabase(m_program);
        m_share.clear(); // a system without shares skips the step
        writeRaw(m_dir->filePath(QStringLiteral("gone")) + QDir::separator()); // stale: skipped
        ScriptedDialogs dialogs;

        QVERIFY(modGen::locateDatabase());
        QCOMPARE(modGen::dbFolder(), m_program);
        QCOMPARE(storedPath(), m_program);
        QVERIFY(modGen::databaseFile().endsWith(QDir::separator() + QStringLiteral("Quorvex.mdb")));
        QVERIFY(QFile::exists(modGen::databaseFile()));
    }

    void promptAcceptsATypedFolder()
    {
        const QString typed = folder(QStringLiteral("typed"));
        createDatabase(typed);
        ScriptedDialogs dialogs;
        dialogs.answerInput(typed);

        QVERIFY(modGen::locateDatabase());
        QCOMPARE(modGen::dbFolder(), typed);
        QCOMPARE(storedPath(), typed);
        QCOMPARE(dialogs.inputPrompts(),
                 QStringList {QStringLiteral("Enter a Full UNC Path to the Database\rE.g \\\\MyComputerName\\Quorvex\\")});
        QVERIFY(dialogs.boxes().isEmpty());
        QCOMPARE(m_shareCalls, 1);
        QCOMPARE(m_programCalls, 1);
    }

    void typedFolderWithoutSeparatorIsThatFolder()
    {
        const QString typed = folder(QStringLiteral("Events"));
        createDatabase(typed);
        ScriptedDialogs dialogs;
        QString withoutSeparator = typed;
        withoutSeparator.chop(1);
        dialogs.answerInput(QStringLiteral("  ") + withoutSeparator + QStringLiteral(" "));

        QVERIFY(modGen::locateDatabase());
        QCOMPARE(modGen::dbFolder(), typed);
        QCOMPARE(storedPath(), typed);
        QVERIFY(dialogs.boxes().isEmpty());
    }

    void wrongAnswersAskAgain()
    {
        const QString typed = folder(QStringLiteral("typed"));
        createDatabase(typed);
        const QString noDatabase = folder(QStringLiteral("nodb"));
        ScriptedDialogs dialogs;
        dialogs.answerInput(m_dir->filePath(QStringLiteral("does/not/exist")) + QDir::separator());
        dialogs.answer(MsgAnswer::Ok);
        dialogs.answerInput(noDatabase);
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
        writeRaw(m_dir->filePath(QStringLiteral("gone")) + QDir::separator());
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
    // Stored the way an earlier run left it.
    static void writeRaw(const QString &path) { SettingKeys::DBPath.write(path); }
    static QString storedPath()
    {
        QSettings raw(Settings::storeFile(), QSettings::IniFormat);
        return raw.value(QStringLiteral("dbpath/path")).toString();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_share;
    QString m_program;
    int m_shareCalls = 0;
    int m_programCalls = 0;
};

QTEST_MAIN(TestLocator)
#include "tst_locator.moc"
