#pragma once

#include "core/AppError.h"

// The errors of reading, importing and exporting: number -1 and the place
// ("Import" or "Export") as their source; the description says what happened and
// what to do.
namespace ExchangeError {

inline AppError import(const QString &text)
{
    return AppError(-1, QStringLiteral("Import"), text);
}

inline AppError exporting(const QString &text)
{
    return AppError(-1, QStringLiteral("Export"), text);
}

// The work was cancelled by the user; nothing was written.
inline constexpr int CancelledNumber = -2;
inline AppError cancelled(const QString &source)
{
    return AppError(CancelledNumber, source, QStringLiteral("Cancelled: nothing was written."));
}

} // namespace ExchangeError
