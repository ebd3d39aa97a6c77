#pragma once

#include <QString>
#include <QVariant>

// How bound boxes and grid cells show a field's value as text.
namespace BoundValue {

// "" for a null value, amounts with two decimals ("12.50", rounded half away
// from zero), dates as yyyy-MM-dd, Yes/No as "Yes" and "No", the rest as text.
QString toText(const QVariant &value);

} // namespace BoundValue
