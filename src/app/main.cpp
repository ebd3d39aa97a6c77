#include "core/Dialogs.h"
#include "app/SplashWindow.h"

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

    SplashWindow splash;
    if (!splash.formLoad()) {
        Dialogs::install(nullptr);
        return 1;
    }
    const int status = QApplication::exec();
    Dialogs::install(nullptr);
    return status;
}
