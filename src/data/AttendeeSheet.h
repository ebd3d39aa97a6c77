#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <memory>
#include <unordered_map>
#include <vector>

class Database;

// The rows of the datasheet, read as they are shown: the event's keys are held
// in the datasheet's order (8 bytes a row), and the shown fields of a row are
// read with the rows around it, a page at a time, by their keys. Sorting asks the
// engine for the keys in that order (caseless for text), once per sort.
class AttendeeSheet
{
public:
    enum Column { Name, Address, Place, Chapter, CheckedIn, CardPrinted, ColumnCount };
    static constexpr int PageRows = 64;

    struct Row
    {
        bool found = false; // false: the attendee was deleted meanwhile
        QString lastName, firstName, address, city, state, postalCode, country, chapter;
        QDateTime checkedIn;   // invalid: not checked in
        QDateTime cardPrinted; // the last card printed; invalid: none
    };

    // The rows of `keys`, in that order (the navigator's, which holds them already).
    AttendeeSheet(std::shared_ptr<Database> db, std::vector<qint64> keys);

    int count() const { return int(m_keys.size()); }
    qint64 keyAt(int row) const { return m_keys.at(size_t(row)); }
    // The row of `key`; -1 when it is not listed.
    int rowOf(qint64 key) const;
    // The shown fields of `row`, reading its page when it has not been read.
    const Row &row(int row);

    // Orders the rows by `column` through the engine, keeping only the keys listed
    // now (the navigator's rows); ties by key.
    void sortBy(Column column);
    // Pages read so far are read again when next shown (after a write).
    void forgetRows();

private:
    void readPage(int page);
    void indexKeys();

    std::shared_ptr<Database> m_db;
    std::vector<qint64> m_keys;
    std::unordered_map<qint64, int> m_rowOfKey;
    std::unordered_map<int, std::vector<Row>> m_pages; // by page number
};
