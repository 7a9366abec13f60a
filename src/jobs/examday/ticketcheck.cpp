#include "jobs/examday/ticketcheck.h"

#include "core/numbertext.h"
#include "core/tablenames.h"
#include "db/database.h"
#include "db/transaction.h"

#include <sodium.h>

namespace fenpai {

namespace {

const QString noKey =
    QStringLiteral("这个数据库还没有打印过带二维码的准考证或签到表（没有校验密钥），无法核对。");

} // namespace

QString TicketCheck::noCodeMessage()
{
    return QStringLiteral("这不是本系统的准考证二维码：应为“考号:… 考场:… 座位:… 校验:…”或"
                          "“考号 校验码”。");
}

Result<QByteArray> TicketCheck::key(Database &db, bool create)
{
    if (db.hasTable(TableNames::checkKey)) {
        Result<QVariant> stored = db.scalar(QStringLiteral("SELECT 密钥 FROM 校验密钥 LIMIT 1"));
        if (!stored)
            return stored.status();
        if (stored->toByteArray().size() == keyBytes)
            return stored->toByteArray();
    }
    if (!create)
        return Status::refused(noKey);
    if (sodium_init() < 0)
        return Status::error(Status::Kind::Io, QStringLiteral("无法初始化随机数生成器。"));
    QByteArray fresh(keyBytes, '\0');
    randombytes_buf(fresh.data(), static_cast<size_t>(fresh.size()));
    Transaction transaction(db);
    if (!transaction.status().isOk())
        return transaction.status();
    // A damaged key (of another length) is replaced; codes made with it no longer fit.
    if (Status s = db.execNative(QStringLiteral("DROP TABLE IF EXISTS 校验密钥;"
                                                "CREATE TABLE 校验密钥 (密钥 BLOB)"));
        !s.isOk())
        return s;
    Result<Statement> insert =
        db.prepareNative(QStringLiteral("INSERT INTO 校验密钥 (密钥) VALUES (?)"));
    if (!insert)
        return insert.status();
    insert->bindAll({fresh});
    if (Status s = insert->exec(); !s.isOk())
        return s;
    if (Status s = transaction.commit(); !s.isOk())
        return s;
    return fresh;
}

QString TicketCheck::value(const QByteArray &key, const QString &number, const QString &name)
{
    const QByteArray message = number.trimmed().toUtf8() + '\x1f' + name.trimmed().toUtf8();
    unsigned char hash[crypto_generichash_BYTES_MIN];
    crypto_generichash(hash, sizeof hash, reinterpret_cast<const unsigned char *>(message.data()),
                       static_cast<unsigned long long>(message.size()),
                       reinterpret_cast<const unsigned char *>(key.data()),
                       static_cast<size_t>(key.size()));
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char *>(hash), 4).toHex().toUpper());
}

TicketCode TicketCheck::code(const QByteArray &key, const QVariant &number, const QString &name,
                             const QVariant &room, const QVariant &seat)
{
    const QString shown = NumberText::display(number);
    return TicketCode{shown, NumberText::display(room), NumberText::display(seat),
                      value(key, shown, name)};
}

Result<TicketCheck::Verdict> TicketCheck::verify(Database &db, const QString &text)
{
    const std::optional<TicketCode> code = TicketCode::parse(text);
    if (!code)
        return Status::refused(noCodeMessage());
    const Result<QByteArray> secret = key(db, false);
    if (!secret)
        return secret.status();
    if (!db.hasRelation(TableNames::examinees))
        return Status::error(
            Status::Kind::MissingTable,
            QStringLiteral("找不到数据表 %1，请先导入考场编排数据。").arg(TableNames::examinees));
    const bool versions =
        db.columns(TableNames::examinees).contains(ColumnNames::paperVersion, Qt::CaseInsensitive);
    Result<Query> q =
        db.query(QStringLiteral("SELECT 考号, 姓名, 学校, 班级, 考场, 座位号, %1 "
                                "FROM 考生表 WHERE 考号 = ? ORDER BY rowid")
                     .arg(versions ? ColumnNames::paperVersion : QStringLiteral("NULL")),
                 {code->number});
    if (!q)
        return q.status();
    Verdict verdict;
    verdict.code = *code;
    // Several rows with one number: the one the code fits, if any.
    for (; !q->atEnd(); q->next()) {
        const QString number = NumberText::display(q->value(0));
        if (number != code->number)
            continue; // 2100001 is found by "2100001.0" too; the code printed the number shown
        const QString name = q->value(1).toString();
        const bool fits = value(*secret, number, name) == code->check;
        if (verdict.known && !fits)
            continue;
        verdict.known = true;
        verdict.fits = fits;
        verdict.name = name;
        verdict.school = q->value(2).toString();
        verdict.className = q->value(3).toString();
        verdict.room = NumberText::display(q->value(4));
        verdict.seat = NumberText::display(q->value(5));
        verdict.version = q->value(6).toString().trimmed();
        verdict.placeMatches = (code->room.isEmpty() || code->room == verdict.room) &&
                               (code->seat.isEmpty() || code->seat == verdict.seat);
        if (fits)
            break;
    }
    if (!q->status().isOk())
        return q->status();
    return verdict;
}

} // namespace fenpai
