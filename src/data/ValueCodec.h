#pragma once

#include "Currency.h"
#include "Schema.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <optional>

// How currency, dates and Yes/No travel through the data layer: read from text a
// user typed into a field or wrote into a find criterion (one parser for both, so
// both accept the same forms), converted to and from what the database stores, and
// shown as text in bound boxes and grid cells.
namespace ValueCodec {

// A date as typed: yyyy-MM-dd (ISO; anything after the tenth character is ignored),
// M/d/yyyy, M/d/yy (00-29 are 2000-2029, 30-99 are 1930-1999), M-d-yyyy,
// d MMM yyyy, MMM d yyyy and MMM d, yyyy (English month abbreviations). Blanks
// around the text are ignored; an invalid QDate for anything else.
QDate parseDate(const QString &text);

// true, yes, on, -1, 1 and false, no, off, 0, without regard to case or blanks
// around; nullopt for anything else.
std::optional<bool> parseYesNo(const QString &text);

// An amount as typed (see Currency::parse): "12.5", "1,234.50", "$5", "(5.00)".
std::optional<Currency> parseCurrency(const QString &text);

// Shown as text: dates yyyy-MM-dd, Yes/No as "Yes" and "No", amounts with two
// decimals rounded half away from zero on the exact integer ("12.50").
QString formatDate(const QDate &date);
QString formatYesNo(bool value);
QString formatAmount(Currency amount);
// The amount in whole cents, rounded half away from zero.
qint64 roundedCents(Currency amount);

// A stored value as the field's kind presents it (Currency, bool, QDate, qint64,
// QString; null stays null).
QVariant fromStored(const QVariant &raw, FieldKind kind);
// A value of the field's kind as the database stores it (Yes/No null is 0).
QVariant toStored(const QVariant &typed, FieldKind kind);
// A value given by a caller (a bound widget, a grid editor, code) as the field's
// kind; a DataError::TypeMismatch naming the field when it does not fit.
QVariant toTyped(const QVariant &value, const FieldDef &field);

} // namespace ValueCodec
