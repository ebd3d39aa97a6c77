#include "VideoPanel.h"

VideoPanel::VideoPanel(QWidget *parent)
    : QGroupBox(QStringLiteral("Video"), parent)
{
    setObjectName(QStringLiteral("fraVideo"));
    setAccessibleName(QStringLiteral("Video"));
    setMinimumSize(240, 180);
}
