#include "Criteria.h"

#include "Currency.h"
#include "DataError.h"
#include "Engine.h"
#include "ValueCodec.h"

#include <QList>

namespace {

struct Token
{
    enum Kind { End, Ident, String, Number, Date, Op, LParen, RParen, Comma, Star, Semicolon, Minus } kind = End;
    QString text;
    bool bracketed = false; // an identifier written in [brackets] is never a keyword
    int position = 0;
};

class Lexer
{
public:
    explicit Lexer(const QString &text) : m_text(text) { tokenize(); }
    const QList<Token> &tokens() const { return m_tokens; }

private:
    [[noreturn]] void fail(int position, const QString &what)
    {
        throw DataError::make(DataError::SyntaxError,
                              QStringLiteral("%1 at character %2 of: %3").arg(what).arg(position + 1).arg(m_text));
    }

    void tokenize()
    {
        int i = 0;
        const int n = int(m_text.size());
        while (i < n) {
            const QChar c = m_text.at(i);
            if (c.isSpace()) {
                ++i;
                continue;
            }
            Token t;
            t.position = i;
            if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
                t.kind = Token::String;
                ++i;
                bool closed = false;
                while (i < n) {
                    if (m_text.at(i) == c) {
                        if (i + 1 < n && m_text.at(i + 1) == c) {
                            t.text += c;
                            i += 2;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    t.text += m_text.at(i++);
                }
                if (!closed)
                    fail(t.position, QStringLiteral("A quoted text has no closing quote"));
            } else if (c == QLatin1Char('#')) {
                t.kind = Token::Date;
                const int close = int(m_text.indexOf(QLatin1Char('#'), i + 1));
                if (close < 0)
                    fail(i, QStringLiteral("A #date# has no closing #"));
                t.text = m_text.mid(i + 1, close - i - 1).trimmed();
                i = close + 1;
            } else if (c == QLatin1Char('[')) {
                t.kind = Token::Ident;
                t.bracketed = true;
                const int close = int(m_text.indexOf(QLatin1Char(']'), i + 1));
                if (close < 0)
                    fail(i, QStringLiteral("A [field name] has no closing ]"));
                t.text = m_text.mid(i + 1, close - i - 1);
                i = close + 1;
            } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && m_text.at(i + 1).isDigit())) {
                t.kind = Token::Number;
                while (i < n && (m_text.at(i).isDigit() || m_text.at(i) == QLatin1Char('.')))
                    t.text += m_text.at(i++);
            } else if (c.isLetter() || c == QLatin1Char('_')) {
                t.kind = Token::Ident;
                while (i < n && (m_text.at(i).isLetterOrNumber() || m_text.at(i) == QLatin1Char('_')))
                    t.text += m_text.at(i++);
            } else if (c == QLatin1Char('<') || c == QLatin1Char('>') || c == QLatin1Char('=')
                       || c == QLatin1Char('!')) {
                t.kind = Token::Op;
                t.text = c;
                ++i;
                if (i < n && (m_text.at(i) == QLatin1Char('=') || (c == QLatin1Char('<') && m_text.at(i) == QLatin1Char('>')))) {
                    t.text += m_text.at(i++);
                }
                if (t.text == QLatin1String("!"))
                    fail(t.position, QStringLiteral("Unexpected \"!\""));
                if (t.text == QLatin1String("=="))
                    t.text = QStringLiteral("=");
            } else if (c == QLatin1Char('(')) {
                t.kind = Token::LParen;
                ++i;
            } else if (c == QLatin1Char(')')) {
                t.kind = Token::RParen;
                ++i;
            } else if (c == QLatin1Char(',')) {
                t.kind = Token::Comma;
                ++i;
            } else if (c == QLatin1Char('*')) {
                t.kind = Token::Star;
                ++i;
            } else if (c == QLatin1Char(';')) {
                t.kind = Token::Semicolon;
                ++i;
            } else if (c == QLatin1Char('-')) {
                t.kind = Token::Minus;
                ++i;
            } else {
                fail(i, QStringLiteral("Unexpected \"%1\"").arg(c));
            }
            m_tokens.append(t);
        }
        Token end;
        end.position = n;
        m_tokens.append(end);
    }

    QString m_text;
    QList<Token> m_tokens;
};

class Parser
{
public:
    Parser(const QString &text, const QList<Token> &tokens, const SourceDef *def, const Engine &engine)
        : m_text(text), m_tokens(tokens), m_def(def), m_engine(engine) {}

