#pragma once

#include "db/database.h"

namespace fenpai {

// Begins a transaction and rolls it back on destruction unless commit() was called, so a job
// that fails part-way leaves the data as it was. Inside another transaction it is a savepoint:
// several jobs run as one (the demo data's three imports) are kept or undone together.
class Transaction final
{
public:
    explicit Transaction(Database &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    const Status &status() const { return m_status; }
    Status commit();

private:
    Database &m_db;
    Status m_status;
    bool m_active = false;
    bool m_nested = false;
};

} // namespace fenpai
