#pragma once

#include <QList>
#include <QString>

// How the desk's name search compares names: letter case and accents aside
// ("Núñez" is "nunez", "JOSÉ" is "jose"). A letter of the Latin alphabets with an
// accent becomes its plain letter (Ø, Đ and Ł too), every other letter its lower
// case. One table serves this program's own comparison (a database file) and the
// server's function of the same rule, so both find the same names.
namespace NameFold {

QString fold(const QString &text);
// Every letter that folds to `folded` (itself, its capital, its accented forms),
// as Unicode code points: what a name that folds to begin with it may begin with.
QList<char32_t> lettersFoldingTo(QChar folded);
// The accented letters and the plain letters they become, position by position
// (for the server's translate()).
const QString &accentedLetters();
const QString &plainLetters();

} // namespace NameFold
