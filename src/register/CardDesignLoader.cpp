#include "CardDesignLoader.h"

#include "core/AppError.h"
#include "app/ModGen.h"
#include "core/Settings.h"
#include "idcard/CardWidget.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmap>

namespace CardDesignLoader {

namespace {

// The numbers the original platform gave these failures.
constexpr int FileNotFound = 53;
constexpr int InvalidPicture = 481;
constexpr int TypeMismatch = 13;

} // namespace

QString resolveLogoPath(const QString &storedPath)
{
    const QString path = modGen::toNativePath(storedPath);
    if (path.isEmpty())
        return QString();
    if (QDir::isAbsolutePath(path))
        return QFileInfo::exists(path) ? path : QString();
    const QStringList bases = {QDir::currentPath(), QCoreApplication::applicationDirPath()};
    for (const QString &base : bases) {
        const QString candidate = QDir(base).filePath(path);
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    return QString();
}

quint32 parseColor(const QString &stored)
{
    bool ok = false;
    const qlonglong value = stored.trimmed().toLongLong(&ok);
    // Stored as a signed decimal 32-bit number; an unsigned one is accepted as well.
    if (!ok || value < qlonglong(INT32_MIN) || value > qlonglong(UINT32_MAX)) {
        throw AppError(TypeMismatch, QStringLiteral("ID Card Colour"),
                       QStringLiteral("The stored card colour \"%1\" is not a number. Choose the card colour "
                                      "again by clicking the card, or remove the value %2\\%3 from the "
                                      "settings, then start again.")
                           .arg(stored, QLatin1String(SettingKeys::IdColor.section),
                                QLatin1String(SettingKeys::IdColor.key)));
    }
    return quint32(value);
}

void restore(CardWidget *card)
{
    card->setHeader(0, SettingKeys::Header1.read());
    card->setHeader(1, SettingKeys::Header2.read());

    const QString stored = SettingKeys::Logo.read();
    const QString file = resolveLogoPath(stored);
    if (file.isEmpty()) {
        throw AppError(FileNotFound, QStringLiteral("ID Card Logo"),
                       QStringLiteral("The card logo \"%1\" was not found (looked in %2 and in %3). Put the "
                                      "picture file back in its place, then start again.")
                           .arg(stored, QDir::toNativeSeparators(QDir::currentPath()),
                                QDir::toNativeSeparators(QCoreApplication::applicationDirPath())));
    }
    QImageReader reader(file);
    const QImage image = reader.read();
    if (image.isNull()) {
        throw AppError(InvalidPicture, QStringLiteral("ID Card Logo"),
                       QStringLiteral("The card logo \"%1\" cannot be loaded: %2. Replace it with a picture "
                                      "file (bmp, ico, jpg or gif), then start again.")
                           .arg(QDir::toNativeSeparators(file), reader.errorString()));
    }
    card->setLogo(QPixmap::fromImage(image));

    card->setColor(parseColor(SettingKeys::IdColor.read(QString::number(qint32(card->color())))));
}

} // namespace CardDesignLoader
