#pragma once

#include <QString>

// What the user may put into a field by pasting, dropping or typing, made safe to
// store and print: no hidden line break, tab or other control character, and no
// invisible direction override that would show a name reversed on the card.
// Letters of every script, emoji (with their joiners and variation selectors)
// and combining accents stay exactly as given.
namespace textInput {

// The text of a one-line field. A run of line breaks or tabs between two words
// becomes one blank (a pasted "Ann<line break>Lee" reads "Ann Lee"); at either end
// or beside a blank it goes. Other control characters and the direction
// overrides and isolates (U+202A-U+202E, U+2066-U+2069) go. `cursor`, when given,
// is moved to the same place in the result.
QString oneLine(const QString &text, int *cursor = nullptr);

// The text of a multi-line field: its line breaks stay; only the direction
// overrides and isolates go.
QString multiLine(const QString &text);

} // namespace textInput
