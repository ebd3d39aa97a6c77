#pragma once

#include <QDialog>

class AppContext;
class QLabel;

// "frmAbout": the program's name, version and disclaimer, with a link that
// starts a mail message to the support address.
class AboutWindow : public QDialog
{
    Q_OBJECT
public:
    explicit AboutWindow(const AppContext &context, QWidget *owner = nullptr);

    // Shows the About window modally (through Dialogs), owned by `owner`.
    static void showAbout(const AppContext &context, QWidget *owner);

    // The disclaimer labels' click: element 2, the address, starts the mail message.
    void lblDisclaimer_Click(int index);

protected:
    // A click on the window's background closes it.
    void mousePressEvent(QMouseEvent *event) override;

private:
    const AppContext &m_context;
};
