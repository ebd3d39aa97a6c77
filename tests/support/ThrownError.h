#pragma once

#include "core/AppError.h"

#include <QStringList>
#include <QTest>
#include <functional>
#include <optional>

// The AppError that `action` throws, or nullopt when it goes through.
inline std::optional<AppError> thrownError(const std::function<void()> &action)
{
    try {
        action();
    } catch (const AppError &error) {
        return error;
    }
    return std::nullopt;
}

// What `action` throws: its number, source and description; {"no error"} when it goes through.
inline QStringList thrownFields(const std::function<void()> &action)
{
    const std::optional<AppError> e = thrownError(action);
    return e ? QStringList {QString::number(e->number()), e->source(), e->description()} : QStringList {"no error"};
}

// Expects `statement` to throw an AppError numbered `expected`.
#define QVERIFY_APP_ERROR(statement, expected)                                                     \
    do {                                                                                           \
        const std::optional<AppError> thrown_ = thrownError([&] { statement; });                  \
        QVERIFY2(thrown_, "no error from: " #statement);                                           \
        QCOMPARE(thrown_->number(), int(expected));                                                \
    } while (false)
