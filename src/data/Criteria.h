#pragma once

#include "Schema.h"

#include <QString>
#include <QVariantList>

// A piece of SQL and the values bound to its placeholders, in order.
struct SqlFragment
{
    QString sql;
    QVariantList params;
    bool isEmpty() const { return sql.isEmpty(); }
};

// What a record source names: a table or query, and optionally a filter and an order.
struct ParsedSource
{
    const SourceDef *def = nullptr;
    SqlFragment where;   // empty: every row
    QString orderBy;     // SQL ("\"LastName\" COLLATE QUORVEX_NOCASE ASC"); empty: by key
};

// The engine's criteria and record sources, translated to SQL whose literals are
// all bound parameters (a quote in a name is just a character).
//
// Criteria: comparisons  field = value  (also <>, !=, <, >, <=, >=),
// field [NOT] LIKE 'pattern', field IS [NOT] NULL, field [NOT] BETWEEN a AND b,
// field [NOT] IN (a, b, ...), joined by AND, OR, NOT and parentheses. Field names
// are matched without regard to case, optionally in [brackets]. Literals: 'text'
// or "text" (a doubled quote inside is one quote), numbers, #dates#, True/False.
// Text compares without regard to case; LIKE has the engine's wildcards (see
// LikePattern). Record sources: a table or query name, or
// SELECT * FROM name [WHERE criteria] [ORDER BY field [ASC|DESC], ...].
//
// Failures are DataErrors: SyntaxError, UnknownField, UnknownSource, TypeMismatch.
namespace Criteria {

SqlFragment translate(const QString &criteria, const SourceDef &def);
ParsedSource parseRecordSource(const QString &source);

// A field name as SQL (quoted identifier).
QString quoteIdentifier(const QString &name);

} // namespace Criteria
