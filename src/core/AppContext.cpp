#include "AppContext.h"

#include "ModGen.h"
#include "Platform.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QPrinterInfo>
#include <QUrl>

AppContext::AppContext()
    : openUrl([](const QUrl &url, const QString &) { return QDesktopServices::openUrl(url); })
    , installedPrinters([] { return QPrinterInfo::availablePrinterNames(); })
    , shareFolder([] {
        if (!platform::hasUncPaths())
            return QString();
        const QString machine = modGen::getMachineName();
        return machine.isEmpty() ? QString() : QStringLiteral("\\\\") + machine + QStringLiteral("\\Quorvex\\");
    })
    , programFolder([] { return QDir::toNativeSeparators(QCoreApplication::applicationDirPath()) + QDir::separator(); })
{
}

QString AppContext::databaseFile() const
{
    return dbFolder + QLatin1String(DatabaseFileName);
}

QString AppContext::databaseLocation() const
{
    return serverUrl.isEmpty() ? databaseFile() : serverUrl;
}

bool AppContext::hasDatabase() const
{
    return !serverUrl.isEmpty() || !dbFolder.isEmpty();
}
