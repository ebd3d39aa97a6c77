#include "BoundValue.h"

#include "Currency.h"

#include <QDate>
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
    if (isCurrency(value)) {
        // Two decimals, rounded half away from zero on the exact integer.
        const qint64 raw = value.value<Currency>().raw();
        const qint64 cents = (raw >= 0 ? raw + 50 : raw - 50) / 100;
        const QString digits = QStringLiteral("%1").arg(qAbs(cents), 3, 10, QLatin1Char('0'));
        return (cents < 0 ? QStringLiteral("-") : QString()) + digits.left(digits.size() - 2) + QLatin1Char('.')
               + digits.right(2);
    }
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("Yes") : QStringLiteral("No");
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate);
    case QMetaType::QDateTime:
        return value.toDateTime().date().toString(Qt::ISODate);
    default:
        return value.toString();
    }
}

} // namespace BoundValue
