#include "Platform.h"

#include <QDir>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <iterator>
#include <qt_windows.h>
#endif

namespace platform {

QString shortFolder(const QString &folder)
{
    if (folder.trimmed().isEmpty())
        return QString();
#ifdef Q_OS_WIN
    const std::wstring wide = QDir::toNativeSeparators(folder).toStdWString();
    wchar_t buffer[1024];
    const DWORD length = GetShortPathNameW(wide.c_str(), buffer, DWORD(std::size(buffer)));
    if (length == 0 || length >= std::size(buffer))
        return QString();
    QString result = QString::fromWCharArray(buffer, int(length)).trimmed();
    if (!result.isEmpty() && !result.endsWith(QLatin1Char('\\')) && QFileInfo(result).isDir())
        result += QLatin1Char('\\');
    return result;
#else
    const QFileInfo info(folder);
    if (!info.isDir())
        return QString();
    QString result = QDir::toNativeSeparators(folder);
    if (!result.endsWith(QDir::separator()))
        result += QDir::separator();
    return result;
#endif
}

bool hasUncPaths()
{
#ifdef Q_OS_WIN
    return true;
#else
    return false;
#endif
}

} // namespace platform
