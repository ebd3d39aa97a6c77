#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

// The picture box of the start-up's progress bar: it draws the percentage bar
// into an image and paints that, so the bar survives repaints.
class ProgressBox : public QWidget
{
    Q_OBJECT
public:
    explicit ProgressBox(QWidget *parent = nullptr);

    // Draws the bar at `fraction` (0 to 1) and repaints at once. Unless `exact`,
    // the percentage stays off both ends (1 to 99).
    void showProgress(float fraction, bool exact = false);

    const QImage &image() const { return m_image; }
    // The percentage and text drawn last (-1 and empty before the first drawing).
    int lastPercent() const { return m_percent; }
    QString lastText() const { return m_text; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void setProgress(const QImage &image, int percent, const QString &text);

    QImage m_image;
    int m_percent = -1;
    QString m_text;
};
