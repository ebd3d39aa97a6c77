#include "FieldMatcher.h"

#include "ImportFields.h"

#include <QHash>

namespace {

// The normalized names and captions (rank 0) and the usual words (rank 1), with
// the field each means.
const QHash<QString, QString> &table(int rank)
{
    static const QHash<QString, QString> tables[2] = {[] {
        QHash<QString, QString> own;
        for (const ImportField &field : ImportFields::all()) {
            own.insert(ImportFields::normalized(field.name), field.name);
            own.insert(ImportFields::normalized(field.caption), field.name);
        }
        return own;
    }(), [] {
        QHash<QString, QString> usual;
        for (const ImportField &field : ImportFields::all())
            for (const QString &word : field.words)
                usual.insert(ImportFields::normalized(word), field.name);
        return usual;
    }()};
    return tables[rank];
}

// The field a normalized header means at `rank` (2: the longest name or word of
// four letters at least that the header begins with).
QString fieldAt(const QString &plain, int rank)
{
    if (plain.isEmpty())
        return {};
    if (rank < 2)
        return table(rank).value(plain);
    QString best;
    qsizetype bestLength = 3;
    for (int words = 0; words < 2; ++words) {
        for (auto it = table(words).constBegin(); it != table(words).constEnd(); ++it) {
            if (it.key().size() > bestLength && plain.startsWith(it.key())) {
                best = it.value();
                bestLength = it.key().size();
            }
        }
    }
    return best;
}

} // namespace

QString FieldMatcher::fieldFor(const QString &header)
{
    const QString plain = ImportFields::normalized(header);
    for (int rank = 0; rank < 3; ++rank)
        if (const QString field = fieldAt(plain, rank); !field.isEmpty())
            return field;
    return {};
}

QStringList FieldMatcher::guess(const QStringList &header)
{
    QStringList plain;
    for (const QString &column : header)
        plain << ImportFields::normalized(column);
    QStringList fields(header.size());
    QStringList taken;
    // The field's own name or caption before a usual word, before a beginning: a
    // "Phone" column does not take HomePhone from a later "Home Phone".
    for (int rank = 0; rank < 3; ++rank) {
        for (qsizetype i = 0; i < header.size(); ++i) {
            if (!fields.at(i).isEmpty())
                continue;
            const QString field = fieldAt(plain.at(i), rank);
            if (!field.isEmpty() && !taken.contains(field)) {
                fields[i] = field;
                taken << field;
            }
        }
    }
    return fields;
}
