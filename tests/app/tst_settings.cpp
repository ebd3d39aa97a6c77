#include "core/Settings.h"
#include "TestEnvironment.h"
#include "TestHelpers.h"

#include <QSettings>
#include <QTest>

// The settings store: case-insensitive sections and keys, nesting, defaults,
// persistence in its INI file, and values handed back exactly as stored.
class TestSettings : public QObject
{
    Q_OBJECT

    // What the INI file holds under `key`, read past the wrapper.
    static QString raw(const QString &key)
    {
        return QSettings(Settings::storeFile(), QSettings::IniFormat).value(key).toString();
    }

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        QVERIFY(Settings::storeFile().startsWith(m_env->root())); // never the user's store
    }

    void sectionsAndKeysIgnoreCaseAndBackslashNests()
    {
        SettingKeys::OverlayWrite.write("True");
        QCOMPARE(SettingKeys::Overlay.read("False"), "True");
        // One value, not two: a write under another spelling replaces it.
        Settings::save("video\\PREFERENCES", "OVERLAY", "False");
        QSettings store(Settings::storeFile(), QSettings::IniFormat);
        store.beginGroup("video/preferences");
        QCOMPARE(store.childKeys(), QStringList {"overlay"});
        QCOMPARE(Settings::get("VIDEO\\Preferences", "oVeRlAy"), "False");

        // The parent section's own key is a different value.
        SettingKeys::DriverIndex.write("2");
        Settings::save("Video", "driverindex", "top level");
        QCOMPARE(raw("video/driver/driverindex"), "2");
        QCOMPARE(SettingKeys::DriverIndex.read(), "2");
        QCOMPARE(Settings::get("Video", "DriverIndex"), "top level");

        // A file edited by hand matches in any case; its values come back as text, commas and all.
        QVERIFY(testHelpers::writeFile(Settings::storeFile(),
                                       "[IDColor]\nIdColor=red,green\n[Video]\nPreferences\\OverLay=maybe\n"));
        QCOMPARE(SettingKeys::IdColor.read("0"), "red,green");
        QCOMPARE(SettingKeys::Overlay.read("False"), "maybe");
    }

    void defaultsReplacesAndPersistence()
    {
        QCOMPARE(Settings::get("Nowhere", "Nothing", "dflt"), "dflt");
        QCOMPARE(SettingKeys::Logo.read(), "Logo\\logo.bmp");
        // A stored empty value is a value: the default does not replace it, and it is not deleted.
        SettingKeys::Logo.write("first.bmp");
        SettingKeys::Logo.write(QString());
        QCOMPARE(SettingKeys::Logo.read(), QString());
        QVERIFY(QSettings(Settings::storeFile(), QSettings::IniFormat).contains("logo/idlogo"));

        // Written by another process and read back through the wrapper, exactly as stored.
        for (const char *value : {"12abc", "@Variant(", "  padded  ", "Grüße \\ \"x\""}) {
            QSettings other(Settings::storeFile(), QSettings::IniFormat);
            other.setValue("header1/header1", value);
            other.sync();
            QCOMPARE(SettingKeys::Header1.read(), value);
            SettingKeys::IdColor.write(value);
            QCOMPARE(raw("idcolor/idcolor"), value);
        }
    }

private:
    std::unique_ptr<TestEnvironment> m_env;
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
