#pragma once

#include <QImage>
#include <QWidget>

// A still video picture: the frame held by a snap, or the last frame while the
// live preview is off. Drawn to fit, keeping its proportions, on black.
class FrameView : public QWidget
{
    Q_OBJECT
public:
    explicit FrameView(QWidget *parent = nullptr);

    void setImage(const QImage &image);
    QImage image() const { return m_image; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_image;
};
