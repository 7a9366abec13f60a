#pragma once

#include "core/status.h"

#include <QString>

namespace fenpai {

class Database;

// Where the database file lives: <dir>/suju/sujuf.mdb below the data directory.
class DataDirectory final
{
public:
    // The data directory to use: an explicit one (--data-dir) first, then FENPAI_DATA_DIR, then
    // the program directory when it is writable, else the per-user data directory.
    static QString resolve(const QString &explicitDir, const QString &programDir);

    // dir + "/" (only when dir does not already end in a separator) + "suju/sujuf.mdb".
    static QString databasePath(const QString &dir);

    explicit DataDirectory(const QString &dir)
        : m_dir(dir)
    {}
    const QString &path() const { return m_dir; }
    QString databasePath() const { return databasePath(m_dir); }

    // Opens the database file, creating the folder and a new file with what comes with it when
    // missing. A file that is not a database is refused untouched.
    Status openDatabase(Database &db) const;

private:
    QString m_dir;
};

} // namespace fenpai
