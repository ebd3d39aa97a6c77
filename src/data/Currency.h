#pragma once

#include <QMetaType>
#include <QString>
#include <QtGlobal>
#include <optional>

// A currency amount as a fixed-point number of ten-thousandths (the original
// engine's Currency): never a binary float, so sums and comparisons are exact.
class Currency
{
public:
    constexpr Currency() = default;
    static constexpr Currency fromRaw(qint64 tenThousandths) { Currency c; c.m_raw = tenThousandths; return c; }

    constexpr qint64 raw() const { return m_raw; }

    // Parses "12", "12.5", "-3.1234", "1,234.50", "$5" (thousands separators and a
    // leading currency sign are allowed); nullopt for anything else or more than
    // four decimals.
    static std::optional<Currency> parse(const QString &text);
    // Plain text with at least two decimals: "12.50", "-3.1234", "0.00".
    QString toString() const;

    friend constexpr bool operator==(Currency a, Currency b) { return a.m_raw == b.m_raw; }
    friend constexpr auto operator<=>(Currency a, Currency b) { return a.m_raw <=> b.m_raw; }

private:
    qint64 m_raw = 0;
};

Q_DECLARE_METATYPE(Currency)

// Registers the QVariant conversions Currency <-> QString (called once by the
// database layer; safe to call again).
void registerCurrencyType();
