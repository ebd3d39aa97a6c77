#pragma once

#include <QString>
#include <QVariantList>

// A piece of SQL and the values bound to its placeholders, in order.
struct SqlFragment
{
    QString sql;
    QVariantList params;
    bool isEmpty() const { return sql.isEmpty(); }
};
