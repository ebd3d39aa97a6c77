#include "WriteTransaction.h"

#include "DataError.h"
#include "Database.h"

WriteTransaction::WriteTransaction(Database &db)
    : m_db(db)
{
    m_db.beginWrite();
    m_serial = m_db.m_transactionSerial;
}

WriteTransaction::~WriteTransaction()
{
    // Never a transaction begun later by someone else, after ours was rolled back.
    if (!m_finished && stillOpen())
        m_db.rollback();
}

bool WriteTransaction::stillOpen() const
{
    return m_db.m_transactionDepth > 0 && m_db.m_transactionSerial == m_serial;
}

void WriteTransaction::commit()
{
    if (m_finished)
        return;
    m_finished = true;
    if (!stillOpen())
        throw DataError::make(DataError::Generic, QStringLiteral("the write was rolled back before its commit"));
    m_db.commit(); // rolls back itself when the commit fails
}
