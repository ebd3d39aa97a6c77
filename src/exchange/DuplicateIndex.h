#pragma once

#include <QHash>
#include <algorithm>
#include <QString>
#include <QtGlobal>

// Finds the attendee a row of a file is the same person as: the same e-mail
// address without regard to case; or else, when the row or the attendee has no
// e-mail address, the same first and last name without regard to case, accents or
// repeated blanks. Two people of the same name with different e-mail addresses
// are two people. Holds the event's attendees and the rows the import added.
class DuplicateIndex
{
public:
    // Keeps `key` (an attendee's AttendeeID) under its e-mail and its name.
    void add(qint64 key, const QString &email, const QString &firstName, const QString &lastName);
    // The attendee the row is the same person as, or -1.
    qint64 find(const QString &email, const QString &firstName, const QString &lastName) const;

    static QString emailKey(const QString &email);
    // Empty when both names are empty: nameless rows are never the same person.
    static QString nameKey(const QString &firstName, const QString &lastName);

private:
    QHash<QString, qint64> m_byEmail;
    // Under a name, the attendees without an e-mail address and those with one.
    QHash<QString, qint64> m_byNameWithoutEmail;
    QMultiHash<QString, qint64> m_byNameWithEmail;
};
