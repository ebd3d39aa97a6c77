#include "app/DatabaseLocator.h"
#include "core/AppContext.h"
#include "core/Settings.h"
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

// The database search through real temporary folders: stored, share, program
// folder, then the prompt, with the user's answers scripted.
class TestLocator : public QObject
{
    Q_OBJECT

    QString folder(const QString &name) const { return m_env->folder(name); }

    std::unique_ptr<TestEnvironment> m_env;
    AppContext m_context;
    QString m_share;
    int m_shareCalls = 0;
    int m_programCalls = 0;

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_shareCalls = m_programCalls = 0;
        m_share = folder(QStringLiteral("share"));
        m_context = AppContext();
        m_context.shareFolder = [this] { ++m_shareCalls; return m_share; };
        m_context.programFolder = [this] {
            ++m_programCalls;
            return folder(QStringLiteral("program"));
        };
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
            m_env->createDatabase(folder(name));
        if (!databases.contains(QStringLiteral("share")))
            m_share.clear();
        const QString raw = QDir::toNativeSeparators(m_env->root() + stored);
        SettingKeys::DBPath.write(raw);
        QTest::qSleep(20); // a rewrite would show in the file's time
        const QDateTime written = QFileInfo(Settings::storeFile()).lastModified();
        ScriptedDialogs dialogs;

        QVERIFY(DatabaseLocator(m_context).locate());
        QCOMPARE(m_context.dbFolder, folder(found));
        QTEST(m_shareCalls, "shareCalls");
        QTEST(m_programCalls, "programCalls");
        if (found == QStringLiteral("stored")) { // found in the first step: not rewritten
            QCOMPARE(SettingKeys::DBPath.read(), raw);
            QCOMPARE(QFileInfo(Settings::storeFile()).lastModified(), written);
        } else {
            QCOMPARE(SettingKeys::DBPath.read(), folder(found));
        }
    }

    // Nothing found: the prompt. A folder that does not exist or holds no database gets
    // the retry box and the prompt again; Cancel, an empty or a blank answer gives up.
    void promptAnswers_data()
    {
        QTest::addColumn<QList<std::optional<QString>>>("answers"); // %1: the temporary folder
        QTest::addColumn<QString>("found");                          // empty: given up
        QTest::addColumn<int>("retries");
        using Answers = QList<std::optional<QString>>;
        QTest::newRow("with separator") << Answers {"%1Events/"} << "Events" << 0;
        QTest::newRow("without separator, padded") << Answers {"  %1Events "} << "Events" << 0;
        QTest::newRow("wrong, then right") << Answers {"%1does/not/exist/", "%1nodb", "%1Events"} << "Events" << 2;
        QTest::newRow("cancel") << Answers {std::nullopt} << "" << 0;
        QTest::newRow("empty") << Answers {""} << "" << 0;
        QTest::newRow("blanks") << Answers {"   "} << "" << 0;
    }
    void promptAnswers()
    {
        QFETCH(QList<std::optional<QString>>, answers);
        QFETCH(QString, found);
        QFETCH(int, retries);
        m_env->createDatabase(folder(QStringLiteral("Events")));
        folder(QStringLiteral("nodb"));
        SettingKeys::DBPath.write(m_env->root() + QStringLiteral("gone") + QDir::separator());
        ScriptedDialogs dialogs;
        for (const std::optional<QString> &answer : answers)
            dialogs.answerInput(answer ? std::optional<QString>(answer->arg(m_env->root())) : answer);
        for (int i = 0; i < retries; ++i)
            dialogs.answer(MsgAnswer::Ok);

        QCOMPARE(DatabaseLocator(m_context).locate(), !found.isEmpty());
        const QString expected = found.isEmpty() ? QString() : folder(found);
        QCOMPARE(m_context.dbFolder, expected);
        QCOMPARE(SettingKeys::DBPath.read(), expected);
        QCOMPARE(dialogs.inputPrompts(),
                 QStringList(answers.size(), QStringLiteral("Enter a Full UNC Path to the Database\rE.g \\\\MyComputerName\\Quorvex\\")));
        QCOMPARE(dialogs.boxes().size(), retries);
        for (const ScriptedDialogs::Box &box : dialogs.boxes())
            QCOMPARE(box, (ScriptedDialogs::Box {QStringLiteral("Incorrect Database Path Entered\rPlease check your value "
                                                                "and try again. \rPath must be in the form shown in the Example"),
                                                 QStringLiteral("Connecting to Server"), MsgButtons::Ok, MsgIcon::Information}));
        QVERIFY(dialogs.allAnswersUsed());
        QCOMPARE(m_shareCalls, 1);
        QCOMPARE(m_programCalls, 1);
    }
};

QTEST_MAIN(TestLocator)
#include "tst_locator.moc"
