#pragma once

#include <QDialog>

class DataControl;
class RegisterWindow;

// "frmEvent", caption "Event Setup": create, edit, delete and choose events.
// Always shown modally (through Dialogs::showModal); OK hands the chosen event to
// the registration window, Cancel leaves it unchanged. Each showing after an
// unload is a fresh window.
class EventWindow : public QDialog
{
    Q_OBJECT
public:
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

private:
    QString m_tag;
    bool m_unloaded = false;
};
