#include "LibreOffice.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

QString LibreOffice::convert(const QString &file, const QString &convertTo, const QString &outFolder,
                             const QString &inFilter)
{
    static QTemporaryDir profile;
    QStringList args {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile.path()).toString(),
                      QStringLiteral("--headless"), QStringLiteral("--norestore")};
    if (!inFilter.isEmpty())
        args << QStringLiteral("--infilter=") + inFilter;
    args << QStringLiteral("--convert-to") << convertTo << QStringLiteral("--outdir") << outFolder << file;
    QProcess soffice;
    soffice.setProcessChannelMode(QProcess::MergedChannels);
    soffice.start(QStringLiteral("soffice"), args);
    const bool finished = soffice.waitForFinished(180000);
    const QString extension = convertTo.section(u':', 0, 0);
    const QString converted = QDir(outFolder).filePath(QFileInfo(file).completeBaseName() + u'.' + extension);
    if (!finished || soffice.exitCode() != 0 || !QFileInfo::exists(converted)) {
        qWarning("soffice %s failed: %s", qPrintable(args.join(u' ')), soffice.readAll().constData());
        if (!finished)
            soffice.kill();
        return {};
    }
    return converted;
}
