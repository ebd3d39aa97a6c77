#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

// The picture box of the start-up's progress bar: it keeps the image that
// modGen::showProgress() drew and paints it, so the bar survives repaints.
class ProgressBox : public QWidget
{
    Q_OBJECT
public:
    explicit ProgressBox(QWidget *parent = nullptr);

    // Takes a newly drawn bar and repaints at once.
    void setProgress(const QImage &image, int percent, const QString &text);

    const QImage &image() const { return m_image; }
    // The percentage and text drawn last (-1 and empty before the first drawing).
    int lastPercent() const { return m_percent; }
    QString lastText() const { return m_text; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_image;
    int m_percent = -1;
    QString m_text;
};
