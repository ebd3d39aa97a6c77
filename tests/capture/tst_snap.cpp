// "&Snap Picture" through the real registration window with a fake capture
// control and the real converter: the question, the files in the Pic folder (or
// the photograph in a server's database), the Picture field, the photograph on
// every card, and the failures.

#include "CaptureFixture.h"

#include "capture/PictureSnapper.h"
#include "data/PhotoStore.h"
#include "register/RecordDisplay.h"
#include "TestServer.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>

class SnapTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    void answeredNo();
    void answeredYes_data();
    void answeredYes();
    void answeredYesOnAServer();
    void retakeWaitsForTheConverter();
    void quittingWhileConverting();
    void newAttendeeUsesItsReservedKey();
    void converterMissing();
    void conversionFails_data();
    void conversionFails();
    void bitmapCannotBeWritten();

private:
    // An event with one attendee (Ann Lee, the key returned), window opened.
    qint64 openWithAttendee(const QString &databaseFolder = QString())
    {
        if (!databaseFolder.isEmpty()) {
            f.folder = f.env->folder(databaseFolder);
            f.file = f.env->createDatabase(f.folder);
        }
        f.addEvent(1);
        const qint64 id = f.addAttendee(1, "Ann", "Lee");
        f.open(1);
        return id;
    }
    QString storedPicture(qint64 id) const { return f.stored("Picture", id); }
    void save() const { f.action("mnuFileSave")->trigger(); }
    QImage cardPhoto() const { return f.card()->photo(); }

    CaptureFixture f;
};

void SnapTest::answeredNo()
{
    const qint64 id = openWithAttendee();
    f.installConverter();
    f.snap(MsgAnswer::No);

    QCOMPARE(f.dialogs->boxes(), QList<ScriptedDialogs::Box>({CaptureFixture::question()}));
    QVERIFY(!f.fake()->frozen()); // the live video is back
    QCOMPARE(QDir(f.folder + "Pic").entryList(QDir::Files), QStringList());
    QVERIFY(!f.window->datPrimaryRS()->dataChanged());
    save();
    QCOMPARE(storedPicture(id), QString());
    f.verifyCardsShowPhoto(false);
}

void SnapTest::answeredYes_data()
{
    QTest::addColumn<QString>("databaseFolder"); // empty: the fixture's
    QTest::newRow("plain folder") << QString();
    QTest::newRow("folder with blanks") << "data folder with blanks";
}

void SnapTest::answeredYes()
{
    QFETCH(QString, databaseFolder);
    const qint64 id = openWithAttendee(databaseFolder);
    f.installConverter();
    f.snap(MsgAnswer::Yes);

    QCOMPARE(f.dialogs->boxes(), QList<ScriptedDialogs::Box>({CaptureFixture::question()}));
    const QImage jpeg(f.picture(id, "jpg"), "JPEG");
    QCOMPARE(jpeg.size(), QSize(320, 240));
    QVERIFY(!QFileInfo::exists(f.picture(id, "bmp")));
    QVERIFY(!f.fake()->frozen());

    // The photograph is on the miniature and both card windows.
    QCOMPARE(f.cards().size(), 3);
    f.verifyCardsShowPhoto(true);
    const QString expected = QStringLiteral("Pic\\%1.jpg").arg(id);
    QCOMPARE(f.content().photoPath, expected);
    QCOMPARE(f.window->attendeePanel()->lblPic()->text(), expected);
    save();
    QCOMPARE(storedPicture(id), expected);
}

