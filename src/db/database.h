#pragma once

#include "core/heldfiles.h"
#include "core/result.h"
#include "core/status.h"
#include "db/query.h"
#include "db/statement.h"

#include <QString>
#include <QStringList>

struct sqlite3;

namespace fenpai {

struct OpenOptions
{
    bool createIfMissing = true; // create the file when it does not exist
    bool readOnly = false;
};

// One open database file. Statements are in the program's dialect (SqlDialect translates them)
// unless the method says "native".
class Database final
{
public:
    Database() = default;
    ~Database();
    Database(Database &&other) noexcept;
    Database &operator=(Database &&other) noexcept;
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens the file and checks that it is a database; nothing is written by opening. While
    // open, the file is held (HeldFiles): outputs refuse to replace it.
    Status open(const QString &path, const OpenOptions &options = {});
    void close();
    bool isOpen() const { return m_db != nullptr; }
    // True when the file was opened, or could only be opened, for reading.
    bool isReadOnly() const;
    const QString &path() const { return m_path; }

    // Runs one statement (action or DDL) of the program's dialect.
    Status exec(const QString &sql);
    // Runs one or more statements of SQLite's dialect, as they stand.
    Status execNative(const QString &sql);

    Result<Statement> prepare(const QString &sql);
    Result<Statement> prepareNative(const QString &sql);

    // A table or saved-query name, or a SELECT statement, opened as a recordset.
    Result<Query> query(const QString &sourceOrSql, const QVariantList &parameters = {});

    // The first column of the first row of a query; an invalid QVariant when there is no row.
    Result<QVariant> scalar(const QString &sql, const QVariantList &parameters = {});

    Status begin();
    Status commit();
    Status rollback();
    bool inTransaction() const;

    qint64 changes() const;

    bool hasTable(const QString &name) const;    // a table (not a view)
    bool hasRelation(const QString &name) const; // a table or a view
    QStringList tables() const;
    // The saved queries: the file's views, then this connection's temporary ones (a database
    // that cannot be written keeps its report queries there) that no stored view names.
    QStringList views() const;
    QStringList columns(const QString &table) const; // in declared order; empty when missing
    // The first name a statement reads from or writes to (after FROM, JOIN, INTO or UPDATE)
    // that is neither a table nor a view; empty when there is none. Names a refused
    // statement's missing table by the schema rather than by SQLite's English.
    QString missingRelation(const QString &sql) const;

    sqlite3 *handle() const { return m_db; }

    // Maps an SQLite result code to a Status: kind and message chosen by the code, the message in
    // the user's words; the connection's own (English) message goes to the log.
    static Status statusFromSqlite(sqlite3 *db, int rc);
    // The user's words for an SQLite result code.
    static QString describe(int rc);

private:
    QStringList namesOf(const char *type, const char *schemaTable = "sqlite_master") const;

    sqlite3 *m_db = nullptr;
    QString m_path;
    HeldFiles::Identity m_held; // the file, so that no output replaces it while open
};

} // namespace fenpai
