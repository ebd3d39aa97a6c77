#include "BoundValue.h"

#include "Currency.h"
#include "ValueCodec.h"

#include <QDateTime>

namespace BoundValue {

namespace {

bool isCurrency(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<Currency>();
}

} // namespace

QString toText(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    if (isCurrency(value))
        return ValueCodec::formatAmount(value.value<Currency>());
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return ValueCodec::formatYesNo(value.toBool());
    case QMetaType::QDate:
        return ValueCodec::formatDate(value.toDate());
    case QMetaType::QDateTime:
        return ValueCodec::formatDate(value.toDateTime().date());
    default:
        return value.toString();
    }
}

} // namespace BoundValue
