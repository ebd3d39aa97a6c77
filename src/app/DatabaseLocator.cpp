#include "DatabaseLocator.h"

#include "core/AppContext.h"
#include "core/Dialogs.h"
#include "core/ModGen.h"
#include "core/Settings.h"
#include "data/DataError.h"
#include "data/Database.h"
#include "data/Engine.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

namespace {

bool endsWithSeparator(const QString &path)
{
    return path.endsWith(QLatin1Char('\\')) || path.endsWith(QLatin1Char('/'));
}

QString databaseIn(const QString &folder)
{
    return folder + QLatin1String(AppContext::DatabaseFileName);
}

// A remembered folder that is not there at all: an unmounted share looks like this.
AppError folderNotReached(const QString &folder)
{
    return DataError::makeWithText(DataError::FileNotFound,
                                   QStringLiteral("The folder \"%1\" cannot be reached: it does not exist, or the "
                                                  "network share that holds it is not connected.")
                                       .arg(QDir::toNativeSeparators(folder)));
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

QString DatabaseLocator::unreachableText(const QString &why)
{
    return QStringLiteral("Quorvex could not open its database.\r\r%1\r\rTry Again once it can be reached (for "
                          "example when the network share is connected), give another location, or end Quorvex. "
                          "The database used until now stays the remembered one unless you give another.")
        .arg(why);
}

QStringList DatabaseLocator::unreachableChoices()
{
    return {QStringLiteral("&Try Again"), QStringLiteral("&Other Location..."), QStringLiteral("&End Quorvex")};
}

QString DatabaseLocator::busyText(const QString &location, int seconds)
{
    return QStringLiteral("The database \"%1\" is busy: another workstation has kept it locked for %2 seconds, "
                          "so Quorvex could not open it yet.\r\rTry Again, or end Quorvex and start it again later.")
        .arg(QDir::toNativeSeparators(location))
        .arg(seconds);
}

QStringList DatabaseLocator::busyChoices()
{
    return {QStringLiteral("&Try Again"), QStringLiteral("&End Quorvex")};
}

bool DatabaseLocator::holdsAnything(const QString &folder)
{
    return !folder.isEmpty() && QFileInfo::exists(databaseIn(folder));
}

std::optional<AppError> DatabaseLocator::problemAt(const QString &folder)
{
    QElapsedTimer waited;
    waited.start();
    for (int wait = 1;; ++wait) {
        try {
            Database::openSeparate(databaseIn(folder)); // the file checks and the schema; closed again at once
            return std::nullopt;
        } catch (const AppError &error) {
            // Another workstation in the middle of a long write: wait a while longer.
            m_lockWaitMs = waited.elapsed();
            if (error.number() != DataError::Locked || wait >= BusyWaits)
                return error;
        }
    }
}

std::optional<AppError> DatabaseLocator::problemAtServer(const QString &url)
{
    try {
        Database::openSeparate(url); // reached, logged in, our schema and not a newer one; closed again at once
        return std::nullopt;
    } catch (const AppError &error) {
        return error;
    }
}

bool DatabaseLocator::isServer(const QString &location)
{
    return Engine::isServerLocation(location.trimmed());
}

bool DatabaseLocator::found(const QString &location, bool remember)
{
    if (isServer(location)) {
        m_context.serverUrl = location.trimmed();
        m_context.dbFolder.clear();
        if (remember) // the address without a password: passwords are kept in memory only
            SettingKeys::ServerUrl.write(Engine::forLocation(location).absoluteLocation(location.trimmed()));
        return true;
    }
    m_context.dbFolder = location;
    m_context.serverUrl.clear();
    if (remember) {
        SettingKeys::DBPath.write(location);
        SettingKeys::ServerUrl.write(QString()); // it would win over the folder at the next start
    }
    return true;
}

bool DatabaseLocator::endSearch()
{
    m_context.dbFolder.clear();
    m_context.serverUrl.clear();
    return false;
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
    m_context.dbFolder.clear();
    m_context.serverUrl.clear();
    const QString server = SettingKeys::ServerUrl.read().trimmed();
    if (!server.isEmpty())
        return locateRemembered(server);
    const QString remembered = SettingKeys::DBPath.read().trimmed();
    if (!remembered.isEmpty())
        return locateRemembered(remembered);

    // Nothing remembered: this machine's share (where the system has one), then the
    // program's folder; the first that holds a database wins.
    const QString share = m_context.shareFolder ? m_context.shareFolder() : QString();
    if (holdsAnything(share))
        return settle(share);
    const QString program = m_context.programFolder ? m_context.programFolder() : QString();
    if (holdsAnything(program))
        return settle(program);

    const std::optional<QString> given = askForLocation();
    return given ? found(*given, true) : false;
}

bool DatabaseLocator::locateRemembered(const QString &remembered)
{
    for (;;) {
        if (isServer(remembered)) {
            const std::optional<AppError> problem = problemAtServer(remembered);
            if (!problem)
                return found(remembered, false);
            if (const std::optional<bool> settled = afterFailure(remembered, *problem))
                return *settled;
            continue;
        }
        // A hand-edited value may lack its separator.
        const QString folder = modGen::getShortPath(typedFolder(remembered)).trimmed();
        const std::optional<AppError> problem = folder.isEmpty() ? folderNotReached(remembered) : problemAt(folder);
        if (!problem)
            return found(folder, false); // found where it was: not rewritten
        if (const std::optional<bool> settled =
                afterFailure(databaseIn(folder.isEmpty() ? typedFolder(remembered) : folder), *problem))
            return *settled;
    }
}

// The user's answer to a database that could not be opened: the search's result,
// or nothing when the same location is to be tried again (Try Again, or the
// prompt for another location cancelled: back to the question).
std::optional<bool> DatabaseLocator::afterFailure(const QString &location, const AppError &problem)
{
    switch (askAfterFailure(location, problem)) {
    case Choice::TryAgain:
        return std::nullopt;
    case Choice::OtherLocation:
        if (const std::optional<QString> given = askForLocation())
            return found(*given, true);
        return std::nullopt;
    case Choice::End:
        return endSearch();
    }
    return std::nullopt;
}

bool DatabaseLocator::settle(const QString &folder)
{
    for (;;) {
        const std::optional<AppError> problem = problemAt(folder);
        if (!problem)
            return found(folder, true);
        if (const std::optional<bool> settled = afterFailure(databaseIn(folder), *problem))
            return *settled;
    }
}

std::optional<QString> DatabaseLocator::askForLocation()
{
    for (;;) {
        const std::optional<QString> answer =
            Dialogs::instance().input(nullptr, promptText(), promptTitle(), QString());
        if (!answer || answer->trimmed().isEmpty())
            return std::nullopt;
        if (isServer(*answer)) {
            const QString url = answer->trimmed();
            const std::optional<AppError> problem = problemAtServer(url);
            if (!problem)
                return url;
            // The data layer names the server and says what is wrong; then the prompt again.
            Dialogs::instance().message(nullptr, problem->description(), retryTitle(), MsgButtons::Ok,
                                        MsgIcon::Exclamation);
            continue;
        }
        const QString folder = modGen::getShortPath(typedFolder(*answer)).trimmed();
        if (holdsAnything(folder)) {
            const std::optional<AppError> problem = problemAt(folder);
            if (!problem)
                return folder;
            // Something of that name is there but will not open: the data layer says what.
            Dialogs::instance().message(nullptr, problem->description(), retryTitle(), MsgButtons::Ok,
                                        MsgIcon::Exclamation);
            continue;
        }
        Dialogs::instance().message(nullptr, retryText(), retryTitle(), MsgButtons::Ok, MsgIcon::Information);
    }
}

DatabaseLocator::Choice DatabaseLocator::askAfterFailure(const QString &location, const AppError &problem)
{
    if (problem.number() == DataError::Locked) {
        const int seconds = int((m_lockWaitMs + 999) / 1000);
        const int chosen = Dialogs::instance().choose(nullptr, busyText(location, seconds), retryTitle(),
                                                      busyChoices(), MsgIcon::Exclamation);
        return chosen == 0 ? Choice::TryAgain : Choice::End;
    }
    const int chosen = Dialogs::instance().choose(nullptr, unreachableText(problem.description()), retryTitle(),
                                                  unreachableChoices(), MsgIcon::Exclamation);
    return chosen == 0 ? Choice::TryAgain : chosen == 1 ? Choice::OtherLocation : Choice::End;
}
