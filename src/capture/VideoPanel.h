#pragma once

#include <QGroupBox>

// "fraVideo": the frame of the live video. The capture control goes in here
// when the capture device is connected; for now it is the empty frame.
class VideoPanel : public QGroupBox
{
    Q_OBJECT
public:
    explicit VideoPanel(QWidget *parent = nullptr);
};
