#include "db/useraccounts.h"

#include "db/database.h"
#include "db/transaction.h"

#include <QtGlobal>

#include <sodium.h>

namespace fenpai {

QString UserAccounts::transform(const QString &text, int shift)
{
    QString out;
    const QList<uint> codes = text.toUcs4();
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const char32_t code =
            static_cast<char32_t>(codes[i] + static_cast<uint>(shift) + static_cast<uint>(i + 1));
        out += QString::fromUcs4(&code, 1);
    }
    return out;
}

bool UserAccounts::isHash(const QString &stored)
{
    return stored.startsWith(QLatin1String("$argon2id$"));
}

QString UserAccounts::hash(const QString &password)
{
    if (sodium_init() < 0)
        return {};
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, utf8.constData(), static_cast<unsigned long long>(utf8.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        return {};
    return QString::fromLatin1(out);
}

bool UserAccounts::matches(const QString &stored, const QString &password)
{
    if (isHash(stored)) {
        if (sodium_init() < 0)
            return false;
        const QByteArray hashed = stored.toLatin1();
        const QByteArray utf8 = password.trimmed().toUtf8();
        return crypto_pwhash_str_verify(hashed.constData(), utf8.constData(),
                                        static_cast<unsigned long long>(utf8.size())) == 0;
    }
    return transform(stored, legacyShift).trimmed() == password.trimmed();
}

Result<QString> UserAccounts::login(Database &db, const QString &userName, const QString &password)
{
    const QString name = userName.trimmed();
    Result<Query> q =
        db.query(QStringLiteral("select rowid,feld1,feld2 from ustarv where feld1=?"), {name});
    if (!q)
        return q.status();
    if (q->atEnd())
        return Status::refused(invalidLoginMessage());
    const qint64 rowid = q->value(0).toLongLong();
    const QString stored = q->value(2).toString();
    if (!matches(stored, password))
        return Status::refused(invalidLoginMessage());
    if (!isHash(stored)) {
        // Upgrade in place; a failure here does not undo a correct login.
        const QString hashed = hash(password.trimmed());
        if (!hashed.isEmpty()) {
            Result<Statement> up =
                db.prepare(QStringLiteral("update ustarv set feld2=? where rowid=?"));
            // A failed upgrade keeps the legacy form, which still logs in; the next login retries.
            if (up)
                (void)up->bind(1, hashed).bind(2, rowid).exec();
        }
    }
    return name;
}

UserAccounts::ChangeOutcome UserAccounts::changePassword(Database &db, const Change &change)
{
    auto refuse = [](ChangeCheck check, const char *message) {
        return ChangeOutcome{check, QString::fromUtf8(message), QString()};
    };
    if (change.oldPassword.isEmpty())
        return refuse(ChangeCheck::MissingOld, "请输入旧密码!");
    if (change.newUser.isEmpty())
        return refuse(ChangeCheck::MissingUser, "请输入用户名!");
    if (change.newPassword.isEmpty())
        return refuse(ChangeCheck::MissingNew, "请输入新密码!");
    if (change.confirmPassword.isEmpty())
        return refuse(ChangeCheck::MissingConfirm, "请确认新密码!");
    if (change.confirmPassword.trimmed() != change.newPassword.trimmed())
        return refuse(ChangeCheck::Mismatch, "两次输入的新密码不同!");

    const auto failed = [](const Status &status) {
        qWarning("password change: %s", qUtf8Printable(status.message()));
        return ChangeOutcome{ChangeCheck::Failed, QStringLiteral("无法保存新密码，密码未改动。"),
                             QString()};
    };
    // The old password is checked and the new one stored in one transaction; a transaction that
    // did not begin (the database busy or already in one) stores nothing.
    Transaction tx(db);
    if (!tx.status().isOk())
        return failed(tx.status());
    qint64 rowid = 0;
    {
        Result<Query> q = db.query(QStringLiteral("select rowid,feld2 from ustarv where feld1=?"),
                                   {change.currentUser.trimmed()});
        if (!q)
            return failed(q.status());
        if (q->atEnd() || !matches(q->value(1).toString(), change.oldPassword))
            return refuse(ChangeCheck::WrongOld, "旧密码错误!");
        rowid = q->value(0).toLongLong();
    }
    const QString hashed = hash(change.newPassword.trimmed());
    if (hashed.isEmpty())
        return {ChangeCheck::Failed, QStringLiteral("无法保存新密码"), QString()};

    Result<Statement> up =
        db.prepare(QStringLiteral("update ustarv set feld1=?,feld2=? where rowid=?"));
    if (!up)
        return failed(up.status());
    Status s = up->bind(1, change.newUser.trimmed()).bind(2, hashed).bind(3, rowid).exec();
    if (s.isOk())
        s = tx.commit();
    if (!s.isOk())
        return failed(s);
    return {ChangeCheck::Ok, QStringLiteral("修改成功!"), change.newUser.trimmed()};
}

} // namespace fenpai
