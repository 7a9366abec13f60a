#include "db/database.h"

#include "core/numbertext.h"
#include "db/sqldialect.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

#include <utility>

namespace fenpai {

namespace {

// Text concatenation for the statements' `&`: a null operand contributes nothing, all-null gives
// null; numbers print as the documents print them ("95", not "95.0").
void concatSkipNull(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    QByteArray out;
    bool anyValue = false;
    for (int i = 0; i < argc; ++i) {
        sqlite3_value *v = argv[i];
        switch (sqlite3_value_type(v)) {
        case SQLITE_NULL:
            continue;
        case SQLITE_FLOAT:
            out += NumberText::format(sqlite3_value_double(v)).toUtf8();
            break;
        case SQLITE_INTEGER:
            out += QByteArray::number(static_cast<qlonglong>(sqlite3_value_int64(v)));
            break;
        default:
            out += QByteArray(reinterpret_cast<const char *>(sqlite3_value_text(v)),
                              sqlite3_value_bytes(v));
            break;
        }
        anyValue = true;
    }
    if (!anyValue) {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_text64(context, out.constData(), static_cast<sqlite3_uint64>(out.size()),
                          SQLITE_TRANSIENT, SQLITE_UTF8);
}

bool looksLikeName(const QString &text)
{
    const QString t = text.trimmed();
    if (t.startsWith(u'[') && t.endsWith(u']'))
        return !t.mid(1, t.size() - 2).contains(u']');
    for (QChar c : t) {
        if (c.isSpace() || c == u'(' || c == u',' || c == u'\'' || c == u';')
            return false;
    }
    return !t.isEmpty();
}

} // namespace

Database::~Database()
{
    close();
}

Database::Database(Database &&other) noexcept
    : m_db(std::exchange(other.m_db, nullptr))
    , m_path(std::move(other.m_path))
    , m_held(std::exchange(other.m_held, {}))
{}

Database &Database::operator=(Database &&other) noexcept
{
    if (this != &other) {
        close();
        m_db = std::exchange(other.m_db, nullptr);
        m_path = std::move(other.m_path);
        m_held = std::exchange(other.m_held, {});
    }
    return *this;
}

QString Database::describe(int rc)
{
    switch (rc & 0xff) {
    case SQLITE_NOTADB:
        return QStringLiteral("文件不是本程序的数据库文件");
    case SQLITE_CANTOPEN:
        return QStringLiteral("无法打开数据库文件");
    case SQLITE_IOERR:
        return QStringLiteral("读写数据库文件时出错");
    case SQLITE_READONLY:
        return QStringLiteral("数据库文件是只读的，无法写入");
    case SQLITE_CORRUPT:
        return QStringLiteral("数据库文件已损坏");
    case SQLITE_FULL:
        return QStringLiteral("磁盘已满，无法写入数据库");
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("没有访问数据库文件的权限");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("数据库正被其他操作使用，请稍后再试");
    case SQLITE_CONSTRAINT:
        return QStringLiteral("数据不符合数据表的约束");
    case SQLITE_TOOBIG:
        return QStringLiteral("数据太大，无法保存");
    case SQLITE_NOMEM:
        return QStringLiteral("内存不足");
    case SQLITE_INTERRUPT:
        return QStringLiteral("操作已中断");
    case SQLITE_ERROR:
        return QStringLiteral("数据库无法执行这条语句（数据表、字段或查询有误）");
    default:
        return QStringLiteral("数据库出错（代码%1）").arg(rc);
    }
}

Status Database::statusFromSqlite(sqlite3 *db, int rc)
{
    // SQLite's own words are for the log; the user reads ours, chosen by the result code.
    const QString engine =
        db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    qWarning("SQLite %d: %s", rc, qUtf8Printable(engine));
    const QString message = describe(rc);
    using K = Status::Kind;
    K kind = K::Other;
    switch (rc & 0xff) {
    case SQLITE_NOTADB:
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
    case SQLITE_READONLY:
    case SQLITE_CORRUPT:
    case SQLITE_FULL:
    case SQLITE_PERM:
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        kind = K::Io;
        break;
    case SQLITE_CONSTRAINT:
        kind = K::Constraint;
        break;
    case SQLITE_ERROR:
        kind = K::Sql;
        break;
    default:
        break;
    }
    return Status::sqlite(kind, rc, message);
}

Status Database::open(const QString &path, const OpenOptions &options)
{
    close();
    if (!options.createIfMissing && !QFileInfo::exists(path))
        return Status::error(Status::Kind::Io, QStringLiteral("文件不存在：") + path);
    int flags = options.readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (options.createIfMissing && !options.readOnly)
        flags |= SQLITE_OPEN_CREATE;
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        Status s = statusFromSqlite(db, rc);
        sqlite3_close(db);
        return s;
    }
    m_db = db;
    m_path = path;
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, 2000);
    // Saved queries of files written by version 0.1 call the function "jet_cat"; both names
    // stay registered so those views keep working.
    for (const char *name : {"concat_skip_null", "jet_cat"})
        sqlite3_create_function_v2(m_db, name, -1,
                                   SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                                   &concatSkipNull, nullptr, nullptr, nullptr);
    // Reading the schema is what tells a database from any other file.
    Status s = execNative(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    if (!s.isOk()) {
        close();
        return s;
    }
    m_held = HeldFiles::hold(path);
    return Status::ok();
}

void Database::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    HeldFiles::release(std::exchange(m_held, {}));
}

Status Database::exec(const QString &sql)
{
    Result<Statement> st = prepare(sql);
    if (!st)
        return st.status();
    return st->exec();
}

