#include "DatabaseLocator.h"

#include "core/AppContext.h"
#include "core/Dialogs.h"
#include "core/ModGen.h"
#include "core/Settings.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool endsWithSeparator(const QString &path)
{
    return path.endsWith(QLatin1Char('\\')) || path.endsWith(QLatin1Char('/'));
}

} // namespace

QString DatabaseLocator::promptText()
{
    return QStringLiteral("Enter a Full UNC Path to the Database\rE.g \\\\MyComputerName\\Quorvex\\");
}

QString DatabaseLocator::retryText()
{
    return QStringLiteral("Incorrect Database Path Entered\rPlease check your value and try again. \r"
                          "Path must be in the form shown in the Example");
}

bool DatabaseLocator::holdsDatabase(const QString &folder)
{
    return !folder.isEmpty() && modGen::fileExists(folder + QLatin1String(AppContext::DatabaseFileName));
}

void DatabaseLocator::forget()
{
    m_context.dbFolder.clear();
    SettingKeys::DBPath.write(QString());
}

bool DatabaseLocator::found(const QString &folder)
{
    m_context.dbFolder = folder;
    SettingKeys::DBPath.write(folder);
    return true;
}

QString DatabaseLocator::typedFolder(const QString &answer)
{
    QString folder = answer.trimmed();
    if (!folder.isEmpty() && !endsWithSeparator(folder) && QFileInfo(folder).isDir())
        folder += QDir::separator();
    return folder;
}

bool DatabaseLocator::locate()
{
    // 1. The stored folder (a hand-edited one may lack its separator); a stale
    //    one is skipped without being forgotten.
    QString folder = modGen::getShortPath(typedFolder(SettingKeys::DBPath.read())).trimmed();
    m_context.dbFolder = folder;
    if (!folder.isEmpty()) {
        if (holdsDatabase(folder))
            return true;
        forget();
    }

    // 2. This machine's share, where the system has one.
    folder = m_context.shareFolder ? m_context.shareFolder() : QString();
    if (!folder.isEmpty()) {
        if (holdsDatabase(folder))
            return found(folder);
        forget();
    }

    // 3. The program's folder.
    folder = m_context.programFolder ? m_context.programFolder() : QString();
    if (holdsDatabase(folder))
        return found(folder);
    forget();

    // 4. Ask until the user gives a folder that holds the file, or gives up.
    for (;;) {
        const std::optional<QString> answer =
            Dialogs::instance().input(nullptr, promptText(), promptTitle(), QString());
        if (!answer || answer->trimmed().isEmpty()) {
            forget();
            return false;
        }
        folder = modGen::getShortPath(typedFolder(*answer)).trimmed();
        if (holdsDatabase(folder))
            return found(folder);
        forget();
        Dialogs::instance().message(nullptr, retryText(), retryTitle(), MsgButtons::Ok, MsgIcon::Information);
    }
}
