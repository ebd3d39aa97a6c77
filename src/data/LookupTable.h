#pragma once

#include <QString>
#include <QStringList>

struct SourceDef;

// A lookup table behind a list box ("Title", "Office"): a key the database fills,
// the list value (column 1) and a second text column that receives the same value
// (column 2). Every call opens a connection of its own for that call and releases
// it at its end, so it always sees what other workstations stored. Values are
// always bound as parameters: a quote in a name is just a character.
class LookupTable
{
public:
    // UnknownSource when `table` names no lookup table of the schema; the database
    // is not touched before a call.
    LookupTable(QString location, const QString &table);

    // Column 1 of every row, sorted without regard to case (values equal but for
    // case in code-point order, identical ones kept as stored).
    QStringList values() const;
    // Whether a row holds `value` in column 1, letter case aside.
    bool contains(const QString &value) const;
    // Stores `value` in both text columns, exactly as given, unless a row holds it
    // already (letter case aside; another workstation may have added it since the
    // list was read). True when a row was added.
    bool add(const QString &value) const;
    // Deletes every row that meets `criteria` (e.g. "OfficeName = 'Member'"; see
    // Criteria); the number of rows deleted.
    int deleteWhere(const QString &criteria) const;

private:
    QString m_location;
    const SourceDef *m_def;
};