void SnapTest::answeredYesOnAServer()
{
    if (!TestServer::available())
        QSKIP("no test server: run the tests through ctest");
    f.useServer();
    const qint64 id = openWithAttendee();
    f.installConverter();
    f.snap(MsgAnswer::Yes);

    QCOMPARE(f.dialogs->boxes(), QList<ScriptedDialogs::Box>({CaptureFixture::question()}));
    // The photograph is in the database, for every desk; on every card here.
    const QByteArray jpeg = f.sql("SELECT Photo FROM Photos WHERE AttendeeID = ?", {id}).toByteArray();
    QCOMPARE(QImage::fromData(jpeg, "JPEG").size(), QSize(320, 240));
    f.verifyCardsShowPhoto(true);
    const QString expected = QStringLiteral("Pic\\%1.jpg").arg(id);
    QCOMPARE(f.content().photoPath, expected);
    save();
    QCOMPARE(storedPicture(id), expected);
    // Neither the bitmap nor the converter's JPEG is left behind on this machine.
    QDirIterator files(PhotoStore::cacheFolder(), {"*.bmp", "*.jpg"}, QDir::Files, QDirIterator::Subdirectories);
    QStringList left;
    while (files.hasNext())
        left << files.next();
    QCOMPARE(left.size(), 1); // the copy the cards were drawn from
    QVERIFY2(!left.first().contains("/new/"), qPrintable(left.first()));
}

void SnapTest::retakeWaitsForTheConverter()
{
    const qint64 id = openWithAttendee();
    f.installConverter();
    f.snap(MsgAnswer::Yes);
    const QByteArray first = [&] { QFile jpeg(f.picture(id, "jpg")); jpeg.open(QIODevice::ReadOnly); return jpeg.readAll(); }();
    const QImage firstPhoto = cardPhoto();
    QVERIFY(!first.isEmpty());

    // A converter slower than the old fixed second: the photo shown is the new
    // one, and the bitmap goes only after the converter has read it.
    f.installConverterScript("sleep 1.3; exec " + CaptureFixture::converterPath().toLocal8Bit() + " \"$@\"");
    QElapsedTimer clock;
    clock.start();
    f.snap(MsgAnswer::Yes);
    QVERIFY(clock.elapsed() >= 1300);

    QFile jpeg(f.picture(id, "jpg"));
    QVERIFY(jpeg.open(QIODevice::ReadOnly));
    const QByteArray second = jpeg.readAll();
    QVERIFY(second != first);
    QVERIFY(!QImage::fromData(second, "JPEG").isNull());
    QVERIFY(!QFileInfo::exists(f.picture(id, "bmp")));
    QVERIFY(cardPhoto() != firstPhoto);
    QCOMPARE(f.dialogs->boxes().size(), 2); // the two questions, nothing else
}

void SnapTest::quittingWhileConverting()
{
    // The program ends (every event loop told to stop) while the converter runs:
    // the photograph is still finished, and no box says otherwise.
    const qint64 id = openWithAttendee();
    f.installConverterScript("sleep 0.5; exec " + CaptureFixture::converterPath().toLocal8Bit() + " \"$@\"");
    QTimer::singleShot(100, [] { QCoreApplication::exit(0); });
    f.snap(MsgAnswer::Yes);
    QCOMPARE(f.dialogs->boxes().size(), 1);
    QVERIFY(!QImage(f.picture(id, "jpg")).isNull());
    QVERIFY(!QFileInfo::exists(f.picture(id, "bmp")));
    f.verifyCardsShowPhoto(true);
}

void SnapTest::newAttendeeUsesItsReservedKey()
{
    // An event without attendees: no snap (from code neither: nothing is asked).
    f.addEvent(1);
    f.open(1);
    f.installConverter();
    QVERIFY(!f.action("mnuSnap")->isEnabled());
    f.window->mnuSnap_Click();
    QCOMPARE(f.dialogs->boxes().size(), 0);

    f.action("mnuFileNew")->trigger();
    const qint64 reserved = f.window->datPrimaryRS()->recordset()->currentKey();
    f.snap(MsgAnswer::Yes);
    QVERIFY(!QImage(f.picture(reserved, "jpg")).isNull());
    f.verifyCardsShowPhoto(true);
    CaptureFixture::retype(f.field(1), "Bo");
    save();
    QCOMPARE(storedPicture(reserved), QStringLiteral("Pic\\%1.jpg").arg(reserved));
}

