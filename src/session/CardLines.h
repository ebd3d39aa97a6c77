#pragma once

#include <QString>

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

} // namespace CardLines
