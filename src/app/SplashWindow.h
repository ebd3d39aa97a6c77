#pragma once

#include "register/StartupSteps.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class AppContext;
class QLabel;
class ProgressBox;
class RegisterWindow;

// The start-up window "frmSplash": shows the product, version and user, draws
// the progress bar and drives the load of the registration window (to which it
// is the start-up's steps: the database search and the progress).
class SplashWindow : public QWidget, private StartupSteps
{
    Q_OBJECT
public:
    explicit SplashWindow(AppContext &context, QWidget *parent = nullptr);
    ~SplashWindow() override;

    // The whole start-up. True when the main window is shown; false after the
    // failure box was shown and every window closed (the program then ends
    // with a non-zero status).
    bool formLoad();

    // The progress box the main window's load draws into.
    QWidget *picStatus() const;
    ProgressBox *progressBox() const { return m_picStatus; }
    // Repaints the window at once (the main window's one explicit refresh).
    void refresh() override;

    // The main window once the start-up succeeded (null before and after a failure).
    RegisterWindow *mainWindow() const;

    // "Version 1.2.3": the program's version, as the About window shows it too.
    static QString versionText();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool locateDatabase() override;
    void showProgress(float fraction) override;
    bool fail(const QString &source, const QString &description);
    void centreOnScreen();

    AppContext &m_context;
    QLabel *m_imgLogo = nullptr;
    QLabel *m_lblVersion = nullptr;
    QLabel *m_lblUser1 = nullptr;
    ProgressBox *m_picStatus = nullptr;
    QPointer<RegisterWindow> m_register;
    // Read for display only; nothing in the program writes them.
    QString m_defName;
    QString m_defCompany;
};
