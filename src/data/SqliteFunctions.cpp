#include "SqliteFunctions.h"

#include "NameFold.h"

#include <QChar>
#include <QList>
#include <algorithm>
#include <sqlite3.h>

namespace {

char32_t fold(char32_t c)
{
    if (c < 128)
        return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
    return QChar::toCaseFolded(c);
}

std::vector<char32_t> foldedUcs4(const QString &text)
{
    std::vector<char32_t> out;
    out.reserve(text.size());
    for (const char32_t c : text.toUcs4())
        out.push_back(fold(c));
    return out;
}

} // namespace

LikePattern::LikePattern(const QString &pattern)
{
    const std::vector<char32_t> p = foldedUcs4(pattern);
    for (size_t i = 0; i < p.size(); ++i) {
        const char32_t c = p[i];
        Token token;
        token.kind = Token::Char;
        if (c == U'*') {
            if (!m_tokens.empty() && m_tokens.back().kind == Token::Star)
                continue; // "**" is "*"
            token.kind = Token::Star;
        } else if (c == U'?') {
            token.kind = Token::One;
        } else if (c == U'#') {
            token.kind = Token::Digit;
        } else if (c == U'[') {
            // A set runs to the next ']' (a ']' right after '[' or '[!' is a member);
            // an unclosed '[' is just the character.
            size_t j = i + 1;
            bool negated = false;
            if (j < p.size() && p[j] == U'!') {
                negated = true;
                ++j;
            }
            size_t close = j;
            if (close < p.size() && p[close] == U']')
                ++close;
            while (close < p.size() && p[close] != U']')
                ++close;
            if (close >= p.size()) {
                token.ch = c;
            } else {
                token.kind = Token::Set;
                token.negated = negated;
                for (size_t k = j; k < close; ++k) {
                    if (k + 2 < close && p[k + 1] == U'-') {
                        token.ranges.emplace_back(p[k], p[k + 2]);
                        k += 2;
                    } else {
                        token.ranges.emplace_back(p[k], p[k]);
                    }
                }
                i = close;
            }
        } else {
            token.ch = c;
        }
        m_tokens.push_back(std::move(token));
    }
}

bool LikePattern::matchOne(const Token &token, char32_t c)
{
    switch (token.kind) {
    case Token::One:
        return true;
    case Token::Digit:
        return c >= U'0' && c <= U'9';
    case Token::Char:
        return c == token.ch;
    case Token::Set: {
        bool in = false;
        for (const auto &[low, high] : token.ranges) {
            if (c >= low && c <= high) {
                in = true;
                break;
            }
        }
        return in != token.negated;
    }
    case Token::Star:
        break;
    }
    return false;
}

// Every token but '*' takes one character, so a single back-track point (the last
// '*') is enough: on a mismatch the last '*' swallows one more character.
template <typename CharAt>
bool LikePattern::match(int length, CharAt charAt) const
{
    const size_t m = m_tokens.size();
    size_t p = 0;
    int v = 0;
    size_t starToken = size_t(-1);
    int starValue = 0;
    while (v < length) {
        if (p < m && m_tokens[p].kind == Token::Star) {
            starToken = p++;
            starValue = v;
            continue;
        }
        if (p < m && matchOne(m_tokens[p], charAt(v))) {
            ++p;
            ++v;
            continue;
        }
        if (starToken == size_t(-1))
            return false;
        p = starToken + 1;
        v = ++starValue;
    }
    while (p < m && m_tokens[p].kind == Token::Star)
        ++p;
    return p == m;
}

