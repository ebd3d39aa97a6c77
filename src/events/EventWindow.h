#pragma once

#include "bindings/CommandRunner.h"

#include <QDialog>

class DataControl;
class AppContext;
class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

// "frmEvent", caption "Event Setup": create, edit, delete and choose events.
// Always shown modally (through Dialogs::showModal); OK writes what is pending and
// reports the chosen event (eventChosen); Cancel throws the pending change away
// and leaves the chosen event unchanged. Deleting an event deletes its attendees
// and their donations with it, after a question that says how many. Each showing
// after an unload is a fresh window.
class EventWindow : public QDialog
{
    Q_OBJECT
public:
    EventWindow(const AppContext &context, QWidget *owner);

    // Opens the events; errors are raised again with "\rProgram will Terminate"
    // appended to the description.
    void formLoad();

    // How the window was closed: "OK", "Cancel", or empty while open.
    QString tag() const { return m_tag; }
    // True once OK or Cancel unloaded the window (it is deleted later).
    bool isUnloaded() const { return m_unloaded; }

    DataControl *datPrimaryRS() const;

signals:
    // OK: the event shown (its ProgramID as text and its name) is the chosen one.
    void eventChosen(const QString &key, const QString &name);

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

    const AppContext &m_context;
    CommandRunner m_runner {this};
    DataControl *m_datPrimaryRS = nullptr;
    QLineEdit *m_txtFields[9] = {};
    QDateEdit *m_dtPicker[2] = {};
    QCheckBox *m_chkFundRaising = nullptr;
    QPushButton *m_cmdOK = nullptr;

    QString m_tag;
    bool m_unloaded = false;
    bool m_unloading = false;
};
