#pragma once

#include "Schema.h"
#include "SqlFragment.h"

#include <QString>

class Engine;

// What a record source names: a table or query, and optionally a filter and an order.
struct ParsedSource
{
    const SourceDef *def = nullptr;
    SqlFragment where;   // empty: every row
    QString orderBy;     // SQL ("LastName COLLATE QUORVEX_NOCASE ASC" on SQLite); empty: by key
};

// The engine's criteria and record sources, translated to SQL whose literals are
// all bound parameters (a quote in a name is just a character) and whose names are
// the schema's own, unquoted. What the SQL cannot say alike on every engine (the
// LIKE of the patterns, comparing text without regard to case) comes from `engine`.
//
// Criteria: comparisons  field = value  (also <>, !=, <, >, <=, >=),
// field [NOT] LIKE 'pattern', field IS [NOT] NULL, field [NOT] BETWEEN a AND b,
// field [NOT] IN (a, b, ...), joined by AND, OR, NOT and parentheses. Field names
// are matched without regard to case, optionally in [brackets]. Literals: 'text'
// or "text" (a doubled quote inside is one quote), numbers, #dates#, True/False.
// Text compares without regard to case; LIKE has the engine's wildcards (see
// LikePattern). Date, Yes/No and amount literals are read by ValueCodec, as typed
// values are. Record sources: a table or query name, or
// SELECT * FROM name [WHERE criteria] [ORDER BY field [ASC|DESC], ...].
//
// Failures are DataErrors: SyntaxError, UnknownField, UnknownSource, TypeMismatch.
namespace Criteria {

SqlFragment translate(const QString &criteria, const SourceDef &def, const Engine &engine);
ParsedSource parseRecordSource(const QString &source, const Engine &engine);

} // namespace Criteria
