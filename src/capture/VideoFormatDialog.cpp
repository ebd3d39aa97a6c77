#include "VideoFormatDialog.h"

#include "core/AccessibleTitle.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QVideoFrameFormat>

VideoFormatDialog::VideoFormatDialog(const QString &camera, const QList<QCameraFormat> &formats,
                                     const QCameraFormat &current, QWidget *parent)
    : QDialog(parent)
    , m_formats(formats)
{
    setObjectName(QStringLiteral("frmVideoFormat"));
    setWindowTitle(QStringLiteral("Video Format"));
    followTitleWithAccessibleName(this);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("lstFormats"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({QStringLiteral("Resolution"), QStringLiteral("Frame rate"),
                             QStringLiteral("Pixel format")});
    for (int i = 0; i < formats.size(); ++i) {
        const QCameraFormat &format = formats.at(i);
        auto *row = new QTreeWidgetItem(m_list, {resolutionText(format), frameRateText(format),
                                                 QVideoFrameFormat::pixelFormatToString(format.pixelFormat())});
        row->setData(0, Qt::UserRole, i);
        if (format == current)
            m_list->setCurrentItem(row);
    }
    if (!m_list->currentItem() && m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto *caption = new QLabel(QStringLiteral("&Formats of %1:").arg(camera), this);
    caption->setBuddy(m_list);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QTreeWidget::itemActivated, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
}

QCameraFormat VideoFormatDialog::chosenFormat() const
{
    const QTreeWidgetItem *row = m_list->currentItem();
    return row ? m_formats.value(row->data(0, Qt::UserRole).toInt()) : QCameraFormat();
}

QString VideoFormatDialog::resolutionText(const QCameraFormat &format)
{
    return QStringLiteral("%1 x %2").arg(format.resolution().width()).arg(format.resolution().height());
}

QString VideoFormatDialog::frameRateText(const QCameraFormat &format)
{
    const float low = format.minFrameRate();
    const float high = format.maxFrameRate();
    // A camera that gives one rate may report only its upper bound.
    if (low <= 0 || qFuzzyCompare(low, high))
        return QStringLiteral("%1 frames/s").arg(double(high));
    return QStringLiteral("%1-%2 frames/s").arg(double(low)).arg(double(high));
}
