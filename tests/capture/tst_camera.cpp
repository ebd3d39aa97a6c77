// The real capture path: Qt Multimedia with a virtual camera that this test
// builds (a GStreamer device provider backed by a test pattern, loaded through
// GST_PLUGIN_PATH). The camera is listed as a driver, connects, shows live
// frames, takes the chosen video format, and a snap through it is a real JPEG.

#include "CaptureFixture.h"

#include "capture/CameraCapture.h"
#include "capture/FrameView.h"
#include "capture/VideoFormatDialog.h"

#include <QCamera>
#include <QDialog>
#include <QPushButton>
#include <QTreeWidget>
#include <QVideoFrame>
#include <QVideoSink>

class CameraTest : public QObject
{
    Q_OBJECT

private:
    // Frames that reach the live video widget within `ms`.
    int framesWithin(int ms) const
    {
        int frames = 0;
        const QMetaObject::Connection counting = QObject::connect(
            camera->videoSink(), &QVideoSink::videoFrameChanged, [&frames] { ++frames; });
        QTest::qWait(ms);
        QObject::disconnect(counting);
        return frames;
    }
    QSize liveFrameSize() const { return camera->videoSink()->videoFrame().size(); }

    CaptureFixture f;
    CameraCapture *camera = nullptr;
    qint64 id = 0;

private slots:
    void init()
    {
        f.setUp();
        CaptureControl::setMaker({}); // the cameras of the system, not the fake
        f.addEvent(1);
        id = f.addAttendee(1, "Ann", "Lee");
        f.open(1);
        camera = qobject_cast<CameraCapture *>(f.window->video());
        QVERIFY(camera);
    }
    void cleanup() { f.tearDown(); }

    void listedConnectedAndLive()
    {
        QCOMPARE(camera->driverCount(), 1);
        QAction *driver = f.action("mnuDriver_0");
        QCOMPARE(driver->text(), "Quorvex Virtual Camera " + camera->driverVersion(0));
        QVERIFY(driver->isEnabled() && driver->isChecked());
        QCOMPARE(camera->driverIndex(), 0);
        QVERIFY(camera->camera() && camera->camera()->isActive());
        QVERIFY(camera->previewOn());

        QVERIFY(framesWithin(1000) >= 3);
        QVERIFY(liveFrameSize().isValid());
        QCOMPARE(camera->picture()->image().size(), liveFrameSize()); // the live picture in fraVideo

        // Qt gives a format dialog; nothing stands for the others or for overlay.
        QVERIFY(f.action("mnuFormat")->isEnabled());
        for (const char *name : {"mnuAudioFmt", "mnuSource", "mnuDisplay", "mnuCompression", "mnuOverlay"})
            QVERIFY2(!f.action(name)->isEnabled(), name);
        QVERIFY(f.action("mnuSnap")->isEnabled());

        // Preview off rests the camera: no more frames until it is on again.
        f.action("mnuPreview")->trigger();
        QVERIFY(!camera->camera()->isActive());
        QTest::qWait(200);
        QCOMPARE(framesWithin(500), 0);
        f.action("mnuPreview")->trigger();
        QTRY_VERIFY(framesWithin(300) > 0);
    }

    void formatDialogAppliesTheChoice()
    {
        QStringList rows;
        f.dialogs->onModal([&rows](QDialog *dialog) {
            auto *list = dialog->findChild<QTreeWidget *>("lstFormats");
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                rows << list->topLevelItem(i)->text(0) + ", " + list->topLevelItem(i)->text(1);
            const QList<QTreeWidgetItem *> small = list->findItems("320 x 240", Qt::MatchExactly, 0);
            if (!small.isEmpty())
                list->setCurrentItem(small.first());
            QTest::mouseClick(dialog->findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
        });
        f.action("mnuFormat")->trigger();
        rows.sort();
        QCOMPARE(rows, QStringList({"1280 x 720, 30 frames/s", "320 x 240, 15 frames/s", "640 x 480, 30 frames/s"}));
        QCOMPARE(camera->camera()->cameraFormat().resolution(), QSize(320, 240));
        QTRY_COMPARE(liveFrameSize(), QSize(320, 240));
    }

    void snapWritesTheJpeg_data()
    {
        QTest::addColumn<bool>("preview");
        QTest::newRow("live") << true;
        QTest::newRow("preview off") << false; // the camera is woken for one frame
    }

    void snapWritesTheJpeg()
    {
        QFETCH(bool, preview);
        f.installConverter();
        if (!preview)
            f.action("mnuPreview")->trigger();
        QTRY_VERIFY(camera->camera()->isActive() == preview);

        f.snap(MsgAnswer::Yes);
        QCOMPARE(f.dialogs->boxes(), QList<ScriptedDialogs::Box>({CaptureFixture::question()}));
        const QImage jpeg(f.picture(id, "jpg"), "JPEG");
        QVERIFY(!jpeg.isNull());
        QCOMPARE(jpeg.size(), camera->heldFrame().size());
        QVERIFY(!QFileInfo::exists(f.picture(id, "bmp")));
        f.verifyCardsShowPhoto(true);
        // Back to what the check mark says.
        QCOMPARE(camera->camera()->isActive(), preview);
    }
};

int main(int argc, char *argv[])
{
    // The virtual camera, before Qt Multimedia starts GStreamer.
    qputenv("GST_PLUGIN_PATH", QUORVEX_VIRTUAL_CAMERA_DIR);
    QApplication application(argc, argv);
    CameraTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_camera.moc"
