#include "VideoPreferences.h"

#include "core/Settings.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace VideoPreferences {

namespace {

QString booleanText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace

double leadingNumber(const QString &text)
{
    static const QRegularExpression number(
        QStringLiteral("^\\s*([+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)"));
    const QRegularExpressionMatch match = number.match(text);
    return match.hasMatch() ? match.captured(1).toDouble() : 0.0;
}

int storedDriverIndex()
{
    const double value = std::nearbyint(leadingNumber(SettingKeys::DriverIndex.read()));
    // A number no driver can have counts as "beyond the list".
    if (!std::isfinite(value) || value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::max();
    return int(value);
}

void storeDriverIndex(int index)
{
    SettingKeys::DriverIndex.write(QString::number(index));
}

std::optional<bool> storedBoolean(const SettingKey &key, bool defaultValue)
{
    const QString text = key.read(booleanText(defaultValue)).trimmed();
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool isNumber = false;
    const double number = text.toDouble(&isNumber);
    if (isNumber)
        return number != 0.0;
    return std::nullopt;
}

void storeBoolean(const SettingKey &key, bool value)
{
    key.write(booleanText(value));
}

} // namespace VideoPreferences
