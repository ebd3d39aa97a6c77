#include "PasswordBox.h"

#include "core/Dialogs.h"
#include "data/ServerPasswords.h"

QString PasswordBox::title()
{
    return QStringLiteral("Database Server Password");
}

QString PasswordBox::promptFor(const PasswordRequest &request)
{
    // Short lines: the box is as wide as its longest line. libpq's own words on a
    // refusal only repeat that the password failed.
    QString prompt = QStringLiteral("The database server %1 asks for the password of \"%2\"\rto open the database "
                                    "\"%3\".")
                         .arg(request.server, request.user, request.database);
    if (request.refused)
        prompt += QStringLiteral("\r\rThe password given was not accepted. Type it again, or Cancel.");
    return prompt;
}

void PasswordBox::install()
{
    ServerPasswords::setProvider([](const PasswordRequest &request) {
        return Dialogs::instance().password(nullptr, promptFor(request), title());
    });
}
