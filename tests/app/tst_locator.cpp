#include "../register/RegisterFixture.h"
#include "TestHelpers.h"
#include "ThrownError.h"

#include "app/DatabaseLocator.h"
#include "TestServer.h"
#include "app/PasswordBox.h"
#include "data/Database.h"
#include "data/ServerPasswords.h"

#include <QElapsedTimer>
#include <QUrl>

// The database search through real temporary folders: stored, share, program
// folder, then the prompt, with the user's answers scripted. A remembered
// database that cannot be opened is asked about, never replaced behind the
// user's back.
class TestLocator : public QObject
{
    Q_OBJECT

    QString folder(const QString &name) const { return f.env->folder(name); }
    // The remembered folder as an earlier run left it, and the store's time (a rewrite would change it).
    QDateTime remember(const QString &value) const
    {
        SettingKeys::DBPath.write(value);
        QTest::qSleep(20);
        return QFileInfo(Settings::storeFile()).lastModified();
    }
    static ScriptedDialogs::Box choiceBox(const QString &text, const QStringList &choices)
    {
        return {text, QStringLiteral("Connecting to Server"), MsgButtons::Ok, MsgIcon::Exclamation, MsgAnswer::Ok,
                choices};
    }

    RegisterFixture f; // its world and scripted boxes; the search's folders are the test's own
    QString m_share;
    int m_shareCalls = 0;
    int m_programCalls = 0;

private slots:
    void init()
    {
        f.setUp();
        m_shareCalls = m_programCalls = 0;
        m_share = folder("share");
        f.context.shareFolder = [this] { ++m_shareCalls; return m_share; };
        f.context.programFolder = [this] { ++m_programCalls; return folder("program"); };
    }
    void cleanup()
    {
        Database::setDefaultBusyTimeout(5000);
        f.tearDown();
    }

