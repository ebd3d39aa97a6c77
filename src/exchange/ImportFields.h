#pragma once

#include "data/Schema.h"

#include <QList>
#include <QString>
#include <QStringList>

// What a column of an attendee file can fill: the attendee's own fields and, for
// lists from online forms that take a fee, one payment (a row of qryDon_Fees).
//
// Lengths: the database stores text without a limit, but a card, a label and the
// other workstations' forms do not; the import refuses a longer value instead of
// cutting it. Names, title, office, city, state, country and chapter 50
// characters (the old database's text fields), the middle initial 10, the postal
// code 20, phone and fax numbers 30, the e-mail address 254 (the longest an
// address can be), the street address 255, the note 4000.
struct ImportField
{
    QString name;    // the schema's field name; also the key of --map
    QString caption; // as the registration window (or the donations grid) labels it
    FieldKind kind;
    int maxLength;   // text only; 0 for the other kinds
    bool payment;    // a field of the payment row rather than of the attendee
    QStringList words; // the usual headers that mean this field
};

namespace ImportFields {

const QList<ImportField> &all();
// The field of that name (without regard to case), or nullptr.
const ImportField *find(const QString &name);
// Letters and digits only, lower case, accents removed: "E-mail Address:" -> "emailaddress".
QString normalized(const QString &header);
// The length of a value as a reader counts it: characters, not UTF-16 units.
int length(const QString &value);

} // namespace ImportFields
