#include "VideoPanel.h"

#include "CaptureControl.h"

#include <QVBoxLayout>

VideoPanel::VideoPanel(QWidget *parent)
    : QGroupBox(QStringLiteral("Video"), parent)
{
    setObjectName(QStringLiteral("fraVideo"));
    setAccessibleName(QStringLiteral("Video"));
    setMinimumSize(240, 180);
    // The frame's look: a bold caption in green on dark teal.
    setStyleSheet(QStringLiteral("QGroupBox#fraVideo { background-color: rgb(0, 64, 64); font: bold 8.25pt \"Arial\"; }"
                                 "QGroupBox#fraVideo::title { color: rgb(0, 255, 0); }"));

    m_video = CaptureControl::create(this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_video);
}
