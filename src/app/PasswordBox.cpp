#include "PasswordBox.h"

#include "core/Dialogs.h"
#include "data/ServerPasswords.h"

QString PasswordBox::title()
{
    return QStringLiteral("Database Server Password");
}

QString PasswordBox::promptFor(const PasswordRequest &request)
{
    QString prompt = QStringLiteral("The database server %1 asks for the password of \"%2\" to open the database "
                                    "\"%3\".")
                         .arg(request.server, request.user, request.database);
    if (request.refused)
        prompt += QStringLiteral("\r\rThe password given was not accepted%1. Type it again, or Cancel.")
                      .arg(request.reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(request.reason));
    return prompt;
}

void PasswordBox::install()
{
    ServerPasswords::setProvider([](const PasswordRequest &request) {
        return Dialogs::instance().password(nullptr, promptFor(request), title());
    });
}
