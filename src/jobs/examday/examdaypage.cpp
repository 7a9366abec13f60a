#include "jobs/examday/examdaypage.h"

#include "core/numbertext.h"
#include "jobs/tickets/ticketproduction.h"

namespace fenpai {

Result<std::vector<SeatedRoom>> ExamDayPage::rooms(Database &db, int room, SeatOrder order)
{
    Result<std::vector<SeatedRoom>> read = RoomSeating::read(db, order, room);
    if (!read)
        return read.status();
    std::vector<SeatedRoom> rooms;
    for (SeatedRoom &r : *read) {
        if (room <= 0 || r.room == room)
            rooms.push_back(std::move(r));
    }
    if (rooms.empty())
        return Status::refused(room > 0 ? QStringLiteral("没有第 %1 考场。").arg(room)
                                        : QStringLiteral("考场表中没有考场。"));
    return rooms;
}

PageSetup ExamDayPage::portrait(PageSetup setup)
{
    setup.orientation = PageSetup::Orientation::Portrait;
    setup.paperKind = 0;
    setup.zoom = 100;
    setup.leftMargin = setup.rightMargin = 1.5;
    setup.topMargin = setup.bottomMargin = 1.2;
    setup.headerMargin = setup.footerMargin = 0.6;
    setup.footer = PageSetup::standardFooter();
    setup.printFixedRow = false;
    setup.printFixedColumn = false;
    setup.printGridlines = false;
    setup.printTitleRows = 0;
    setup.centerHorizontally = true;
    return setup;
}

QString ExamDayPage::infoLine(const SeatedRoom &room)
{
    QString line;
    if (!room.location.isEmpty())
        line = QStringLiteral("考场地点：%1　　").arg(room.location);
    return line + QStringLiteral("科目：＿＿＿＿＿＿＿　　日期：＿＿＿年＿＿月＿＿日");
}

QString ExamDayPage::doorSuffix(const SeatedRoom &room)
{
    if (!room.doorNumber.isValid() || room.doorNumber.isNull())
        return {};
    const QString text = NumberText::display(room.doorNumber);
    if (text.isEmpty() || text == QString::number(room.room))
        return {};
    return QStringLiteral("（考场号 %1）").arg(text);
}

QString ExamDayPage::photoPath(const QString &folder, const QString &name)
{
    return TicketProduction::photoPath(folder, name);
}

} // namespace fenpai
