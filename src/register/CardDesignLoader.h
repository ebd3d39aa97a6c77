#pragma once

#include <QString>

class CardWidget;

// Restores the card design at start-up: header lines, logo and colour from the
// settings store. A logo that cannot be loaded and a stored colour that is not a
// number fail the start with an AppError that names the value and what to do.
namespace CardDesignLoader {

void restore(CardWidget *card);

// The file a stored logo path names: an absolute path as it is; a relative one
// against the current folder, then against the program's folder. Empty when
// neither holds the file.
QString resolveLogoPath(const QString &storedPath);

// A stored colour as the 32-bit card colour; throws when it is not a number.
quint32 parseColor(const QString &stored);

} // namespace CardDesignLoader
