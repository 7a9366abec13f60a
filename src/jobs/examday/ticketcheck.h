#pragma once

#include "core/result.h"
#include "jobs/examday/ticketcode.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace fenpai {

class Database;

// The check values of the examinees' codes: the first eight hexadecimal digits of a keyed BLAKE2b
// hash (libsodium's crypto_generichash) of the exam number and the name. The key is 32 random
// bytes kept in the table 校验密钥 of the database, made the first time a code is printed; whoever
// lacks it cannot make a code that fits a name.
class TicketCheck final
{
public:
    static constexpr int keyBytes = 32;

    // The key; with `create`, a database without one gets one (in a transaction of its own).
    // Without `create`, a database without a key is refused: no code of it was ever printed.
    [[nodiscard]] static Result<QByteArray> key(Database &db, bool create);
    static QString value(const QByteArray &key, const QString &number, const QString &name);
    // An examinee's code as 考生表 holds them: with room and seat for a ticket, without for a
    // sign-in row.
    static TicketCode code(const QByteArray &key, const QVariant &number, const QString &name,
                           const QVariant &room = {}, const QVariant &seat = {});

    // What a code says against 考生表.
    struct Verdict
    {
        TicketCode code;
        bool known = false;       // an examinee holds the code's exam number
        bool fits = false;        // the check value is the one made for that examinee's name
        bool placeMatches = true; // the code's room and seat, where it names them, are theirs now
        QString name;
        QString school;
        QString className;
        QString room;
        QString seat;
        QString version;
    };
    // Refused when the text is no code of ours or no code was ever printed from this database.
    [[nodiscard]] static Result<Verdict> verify(Database &db, const QString &text);

    static QString noCodeMessage(); // the refusal of a text that is no code
};

} // namespace fenpai
