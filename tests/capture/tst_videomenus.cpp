// The "Video &Options" menu through the real registration window with a fake
// capture control: the driver list, the stored driver, a driver that cannot be
// connected, the items a driver supports, and the preview and overlay
// preferences kept across starts.

#include "CaptureFixture.h"

#include "capture/VideoMenus.h"

class VideoMenusTest : public QObject
{
    Q_OBJECT

private:
    RegisterWindow *openWith(const QList<FakeCapture::Driver> &drivers)
    {
        FakeCapture::install(drivers);
        f.addEvent(1);
        f.addAttendee(1, "Ann", "Lee"); // the snap needs an attendee besides a driver
        return f.open(1);
    }
    // Which driver items carry the check mark.
    QList<int> checkedDrivers() const
    {
        QList<int> checked;
        for (int i = 0; QAction *item = f.window->videoMenus()->driverItem(i); ++i)
            if (item->isChecked())
                checked << i;
        return checked;
    }
    static QString storedIndex() { return Settings::get("Video\\driver", "driverindex", "(none)"); }

    static constexpr const char *dialogItems[] = {"mnuAudioFmt", "mnuFormat", "mnuSource", "mnuDisplay", "mnuCompression"};
    CaptureFixture f;

private slots:
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    void noDriver()
    {
        f.dialogs->answer(MsgAnswer::Ok);
        openWith({});
        QCOMPARE(f.dialogs->lastBox(), ScriptedDialogs::Box({"No Video Capture Device!", "Quorvex", MsgButtons::Ok,
                                                             MsgIcon::Information, MsgAnswer::Ok}));
        QAction *placeholder = f.action("mnuDriver_0");
        QCOMPARE(placeholder->text(), QString("<no video driver found>"));
        QVERIFY(!placeholder->isEnabled());
        QVERIFY(!f.action("mnuDriver_1"));
        for (const char *name : dialogItems)
            QVERIFY2(!f.action(name)->isEnabled(), name);
        QVERIFY(!f.action("mnuOverlay")->isEnabled());
        QVERIFY(!f.action("mnuSnap")->isEnabled());
        QVERIFY(f.action("mnuPreview")->isEnabled());

        f.dialogs->answer(MsgAnswer::Ok);
        QCOMPARE(f.window->vbEnumCapDrivers(), 0);
    }

    void storedDriverIndex_data()
    {
        QTest::addColumn<QString>("stored"); // empty: nothing stored
        QTest::addColumn<int>("connected");

        QTest::newRow("nothing stored") << "" << 0;
        QTest::newRow("beyond the list") << "5" << 0;
        QTest::newRow("digit then letters") << "1abc" << 1;
        QTest::newRow("a half rounds to even") << "0.5" << 0;
        QTest::newRow("above a half") << " 0.6" << 1;
        QTest::newRow("negative") << "-1" << 0;
        QTest::newRow("letters") << "abc" << 0;
    }

    void storedDriverIndex()
    {
        QFETCH(QString, stored);
        QFETCH(int, connected);
        if (!stored.isEmpty())
            Settings::save("Video\\driver", "driverindex", stored);
        openWith({{"Cam A", "v1"}, {"Cam B", "v2"}});

        QCOMPARE(f.fake()->driverIndex(), connected);
        QCOMPARE(checkedDrivers(), QList<int>({connected}));
        QCOMPARE(f.action("mnuDriver_0")->text(), QString("Cam A v1"));
        QCOMPARE(f.action("mnuDriver_1")->text(), QString("Cam B v2"));
        QVERIFY(f.action("mnuDriver_0")->isEnabled() && f.action("mnuDriver_1")->isEnabled());
        QCOMPARE(storedIndex(), QString::number(connected));
        QVERIFY(f.action("mnuSnap")->isEnabled());
    }

