#include "ModGen.h"

#include "AppContext.h"
#include "AppError.h"
#include "Dialogs.h"
#include "Platform.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPointer>
#include <QSysInfo>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <algorithm>

namespace modGen {

namespace {

bool isSeparator(QChar c)
{
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
}

qsizetype lastSeparator(const QString &path)
{
    return std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
}

// "mailto:...", "http://...": a link for the desktop, not a file. A drive letter
// ("C:") is not a scheme.
bool isLink(const QString &document)
{
    const qsizetype colon = document.indexOf(QLatin1Char(':'));
    if (colon < 2)
        return false;
    for (qsizetype i = 0; i < colon; ++i) {
        const QChar c = document.at(i);
        if (!(c.isLetterOrNumber() || c == QLatin1Char('+') || c == QLatin1Char('-') || c == QLatin1Char('.')))
            return false;
    }
    return true;
}

// The shell's numbers: above 32 is success; 2 file not found; 31 no association.
constexpr int OpenSucceeded = 42;
constexpr int OpenFileNotFound = 2;
constexpr int OpenNoAssociation = 31;

} // namespace

void ensureFolder(const QString &path)
{
    QString folder = path;
    while (folder.size() > 1 && isSeparator(folder.back()))
        folder.chop(1);
    const QFileInfo info(folder);
    if (info.exists() || folder.isEmpty())
        return; // something is there already: nothing to create
    const QFileInfo parent(info.absolutePath());
    if (!parent.isDir())
        throw AppError(76, QStringLiteral("Create Folder"),
                       QStringLiteral("Path not found: the folder \"%1\" cannot be created because \"%2\" does not "
                                      "exist. Check the database and program folders.")
                           .arg(QDir::toNativeSeparators(folder), QDir::toNativeSeparators(parent.filePath())));
    if (!QDir().mkdir(folder))
        throw AppError(75, QStringLiteral("Create Folder"),
                       QStringLiteral("Path/File access error: the folder \"%1\" cannot be created. Check that "
                                      "you may write to \"%2\".")
                           .arg(QDir::toNativeSeparators(folder), QDir::toNativeSeparators(parent.filePath())));
}

QString getMachineName()
{
    QString name = QSysInfo::machineHostName();
    name.remove(QChar(u'\0'));
    return name.trimmed();
}

void pause(qint32 ms)
{
    // A nested event loop that a timer ends: the window keeps painting and
    // answering input, and the processor sleeps meanwhile.
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    qint64 remaining = ms;
    do {
        timer.start(int(std::max<qint64>(remaining, 0)));
        loop.exec();
        remaining = qint64(ms) - clock.elapsed();
    } while (remaining > 0);
}

bool fileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.isFile() && info.size() >= 0;
}

QString getFolderPart(const QString &path)
{
    const qsizetype at = lastSeparator(path);
    return at < 0 ? path : path.left(at + 1);
}

QString getFilePart(const QString &path)
{
    const qsizetype at = lastSeparator(path);
    return at < 0 ? path : path.mid(at + 1);
}

QString getShortPath(const QString &path)
{
    if (path.isEmpty())
        return QString();
    if (lastSeparator(path) < 0) // a bare name: only itself when it is there
        return QFileInfo::exists(path) ? path : QString();
    const QString shortFolder = platform::shortFolder(getFolderPart(path)).trimmed();
    if (shortFolder.isEmpty())
        return QString();
    return getFolderPart(shortFolder) + getFilePart(path);
}

QString versionText()
{
    return QStringLiteral("Version %1.%2.%3")
        .arg(QUORVEX_VERSION_MAJOR)
        .arg(QUORVEX_VERSION_MINOR)
        .arg(QUORVEX_VERSION_PATCH);
}

int openDocument(const AppContext &context, const QString &document, const QString &verb)
{
    if (document.isEmpty())
        return 0;
    int result = OpenSucceeded;
    QUrl url;
    if (isLink(document)) {
        url = QUrl(document);
    } else if (!QFileInfo::exists(document)) {
        result = OpenFileNotFound;
    } else {
        url = QUrl::fromLocalFile(QFileInfo(document).absoluteFilePath());
    }
    if (result == OpenSucceeded) {
        const bool opened = context.openUrl && context.openUrl(url, verb);
        if (!opened)
            result = OpenNoAssociation;
    }
    if (result <= 32) {
        Dialogs::instance().message(QApplication::activeWindow(),
                                    QString::number(result) + QStringLiteral(" Error Executing:") + document
                                        + QStringLiteral("\rPlease report this error to ")
                                        + QLatin1String(SupportAddress),
                                    QStringLiteral("Warning"), MsgButtons::Ok, MsgIcon::Information);
    }
    return result;
}

void closeAllForms(AppContext &context)
{
    ignoreErrors([] {
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
    });
    if (context.findOpen) {
        ignoreErrors([] {
            const auto windows = QApplication::topLevelWidgets();
            for (QWidget *window : windows)
                if (window->objectName() == QLatin1String("frmFind"))
                    window->close();
        });
        context.findOpen = false;
    }
    QList<QPointer<QWidget>> windows;
    for (QWidget *window : QApplication::topLevelWidgets())
        windows.append(window);
    for (const QPointer<QWidget> &window : windows)
        ignoreErrors([&window] {
            if (window)
                window->close();
        });
}

QString toNativePath(const QString &storedPath)
{
    QString path = storedPath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::toNativeSeparators(path);
}

} // namespace modGen