    void setSource(const SourceDef *def) { m_def = def; }
    const Token &peek() const { return m_tokens.at(m_pos); }
    const Token &take() { return m_tokens.at(m_pos++); }
    bool atKeyword(const char *word) const
    {
        const Token &t = peek();
        return t.kind == Token::Ident && !t.bracketed && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    bool takeKeyword(const char *word)
    {
        if (!atKeyword(word))
            return false;
        ++m_pos;
        return true;
    }
    bool takeComma()
    {
        if (peek().kind != Token::Comma)
            return false;
        ++m_pos;
        return true;
    }
    void expectKeyword(const char *word)
    {
        if (!takeKeyword(word))
            fail(QStringLiteral("Expected %1").arg(QLatin1String(word)));
    }
    [[noreturn]] void fail(const QString &what) const
    {
        throw DataError::make(DataError::SyntaxError,
                              QStringLiteral("%1 at character %2 of: %3").arg(what).arg(peek().position + 1).arg(m_text));
    }

    SqlFragment expression()
    {
        SqlFragment left = conjunction();
        while (takeKeyword("OR")) {
            SqlFragment right = conjunction();
            left.sql = QStringLiteral("(%1 OR %2)").arg(left.sql, right.sql);
            left.params += right.params;
        }
        return left;
    }

    const FieldDef &field()
    {
        const Token &t = peek();
        if (t.kind != Token::Ident)
            fail(QStringLiteral("Expected a field name"));
        ++m_pos;
        for (const FieldDef &f : m_def->fields) {
            if (f.name.compare(t.text, Qt::CaseInsensitive) == 0)
                return f;
        }
        throw DataError::make(DataError::UnknownField, QStringLiteral("%1 in %2").arg(t.text, m_def->name));
    }

    QString orderBy()
    {
        QStringList parts;
        do {
            QString part = operand(field());
            if (takeKeyword("DESC")) {
                part += QStringLiteral(" DESC");
            } else {
                takeKeyword("ASC");
                part += QStringLiteral(" ASC");
            }
            parts << part;
        } while (takeComma());
        return parts.join(QStringLiteral(", "));
    }

private:
    // The field as a comparison or an ordering sees it: text without regard to case.
    // Its name is the schema's, never the text the user typed.
    QString operand(const FieldDef &f) const { return f.kind == FieldKind::Text ? m_engine.caseless(f.name) : f.name; }

    SqlFragment conjunction()
    {
        SqlFragment left = negation();
        while (takeKeyword("AND")) {
            SqlFragment right = negation();
            left.sql = QStringLiteral("(%1 AND %2)").arg(left.sql, right.sql);
            left.params += right.params;
        }
        return left;
    }

    SqlFragment negation()
    {
        if (takeKeyword("NOT")) {
            SqlFragment inner = negation();
            inner.sql = QStringLiteral("(NOT %1)").arg(inner.sql);
            return inner;
        }
        if (peek().kind == Token::LParen) {
            ++m_pos;
            SqlFragment inner = expression();
            if (peek().kind != Token::RParen)
                fail(QStringLiteral("Expected )"));
            ++m_pos;
            inner.sql = QStringLiteral("(%1)").arg(inner.sql);
            return inner;
        }
        return comparison();
    }

    SqlFragment comparison()
    {
        const FieldDef &f = field();
        const QString col = operand(f);
        SqlFragment out;
        if (takeKeyword("IS")) {
            const bool negated = takeKeyword("NOT");
            expectKeyword("NULL");
            out.sql = QStringLiteral("(%1 IS %2NULL)").arg(f.name, negated ? QStringLiteral("NOT ") : QString());
            return out;
        }
        const bool negated = takeKeyword("NOT");
        if (takeKeyword("LIKE")) {
            const Token &t = take();
            if (t.kind != Token::String)
                fail(QStringLiteral("LIKE needs a quoted pattern"));
            out = m_engine.like(f.name, t.text);
            out.sql = QStringLiteral("(%1%2)").arg(negated ? QStringLiteral("NOT ") : QString(), out.sql);
            return out;
        }
        if (takeKeyword("BETWEEN")) {
            const QVariant low = literal(f);
            expectKeyword("AND");
            const QVariant high = literal(f);
            out.sql = QStringLiteral("(%1 %2BETWEEN ? AND ?)").arg(col, negated ? QStringLiteral("NOT ") : QString());
            out.params << low << high;
            return out;
        }
        if (takeKeyword("IN")) {
            if (peek().kind != Token::LParen)
                fail(QStringLiteral("IN needs a list in parentheses"));
            ++m_pos;
            QStringList marks;
            do {
                out.params << literal(f);
                marks << QStringLiteral("?");
            } while (takeComma());
            if (peek().kind != Token::RParen)
                fail(QStringLiteral("Expected )"));
            ++m_pos;
            out.sql = QStringLiteral("(%1 %2IN (%3))").arg(col, negated ? QStringLiteral("NOT ") : QString(),
                                                           marks.join(QStringLiteral(", ")));
            return out;
        }
        if (negated)
            fail(QStringLiteral("Expected LIKE, BETWEEN or IN after NOT"));
        const Token &op = take();
        if (op.kind != Token::Op)
            fail(QStringLiteral("Expected a comparison (=, <>, <, >, <=, >=, LIKE, IS NULL)"));
        const QString sqlOp = op.text == QLatin1String("!=") ? QStringLiteral("<>") : op.text;
        out.sql = QStringLiteral("(%1 %2 ?)").arg(col, sqlOp);
        out.params << literal(f);
        return out;
    }

    // A literal, as the field stores it.
    QVariant literal(const FieldDef &f)
    {
        bool negative = false;
        if (peek().kind == Token::Minus) {
            negative = true;
            ++m_pos;
        }
        const Token &t = take();
        auto mismatch = [&]() -> QVariant {
            throw DataError::make(DataError::TypeMismatch, QStringLiteral("%1 for the field %2").arg(t.text, f.name));
        };
        if (t.kind == Token::Ident && !t.bracketed && t.text.compare(QLatin1String("NULL"), Qt::CaseInsensitive) == 0 && !negative)
            return QVariant();
        bool isTrue = false;
        bool isBool = false;
        if (t.kind == Token::Ident && !t.bracketed) {
            // True/Yes/On, False/No/Off: the words a Yes/No field takes when typed.
            const std::optional<bool> word = ValueCodec::parseYesNo(t.text);
            if (!word)
                fail(QStringLiteral("Expected a value (a quoted text, a number, a #date#, True or False)"));
            isBool = true;
            isTrue = *word;
        } else if (t.kind != Token::String && t.kind != Token::Number && t.kind != Token::Date) {
            fail(QStringLiteral("Expected a value (a quoted text, a number, a #date#, True or False)"));
        }
        const QString text = (negative ? QStringLiteral("-") : QString()) + t.text;
        switch (f.kind) {
        case FieldKind::Text:
            if (isBool)
                return isTrue ? QStringLiteral("True") : QStringLiteral("False");
            return text;
        case FieldKind::Integer: {
            if (isBool)
                return qint64(isTrue ? -1 : 0);
            bool ok = false;
            const qint64 v = text.trimmed().toLongLong(&ok);
            if (ok)
                return v;
            const double d = text.trimmed().toDouble(&ok);
            if (ok)
                return d;
            return mismatch();
        }
        case FieldKind::Currency: {
            if (isBool)
                return mismatch();
            const auto c = ValueCodec::parseCurrency(text);
            if (!c)
                return mismatch();
            return c->raw();
        }
        case FieldKind::YesNo: {
            if (isBool)
                return qint64(isTrue ? 1 : 0);
            bool ok = false;
            const qint64 v = text.trimmed().toLongLong(&ok);
            if (ok)
                return qint64(v != 0 ? 1 : 0);
            if (const std::optional<bool> word = ValueCodec::parseYesNo(text))
                return ValueCodec::toStored(*word, FieldKind::YesNo);
            return mismatch();
        }
        case FieldKind::Date: {
            const QDate d = ValueCodec::parseDate(t.text);
            if (!d.isValid() || negative)
                return mismatch();
            return ValueCodec::toStored(d, FieldKind::Date);
        }
        case FieldKind::DateTime: {
            const QDateTime when = QDateTime::fromString(t.text.trimmed(), Qt::ISODateWithMs);
            if (!when.isValid() || negative)
                return mismatch();
            return ValueCodec::toStored(when, FieldKind::DateTime);
        }
        }
        return mismatch();
    }

    QString m_text;
    QList<Token> m_tokens;
    const SourceDef *m_def;
    const Engine &m_engine;
    int m_pos = 0;
};

bool isPlainName(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('_'))
            return false;
    }
    return true;
}

