#pragma once

#include <QString>

#include <optional>

namespace fenpai {

// The text of an examinee's QR code. On a ticket it reads, for whoever scans it,
// "考号:2100001 考场:3 座位:7 校验:1A2B3C4D"; on a sign-in row, beside its room and seat, only
// "2100001 1A2B3C4D". The check value ties the exam number to the examinee's name (TicketCheck),
// so a code made up by hand is found out.
struct TicketCode
{
    QString number; // 考号 as printed
    QString room;   // 考场; empty in a sign-in row's code
    QString seat;   // 座位号; empty in a sign-in row's code
    QString check;  // eight hexadecimal digits, capitals

    // The ticket's text with room and seat, the short text without.
    QString text() const;
    // Either text back, blanks and full-width colons allowed, the check in either case; none
    // for anything else.
    static std::optional<TicketCode> parse(const QString &text);
};

} // namespace fenpai
