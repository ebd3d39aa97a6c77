#pragma once

#include <QCameraFormat>
#include <QDialog>
#include <QList>

class QTreeWidget;

// "Video Format": the formats a camera offers (resolution, frame rate, pixel
// format), one to choose. OK takes the chosen one; the caller applies it.
class VideoFormatDialog : public QDialog
{
    Q_OBJECT
public:
    VideoFormatDialog(const QString &camera, const QList<QCameraFormat> &formats, const QCameraFormat &current,
                      QWidget *parent = nullptr);

    // The format of the selected row (a null format when none is selected).
    QCameraFormat chosenFormat() const;
    QTreeWidget *lstFormats() const { return m_list; }

    // "1280 x 720", "30 frames/s" (or "15-30 frames/s" for a range).
    static QString resolutionText(const QCameraFormat &format);
    static QString frameRateText(const QCameraFormat &format);

private:
    QList<QCameraFormat> m_formats;
    QTreeWidget *m_list = nullptr;
};
