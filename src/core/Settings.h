#pragma once

#include <QString>

// The per-user settings store: string values addressed by section and key
// under the application name "Quorvex". Sections and keys match without
// regard to letter case on every platform (the wrapper folds the case itself,
// because QSettings' INI files are case-sensitive). A section may nest with a
// backslash ("Video\preferences"). Nothing is ever deleted.
class Settings
{
public:
    static QString applicationName() { return QStringLiteral("Quorvex"); }

    // The value, or `defaultValue` when none is stored. Never throws: a value
    // that is not what the reader expects is the reader's to convert.
    static QString get(const QString &section, const QString &key, const QString &defaultValue = QString());
    // Creates the section when needed and replaces an existing value.
    static void save(const QString &section, const QString &key, const QString &value);

    // Tests point the store at a folder of their own (never the user's store);
    // an empty folder returns to the user's store.
    static void setStoreFolderForTesting(const QString &folder);
    // The INI file that holds the values ("Quorvex.ini" in the store's folder).
    static QString storeFile();
};

// One value of the store: its section, key and the default its reader uses.
struct SettingKey
{
    const char *section;
    const char *key;
    const char *defaultValue; // nullptr: the reader supplies it (e.g. the card frame's colour)

    QString read() const;
    QString read(const QString &defaultOverride) const;
    void write(const QString &value) const;
};

// The complete table of the program's settings.
namespace SettingKeys {
inline constexpr SettingKey DBPath {"DBPath", "Path", ""};
// The database server's libpq URL (postgresql://desk@db.example.org:5432/quorvex),
// never with a password; when set it is opened instead of a DBPath folder.
inline constexpr SettingKey ServerUrl {"Server", "Url", ""};
inline constexpr SettingKey DefName {"User Info", "DefName", ""};
inline constexpr SettingKey DefCompany {"User Info", "DefCompany", ""};
inline constexpr SettingKey Header1 {"Header1", "header1", "**************Header Line 1*************"};
inline constexpr SettingKey Header2 {"Header2", "header2", "******Header Line 2******"};
inline constexpr SettingKey Logo {"Logo", "idlogo", "Logo\\logo.bmp"};
inline constexpr SettingKey IdColor {"IdColor", "idcolor", nullptr};
// Whether the cards carry the attendee's QR code: "True" or "False".
inline constexpr SettingKey QrCode {"IdCard", "QrCode", "True"};
// Written as "OverLay", read as "Overlay": the same value, as case does not matter.
inline constexpr SettingKey OverlayWrite {"Video\\preferences", "OverLay", nullptr};
inline constexpr SettingKey Overlay {"Video\\preferences", "Overlay", nullptr};
inline constexpr SettingKey Preview {"Video\\preferences", "Preview", nullptr};
inline constexpr SettingKey DriverIndex {"Video\\driver", "driverindex", "0"};
} // namespace SettingKeys
