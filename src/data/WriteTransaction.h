#pragma once

#include <QtGlobal>

class Database;

// One write to the database, all or nothing. The constructor begins it (taking the
// write lock at once; ReadOnly or Locked when that cannot be had), commit() makes it
// durable, and the destructor rolls back what was not committed, so an exception on
// the way out leaves nothing half written.
//
// Guards nest on one connection: an inner guard joins the transaction already open
// and its commit() leaves the real commit to the outermost guard. An inner guard
// that rolls back undoes the whole transaction; the outer commit() then fails
// (DataError::Generic) rather than report a write that did not happen.
class WriteTransaction
{
public:
    explicit WriteTransaction(Database &db);
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction &) = delete;
    WriteTransaction &operator=(const WriteTransaction &) = delete;

    void commit();

private:
    bool stillOpen() const;

    Database &m_db;
    quint64 m_serial; // which transaction of the connection this guard belongs to
    bool m_finished = false;
};
