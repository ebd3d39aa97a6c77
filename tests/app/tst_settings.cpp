#include "core/Settings.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QSettings>
#include <QTest>

// The settings store: case-insensitive sections and keys, nesting, defaults,
// persistence in its INI file, and values handed back exactly as stored.
class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        QVERIFY(Settings::storeFile().startsWith(m_env->root())); // never the user's store
    }

    void sectionsAndKeysIgnoreCase()
    {
        SettingKeys::OverlayWrite.write(QStringLiteral("True"));
        QCOMPARE(SettingKeys::Overlay.read(QStringLiteral("False")), QStringLiteral("True"));
        QCOMPARE(Settings::get(QStringLiteral("VIDEO\\Preferences"), QStringLiteral("oVeRlAy")), QStringLiteral("True"));
        // One value, not two: a write under another spelling replaces it.
        Settings::save(QStringLiteral("video\\PREFERENCES"), QStringLiteral("OVERLAY"), QStringLiteral("False"));
        QSettings raw(Settings::storeFile(), QSettings::IniFormat);
        raw.beginGroup(QStringLiteral("video/preferences"));
        QCOMPARE(raw.childKeys(), QStringList {QStringLiteral("overlay")});
        QCOMPARE(SettingKeys::Overlay.read(), QStringLiteral("False"));

        // A file edited by hand matches in any case; its values come back as text, commas and all.
        QFile file(Settings::storeFile());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[IDColor]\nIdColor=red,green\n[Video]\nPreferences\\OverLay=maybe\n");
        file.close();
        QCOMPARE(SettingKeys::IdColor.read(QStringLiteral("0")), QStringLiteral("red,green"));
        QCOMPARE(SettingKeys::Overlay.read(QStringLiteral("False")), QStringLiteral("maybe"));
    }

    void backslashNestsTheSection()
    {
        SettingKeys::DriverIndex.write(QStringLiteral("2"));
        Settings::save(QStringLiteral("Video"), QStringLiteral("driverindex"), QStringLiteral("top level"));
        QSettings raw(Settings::storeFile(), QSettings::IniFormat);
        QCOMPARE(raw.value(QStringLiteral("video/driver/driverindex")).toString(), QStringLiteral("2"));
        // The parent section's own key is a different value.
        QCOMPARE(SettingKeys::DriverIndex.read(), QStringLiteral("2"));
        QCOMPARE(Settings::get(QStringLiteral("Video"), QStringLiteral("DriverIndex")), QStringLiteral("top level"));
    }

    void defaultsReplacesAndPersistence()
    {
        QCOMPARE(Settings::get(QStringLiteral("Nowhere"), QStringLiteral("Nothing"), QStringLiteral("dflt")),
                 QStringLiteral("dflt"));
        QCOMPARE(SettingKeys::Logo.read(), QStringLiteral("Logo\\logo.bmp"));
        // A stored empty value is a value: the default does not replace it, and it is not deleted.
        SettingKeys::Logo.write(QStringLiteral("first.bmp"));
        SettingKeys::Logo.write(QString());
        QCOMPARE(SettingKeys::Logo.read(), QString());
        QSettings raw(Settings::storeFile(), QSettings::IniFormat);
        QVERIFY(raw.contains(QStringLiteral("logo/idlogo")));

        // Written by another process and read back through the wrapper, exactly as stored.
        for (const QString &value : {QStringLiteral("12abc"), QStringLiteral("@Variant("), QStringLiteral("  padded  "),
                                     QStringLiteral("Grüße \\ \"x\"")}) {
            QSettings other(Settings::storeFile(), QSettings::IniFormat);
            other.setValue(QStringLiteral("header1/header1"), value);
            other.sync();
            QCOMPARE(SettingKeys::Header1.read(), value);
            SettingKeys::IdColor.write(value);
            QCOMPARE(QSettings(Settings::storeFile(), QSettings::IniFormat).value("idcolor/idcolor").toString(), value);
        }
    }

private:
    std::unique_ptr<TestEnvironment> m_env;
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