namespace {

// One character as the regular expression's text: letters and digits as they
// are (so that the case-insensitive match folds them), anything else escaped by
// its code point, which is never special.
QString regexCharacter(char32_t c)
{
    if (c < 128 && ((c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9')))
        return QString(QChar(char16_t(c)));
    if (c > 127 && QChar::isLetter(c))
        return QString::fromUcs4(&c, 1);
    if (c <= 0xffff)
        return QStringLiteral("\\u%1").arg(uint(c), 4, 16, QLatin1Char('0'));
    return QStringLiteral("\\U%1").arg(uint(c), 8, 16, QLatin1Char('0'));
}

} // namespace

QString LikePattern::toRegularExpression() const
{
    QString regex = QStringLiteral("^");
    for (const Token &token : m_tokens) {
        switch (token.kind) {
        case Token::Star:
            regex += QStringLiteral(".*");
            break;
        case Token::One:
            regex += QLatin1Char('.');
            break;
        case Token::Digit:
            regex += QStringLiteral("[0-9]");
            break;
        case Token::Char:
            regex += regexCharacter(token.ch);
            break;
        case Token::Set: {
            QString members;
            for (const auto &[low, high] : token.ranges) {
                if (low > high)
                    continue; // matches nothing here either
                members += regexCharacter(low);
                if (high != low)
                    members += QLatin1Char('-') + regexCharacter(high);
            }
            // An empty set: no character is in it (text never holds U+0000).
            if (members.isEmpty())
                regex += token.negated ? QStringLiteral(".") : QStringLiteral("\\u0000");
            else
                regex += (token.negated ? QStringLiteral("[^") : QStringLiteral("[")) + members + QLatin1Char(']');
            break;
        }
        }
    }
    return regex + QLatin1Char('$');
}

bool LikePattern::matches(const QString &value) const
{
    const std::vector<char32_t> v = foldedUcs4(value);
    return match(int(v.size()), [&v](int i) { return v[size_t(i)]; });
}

bool LikePattern::matchesUtf8(const char *value, int length) const
{
    bool ascii = true;
    for (int i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(value[i]) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return match(length, [value](int i) { return fold(static_cast<unsigned char>(value[i])); });
    return matches(QString::fromUtf8(value, length));
}

namespace {

void deletePattern(void *pattern)
{
    delete static_cast<LikePattern *>(pattern);
}

// quorvex_like(value, pattern): 1 or 0, NULL when either is NULL. The compiled
// pattern is kept with the statement, so a search compiles it once.
void likeFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    auto *pattern = static_cast<LikePattern *>(sqlite3_get_auxdata(context, 1));
    if (!pattern) {
        const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[1]));
        const int length = sqlite3_value_bytes(argv[1]);
        pattern = new LikePattern(QString::fromUtf8(text, length));
        sqlite3_set_auxdata(context, 1, pattern, &deletePattern);
        // SQLite may drop the aux data at once; fetch it again to know whether it is kept.
        pattern = static_cast<LikePattern *>(sqlite3_get_auxdata(context, 1));
        if (!pattern) {
            const LikePattern once(QString::fromUtf8(
                reinterpret_cast<const char *>(sqlite3_value_text(argv[1])), sqlite3_value_bytes(argv[1])));
            const auto *value = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
            sqlite3_result_int(context, once.matchesUtf8(value, sqlite3_value_bytes(argv[0])) ? 1 : 0);
            return;
        }
    }
    const auto *value = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    sqlite3_result_int(context, pattern->matchesUtf8(value, sqlite3_value_bytes(argv[0])) ? 1 : 0);
}

// QString::compare without regard to case. Up to the first byte that is not ASCII
// the bytes are the UTF-16 code units, folded alike, so the first difference there
// decides as it would in QStrings; names are mostly ASCII and need no QString.
int noCaseCompare(void *, int lengthA, const void *a, int lengthB, const void *b)
{
    const auto *bytesA = static_cast<const unsigned char *>(a);
    const auto *bytesB = static_cast<const unsigned char *>(b);
    const int common = std::min(lengthA, lengthB);
    for (int i = 0; i < common; ++i) {
        if ((bytesA[i] | bytesB[i]) >= 0x80) {
            const QString sa = QString::fromUtf8(static_cast<const char *>(a), lengthA);
            const QString sb = QString::fromUtf8(static_cast<const char *>(b), lengthB);
            return QString::compare(sa, sb, Qt::CaseInsensitive);
        }
        const int foldedA = int(fold(bytesA[i]));
        const int foldedB = int(fold(bytesB[i]));
        if (foldedA != foldedB)
            return foldedA - foldedB;
    }
    // One is the other's beginning: the shorter comes first, as in QStrings.
    return lengthA - lengthB;
}

// Names are mostly ASCII: compared byte by byte as far as both are, the rest folded whole.
void startsFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    const auto *value = reinterpret_cast<const unsigned char *>(sqlite3_value_text(argv[0]));
    const auto *prefix = reinterpret_cast<const unsigned char *>(sqlite3_value_text(argv[1]));
    if (!value || !prefix) {
        sqlite3_result_int(context, 0);
        return;
    }
    const int valueLength = sqlite3_value_bytes(argv[0]);
    const int prefixLength = sqlite3_value_bytes(argv[1]);
    int i = 0;
    for (; i < prefixLength && i < valueLength; ++i) {
        const unsigned char a = value[i];
        const unsigned char b = prefix[i];
        if ((a | b) >= 0x80)
            break;
        if ((a >= 'A' && a <= 'Z' ? a + 32 : a) != b) {
            sqlite3_result_int(context, 0);
            return;
        }
    }
    if (i == prefixLength || i == valueLength) {
        sqlite3_result_int(context, i == prefixLength ? 1 : 0);
        return;
    }
    const QString folded = NameFold::fold(QString::fromUtf8(reinterpret_cast<const char *>(value), valueLength));
    sqlite3_result_int(context, folded.startsWith(QString::fromUtf8(reinterpret_cast<const char *>(prefix),
                                                                    prefixLength)) ? 1 : 0);
}

} // namespace

namespace SqliteFunctions {

bool install(void *sqliteHandle)
{
    auto *db = static_cast<sqlite3 *>(sqliteHandle);
    if (!db)
        return false;
    const int rc1 = sqlite3_create_function_v2(db, LikeFunction, 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                               &likeFunction, nullptr, nullptr, nullptr);
    const int rc2 = sqlite3_create_collation_v2(db, NoCaseCollation, SQLITE_UTF8, nullptr, &noCaseCompare, nullptr);
    const int rc3 = sqlite3_create_function_v2(db, StartsFunction, 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                               &startsFunction, nullptr, nullptr, nullptr);
    return rc1 == SQLITE_OK && rc2 == SQLITE_OK && rc3 == SQLITE_OK;
}

} // namespace SqliteFunctions
