#pragma once

#include <QWidget>

class QLabel;
class ProgressBox;

// The start-up window "frmSplash": shows the product, version and user, draws
// the progress bar and drives the load of the registration window.
class SplashWindow : public QWidget
{
    Q_OBJECT
public:
    explicit SplashWindow(QWidget *parent = nullptr);

    // The whole start-up. True when the main window is shown; false after the
    // failure box was shown and every window closed (the program then ends
    // with a non-zero status).
    bool formLoad();

    // The progress box the main window's load draws into.
    QWidget *picStatus() const;
    // Repaints the window at once (the main window's one explicit refresh).
    void refresh();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