Status Database::execNative(const QString &sql)
{
    if (!m_db)
        return Status::error(Status::Kind::Io, QStringLiteral("数据库未打开"));
    char *error = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    if (error)
        sqlite3_free(error);
    if (rc != SQLITE_OK)
        return statusFromSqlite(m_db, rc);
    return Status::ok();
}

Result<Statement> Database::prepare(const QString &sql)
{
    return prepareNative(SqlDialect::translate(sql));
}

Result<Statement> Database::prepareNative(const QString &sql)
{
    if (!m_db)
        return Status::error(Status::Kind::Io, QStringLiteral("数据库未打开"));
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    const char *tail = nullptr;
    const int rc =
        sqlite3_prepare_v2(m_db, utf8.constData(), static_cast<int>(utf8.size()), &stmt, &tail);
    if (rc != SQLITE_OK)
        return statusFromSqlite(m_db, rc);
    if (!stmt)
        return Status::error(Status::Kind::Sql, QStringLiteral("语句是空的"));
    // One statement at a time: a second one hidden behind a ";" is refused, not ignored.
    if (tail && QString::fromUtf8(tail).trimmed().remove(u';').trimmed().size() > 0) {
        sqlite3_finalize(stmt);
        qWarning("more than one statement: %s", tail);
        return Status::error(Status::Kind::Sql, QStringLiteral("一次只能执行一条语句"));
    }
    return Statement(m_db, stmt);
}

QString Database::missingRelation(const QString &sql) const
{
    static const QRegularExpression named(
        QStringLiteral("\\b(?:from|join|into|update)\\s+(\\[[^\\]]+\\]|\"[^\"]+\"|`[^`]+`|"
                       "[^\\s,;()\\[\\]\"`]+)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    for (auto it = named.globalMatch(sql); it.hasNext();) {
        QString name = it.next().captured(1);
        if (name.size() >= 2 &&
            (name.startsWith(u'[') || name.startsWith(u'"') || name.startsWith(u'`')))
            name = name.mid(1, name.size() - 2);
        if (!hasRelation(name))
            return name;
    }
    return {};
}

Result<Query> Database::query(const QString &sourceOrSql, const QVariantList &parameters)
{
    QString sql = sourceOrSql;
    if (looksLikeName(sourceOrSql)) {
        QString name = sourceOrSql.trimmed();
        if (name.startsWith(u'['))
            name = name.mid(1, name.size() - 2);
        if (!hasRelation(name))
            return Status::error(Status::Kind::MissingTable,
                                 QStringLiteral("找不到数据表 ") + name);
        sql = QStringLiteral("SELECT * FROM ") + SqlDialect::quoteName(name);
    }
    Result<Statement> st = prepare(sql);
    if (!st)
        return st.status();
    st->bindAll(parameters);
    Query q(std::move(*st));
    if (!q.status().isOk())
        return q.status();
    return q;
}

Result<QVariant> Database::scalar(const QString &sql, const QVariantList &parameters)
{
    Result<Query> q = query(sql, parameters);
    if (!q)
        return q.status();
    if (q->atEnd())
        return QVariant();
    return q->value(0);
}

Status Database::begin()
{
    return execNative(QStringLiteral("BEGIN IMMEDIATE"));
}

Status Database::commit()
{
    return execNative(QStringLiteral("COMMIT"));
}

Status Database::rollback()
{
    return execNative(QStringLiteral("ROLLBACK"));
}

bool Database::isReadOnly() const
{
    return m_db && sqlite3_db_readonly(m_db, "main") == 1;
}

bool Database::inTransaction() const
{
    return m_db && sqlite3_get_autocommit(m_db) == 0;
}

qint64 Database::changes() const
{
    return m_db ? sqlite3_changes64(m_db) : 0;
}

QStringList Database::namesOf(const char *type, const char *schemaTable) const
{
    QStringList names;
    if (!m_db)
        return names;
    sqlite3_stmt *stmt = nullptr;
    const QByteArray sql = QByteArray("SELECT name FROM ") + schemaTable +
                           " WHERE type = ?1 AND name NOT LIKE 'sqlite_%' ORDER BY rowid";
    if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK)
        return names;
    sqlite3_bind_text(stmt, 1, type, -1, SQLITE_STATIC);
    while (sqlite3_step(stmt) == SQLITE_ROW)
        names.append(
            QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0))));
    sqlite3_finalize(stmt);
    return names;
}

QStringList Database::tables() const
{
    return namesOf("table");
}

QStringList Database::views() const
{
    QStringList names = namesOf("view");
    for (const QString &temporary : namesOf("view", "sqlite_temp_master")) {
        if (!names.contains(temporary, Qt::CaseInsensitive))
            names.append(temporary);
    }
    return names;
}

bool Database::hasTable(const QString &name) const
{
    for (const QString &t : tables()) {
        if (t.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool Database::hasRelation(const QString &name) const
{
    if (hasTable(name))
        return true;
    for (const QString &v : views()) {
        if (v.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QStringList Database::columns(const QString &table) const
{
    QStringList names;
    if (!m_db)
        return names;
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, "SELECT name FROM pragma_table_info(?1)", -1, &stmt, nullptr) !=
        SQLITE_OK)
        return names;
    const QByteArray utf8 = table.toUtf8();
    sqlite3_bind_text(stmt, 1, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_STATIC);
    while (sqlite3_step(stmt) == SQLITE_ROW)
        names.append(
            QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0))));
    sqlite3_finalize(stmt);
    return names;
}

} // namespace fenpai
