#pragma once

#include <QString>
#include <optional>

struct SettingKey;

// The stored capture settings: the connected driver's index under
// "Video\driver" and the preview and overlay preferences under
// "Video\preferences", read the way the original read its texts.
namespace VideoPreferences {

// The number at the start of `text` ("1abc" is 1, " 2.5" is 2.5, "abc" is 0).
double leadingNumber(const QString &text);
// The stored driver index: the leading number of the stored text, rounded to a
// whole number (halves to even); "0" when none is stored.
int storedDriverIndex();
void storeDriverIndex(int index);

// A stored Boolean: the text True or False (any case) or a number (not 0 is
// true); `defaultValue` when nothing is stored; nullopt when the stored text is
// neither, so the caller leaves things as they are.
std::optional<bool> storedBoolean(const SettingKey &key, bool defaultValue);
// Stores the text True or False.
void storeBoolean(const SettingKey &key, bool value);

} // namespace VideoPreferences
