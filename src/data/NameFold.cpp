#include "NameFold.h"

#include <QHash>

namespace {

struct Table
{
    QString from;
    QString to;
    QHash<char16_t, char16_t> map;
    QMultiHash<char16_t, char16_t> folding; // the plain letter -> the letters that fold to it
};

// The first letter of a letter's canonical decomposition, all the way down
// ("ǖ" -> "ü" -> "u").
char16_t baseOf(char16_t c)
{
    QString d = QChar(c).decomposition();
    while (!d.isEmpty() && QChar(c).decompositionTag() == QChar::Canonical) {
        c = d.at(0).unicode();
        d = QChar(c).decomposition();
    }
    return c;
}

Table makeTable()
{
    Table t;
    // Latin-1 Supplement, Latin Extended-A and -B, Latin Extended Additional.
    const auto add = [&t](char16_t from, char16_t to) {
        to = QChar::toLower(to);
        if (from == to || t.map.contains(from))
            return;
        t.map.insert(from, to);
        t.from += QChar(from);
        t.to += QChar(to);
    };
    // Letters without a decomposition that a reader still takes for the plain one.
    const char16_t plain[][2] = {{u'Ø', u'o'}, {u'ø', u'o'}, {u'Đ', u'd'}, {u'đ', u'd'}, {u'Ł', u'l'},
                                 {u'ł', u'l'}, {u'Ħ', u'h'}, {u'ħ', u'h'}, {u'ı', u'i'}, {u'Ŧ', u't'},
                                 {u'ŧ', u't'}, {u'Ɨ', u'i'}, {u'ɨ', u'i'}, {u'Ƶ', u'z'}, {u'ƶ', u'z'}};
    for (const auto &pair : plain)
        add(pair[0], pair[1]);
    const auto range = [&](char16_t first, char16_t last) {
        for (char16_t c = first; c <= last; ++c) {
            const char16_t base = baseOf(c);
            if (base != c && base < 0x80 && QChar(base).isLetter())
                add(c, base);
        }
    };
    range(0x00C0, 0x024F);
    range(0x1E00, 0x1EFF);
    for (auto it = t.map.cbegin(); it != t.map.cend(); ++it)
        t.folding.insert(it.value(), it.key());
    return t;
}

const Table &table()
{
    static const Table t = makeTable();
    return t;
}

} // namespace

namespace NameFold {

QString fold(const QString &text)
{
    const Table &t = table();
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80)
            out += QChar(u >= 'A' && u <= 'Z' ? char16_t(u + 32) : u);
        else
            out += QChar(t.map.value(u, QChar::toLower(u)));
    }
    return out;
}

QList<char32_t> lettersFoldingTo(QChar folded)
{
    const char16_t f = folded.unicode();
    QList<char32_t> letters {f};
    const auto add = [&](char32_t c) {
        if (!letters.contains(c) && fold(QString(QChar(c))) == QString(folded))
            letters << c;
    };
    add(QChar::toUpper(char32_t(f)));
    add(QChar::toTitleCase(char32_t(f)));
    const QList<char16_t> accented = table().folding.values(f);
    for (const char16_t c : accented)
        add(c);
    return letters;
}

const QString &accentedLetters()
{
    return table().from;
}

const QString &plainLetters()
{
    return table().to;
}

} // namespace NameFold
