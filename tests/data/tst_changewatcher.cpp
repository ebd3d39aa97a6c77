// The change watcher, each body run on a database file and on the test server:
// another connection's commit reaches it within a second as "look again" (the
// server names the table), this connection's own writes do not, and an open
// write transaction of another connection is not taken for a change.
#include "DataTestEnvironment.h"
#include "data/ChangeWatcher.h"
#include "data/Database.h"
#include "data/WriteTransaction.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class ChangeWatcherTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { DataTestEnvironment::addEngineRows(); }

    void othersCommitsReachTheWatcherOwnWritesDoNot()
    {
        QFETCH_GLOBAL(TestEngine, engine);
        if (!DataTestEnvironment::engineAvailable(engine))
            QSKIP("no test server: run the data tests through ctest");
        DataTestEnvironment env;
        const QString location = env.createDatabase(engine);
        auto desk = Database::sharedByDesk(location, u"desk"_s);
        ChangeWatcher watcher(desk);
        QSignalSpy changed(&watcher, &ChangeWatcher::changed);

        // This desk's own save: shown already, nothing to look at again.
        {
            WriteTransaction write(*desk);
            desk->execute(u"INSERT INTO Program (ProgramID, Name) VALUES (1, 'Gala')"_s);
            write.commit();
        }
        QTest::qWait(3 * ChangeWatcher::PollMs);
        QCOMPARE(changed.size(), 0);

        // Another desk's write: nothing until it commits, then within a second.
        auto other = Database::openSeparate(location);
        {
            WriteTransaction write(*other);
            other->execute(u"INSERT INTO Attendees (ProgramID, LastName) VALUES (1, 'Lee')"_s);
            QTest::qWait(3 * ChangeWatcher::PollMs);
            QCOMPARE(changed.size(), 0);
            write.commit();
        }
        QElapsedTimer took;
        took.start();
        QTRY_VERIFY_WITH_TIMEOUT(changed.size() > 0, 1000);
        QVERIFY(took.elapsed() < 1000);
        const auto tables = changed.last().at(0).value<QSet<QString>>();
        if (engine == TestEngine::Server)
            QCOMPARE(tables, QSet<QString>({u"attendees"_s}));
        else
            QVERIFY(tables.isEmpty()); // a file says only that something changed
        QVERIFY(watcher.isConnected());

        // Every later commit as well, the same row again included.
        for (const char *name : {"Ray", "Roy", "Lee"}) {
            const qsizetype before = changed.size();
            {
                WriteTransaction write(*other);
                other->execute(u"UPDATE Attendees SET LastName = ? WHERE ProgramID = 1"_s, {QString::fromLatin1(name)});
                write.commit();
            }
            QTRY_VERIFY_WITH_TIMEOUT(changed.size() > before, 1000);
        }
    }
};

QTEST_GUILESS_MAIN(ChangeWatcherTest)
#include "tst_changewatcher.moc"
