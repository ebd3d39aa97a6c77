#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>

// The capture control "video": the live picture of a capture driver inside the
// frame "fraVideo", and the operations the registration window relies on. A
// driver is one video input of the system; the connected one shows its live
// picture (PreviewOn), and GrabFrame holds one frame still until the preview
// is applied again. Operations that cannot be done throw AppError.
//
// The driver dialogs exist only where the implementation has a real
// counterpart: a driver without one reports false from its Has...() and its
// Show...() throws.
class CaptureControl : public QWidget
{
    Q_OBJECT
public:
    explicit CaptureControl(QWidget *parent = nullptr);

    virtual int driverCount() const = 0;
    virtual QString driverName(int index) const = 0;
    virtual QString driverVersion(int index) const = 0;
    // The connected driver, -1 when none.
    virtual int driverIndex() const = 0;
    // Connects driver `index` (-1 disconnects); throws when it cannot be connected.
    virtual void setDriverIndex(int index) = 0;

    virtual bool hasSourceDialog() const { return false; }
    virtual bool hasFormatDialog() const { return false; }
    virtual bool hasDisplayDialog() const { return false; }
    virtual bool hasCompressionDialog() const { return false; }
    virtual bool hasAudio() const { return false; }
    virtual bool hasOverlay() const { return false; }

    virtual void setOverlayOn(bool on) = 0;
    virtual bool overlayOn() const = 0;
    virtual void setPreviewOn(bool on) = 0;
    virtual bool previewOn() const = 0;

    virtual void showSourceDialog();
    virtual void showFormatDialog();
    virtual void showDisplayDialog();
    virtual void showCompressionDialog();
    virtual void showAudioFormatDialog();

    // Takes one frame of the connected driver and holds it still in the window.
    virtual void grabFrame() = 0;
    // The frame last taken by grabFrame() (null before the first grab).
    virtual QImage heldFrame() const = 0;
    // Writes the held frame as a bitmap file at `path`.
    virtual void saveFrame(const QString &path);

    // The capture control that windows create: cameras through Qt Multimedia
    // unless another maker is installed (tests install one of their own; an
    // empty function restores the cameras).
    using Maker = std::function<CaptureControl *(QWidget *parent)>;
    static CaptureControl *create(QWidget *parent);
    static void setMaker(Maker maker);

protected:
    [[noreturn]] void throwNoDialog(const QString &dialog) const;
};
