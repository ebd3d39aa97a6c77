#pragma once

#include <QString>
#include <optional>

class CardContent;
struct CardFace;

// The card design kept in the settings store: header lines, logo, colour and
// whether the cards carry the QR code.
// Nothing here stops the start: a logo that is missing or cannot be read leaves
// the card without a logo, and a stored colour that is not a number leaves the
// card in its own colour.
namespace CardDesignLoader {

// Sets the design parts of `face` from the store (the attendee's lines stay).
// `appFolder` is the program's folder (ending with a separator).
void read(CardFace &face, const QString &appFolder);
// The start-up restore: the current card content takes the stored design.
void restore(CardContent &content, const QString &appFolder);

// The file a stored logo path names: an absolute path as it is, a relative one
// ("Logo\logo.bmp") in the program's folder (`appFolder`, else the executable's
// folder), never in the folder the process was started from. Empty when the
// file is not there.
QString resolveLogoPath(const QString &storedPath, const QString &appFolder);

// A stored colour as the 32-bit card colour (a signed decimal number; an
// unsigned one is accepted too); nothing when it is not a number.
std::optional<quint32> parseColor(const QString &stored);

// The stored "QrCode" choice: only "False" (in any letter case) turns the code
// off, so a value nobody understands keeps the code that the desk scans.
bool parseShowCode(const QString &stored);

} // namespace CardDesignLoader
