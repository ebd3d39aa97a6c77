#include "TextInput.h"

namespace textInput {

namespace {

bool isDirectionOverride(char16_t c)
{
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

bool isBreakOrTab(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == u'\t' || c == u'\v' || c == u'\f' || c == 0x0085 || c == 0x2028
        || c == 0x2029;
}

// The C0 and C1 control characters (a surrogate half or a joiner is never one).
bool isControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

bool isBlank(QChar c)
{
    return c.isSpace();
}

} // namespace

QString oneLine(const QString &text, int *cursor)
{
    QString out;
    out.reserve(text.size());
    int movedCursor = cursor ? int(text.size()) : 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        if (cursor && i == *cursor)
            movedCursor = int(out.size());
        const char16_t c = text.at(i).unicode();
        if (isBreakOrTab(c)) {
            qsizetype end = i;
            while (end < n && isBreakOrTab(text.at(end).unicode())) {
                if (cursor && end == *cursor)
                    movedCursor = int(out.size());
                ++end;
            }
            // One blank between two words; nothing at the ends or beside a blank.
            if (!out.isEmpty() && !isBlank(out.back()) && end < n && !isBlank(text.at(end)))
                out += QLatin1Char(' ');
            i = end;
            continue;
        }
        if (!isControl(c) && !isDirectionOverride(c))
            out += text.at(i);
        ++i;
    }
    if (cursor) {
        if (*cursor >= n)
            movedCursor = int(out.size());
        *cursor = movedCursor;
    }
    return out;
}

QString multiLine(const QString &text)
{
    QString out = text;
    out.removeIf([](QChar c) { return isDirectionOverride(c.unicode()); });
    return out;
}

} // namespace textInput
