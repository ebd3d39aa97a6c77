#pragma once

#include <QString>
#include <memory>
#include <vector>

// The engine's LIKE for the recordset's criteria: `*` any run of characters, `?`
// one character, `#` one digit, `[abc]`, `[a-z]` and `[!abc]` one character of (or
// not of) a set. Every other character, `%` and `_` included, stands for itself.
// Letters match without regard to case for every alphabet ("ÉMILE" matches
// "*émile*"), by Unicode case folding.
class LikePattern
{
public:
    explicit LikePattern(const QString &pattern);
    bool matches(const QString &value) const;
    // `value` as UTF-8 bytes (what SQLite hands a function); ASCII text needs no copy.
    bool matchesUtf8(const char *value, int length) const;
    // The same pattern as a regular expression (POSIX, as PostgreSQL's ~* reads
    // it), anchored at both ends, for an engine whose own LIKE lacks these
    // wildcards; matched without regard to case, it matches what matches() does.
    QString toRegularExpression() const;

private:
    struct Token
    {
        enum Kind { Star, One, Digit, Char, Set } kind = Char;
        char32_t ch = 0;
        std::vector<std::pair<char32_t, char32_t>> ranges;
        bool negated = false;
    };
    template <typename CharAt>
    bool match(int length, CharAt charAt) const;
    static bool matchOne(const Token &token, char32_t c);

    std::vector<Token> m_tokens;
};

namespace SqliteFunctions {

// SQL names of what register() installs on a connection.
inline constexpr const char *LikeFunction = "quorvex_like";  // quorvex_like(value, pattern)
inline constexpr const char *NoCaseCollation = "QUORVEX_NOCASE"; // case-folded comparison
// quorvex_starts(value, foldedPrefix): whether NameFold::fold(value) begins with foldedPrefix.
inline constexpr const char *StartsFunction = "quorvex_starts";

// Installs the function and the collation on an open SQLite handle (a `sqlite3 *`);
// false when the handle is not SQLite's.
bool install(void *sqliteHandle);

} // namespace SqliteFunctions
