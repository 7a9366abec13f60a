#pragma once

#include "core/status.h"

#include <QString>

namespace fenpai {

class Database;

// Where the database file lives: <dir>/suju/sujuf.mdb below the data directory.
class DataDirectory final
{
public:
    // The data directory to use: an explicit one (--data-dir) first, then FENPAI_DATA_DIR; then,
    // for an installed program (PREFIX/bin beside PREFIX/share/fenpai), PREFIX/share/fenpai, and
    // for any other the program directory; when that is not writable, or lies in /usr, the
    // per-user data directory (userDir()).
    static QString resolve(const QString &explicitDir, const QString &programDir);

    // PREFIX/share/fenpai when programDir is the bin folder of an installed tree, else empty.
    static QString installedDir(const QString &programDir);
    // The per-user data directory: the application's AppDataLocation (~/.local/share/分班排考),
    // or ~/.local/share/fenpai where an earlier version keeps a database.
    static QString userDir();

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