    // A remembered folder that holds the database wins and is not rewritten; a desk
    // that remembers nothing tries the share, then the program's folder.
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
        QTest::newRow("nothing stored: share") << QStringList {"share", "program"} << "" << "share" << 1 << 0;
        // A system without shares skips the step.
        QTest::newRow("nothing stored, no share") << QStringList {"program"} << "" << "program" << 1 << 1;
    }
    void searchOrder()
    {
        QFETCH(QStringList, databases);
        QFETCH(QString, stored);
        QFETCH(QString, found);
        for (const QString &name : databases)
            f.env->createDatabase(folder(name));
        if (!databases.contains(QStringLiteral("share")))
            m_share.clear();
        const QString raw = stored.isEmpty() ? QString() : QDir::toNativeSeparators(f.env->root() + stored);
        const QDateTime written = remember(raw);

        QVERIFY(DatabaseLocator(f.context).locate());
        QCOMPARE(f.context.dbFolder, folder(found));
        QTEST(m_shareCalls, "shareCalls");
        QTEST(m_programCalls, "programCalls");
        if (found == QStringLiteral("stored")) { // found where it was remembered: not rewritten
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
        f.env->createDatabase(folder(QStringLiteral("Events")));
        folder(QStringLiteral("nodb"));
        for (const std::optional<QString> &answer : answers)
            f.dialogs->answerInput(answer ? std::optional<QString>(answer->arg(f.env->root())) : answer);
        for (int i = 0; i < retries; ++i)
            f.dialogs->answer(MsgAnswer::Ok);

        QCOMPARE(DatabaseLocator(f.context).locate(), !found.isEmpty());
        const QString expected = found.isEmpty() ? QString() : folder(found);
        QCOMPARE(f.context.dbFolder, expected);
        QCOMPARE(SettingKeys::DBPath.read(), expected);
        QCOMPARE(f.dialogs->inputPrompts(),
                 QStringList(answers.size(), QStringLiteral("Enter a Full UNC Path to the Database\rE.g \\\\MyComputerName\\Quorvex\\")));
        for (const ScriptedDialogs::Box &box : f.dialogs->boxes())
            QCOMPARE(box, (ScriptedDialogs::Box {"Incorrect Database Path Entered\rPlease check your value and try again. "
                                                 "\rPath must be in the form shown in the Example", "Connecting to Server",
                                                 MsgButtons::Ok, MsgIcon::Information}));
        QCOMPARE(std::pair(m_shareCalls, m_programCalls), std::pair(1, 1));
    }

    // The remembered folder is on a share not mounted yet (its folder renamed away): the
    // search never falls through to the program's own database. The user is told which
    // database and why, and chooses; only a location the user gives replaces it.
    void unreachableRememberedDatabaseIsAskedAbout_data()
    {
        QTest::addColumn<int>("choice"); // 0 Try Again (once the share is back), 1 Other Location, 2 End
        QTest::addColumn<QString>("found");
        QTest::newRow("try again") << 0 << "shared";
        QTest::newRow("other location") << 1 << "Events";
        QTest::newRow("end") << 2 << "";
    }
    void unreachableRememberedDatabaseIsAskedAbout()
    {
        QFETCH(int, choice);
        QFETCH(QString, found);
        const QString shared = folder(QStringLiteral("shared"));
        f.env->createDatabase(shared);
        f.env->createDatabase(folder(QStringLiteral("program"))); // the empty one the build put there
        f.env->createDatabase(folder(QStringLiteral("Events")));
        const QDateTime written = remember(shared);
        const QString unmounted = f.env->root() + QStringLiteral("unmounted");
        QVERIFY(QDir().rename(shared, unmounted));

        f.dialogs->answerChoice(choice, [&] {
            if (choice == 0)
                QVERIFY(QDir().rename(unmounted, shared)); // the share is connected meanwhile
        });
        if (choice == 1) {
            f.dialogs->answerInput(std::nullopt); // Cancel at the prompt: back to the question
            f.dialogs->answerChoice(1);
            f.dialogs->answerInput(f.env->root() + QStringLiteral("Events"));
        }
        QCOMPARE(DatabaseLocator(f.context).locate(), !found.isEmpty());

        const ScriptedDialogs::Box asked = choiceBox(
            DatabaseLocator::unreachableText(QStringLiteral("The folder \"%1\" cannot be reached: it does not exist, or "
                                                            "the network share that holds it is not connected.")
                                                 .arg(QDir::toNativeSeparators(shared))),
            {"&Try Again", "&Other Location...", "&End Quorvex"});
        QCOMPARE(f.dialogs->boxes().first(), asked);
        QCOMPARE(f.context.dbFolder, found.isEmpty() ? QString() : folder(found));
        QCOMPARE(m_programCalls + m_shareCalls, 0); // never the program's own database
        if (choice == 1) {
            QCOMPARE(SettingKeys::DBPath.read(), folder(found)); // the user's explicit choice
        } else {
            QCOMPARE(SettingKeys::DBPath.read(), shared);
            QCOMPARE(QFileInfo(Settings::storeFile()).lastModified(), written);
        }
    }

    // Something named Quorvex.mdb that will not open gets the data layer's own words
    // (never the network-path prompt), whether remembered or found by the search;
    // the remembered location is kept.
    void unusableDatabaseGetsItsOwnMessage_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("remembered");
        QTest::newRow("a folder, remembered") << "folder" << true;
        QTest::newRow("an empty file, remembered") << "empty" << true;
        QTest::newRow("junk in the program folder") << "junk" << false;
        QTest::newRow("a folder in the program folder") << "folder" << false;
    }
    void unusableDatabaseGetsItsOwnMessage()
    {
        QFETCH(QString, kind);
        QFETCH(bool, remembered);
        m_share.clear();
        const QString where = folder(remembered ? QStringLiteral("stored") : QStringLiteral("program"));
        const QString file = where + QLatin1String(AppContext::DatabaseFileName);
        if (kind == "folder")
            QVERIFY(QDir().mkpath(file));
        else
            QVERIFY(testHelpers::writeFile(file, kind == "junk" ? QByteArray(4096, 'z') : QByteArray()));
        if (remembered)
            remember(where);
        const std::optional<AppError> why = thrownError([&] { Database::checkFile(file); });
        QVERIFY(why);

        f.dialogs->answerChoice(2);
        QVERIFY(!DatabaseLocator(f.context).locate());
        QCOMPARE(f.dialogs->lastBox(), choiceBox(DatabaseLocator::unreachableText(why->description()),
                                              DatabaseLocator::unreachableChoices()));
        QVERIFY(f.dialogs->inputPrompts().isEmpty());
        if (kind == "folder")
            QVERIFY2(why->description().contains(QStringLiteral("is a folder")), qPrintable(why->description()));
        QCOMPARE(SettingKeys::DBPath.read(), remembered ? where : QString());
    }

    // Another workstation holds the database locked at start: it is waited out a while,
    // then offered as Try Again or End, never reported as "Nothing was saved".
    void lockAtStartIsWaitedOutThenOffered()
    {
        const QString stored = folder(QStringLiteral("stored"));
        const QString file = f.env->createDatabase(stored);
        remember(stored);
        Database::setDefaultBusyTimeout(150);
        auto other = Database::openSeparate(file);
        other->execute(QStringLiteral("BEGIN EXCLUSIVE"));

        f.dialogs->answerChoice(0); // still locked: asked again
        f.dialogs->answerChoice(0, [&] { other->execute(QStringLiteral("ROLLBACK")); });
        QElapsedTimer waited;
        waited.start();
        QVERIFY(DatabaseLocator(f.context).locate());
        QVERIFY2(waited.elapsed() >= 2 * DatabaseLocator::BusyWaits * 150 - 50, "the lock was not waited out");
        QCOMPARE(f.dialogs->boxes().size(), 2);
        for (const ScriptedDialogs::Box &busy : f.dialogs->boxes()) {
            // How long it waited, as measured: at least the three waits.
            const int seconds = busy.text.section(QStringLiteral("locked for "), 1).section(QLatin1Char(' '), 0, 0).toInt();
            QVERIFY2(seconds >= 1, qPrintable(busy.text));
            QCOMPARE(busy, choiceBox(DatabaseLocator::busyText(file, seconds), {"&Try Again", "&End Quorvex"}));
            QVERIFY(!busy.text.contains(QStringLiteral("Nothing was saved")));
        }
        QCOMPARE(f.context.dbFolder, stored);
        QCOMPARE(SettingKeys::DBPath.read(), stored);
    }

    // A server's URL is taken wherever a folder is: at the prompt, remembered as
    // Server/Url (without a password) and then opened instead of the folder; a server
    // that cannot be opened is named with the reason, and the user chooses again.
    void serverChosenAtStart()
    {
        if (!TestServer::available())
            QSKIP("no test server: run the tests through ctest");
        const QString url = f.env->createDatabase(TestEngine::Server);
        const QString stored = folder("stored");
        f.env->createDatabase(stored);
        const QString empty = f.env->createEmptyServerDatabase();
        const QString away = QStringLiteral("postgresql://postgres@127.0.0.1:1/quorvex");

        // At the prompt: a database without our tables is refused naming the server, then the URL.
        m_share.clear();
        f.dialogs->answerInput(empty);
        f.dialogs->answer(MsgAnswer::Ok);
        f.dialogs->answerInput(QStringLiteral("  ") + url);
        QVERIFY(DatabaseLocator(f.context).locate());
        const QString refused = f.dialogs->boxes().at(0).text;
        QVERIFY2(refused.contains(QUrl(empty).host()) && refused.contains(QUrl(empty).path().mid(1)), qPrintable(refused));
        QCOMPARE(f.context.serverUrl, url);
        QVERIFY(f.context.dbFolder.isEmpty());
        QCOMPARE(SettingKeys::ServerUrl.read(), url);

        // Remembered: opened instead of the remembered folder, with no box at all.
        SettingKeys::DBPath.write(stored);
        f.dialogs->clear();
        QVERIFY(DatabaseLocator(f.context).locate());
        QCOMPARE(f.context.serverUrl, url);
        QVERIFY(f.dialogs->boxes().isEmpty());

        // A remembered server out of reach is asked about; another location given as a
        // folder is remembered and the server forgotten (it would win at the next start).
        SettingKeys::ServerUrl.write(away);
        f.dialogs->answerChoice(1);
        f.dialogs->answerInput(stored);
        QVERIFY(DatabaseLocator(f.context).locate());
        QVERIFY2(f.dialogs->lastBox().text.contains("127.0.0.1:1"), qPrintable(f.dialogs->lastBox().text));
        QCOMPARE(f.context.dbFolder, stored);
        QVERIFY(f.context.serverUrl.isEmpty());
        QVERIFY(SettingKeys::ServerUrl.read().isEmpty());
        QCOMPARE(SettingKeys::DBPath.read(), stored);

        // A server that wants a password: the box asks, the wrong one again; the URL stored never holds one.
        DataTestEnvironment::exec(TestServer::maintenanceUrl(),
                                  "DO $$ BEGIN CREATE ROLE password_user LOGIN PASSWORD 's3cret'; EXCEPTION WHEN "
                                  "duplicate_object THEN ALTER ROLE password_user LOGIN PASSWORD 's3cret'; END $$");
        DataTestEnvironment::exec(url, "GRANT ALL ON ALL TABLES IN SCHEMA public TO password_user");
        DataTestEnvironment::exec(url, "GRANT ALL ON ALL SEQUENCES IN SCHEMA public TO password_user");
        QUrl asUser(url);
        asUser.setUserName(QStringLiteral("password_user"));
        ServerPasswords::forget(asUser.toString());
        PasswordBox::install();
        SettingKeys::ServerUrl.write(asUser.toString());
        f.dialogs->answerPassword(QStringLiteral("wrong"));
        f.dialogs->answerPassword(QStringLiteral("s3cret"));
        const bool opened = DatabaseLocator(f.context).locate();
        ServerPasswords::setProvider({});
        QVERIFY(opened);
        const QStringList prompts = f.dialogs->passwordPrompts();
        QCOMPARE(prompts.size(), 2);
        QVERIFY2(prompts.at(0).contains("\"password_user\"") && !prompts.at(0).contains("not accepted"), qPrintable(prompts.at(0)));
        QVERIFY2(prompts.at(1).contains("not accepted"), qPrintable(prompts.at(1)));
        QFile store(Settings::storeFile());
        QVERIFY(store.open(QIODevice::ReadOnly) && !store.readAll().contains("s3cret"));
        ServerPasswords::forget(asUser.toString());

        // Cancel at the prompt ends the search: nothing is found.
        SettingKeys::ServerUrl.write(QString());
        SettingKeys::DBPath.write(QString());
        f.dialogs->answerInput(std::nullopt);
        QVERIFY(!DatabaseLocator(f.context).locate());
        QVERIFY(f.context.serverUrl.isEmpty() && f.context.dbFolder.isEmpty());
    }
};

QTEST_MAIN(TestLocator)
#include "tst_locator.moc"
