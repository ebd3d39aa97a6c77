#include "app/Settings.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

// The settings store: case-insensitive sections and keys, nesting, defaults,
// persistence in its INI file, and values handed back exactly as stored.
class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
        Settings::setStoreFolderForTesting(m_dir->path());
    }
    void cleanup() { Settings::setStoreFolderForTesting(QString()); }

    void storeLivesInTheTestFolder()
    {
        QVERIFY(Settings::storeFile().startsWith(m_dir->path()));
        Settings::save(QStringLiteral("DBPath"), QStringLiteral("Path"), QStringLiteral("/data/"));
        QVERIFY(QFile::exists(Settings::storeFile()));
    }

    void sectionsAndKeysIgnoreCase()
    {
        SettingKeys::OverlayWrite.write(QStringLiteral("True"));
        QCOMPARE(SettingKeys::Overlay.read(QStringLiteral("False")), QStringLiteral("True"));
        QCOMPARE(Settings::get(QStringLiteral("VIDEO\\Preferences"), QStringLiteral("oVeRlAy")), QStringLiteral("True"));

        // One value, not two: a write under another spelling replaces it.
        Settings::save(QStringLiteral("video\\PREFERENCES"), QStringLiteral("OVERLAY"), QStringLiteral("False"));
        QCOMPARE(SettingKeys::Overlay.read(), QStringLiteral("False"));
        QSettings raw(Settings::storeFile(), QSettings::IniFormat);
        raw.beginGroup(QStringLiteral("video/preferences"));
        QCOMPARE(raw.childKeys(), QStringList {QStringLiteral("overlay")});
    }

    void backslashNestsTheSection()
    {
        SettingKeys::DriverIndex.write(QStringLiteral("2"));
        SettingKeys::Preview.write(QStringLiteral("True"));
        Settings::save(QStringLiteral("Video"), QStringLiteral("driverindex"), QStringLiteral("top level"));

        QSettings raw(Settings::storeFile(), QSettings::IniFormat);
        raw.beginGroup(QStringLiteral("video"));
        QStringList groups = raw.childGroups();
        groups.sort();
        QCOMPARE(groups, (QStringList {QStringLiteral("driver"), QStringLiteral("preferences")}));
        raw.endGroup();
        QCOMPARE(raw.value(QStringLiteral("video/driver/driverindex")).toString(), QStringLiteral("2"));
        // The parent section's own key is a different value.
        QCOMPARE(SettingKeys::DriverIndex.read(), QStringLiteral("2"));
        QCOMPARE(Settings::get(QStringLiteral("Video"), QStringLiteral("DriverIndex")), QStringLiteral("top level"));
    }

    void missingValuesGiveTheReadersDefault()
    {
        QCOMPARE(Settings::get(QStringLiteral("Nowhere"), QStringLiteral("Nothing")), QString());
        QCOMPARE(Settings::get(QStringLiteral("Nowhere"), QStringLiteral("Nothing"), QStringLiteral("dflt")),
                 QStringLiteral("dflt"));
        QCOMPARE(SettingKeys::Header1.read(), QStringLiteral("**************Header Line 1*************"));
        QCOMPARE(SettingKeys::Header2.read(), QStringLiteral("******Header Line 2******"));
        QCOMPARE(SettingKeys::Logo.read(), QStringLiteral("Logo\\logo.bmp"));
        QCOMPARE(SettingKeys::DriverIndex.read(), QStringLiteral("0"));
        QCOMPARE(SettingKeys::IdColor.read(), QString());
        QCOMPARE(SettingKeys::IdColor.read(QStringLiteral("16777215")), QStringLiteral("16777215"));

        // A stored empty value is a value: the default does not replace it.
        SettingKeys::Header1.write(QString());
        QCOMPARE(SettingKeys::Header1.read(), QString());
    }

    void writesReplaceAndNothingIsDeleted()
    {
        SettingKeys::DBPath.write(QStringLiteral("/first/"));
        SettingKeys::DBPath.write(QStringLiteral("/second/"));
        QCOMPARE(SettingKeys::DBPath.read(), QStringLiteral("/second/"));
        SettingKeys::DBPath.write(QString());
        QSettings raw(Settings::storeFile(), QSettings::IniFormat);
        QVERIFY(raw.contains(QStringLiteral("dbpath/path")));
        QCOMPARE(raw.value(QStringLiteral("dbpath/path")).toString(), QString());
    }

    void valuesPersistInTheFile()
    {
        SettingKeys::DefName.write(QStringLiteral("Ann O'Neil"));
        SettingKeys::DefCompany.write(QStringLiteral("Friends, Inc."));
        {
            QSettings fresh(Settings::storeFile(), QSettings::IniFormat);
            QCOMPARE(fresh.value(QStringLiteral("user info/defname")).toString(), QStringLiteral("Ann O'Neil"));
        }
        // Written by another process (a fresh QSettings) and read back through the wrapper.
        {
            QSettings other(Settings::storeFile(), QSettings::IniFormat);
            other.setValue(QStringLiteral("header1/header1"), QStringLiteral("Spring Meeting"));
            other.sync();
        }
        QCOMPARE(SettingKeys::Header1.read(), QStringLiteral("Spring Meeting"));
        QCOMPARE(SettingKeys::DefCompany.read(), QStringLiteral("Friends, Inc."));
    }

    void garbageComesBackAsStored()
    {
        const QStringList values {QStringLiteral("12abc"), QStringLiteral("&HFF00FF"), QStringLiteral("@Variant("),
                                  QStringLiteral("  padded  "), QStringLiteral("a,b,c"), QStringLiteral("Grüße \\ \"x\"")};
        for (const QString &value : values) {
            SettingKeys::IdColor.write(value);
            QCOMPARE(SettingKeys::IdColor.read(QStringLiteral("0")), value);
        }
        // A value typed into the file by hand, commas and all, is text too.
        {
            QFile file(Settings::storeFile());
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write("[idcolor]\nidcolor=red,green\n[Video]\npreferences\\overlay=maybe\n");
        }
        QCOMPARE(SettingKeys::IdColor.read(QStringLiteral("0")), QStringLiteral("red,green"));
        QCOMPARE(SettingKeys::Overlay.read(QStringLiteral("False")), QStringLiteral("maybe"));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