void SnapTest::converterMissing()
{
    const qint64 id = openWithAttendee();
    f.snap(MsgAnswer::Yes, 2);

    const QList<ScriptedDialogs::Box> boxes = f.dialogs->boxes();
    QCOMPARE(boxes.size(), 3);
    const QString description = boxes.at(1).text;
    QVERIFY2(description.contains(f.appFolder + "util1.sp"), qPrintable(description));
    QCOMPARE(boxes.at(1), ScriptedDialogs::Box({description, "Quorvex", MsgButtons::Ok, MsgIcon::None, MsgAnswer::Ok}));
    QCOMPARE(boxes.at(2), ScriptedDialogs::Box({description, "Snap Picture Error", MsgButtons::Ok, MsgIcon::Critical,
                                                MsgAnswer::Ok}));
    QVERIFY(QImage(f.picture(id, "bmp")).size() == QSize(320, 240)); // the bitmap is kept
    QVERIFY(!QFileInfo::exists(f.picture(id, "jpg")));
    QVERIFY(!f.fake()->frozen());
    save();
    QCOMPARE(storedPicture(id), QStringLiteral("Pic\\%1.jpg").arg(id));
}

void SnapTest::conversionFails_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<int>("timeLimitMs");
    QTest::addColumn<QString>("told");

    QTest::newRow("converter fails") << QByteArray("echo 'util1.sp: no room left' >&2; exit 1") << 5000
                                     << "no room left";
    QTest::newRow("converter hangs") << QByteArray("exec sleep 30") << 300 << "did not finish within 0.3 seconds";
}

void SnapTest::conversionFails()
{
    QFETCH(QByteArray, script);
    QFETCH(int, timeLimitMs);
    QFETCH(QString, told);
    const qint64 id = openWithAttendee();
    // An earlier photograph of this attendee, shown now.
    QDir().mkpath(f.folder + "Pic");
    QImage earlier(64, 48, QImage::Format_RGB32);
    earlier.fill(Qt::red);
    QVERIFY(earlier.save(f.picture(id, "jpg"), "JPEG"));
    TestEnvironment::exec(f.file, "UPDATE Attendees SET Picture = ? WHERE AttendeeID = ?",
                          {QStringLiteral("Pic\\%1.jpg").arg(id), id});
    f.window->datPrimaryRS()->refresh();
    f.verifyCardsShowPhoto(true);

    f.installConverterScript(script);
    f.window->snapper()->setConverterTimeLimit(timeLimitMs);
    QElapsedTimer clock;
    clock.start();
    f.snap(MsgAnswer::Yes, 1);
    QVERIFY(clock.elapsed() < 10000);

    const ScriptedDialogs::Box box = f.dialogs->lastBox();
    QCOMPARE(box.title, QString("Snap Picture Error"));
    QCOMPARE(box.icon, MsgIcon::Critical);
    QVERIFY2(box.text.contains(told), qPrintable(box.text));
    // The earlier photograph is no longer passed off as the new one; the bitmap stays.
    f.verifyCardsShowPhoto(false);
    QVERIFY(QFileInfo::exists(f.picture(id, "bmp")));
    QCOMPARE(QImage(f.picture(id, "jpg")).size(), QSize(64, 48));
    QVERIFY(!f.fake()->frozen());
}

void SnapTest::bitmapCannotBeWritten()
{
    const qint64 id = openWithAttendee();
    f.installConverter();
    f.fake()->failNextSave();
    f.snap(MsgAnswer::Yes, 1);

    QCOMPARE(f.dialogs->lastBox(), ScriptedDialogs::Box({"There is not enough space on the disk.", "Snap Picture Error",
                                                         MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok}));
    QCOMPARE(QDir(f.folder + "Pic").entryList(QDir::Files), QStringList());
    QVERIFY(!f.fake()->frozen());
    f.verifyCardsShowPhoto(false);
    save();
    QCOMPARE(storedPicture(id), QStringLiteral("Pic\\%1.jpg").arg(id)); // named before the write failed
}

QTEST_MAIN(SnapTest)
#include "tst_snap.moc"
