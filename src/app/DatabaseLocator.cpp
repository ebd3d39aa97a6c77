#include "DatabaseLocator.h"

#include "core/Dialogs.h"
#include "ModGen.h"
#include "core/Platform.h"
#include "core/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

DatabaseLocator::FolderSource &shareSource()
{
    static DatabaseLocator::FolderSource source;
    return source;
}

DatabaseLocator::FolderSource &programSource()
{
    static DatabaseLocator::FolderSource source;
    return source;
}

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

QString DatabaseLocator::shareFolder()
{
    if (shareSource())
        return shareSource()();
    if (!platform::hasUncPaths())
        return QString();
    const QString machine = modGen::getMachineName();
    if (machine.isEmpty())
        return QString();
    return QStringLiteral("\\\\") + machine + QStringLiteral("\\Quorvex\\");
}

QString DatabaseLocator::programFolder()
{
    if (programSource())
        return programSource()();
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath()) + QDir::separator();
}

void DatabaseLocator::setShareFolderSource(FolderSource source)
{
    shareSource() = std::move(source);
}

void DatabaseLocator::setProgramFolderSource(FolderSource source)
{
    programSource() = std::move(source);
}

bool DatabaseLocator::holdsDatabase(const QString &folder)
{
    return !folder.isEmpty() && modGen::fileExists(folder + QLatin1String(modGen::DatabaseFileName));
}

void DatabaseLocator::forget()
{
    modGen::dbFolder().clear();
    SettingKeys::DBPath.write(QString());
}

bool DatabaseLocator::found(const QString &folder)
{
    modGen::dbFolder() = folder;
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
    modGen::dbFolder() = folder;
    if (!folder.isEmpty()) {
        if (holdsDatabase(folder))
            return true;
        forget();
    }

    // 2. This machine's share, where the system has one.
    folder = shareFolder();
    if (!folder.isEmpty()) {
        if (holdsDatabase(folder))
            return found(folder);
        forget();
    }

    // 3. The program's folder.
    folder = programFolder();
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
