#pragma once

#include "CaptureControl.h"

#include <QCamera>
#include <QCameraDevice>
#include <QList>
#include <QMediaCaptureSession>
#include <QPointer>

class FrameView;
class QVideoFrame;
class QVideoSink;

// The capture control on Qt Multimedia: the drivers are the system's video
// inputs (QMediaDevices::videoInputs, listed once when the control is made, so
// the menu's indexes stay valid); the connected one runs in a capture session
// whose video sink feeds the live picture, and a snap takes its frame from
// that sink. (The picture is painted from the frames rather than shown by a
// QVideoWidget: on an X server without a GPU that widget held the camera's
// frames back and stayed black.)
// The video format dialog lists the camera's formats and applies the chosen
// one. Qt has no overlay video, no source, display or compression dialog and
// no audio format for a still camera: those report false.
class CameraCapture : public CaptureControl
{
    Q_OBJECT
public:
    explicit CameraCapture(QWidget *parent = nullptr);
    ~CameraCapture() override;

    int driverCount() const override;
    QString driverName(int index) const override;
    QString driverVersion(int index) const override;
    int driverIndex() const override { return m_index; }
    void setDriverIndex(int index) override;

    bool hasFormatDialog() const override;
    void showFormatDialog() override;

    void setOverlayOn(bool on) override;
    bool overlayOn() const override { return false; }
    void setPreviewOn(bool on) override;
    bool previewOn() const override { return m_preview; }

    void grabFrame() override;
    QImage heldFrame() const override { return m_held; }

    // The camera of the connected driver (nullptr when none), for its state.
    QCamera *camera() const { return m_camera; }
    QVideoSink *videoSink() const { return m_sink; }
    FrameView *picture() const { return m_view; }

    // How long connecting or waiting for a first frame may take.
    static constexpr int WaitLimitMs = 3000;

private:
    void disconnectCamera();
    // Puts the connected camera into the capture session (running) or takes it out (resting).
    void attach(bool attached);
    // The next frame the camera delivers (started for it when needed).
    QVideoFrame nextFrame();
    void showStill(const QImage &image);

    QList<QCameraDevice> m_inputs;
    QMediaCaptureSession m_session;
    QPointer<QCamera> m_camera;
    QVideoSink *m_sink = nullptr;
    FrameView *m_view = nullptr;
    bool m_live = false; // the sink's frames go to the picture
    int m_index = -1;
    bool m_preview = false;
    QImage m_held;
};
