#include "PasswordBox.h"
#include "SplashWindow.h"
#include "core/AppContext.h"
#include "core/Dialogs.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvex"));
    QApplication::setOrganizationName(QString());
    // Closing the main window (the last one) ends the program with status 0.
    QApplication::setQuitOnLastWindowClosed(true);

    QtDialogs dialogs;
    Dialogs::install(&dialogs);
    PasswordBox::install(); // a server that asks for a password asks the user, once per run

    AppContext context;
    SplashWindow splash(context);
    if (!splash.formLoad()) {
        Dialogs::install(nullptr);
        return 1;
    }
    const int status = QApplication::exec();
    Dialogs::install(nullptr);
    return status;
}
