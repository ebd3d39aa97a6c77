#pragma once

#include <QString>

// How the desk's name search compares names: letter case and accents aside
// ("Núñez" is "nunez", "JOSÉ" is "jose"). A letter of the Latin alphabets with an
// accent becomes its plain letter (Ø, Đ and Ł too), every other letter its lower
// case. One table serves this program's own comparison (a database file) and the
// server's function of the same rule, so both find the same names.
namespace NameFold {

QString fold(const QString &text);
// The accented letters and the plain letters they become, position by position
// (for the server's translate()).
const QString &accentedLetters();
const QString &plainLetters();

} // namespace NameFold
