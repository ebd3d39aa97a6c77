#include "FakeCapture.h"

#include "capture/FrameView.h"
#include "core/AppError.h"

#include <QPainter>
#include <QVBoxLayout>

namespace {

AppError fakeError(const QString &description)
{
    return AppError(-1, QStringLiteral("video"), description);
}

} // namespace

FakeCapture::FakeCapture(const QList<Driver> &drivers, QWidget *parent)
    : CaptureControl(parent)
    , m_drivers(drivers)
{
    m_view = new FrameView(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
}

void FakeCapture::install(const QList<Driver> &drivers, QSize frameSize)
{
    CaptureControl::setMaker([drivers, frameSize](QWidget *parent) {
        auto *fake = new FakeCapture(drivers, parent);
        fake->setFrameSize(frameSize);
        return fake;
    });
}

QString FakeCapture::driverName(int index) const
{
    if (index < 0 || index >= m_drivers.size())
        throw fakeError(QStringLiteral("no driver %1").arg(index));
    return m_drivers.at(index).name;
}

QString FakeCapture::driverVersion(int index) const
{
    if (index < 0 || index >= m_drivers.size())
        throw fakeError(QStringLiteral("no driver %1").arg(index));
    return m_drivers.at(index).version;
}

void FakeCapture::setDriverIndex(int index)
{
    connections << index;
    if (index < 0) {
        m_index = -1;
        return;
    }
    if (index >= m_drivers.size() || !m_drivers.at(index).connects)
        throw fakeError(QStringLiteral("driver %1 does not answer").arg(index));
    m_index = index;
}

bool FakeCapture::connectedHas(bool Driver::*feature) const
{
    return m_index >= 0 && m_index < m_drivers.size() && m_drivers.at(m_index).*feature;
}

void FakeCapture::shown(const QString &dialog)
{
    if (m_index < 0 || !m_drivers.at(m_index).dialogs)
        throwNoDialog(dialog);
    dialogsShown << dialog;
}

void FakeCapture::setPreviewOn(bool on)
{
    m_preview = on;
    m_frozen = false;
    m_view->setImage(on ? generatedFrame() : m_view->image());
}

QImage FakeCapture::generatedFrame() const
{
    // A different colour for every frame, and a few shapes so the JPEG has detail.
    QImage frame(m_frameSize, QImage::Format_RGB32);
    frame.fill(QColor::fromHsv((m_frames * 47) % 360, 200, 220));
    QPainter painter(&frame);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(frame.width() * 0.3, frame.height() * 0.15, frame.width() * 0.4, frame.height() * 0.6));
    painter.setBrush(Qt::darkBlue);
    painter.drawRect(QRectF(0, frame.height() * 0.8, frame.width(), frame.height() * 0.2));
    return frame;
}

void FakeCapture::grabFrame()
{
    if (m_index < 0)
        throw fakeError(QStringLiteral("No video device is connected."));
    ++m_frames;
    m_held = generatedFrame();
    m_frozen = true;
    m_view->setImage(m_held);
}

void FakeCapture::saveFrame(const QString &path)
{
    if (m_failSave) {
        m_failSave = false;
        throw fakeError(QStringLiteral("There is not enough space on the disk."));
    }
    CaptureControl::saveFrame(path);
}
