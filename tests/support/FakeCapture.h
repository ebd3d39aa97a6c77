#pragma once

#include "capture/CaptureControl.h"

#include <QList>
#include <QSize>
#include <QStringList>

class FrameView;

// A capture control for tests: drivers as told, generated frames (each grab a
// new picture), and a record of what the window asked of it. A driver can be
// told to refuse its connection, to offer overlay or to have every dialog.
class FakeCapture : public CaptureControl
{
    Q_OBJECT
public:
    struct Driver
    {
        QString name;
        QString version;
        bool connects = true;
        bool overlay = false;
        bool dialogs = false; // source, format, display, compression and audio
    };

    explicit FakeCapture(const QList<Driver> &drivers, QWidget *parent = nullptr);

    // Makes every capture control of the windows created from now on a fake
    // with these drivers (CaptureControl::setMaker).
    static void install(const QList<Driver> &drivers, QSize frameSize = QSize(320, 240));
    // The one driver tests get unless they install others.
    static QList<Driver> oneDriver() { return {{QStringLiteral("Fake Camera"), QStringLiteral("1.0")}}; }

    void setFrameSize(QSize size) { m_frameSize = size; }
    // The next saveFrame() fails as a full disk would.
    void failNextSave() { m_failSave = true; }

    int driverCount() const override { return int(m_drivers.size()); }
    QString driverName(int index) const override;
    QString driverVersion(int index) const override;
    int driverIndex() const override { return m_index; }
    void setDriverIndex(int index) override;

    bool hasSourceDialog() const override { return connectedHas(&Driver::dialogs); }
    bool hasFormatDialog() const override { return connectedHas(&Driver::dialogs); }
    bool hasDisplayDialog() const override { return connectedHas(&Driver::dialogs); }
    bool hasCompressionDialog() const override { return connectedHas(&Driver::dialogs); }
    bool hasAudio() const override { return connectedHas(&Driver::dialogs); }
    bool hasOverlay() const override { return connectedHas(&Driver::overlay); }

    void setOverlayOn(bool on) override { m_overlay = on; }
    bool overlayOn() const override { return m_overlay; }
    void setPreviewOn(bool on) override;
    bool previewOn() const override { return m_preview; }

    void showSourceDialog() override { shown(QStringLiteral("source")); }
    void showFormatDialog() override { shown(QStringLiteral("format")); }
    void showDisplayDialog() override { shown(QStringLiteral("display")); }
    void showCompressionDialog() override { shown(QStringLiteral("compression")); }
    void showAudioFormatDialog() override { shown(QStringLiteral("audio")); }

    void grabFrame() override;
    QImage heldFrame() const override { return m_held; }
    void saveFrame(const QString &path) override;

    // True while a grabbed frame is held still (until the preview is applied).
    bool frozen() const { return m_frozen; }
    // The dialogs shown, in order ("format", "source", ...), and each connection tried.
    QStringList dialogsShown;
    QList<int> connections;

private:
    bool connectedHas(bool Driver::*feature) const;
    void shown(const QString &dialog);
    QImage generatedFrame() const;

    QList<Driver> m_drivers;
    FrameView *m_view = nullptr;
    QSize m_frameSize {320, 240};
    int m_index = -1;
    int m_frames = 0;
    bool m_preview = false;
    bool m_overlay = false;
    bool m_frozen = false;
    bool m_failSave = false;
    QImage m_held;
};
