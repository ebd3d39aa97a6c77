#pragma once

#include <QString>
#include <optional>

class CardWidget;

// Restores the card design at start-up: header lines, logo and colour from the
// settings store. Nothing here stops the start: a logo that is missing or cannot
// be read leaves the card without a logo, and a stored colour that is not a
// number leaves the card in its design colour.
namespace CardDesignLoader {

// `appFolder` is the program's folder (ending with a separator).
void restore(CardWidget *card, const QString &appFolder);

// The file a stored logo path names: an absolute path as it is, a relative one
// ("Logo\logo.bmp") in the program's folder (`appFolder`, else the executable's
// folder), never in the folder the process was started from. Empty when the
// file is not there.
QString resolveLogoPath(const QString &storedPath, const QString &appFolder);

// A stored colour as the 32-bit card colour (a signed decimal number; an
// unsigned one is accepted too); nothing when it is not a number.
std::optional<quint32> parseColor(const QString &stored);

} // namespace CardDesignLoader
