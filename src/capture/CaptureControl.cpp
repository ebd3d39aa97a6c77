#include "CaptureControl.h"

#include "CameraCapture.h"
#include "core/AppError.h"

#include <QImageWriter>

namespace {

CaptureControl::Maker &installedMaker()
{
    static CaptureControl::Maker maker;
    return maker;
}

} // namespace

CaptureControl::CaptureControl(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("video"));
    setAccessibleName(QStringLiteral("Live video"));
}

CaptureControl *CaptureControl::create(QWidget *parent)
{
    if (const Maker &maker = installedMaker())
        return maker(parent);
    return new CameraCapture(parent);
}

void CaptureControl::setMaker(Maker maker)
{
    installedMaker() = std::move(maker);
}

void CaptureControl::throwNoDialog(const QString &dialog) const
{
    throw AppError(-1, QStringLiteral("video"), QStringLiteral("The video device has no %1 dialog.").arg(dialog));
}

void CaptureControl::showSourceDialog()
{
    throwNoDialog(QStringLiteral("video source"));
}

void CaptureControl::showFormatDialog()
{
    throwNoDialog(QStringLiteral("video format"));
}

void CaptureControl::showDisplayDialog()
{
    throwNoDialog(QStringLiteral("video display"));
}

void CaptureControl::showCompressionDialog()
{
    throwNoDialog(QStringLiteral("compression"));
}

void CaptureControl::showAudioFormatDialog()
{
    throwNoDialog(QStringLiteral("audio format"));
}

void CaptureControl::saveFrame(const QString &path)
{
    const QImage frame = heldFrame();
    if (frame.isNull())
        throw AppError(-1, QStringLiteral("video"), QStringLiteral("There is no picture to save."));
    QImageWriter writer(path, "bmp");
    // A bitmap holds no alpha channel the converter could use: write plain RGB.
    if (!writer.write(frame.convertToFormat(QImage::Format_RGB888)))
        throw AppError(-1, QStringLiteral("video"),
                       QStringLiteral("The picture could not be written to %1: %2").arg(path, writer.errorString()));
}
