#pragma once

#include <QString>
#include <optional>

// How an attendee's fields become the card's lines, the same whether they come
// from the text boxes as the user types or from a stored row.
namespace CardLines {

// lblName(1): the last name in capitals (the first name shows as it is).
QString lastName(const QString &lastName);
// lblChap: the chapter as it is and " Chapter", or the city when the chapter
// is blank (a chapter of blanks counts as none; a real one keeps its blanks).
QString chapter(const QString &chapter, const QString &city);
// The QR code's text: "QVX:" & ProgramID & ":" & AttendeeID (keys as plain
// decimal text, blanks trimmed); empty when either key is missing.
QString code(const QString &programId, const QString &attendeeId);

// The keys a card's code names.
struct CodeKeys
{
    qint64 programId = 0;
    qint64 attendeeId = 0;
};
// The keys of a code's text as code() makes it ("QVX:3:1207"; blanks around and
// the letter case of "QVX" aside, as a scanner may send them); nullopt for any
// other text, a typed name included.
std::optional<CodeKeys> parseCode(const QString &text);

} // namespace CardLines
