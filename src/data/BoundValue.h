#pragma once

#include "Schema.h"
#include "app/AppError.h"

#include <QString>
#include <QVariant>
#include <optional>

// Conversions between what a bound widget or a grid cell holds (text, a check,
// a date) and a field's value at the recordset boundary.
namespace BoundValue {

// The text form a bound box shows: "" for a null value, amounts with two
// decimals ("12.50"), dates as yyyy-MM-dd, Yes/No as "Yes" and "No".
QString toText(const QVariant &value);

// `value` (text as typed, a bool, a date, or already the field's type) as the
// value of a field of `kind`; a null QVariant for an empty entry; nullopt when it
// does not convert (letters in an amount, a date that does not exist).
std::optional<QVariant> toField(const QVariant &value, FieldKind kind);

// The data error for a typed value that does not fit its field.
AppError conversionError(const QString &field, const QString &text, FieldKind kind);

} // namespace BoundValue
