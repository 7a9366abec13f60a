#include "jobs/examday/ticketcode.h"

#include <QRegularExpression>

namespace fenpai {

QString TicketCode::text() const
{
    if (room.isEmpty() && seat.isEmpty())
        return number + u' ' + check;
    return QStringLiteral("考号:%1 考场:%2 座位:%3 校验:%4").arg(number, room, seat, check);
}

std::optional<TicketCode> TicketCode::parse(const QString &text)
{
    static const QRegularExpression labelled(QStringLiteral(
        "^\\s*考号\\s*[:：]\\s*(\\S+)\\s+考场\\s*[:：]\\s*(\\S+)\\s+座位\\s*[:：]\\s*"
        "(\\S+)\\s+校验\\s*[:：]\\s*([0-9A-Fa-f]{8})\\s*$"));
    static const QRegularExpression plain(QStringLiteral("^\\s*(\\S+)\\s+([0-9A-Fa-f]{8})\\s*$"));
    if (const QRegularExpressionMatch m = labelled.match(text); m.hasMatch())
        return TicketCode{m.captured(1), m.captured(2), m.captured(3), m.captured(4).toUpper()};
    if (const QRegularExpressionMatch m = plain.match(text); m.hasMatch())
        return TicketCode{m.captured(1), QString(), QString(), m.captured(2).toUpper()};
    return std::nullopt;
}

} // namespace fenpai
