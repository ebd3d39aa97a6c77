#include "PictureConverter.h"

#include "core/AppError.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>

QString PictureConverter::programPath() const
{
    return m_programFolder + QStringLiteral("util1.sp");
}

QStringList PictureConverter::arguments(const QString &bitmap, const QString &jpeg)
{
    return {QStringLiteral("-quality"), QStringLiteral("65"), QStringLiteral("-optimize"), bitmap, jpeg};
}

PictureConverter::Result PictureConverter::run(const QString &bitmap, const QString &jpeg, int timeLimitMs) const
{
    const QString program = programPath();
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, arguments(bitmap, jpeg), QIODevice::ReadOnly);
    if (!process.waitForStarted(timeLimitMs))
        throw AppError(-1, QStringLiteral("util1.sp"),
                       QStringLiteral("The picture converter %1 could not be started: %2")
                           .arg(program, process.errorString()));

    if (process.state() != QProcess::NotRunning) {
        QEventLoop loop;
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        limit.start(timeLimitMs);
        loop.exec();
        // The loop also ends when the program is quitting: the photo is still
        // finished within the time limit.
        if (process.state() != QProcess::NotRunning && limit.isActive())
            process.waitForFinished(limit.remainingTime());
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(1000);
        return {Outcome::TimedOut, QString()};
    }
    const QString errors = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    if (process.exitStatus() != QProcess::NormalExit)
        return {Outcome::Failed, errors.isEmpty() ? QStringLiteral("the converter ended abnormally") : errors};
    if (process.exitCode() != 0)
        return {Outcome::Failed,
                errors.isEmpty() ? QStringLiteral("the converter ended with status %1").arg(process.exitCode())
                                 : errors};
    return {Outcome::Converted, QString()};
}
