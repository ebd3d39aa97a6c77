#include "CameraCapture.h"

#include "FrameView.h"
#include "VideoFormatDialog.h"
#include "core/AppError.h"
#include "core/Dialogs.h"

#include <QCamera>
#include <QEventLoop>
#include <QMediaDevices>
#include <QTimer>
#include <QVBoxLayout>
#include <QVideoFrame>
#include <QVideoSink>

namespace {

AppError videoError(const QString &description)
{
    return AppError(-1, QStringLiteral("video"), description);
}

// Runs the window's events until `done` says so or the time limit passes.
template <typename Signal, typename Sender>
void waitFor(Sender *sender, Signal signal, const std::function<bool()> &done, int limitMs)
{
    if (done())
        return;
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(sender, signal, &loop, [&] {
        if (done())
            loop.quit();
    });
    limit.start(limitMs);
    loop.exec();
}

} // namespace

CameraCapture::CameraCapture(QWidget *parent)
    : CaptureControl(parent)
    , m_inputs(QMediaDevices::videoInputs())
{
    m_view = new FrameView(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    m_sink = new QVideoSink(this);
    m_session.setVideoSink(m_sink);
    connect(m_sink, &QVideoSink::videoFrameChanged, this, [this](const QVideoFrame &frame) {
        if (m_live && frame.isValid())
            m_view->setFrame(frame);
    });
}

CameraCapture::~CameraCapture()
{
    disconnectCamera();
}

int CameraCapture::driverCount() const
{
    return int(m_inputs.size());
}

QString CameraCapture::driverName(int index) const
{
    if (index < 0 || index >= m_inputs.size())
        throw videoError(QStringLiteral("There is no video device %1.").arg(index));
    return m_inputs.at(index).description();
}

QString CameraCapture::driverVersion(int index) const
{
    if (index < 0 || index >= m_inputs.size())
        throw videoError(QStringLiteral("There is no video device %1.").arg(index));
    // Cameras carry no version: their device id tells two of the same make apart.
    return QString::fromUtf8(m_inputs.at(index).id());
}

void CameraCapture::disconnectCamera()
{
    if (!m_camera)
        return;
    QCamera *camera = m_camera;
    m_camera = nullptr;
    m_session.setCamera(nullptr);
    camera->stop();
    delete camera;
    m_index = -1;
}

void CameraCapture::setDriverIndex(int index)
{
    if (index == m_index && m_camera)
        return;
    if (index < 0) {
        disconnectCamera();
        showStill(QImage());
        return;
    }
    if (index >= m_inputs.size())
        throw videoError(QStringLiteral("There is no video device %1.").arg(index));
    disconnectCamera();

    auto *camera = new QCamera(m_inputs.at(index), this);
    // A camera that cannot be opened says so at once or within moments; the
    // window keeps painting meanwhile.
    camera->start();
    waitFor(camera, &QCamera::activeChanged,
            [camera] { return camera->isActive() || camera->error() != QCamera::NoError; }, WaitLimitMs);
    if (!camera->isActive() || camera->error() != QCamera::NoError) {
        const QString why = camera->errorString();
        delete camera;
        throw videoError(why.isEmpty() ? QStringLiteral("The video device did not start.") : why);
    }
    m_camera = camera;
    m_index = index;
    setPreviewOn(m_preview);
}

bool CameraCapture::hasFormatDialog() const
{
    return m_camera && !m_camera->cameraDevice().videoFormats().isEmpty();
}

void CameraCapture::showFormatDialog()
{
    if (!hasFormatDialog())
        throwNoDialog(QStringLiteral("video format"));
    const QCameraDevice device = m_camera->cameraDevice();
    VideoFormatDialog dialog(device.description(), device.videoFormats(), m_camera->cameraFormat(), window());
    if (Dialogs::instance().showModal(&dialog) != QDialog::Accepted || !m_camera)
        return;
    if (const QCameraFormat chosen = dialog.chosenFormat(); !chosen.isNull())
        m_camera->setCameraFormat(chosen);
}

void CameraCapture::setOverlayOn(bool on)
{
    // Overlay (the card drawing the picture itself) has no counterpart here.
    Q_UNUSED(on);
}

void CameraCapture::attach(bool attached)
{
    // A stopped camera still feeds the session in this Qt; only a camera
    // taken out of the session rests.
    if (!m_camera)
        return;
    if (attached) {
        if (m_session.camera() != m_camera)
            m_session.setCamera(m_camera);
        m_camera->start();
    } else {
        if (m_session.camera() == m_camera)
            m_session.setCamera(nullptr);
        m_camera->stop();
    }
}

void CameraCapture::setPreviewOn(bool on)
{
    m_preview = on;
    if (on) {
        attach(true);
        m_live = true;
        return;
    }
    // Preview off: the camera rests and the window keeps the last picture.
    m_live = false;
    attach(false);
}

QVideoFrame CameraCapture::nextFrame()
{
    QVideoSink *sink = m_sink;
    const bool wasAttached = m_session.camera() == m_camera;
    QVideoFrame frame;
    const QMetaObject::Connection watch = connect(sink, &QVideoSink::videoFrameChanged, this,
                                                  [&frame](const QVideoFrame &next) {
                                                      if (next.isValid())
                                                          frame = next;
                                                  });
    attach(true);
    waitFor(sink, &QVideoSink::videoFrameChanged, [&frame] { return frame.isValid(); }, WaitLimitMs);
    disconnect(watch);
    if (!wasAttached)
        attach(false);
    return frame;
}

void CameraCapture::grabFrame()
{
    if (!m_camera)
        throw videoError(QStringLiteral("No video device is connected."));
    QVideoFrame frame;
    if (m_session.camera() == m_camera)
        frame = m_sink->videoFrame();
    if (!frame.isValid())
        frame = nextFrame();
    const QImage image = frame.isValid() ? frame.toImage() : QImage();
    if (image.isNull())
        throw videoError(QStringLiteral("No picture came from the video device."));
    m_held = image.convertToFormat(QImage::Format_RGB32);
    showStill(m_held);
}

void CameraCapture::showStill(const QImage &image)
{
    m_live = false;
    m_view->setImage(image);
}
