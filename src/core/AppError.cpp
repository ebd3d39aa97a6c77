#include "AppError.h"

AppError::AppError(int number, QString source, QString description)
    : m_number(number)
    , m_source(std::move(source))
    , m_description(std::move(description))
    , m_what(QStringLiteral("%1 (%2): %3").arg(m_source).arg(m_number).arg(m_description).toStdString())
{
}

AppError AppError::withSource(const QString &source) const
{
    return AppError(m_number, source, m_description);
}

AppError AppError::withDescriptionSuffix(const QString &suffix) const
{
    return AppError(m_number, m_source, m_description + suffix);
}
