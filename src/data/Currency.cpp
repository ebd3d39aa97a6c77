#include "Currency.h"

#include <QMetaType>
#include <limits>

namespace {

constexpr qint64 Scale = 10000;

} // namespace

std::optional<Currency> Currency::parse(const QString &text)
{
    QString s = text.trimmed();
    bool negative = false;
    auto takeSign = [&] {
        if (s.startsWith(QLatin1Char('-'))) {
            negative = !negative;
            s.remove(0, 1);
        } else if (s.startsWith(QLatin1Char('+'))) {
            s.remove(0, 1);
        }
        s = s.trimmed();
    };
    takeSign();
    if (s.startsWith(QLatin1Char('$'))) {
        s.remove(0, 1);
        s = s.trimmed();
        takeSign();
    }
    // Accounting style "(5.00)" is a negative amount.
    if (s.startsWith(QLatin1Char('(')) && s.endsWith(QLatin1Char(')'))) {
        s = s.mid(1, s.size() - 2).trimmed();
        negative = !negative;
    }
    if (s.isEmpty())
        return std::nullopt;

    qint64 whole = 0;
    qint64 fraction = 0;
    int decimals = 0;
    bool inFraction = false;
    bool anyDigit = false;
    QChar previous;
    for (const QChar c : std::as_const(s)) {
        if (c.isDigit() && c.unicode() < 128) {
            const int digit = c.unicode() - '0';
            anyDigit = true;
            if (inFraction) {
                if (++decimals > 4)
                    return std::nullopt;
                fraction = fraction * 10 + digit;
            } else {
                if (whole > (std::numeric_limits<qint64>::max() / Scale - digit) / 10)
                    return std::nullopt; // would not fit in ten-thousandths
                whole = whole * 10 + digit;
            }
        } else if (c == QLatin1Char(',') && !inFraction && previous.isDigit()) {
            // a thousands separator between digits
        } else if (c == QLatin1Char('.') && !inFraction) {
            inFraction = true;
        } else {
            return std::nullopt;
        }
        previous = c;
    }
    if (!anyDigit || previous == QLatin1Char(','))
        return std::nullopt;
    for (int i = decimals; i < 4; ++i)
        fraction *= 10;
    const qint64 raw = whole * Scale + fraction;
    return fromRaw(negative ? -raw : raw);
}

QString Currency::toString() const
{
    const bool negative = m_raw < 0;
    // Work in unsigned so the most negative value does not overflow.
    const quint64 magnitude = negative ? quint64(0) - quint64(m_raw) : quint64(m_raw);
    const quint64 whole = magnitude / Scale;
    QString fraction = QStringLiteral("%1").arg(magnitude % Scale, 4, 10, QLatin1Char('0'));
    while (fraction.size() > 2 && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    return (negative ? QStringLiteral("-") : QString()) + QString::number(whole) + QLatin1Char('.') + fraction;
}

void registerCurrencyType()
{
    static const bool registered = [] {
        QMetaType::registerConverter<Currency, QString>(&Currency::toString);
        QMetaType::registerConverter<QString, Currency>([](const QString &text) {
            return Currency::parse(text).value_or(Currency());
        });
        return true;
    }();
    Q_UNUSED(registered);
}
