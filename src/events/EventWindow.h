#pragma once

#include <QDialog>
#include <QPointer>

class DataControl;
class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class RegisterWindow;

// "frmEvent", caption "Event Setup": create, edit, delete and choose events.
// Always shown modally (through Dialogs::showModal); OK hands the chosen event to
// the registration window, Cancel leaves it unchanged. Each showing after an
// unload is a fresh window.
class EventWindow : public QDialog
{
    Q_OBJECT
public:
    // `main` receives the chosen event on OK; null skips the hand-over.
    explicit EventWindow(RegisterWindow *main);

    // Opens the events; errors are raised again with "\rProgram will Terminate"
    // appended to the description.
    void formLoad();

    // How the window was closed: "OK", "Cancel", or empty while open.
    QString tag() const { return m_tag; }
    // True once OK or Cancel unloaded the window (it is deleted later).
    bool isUnloaded() const { return m_unloaded; }

    DataControl *datPrimaryRS() const;

public slots:
    void cmdAdd_Click();
    void cmdUpdate_Click();
    void cmdDelete_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    // Esc and the close box cancel through cmdCancel_Click.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void datPrimaryRS_Reposition();
    void saveEvent();
    void deleteEvent();
    void unloadWindow(int result);
    void formUnload();
    void reportError(const QString &description);

    QPointer<RegisterWindow> m_main;
    DataControl *m_datPrimaryRS = nullptr;
    QLineEdit *m_txtFields[9] = {};
    QDateEdit *m_dtPicker[2] = {};
    QCheckBox *m_chkFundRaising = nullptr;
    QPushButton *m_cmdOK = nullptr;

    QString m_tag;
    bool m_unloaded = false;
    bool m_unloading = false;
};