const SourceDef *knownSource(const QString &name)
{
    const SourceDef *def = Schema::source(name);
    if (!def)
        throw DataError::make(DataError::UnknownSource, name);
    return def;
}

} // namespace

namespace Criteria {

SqlFragment translate(const QString &criteria, const SourceDef &def, const Engine &engine)
{
    const Lexer lexer(criteria);
    Parser parser(criteria, lexer.tokens(), &def, engine);
    if (parser.peek().kind == Token::End)
        parser.fail(QStringLiteral("The criteria are empty"));
    SqlFragment out = parser.expression();
    if (parser.peek().kind != Token::End)
        parser.fail(QStringLiteral("Unexpected text after the criteria"));
    return out;
}

ParsedSource parseRecordSource(const QString &source, const Engine &engine)
{
    ParsedSource parsed;
    const QString trimmed = source.trimmed();
    if (isPlainName(trimmed) || (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']')))) {
        QString name = trimmed;
        if (name.startsWith(QLatin1Char('[')))
            name = name.mid(1, name.size() - 2);
        parsed.def = knownSource(name);
        return parsed;
    }
    const Lexer lexer(trimmed);
    Parser parser(trimmed, lexer.tokens(), nullptr, engine);
    parser.expectKeyword("SELECT");
    if (parser.peek().kind != Token::Star)
        parser.fail(QStringLiteral("Only SELECT * FROM ... is supported as a record source"));
    parser.take();
    parser.expectKeyword("FROM");
    const Token &name = parser.take();
    if (name.kind != Token::Ident)
        parser.fail(QStringLiteral("Expected a table or query name"));
    parsed.def = knownSource(name.text);
    parser.setSource(parsed.def);
    if (parser.takeKeyword("WHERE"))
        parsed.where = parser.expression();
    if (parser.takeKeyword("ORDER")) {
        parser.expectKeyword("BY");
        parsed.orderBy = parser.orderBy();
    }
    if (parser.peek().kind == Token::Semicolon)
        parser.take();
    if (parser.peek().kind != Token::End)
        parser.fail(QStringLiteral("Unexpected text in the record source"));
    return parsed;
}

} // namespace Criteria
