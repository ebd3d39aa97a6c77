#include "BoundValue.h"

#include "Currency.h"
#include "DataError.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>

namespace BoundValue {

namespace {

bool isCurrency(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<Currency>();
}

bool isText(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<QString>();
}

QDate parseDate(const QString &text)
{
    QDate d = QDate::fromString(text, Qt::ISODate);
    if (!d.isValid())
        d = QLocale().toDate(text, QLocale::ShortFormat);
    if (!d.isValid())
        d = QLocale::c().toDate(text, QStringLiteral("M/d/yyyy"));
    return d;
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

std::optional<QVariant> toField(const QVariant &value, FieldKind kind)
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    const QString text = isText(value) ? value.toString().trimmed() : QString();
    if (isText(value) && text.isEmpty() && kind != FieldKind::YesNo)
        return QVariant();

    switch (kind) {
    case FieldKind::Text:
        return QVariant(value.toString());
    case FieldKind::Integer: {
        bool ok = false;
        const qint64 n = isText(value) ? text.toLongLong(&ok) : value.toLongLong(&ok);
        if (!ok)
            return std::nullopt;
        return QVariant::fromValue<qint64>(n);
    }
    case FieldKind::Currency: {
        if (isCurrency(value))
            return value;
        if (isText(value)) {
            const std::optional<Currency> c = Currency::parse(text);
            if (!c)
                return std::nullopt;
            return QVariant::fromValue(*c);
        }
        if (value.metaType().id() == QMetaType::Double || value.metaType().id() == QMetaType::Float) {
            const std::optional<Currency> c = Currency::parse(QString::number(value.toDouble(), 'f', 4));
            if (!c)
                return std::nullopt;
            return QVariant::fromValue(*c);
        }
        bool ok = false;
        const qint64 n = value.toLongLong(&ok);
        if (!ok)
            return std::nullopt;
        return QVariant::fromValue(Currency::fromRaw(n * 10000));
    }
    case FieldKind::YesNo: {
        if (!isText(value)) {
            if (value.metaType().id() == QMetaType::Bool)
                return value;
            bool ok = false;
            const qint64 n = value.toLongLong(&ok);
            if (!ok)
                return std::nullopt;
            return QVariant(n != 0);
        }
        const QString t = text.toLower();
        if (t == QLatin1String("yes") || t == QLatin1String("true") || t == QLatin1String("on")
            || t == QLatin1String("-1") || t == QLatin1String("1"))
            return QVariant(true);
        if (t.isEmpty() || t == QLatin1String("no") || t == QLatin1String("false") || t == QLatin1String("off")
            || t == QLatin1String("0"))
            return QVariant(false);
        return std::nullopt;
    }
    case FieldKind::Date: {
        if (value.metaType().id() == QMetaType::QDate)
            return value.toDate().isValid() ? value : QVariant();
        if (value.metaType().id() == QMetaType::QDateTime)
            return QVariant(value.toDateTime().date());
        const QDate d = parseDate(isText(value) ? text : value.toString());
        if (!d.isValid())
            return std::nullopt;
        return QVariant(d);
    }
    }
    return std::nullopt;
}

AppError conversionError(const QString &field, const QString &text, FieldKind kind)
{
    QString what;
    switch (kind) {
    case FieldKind::Currency:
        what = QStringLiteral("an amount such as 12.50");
        break;
    case FieldKind::Integer:
        what = QStringLiteral("a whole number");
        break;
    case FieldKind::Date:
        what = QStringLiteral("a date such as 2024-05-31");
        break;
    case FieldKind::YesNo:
        what = QStringLiteral("Yes or No");
        break;
    case FieldKind::Text:
        what = QStringLiteral("text");
        break;
    }
    return DataError::make(DataError::TypeMismatch,
                           QStringLiteral("%1: \"%2\" is not %3").arg(field, text, what));
}

} // namespace BoundValue
