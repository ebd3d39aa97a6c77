#pragma once

#include <QGroupBox>

class CaptureControl;

// "fraVideo": the frame of the live video, holding the capture control "video"
// (a camera, or what the tests install in its place).
class VideoPanel : public QGroupBox
{
    Q_OBJECT
public:
    explicit VideoPanel(QWidget *parent = nullptr);

    CaptureControl *video() const { return m_video; }

private:
    CaptureControl *m_video = nullptr;
};
