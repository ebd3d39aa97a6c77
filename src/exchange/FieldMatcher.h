#pragma once

#include <QString>
#include <QStringList>

// Guesses which field each column of a file fills, from its header: the field's
// own name (a file exported from the database matches at once), its caption on
// the registration window, or one of the usual words ("Given name", "Surname",
// "E-mail address", "Postcode", "Mobile"...), compared as letters and digits only,
// without regard to case or accents. A header that only begins with such words
// ("Phone (home)") matches when nothing matches exactly. Each field is filled by
// one column at most, the first that means it; the rest are ignored.
namespace FieldMatcher {

// One field name per header; empty for a column that is ignored.
QStringList guess(const QStringList &header);
// The field one header means on its own (empty when none).
QString fieldFor(const QString &header);

} // namespace FieldMatcher