    void driverThatCannotConnect()
    {
        FakeCapture::Driver broken {"Cam B", "v2"};
        broken.connects = false;
        openWith({{"Cam A", "v1"}, broken});
        QCOMPARE(storedIndex(), QString("0"));

        f.dialogs->answer(MsgAnswer::Ok);
        f.action("mnuDriver_1")->trigger(); // the user's click puts a check mark on it first
        QCOMPARE(f.dialogs->lastBox(), ScriptedDialogs::Box({"Could not connect to video device", "Quorvex",
                                                             MsgButtons::Ok, MsgIcon::Information, MsgAnswer::Ok}));
        QCOMPARE(f.fake()->connections, QList<int>({0, 1, 0}));
        QCOMPARE(f.fake()->driverIndex(), 0);
        QCOMPARE(checkedDrivers(), QList<int>({0}));
        QCOMPARE(storedIndex(), QString("0"));

        // Choosing the connected driver again keeps it (and its check mark).
        f.action("mnuDriver_0")->trigger();
        QCOMPARE(checkedDrivers(), QList<int>({0}));
    }

    void itemsFollowTheDriver()
    {
        FakeCapture::Driver full {"Studio", "2.0"};
        full.dialogs = true;
        openWith({{"Plain", "1.0"}, full});

        // The plain driver offers no dialog: every dialog item stays disabled.
        for (const char *name : dialogItems)
            QVERIFY2(!f.action(name)->isEnabled(), name);
        QVERIFY(!f.action("mnuOverlay")->isEnabled());

        f.action("mnuDriver_1")->trigger();
        QCOMPARE(storedIndex(), QString("1"));
        for (const char *name : dialogItems) {
            QVERIFY2(f.action(name)->isEnabled(), name);
            f.action(name)->trigger();
        }
        QCOMPARE(f.fake()->dialogsShown, QStringList({"audio", "format", "source", "display", "compression"}));

        f.action("mnuDriver_0")->trigger();
        for (const char *name : dialogItems)
            QVERIFY2(!f.action(name)->isEnabled(), name);
    }

    void preferencesAreKept()
    {
        FakeCapture::Driver overlay {"Overlay Cam", "1"};
        overlay.overlay = true;
        openWith({overlay, {"Plain", "1.0"}});

        // First start: live preview on, overlay as designed (off).
        QVERIFY(f.action("mnuPreview")->isChecked() && f.fake()->previewOn());
        QVERIFY(f.action("mnuOverlay")->isEnabled());
        QVERIFY(!f.action("mnuOverlay")->isChecked() && !f.fake()->overlayOn());

        f.action("mnuOverlay")->trigger();
        QVERIFY(f.action("mnuOverlay")->isChecked() && f.fake()->overlayOn());
        QCOMPARE(Settings::get("Video\\preferences", "OverLay"), QString("True"));
        f.action("mnuPreview")->trigger();
        QVERIFY(!f.action("mnuPreview")->isChecked() && !f.fake()->previewOn());
        QCOMPARE(Settings::get("Video\\preferences", "Preview"), QString("False"));

        // The next start applies both.
        delete f.window.data();
        f.open(1);
        QVERIFY(f.action("mnuOverlay")->isChecked() && f.fake()->overlayOn());
        QVERIFY(!f.action("mnuPreview")->isChecked() && !f.fake()->previewOn());

        // A driver without overlay neither offers it nor gets the stored value.
        f.action("mnuDriver_1")->trigger();
        QVERIFY(!f.action("mnuOverlay")->isEnabled());
        f.fake()->setOverlayOn(false);
        f.window->mnuDriver_Click(1);
        QVERIFY(!f.fake()->overlayOn());

        // A stored text that is no Boolean leaves the check mark as it is.
        Settings::save("Video\\preferences", "Preview", "maybe");
        f.window->mnuDriver_Click(0);
        QVERIFY(!f.action("mnuPreview")->isChecked());
    }
};

QTEST_MAIN(VideoMenusTest)
#include "tst_videomenus.moc"
