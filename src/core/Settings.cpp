#include "Settings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

namespace {

// Empty: the user's own store; otherwise the folder a test pointed the store at.
QString &storeFolderOverride()
{
    static QString folder;
    return folder;
}

QString storeFolder()
{
    if (!storeFolderOverride().isEmpty())
        return storeFolderOverride();
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/")
        + Settings::applicationName();
}

// INI files are case-sensitive on every platform but Windows' registry was not:
// fold section and key to lower case so "OverLay" and "Overlay" are one value.
// A backslash in a section nests it as a subgroup ("Video\preferences").
QString foldedKey(const QString &section, const QString &key)
{
    QString group = section.toLower();
    group.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (group.endsWith(QLatin1Char('/')))
        group.chop(1);
    return group + QLatin1Char('/') + key.toLower();
}

} // namespace

QString Settings::storeFile()
{
    return QDir(storeFolder()).filePath(applicationName() + QStringLiteral(".ini"));
}

// Never throws: whatever is stored comes back as text, and turning that text
// into a number or a Boolean is the reader's business.
QString Settings::get(const QString &section, const QString &key, const QString &defaultValue)
{
    QSettings store(storeFile(), QSettings::IniFormat);
    const QString folded = foldedKey(section, key);
    QVariant value = store.value(folded);
    if (!value.isValid()) {
        // A file edited by hand may spell a name in capitals: still the same value.
        const QStringList keys = store.allKeys();
        for (const QString &stored : keys)
            if (stored.compare(folded, Qt::CaseInsensitive) == 0) {
                value = store.value(stored);
                break;
            }
    }
    if (!value.isValid())
        return defaultValue;
    // An INI value with unquoted commas (edited by hand) reads as a list: give it back as typed.
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

void Settings::save(const QString &section, const QString &key, const QString &value)
{
    QSettings store(storeFile(), QSettings::IniFormat);
    store.setValue(foldedKey(section, key), value);
    store.sync();
}

void Settings::setStoreFolderForTesting(const QString &folder)
{
    storeFolderOverride() = folder;
}

QString SettingKey::read() const
{
    return Settings::get(QString::fromUtf8(section), QString::fromUtf8(key),
                         defaultValue ? QString::fromUtf8(defaultValue) : QString());
}

QString SettingKey::read(const QString &defaultOverride) const
{
    return Settings::get(QString::fromUtf8(section), QString::fromUtf8(key), defaultOverride);
}

void SettingKey::write(const QString &value) const
{
    Settings::save(QString::fromUtf8(section), QString::fromUtf8(key), value);
}
