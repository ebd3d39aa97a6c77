#include "CardDesignLoader.h"

#include "core/ModGen.h"
#include "core/AppError.h"
#include "core/Settings.h"
#include "idcard/CardWidget.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmap>

namespace CardDesignLoader {

QString resolveLogoPath(const QString &storedPath, const QString &appFolder)
{
    const QString path = modGen::toNativePath(storedPath);
    if (path.isEmpty())
        return QString();
    QString file = path;
    if (QDir::isRelativePath(path)) {
        const QString program = appFolder.isEmpty() ? QCoreApplication::applicationDirPath() : appFolder;
        file = QDir(program).filePath(path);
    }
    return QFileInfo(file).isFile() ? file : QString();
}

std::optional<quint32> parseColor(const QString &stored)
{
    bool ok = false;
    const qlonglong value = stored.trimmed().toLongLong(&ok);
    if (!ok || value < qlonglong(INT32_MIN) || value > qlonglong(UINT32_MAX))
        return std::nullopt;
    return quint32(value);
}

void restore(CardWidget *card, const QString &appFolder)
{
    // Each line on its own: a store that cannot be read leaves that line as designed.
    ignoreErrors([&] { card->setHeader(0, SettingKeys::Header1.read()); });
    ignoreErrors([&] { card->setHeader(1, SettingKeys::Header2.read()); });

    // A card without its logo is still a card: the desk can work and a click on
    // the logo sets a new one.
    ignoreErrors([&] {
        const QString file = resolveLogoPath(SettingKeys::Logo.read(), appFolder);
        const QImage image = file.isEmpty() ? QImage() : QImageReader(file).read();
        card->setLogo(image.isNull() ? QPixmap() : QPixmap::fromImage(image));
    });

    ignoreErrors([&] {
        if (const std::optional<quint32> color = parseColor(SettingKeys::IdColor.read(QString())))
            card->setColor(*color);
    });
}

} // namespace CardDesignLoader
