#include "ValueCodec.h"

#include "DataError.h"

#include <QDateTime>
#include <QRegularExpression>
#include <cmath>

namespace {

bool isCurrency(const QVariant &v)
{
    return v.metaType() == QMetaType::fromType<Currency>();
}

// M/d/yy by hand: Qt reads "yy" as 19yy, and 2/29/00 (a day of 2000, not of 1900)
// would be lost before the century could be corrected.
QDate twoDigitYearDate(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,2})/([0-9]{1,2})/([0-9]{2})$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return QDate();
    const int yy = m.captured(3).toInt();
    return QDate(yy < 30 ? 2000 + yy : 1900 + yy, m.captured(1).toInt(), m.captured(2).toInt());
}

[[noreturn]] void mismatch(const QVariant &value, const FieldDef &field)
{
    throw DataError::make(DataError::TypeMismatch,
                          QStringLiteral("\"%1\" for the field %2").arg(value.toString(), field.name));
}

} // namespace

namespace ValueCodec {

QDate parseDate(const QString &text)
{
    const QString t = text.trimmed();
    QDate d = QDate::fromString(t.left(10), Qt::ISODate);
    if (d.isValid())
        return d;
    // Month first, as the original engine's #date# literals are.
    d = QDate::fromString(t, QStringLiteral("M/d/yyyy"));
    if (d.isValid())
        return d;
    d = twoDigitYearDate(t);
    if (d.isValid())
        return d;
    for (const char *format : {"M-d-yyyy", "d MMM yyyy", "MMM d yyyy", "MMM d, yyyy"}) {
        d = QDate::fromString(t, QString::fromLatin1(format));
        if (d.isValid())
            return d;
    }
    return QDate();
}

std::optional<bool> parseYesNo(const QString &text)
{
    const QString t = text.trimmed();
    for (const char *word : {"true", "yes", "on", "-1", "1"})
        if (t.compare(QLatin1String(word), Qt::CaseInsensitive) == 0)
            return true;
    for (const char *word : {"false", "no", "off", "0"})
        if (t.compare(QLatin1String(word), Qt::CaseInsensitive) == 0)
            return false;
    return std::nullopt;
}

std::optional<Currency> parseCurrency(const QString &text)
{
    return Currency::parse(text);
}

QString formatDate(const QDate &date)
{
    return date.toString(Qt::ISODate);
}

QString formatYesNo(bool value)
{
    return value ? QStringLiteral("Yes") : QStringLiteral("No");
}

qint64 roundedCents(Currency amount)
{
    const qint64 raw = amount.raw();
    return (raw >= 0 ? raw + 50 : raw - 50) / 100;
}

QString formatAmount(Currency amount)
{
    const qint64 cents = roundedCents(amount);
    const QString digits = QStringLiteral("%1").arg(qAbs(cents), 3, 10, QLatin1Char('0'));
    return (cents < 0 ? QStringLiteral("-") : QString()) + digits.left(digits.size() - 2) + QLatin1Char('.')
           + digits.right(2);
}

QVariant fromStored(const QVariant &raw, FieldKind kind)
{
    if (raw.isNull())
        return QVariant();
    switch (kind) {
    case FieldKind::Integer:
        return raw.toLongLong();
    case FieldKind::Text:
        return raw.toString();
    case FieldKind::Currency:
        if (raw.typeId() == QMetaType::Double) // written by another program as a float
            return QVariant::fromValue(Currency::fromRaw(qint64(std::llround(raw.toDouble() * 10000.0))));
        if (raw.typeId() == QMetaType::QString) // a decimal read as text
            return QVariant::fromValue(Currency::parse(raw.toString()).value_or(Currency()));
        return QVariant::fromValue(Currency::fromRaw(raw.toLongLong()));
    case FieldKind::YesNo:
        return raw.toLongLong() != 0;
    case FieldKind::Date: {
        // Stored dates are ISO only: the lenient parser is for typed text.
        const QDate d = QDate::fromString(raw.toString().left(10), Qt::ISODate);
        return d.isValid() ? QVariant(d) : QVariant();
    }
    case FieldKind::DateTime: {
        const QDateTime t = raw.typeId() == QMetaType::QDateTime ? raw.toDateTime()
                                                           : QDateTime::fromString(raw.toString(), Qt::ISODateWithMs);
        return t.isValid() ? QVariant(t.toUTC()) : QVariant();
    }
    }
    return raw;
}

QVariant toStored(const QVariant &typed, FieldKind kind)
{
    if (!typed.isValid() || typed.isNull())
        return kind == FieldKind::YesNo ? QVariant(qint64(0)) : QVariant();
    switch (kind) {
    case FieldKind::Currency:
        return typed.value<Currency>().raw();
    case FieldKind::YesNo:
        return qint64(typed.toBool() ? 1 : 0);
    case FieldKind::Date:
        return formatDate(typed.toDate());
    case FieldKind::DateTime: {
        const QDateTime t = typed.toDateTime();
        return t.isValid() ? QVariant(t.toUTC().toString(Qt::ISODateWithMs)) : QVariant();
    }
    case FieldKind::Integer:
        return typed.toLongLong();
    case FieldKind::Text:
        return typed.toString();
    }
    return typed;
}

QVariant toTyped(const QVariant &value, const FieldDef &field)
{
    if (!value.isValid() || value.isNull())
        return field.kind == FieldKind::YesNo ? QVariant(false) : QVariant();
    const bool isText = value.typeId() == QMetaType::QString;
    const QString text = isText ? value.toString().trimmed() : QString();
    if (isText && text.isEmpty() && field.kind != FieldKind::Text)
        return field.kind == FieldKind::YesNo ? QVariant(false) : QVariant();
    switch (field.kind) {
    case FieldKind::Text:
        if (isCurrency(value))
            return value.value<Currency>().toString();
        return value.toString();
    case FieldKind::Integer: {
        bool ok = false;
        if (value.typeId() == QMetaType::Double) {
            const double d = value.toDouble();
            if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 9e15)
                return qint64(d);
            mismatch(value, field);
        }
        const qint64 v = isText ? text.toLongLong(&ok) : value.toLongLong(&ok);
        if (!ok)
            mismatch(value, field);
        return v;
    }
    case FieldKind::Currency: {
        if (isCurrency(value))
            return value;
        if (isText) {
            const auto c = parseCurrency(text);
            if (!c)
                mismatch(value, field);
            return QVariant::fromValue(*c);
        }
        if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
            const double d = value.toDouble();
            if (!std::isfinite(d) || std::fabs(d) > 9e14)
                mismatch(value, field);
            return QVariant::fromValue(Currency::fromRaw(qint64(std::llround(d * 10000.0))));
        }
        bool ok = false;
        const qint64 whole = value.toLongLong(&ok);
        if (!ok || whole > 900000000000000LL || whole < -900000000000000LL)
            mismatch(value, field);
        return QVariant::fromValue(Currency::fromRaw(whole * 10000));
    }
    case FieldKind::YesNo: {
        if (value.typeId() == QMetaType::Bool)
            return value.toBool();
        if (isText) {
            if (const std::optional<bool> yes = parseYesNo(text))
                return *yes;
            mismatch(value, field);
        }
        bool ok = false;
        const qint64 v = value.toLongLong(&ok);
        if (!ok)
            mismatch(value, field);
        return v != 0;
    }
    case FieldKind::Date: {
        if (value.typeId() == QMetaType::QDate)
            return value.toDate().isValid() ? value : QVariant();
        if (value.typeId() == QMetaType::QDateTime)
            return value.toDateTime().date();
        const QDate d = parseDate(value.toString());
        if (!d.isValid())
            mismatch(value, field);
        return d;
    }
    case FieldKind::DateTime: {
        const QDateTime t = value.typeId() == QMetaType::QDateTime
            ? value.toDateTime()
            : QDateTime::fromString(value.toString().trimmed(), Qt::ISODateWithMs);
        if (!t.isValid())
            mismatch(value, field);
        return t;
    }
    }
    return value;
}

} // namespace ValueCodec
