#pragma once

#include <QString>
#include <exception>
#include <string>

// A run-time error as the program reports it: a number, the place it arose
// (shown as a message box title) and a description (the box's text).
// Errors the program raises itself carry the number -1.
class AppError : public std::exception
{
public:
    AppError(int number, QString source, QString description);

    int number() const { return m_number; }
    const QString &source() const { return m_source; }
    const QString &description() const { return m_description; }

    // The same error with another source (used where a caller renames the place).
    AppError withSource(const QString &source) const;
    // The same error with text appended to its description.
    AppError withDescriptionSuffix(const QString &suffix) const;

    const char *what() const noexcept override { return m_what.c_str(); }

private:
    int m_number;
    QString m_source;
    QString m_description;
    std::string m_what;
};

// Runs one statement and swallows any error it raises: the "ignore" policy of
// display updates and menu handlers, where a failing step is skipped.
template <typename F>
void ignoreErrors(F &&statement) noexcept
{
    try {
        statement();
    } catch (...) {
    }
}
