#pragma once

#include "core/status.h"

#include <QString>

namespace fenpai {

class Database;

// The scratch saved queries NewQry1..NewQry6, kept as views in the database file.
class SavedQueries final
{
public:
    // Deletes the saved query of that name (an absent one is fine) and creates it again from a
    // SELECT in the program's dialect. Either both happen or neither. Where the file cannot be
    // written (read-only, a full disk), the query is made a temporary view of the connection
    // instead, so that what reads it still works.
    static Status replace(Database &db, const QString &name, const QString &sql);
};

} // namespace fenpai
