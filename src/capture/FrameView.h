#pragma once

#include <QImage>
#include <QVideoFrame>
#include <QWidget>

// The video window's picture: the live frames of a camera, or a still one (the
// frame held by a snap, the last frame while the preview is off). Drawn to fit,
// keeping its proportions, on black. A live frame is converted only when it is
// painted, so frames the screen never shows cost nothing.
class FrameView : public QWidget
{
    Q_OBJECT
public:
    explicit FrameView(QWidget *parent = nullptr);

    void setImage(const QImage &image);
    void setFrame(const QVideoFrame &frame);
    // What the view shows now.
    QImage image() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    mutable QImage m_image;
    mutable QVideoFrame m_frame; // converted into m_image when needed
};
