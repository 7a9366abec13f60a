#pragma once

#include "core/result.h"
#include "core/status.h"

#include <QString>

namespace fenpai {

class Database;

// The users of ustarv (feld1 = name, feld2 = stored password). A stored password is either an
// Argon2id hash ("$argon2id$…") or the legacy form that old database files carry, in which p is
// accepted when transform(stored) trimmed equals p trimmed. Legacy rows become hashes at their
// first successful login; passwords are never stored readable again.
class UserAccounts final
{
public:
    static constexpr int legacyShift = 3;

    // Messages shown to the user, exactly.
    static QString invalidLoginMessage() { return QStringLiteral("无效的密码或用户名，请重试!"); }

    // The legacy transform: each code point moved up by shift + its 1-based position.
    static QString transform(const QString &text, int shift);

    static QString hash(const QString &password);
    // True when the password matches the stored form (hash or legacy).
    static bool matches(const QString &stored, const QString &password);
    static bool isHash(const QString &stored);

    // Checks a login; returns the trimmed user name. Refused with invalidLoginMessage() when the
    // name is unknown or the password wrong.
    static Result<QString> login(Database &db, const QString &userName, const QString &password);

    struct Change
    {
        QString currentUser; // the logged-in user
        QString oldPassword;
        QString newUser;
        QString newPassword;
        QString confirmPassword;
    };

    enum class ChangeCheck
    {
        Ok,
        MissingOld,
        MissingUser,
        MissingNew,
        MissingConfirm,
        Mismatch,
        WrongOld,
        Failed
    };

    struct ChangeOutcome
    {
        ChangeCheck check = ChangeCheck::Ok;
        QString message;  // the message to show ("修改成功!" on success)
        QString userName; // the new current user name on success
    };

    // The change-password checks in their order, then the update (one row, one transaction).
    static ChangeOutcome changePassword(Database &db, const Change &change);
};

} // namespace fenpai
