#include "CardDesignLoader.h"

#include "CardContent.h"
#include "CardFace.h"
#include "core/AppError.h"
#include "core/ModGen.h"
#include "core/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>

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

bool parseShowCode(const QString &stored)
{
    return stored.trimmed().compare(QLatin1String("False"), Qt::CaseInsensitive) != 0;
}

void read(CardFace &face, const QString &appFolder)
{
    // Each part on its own: a store that cannot be read leaves that part as it was.
    ignoreErrors([&] { face.header[0] = SettingKeys::Header1.read(); });
    ignoreErrors([&] { face.header[1] = SettingKeys::Header2.read(); });

    // A card without its logo is still a card: the desk can work and a click on
    // the logo sets a new one.
    ignoreErrors([&] {
        const QString file = resolveLogoPath(SettingKeys::Logo.read(), appFolder);
        face.logo = file.isEmpty() ? QImage() : CardFace::drawable(QImageReader(file).read());
    });

    ignoreErrors([&] {
        if (const std::optional<quint32> color = parseColor(SettingKeys::IdColor.read(QString())))
            face.color = *color;
    });
    ignoreErrors([&] { face.showCode = parseShowCode(SettingKeys::QrCode.read()); });
}

void restore(CardContent &content, const QString &appFolder)
{
    CardFace face = content.face();
    read(face, appFolder);
    content.setFace(face);
}

} // namespace CardDesignLoader
