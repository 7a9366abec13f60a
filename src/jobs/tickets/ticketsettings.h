#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace fenpai {

// What the ticket tab of the ticket dialog (and `fenpai tickets`) chooses.
struct TicketSettings
{
    enum class Layout
    {
        Standard, // 标准型: 2 tickets per A4 landscape page
        Economy   // 经济型: 3 per page
    };
    enum class Grouping
    {
        ByClass, // 按班级打印
        ByRoom   // 按考场打印
    };
    enum class Order
    {
        Sequential, // 顺序打印: the group's examinees one after the other
        Stacked     // 叠式打印: page p holds the p-th examinee of each group
    };

    Layout layout = Layout::Standard;
    Grouping grouping = Grouping::ByClass;
    Order order = Order::Sequential;
    QString school;     // by class: the school of the classes
    QStringList groups; // the chosen classes (by class) or rooms (by room), empty when unchosen
    bool usePhotos = false;
    QString photoFolder;
    QString photoNameField; // the 考生表 column naming the photo file: 姓名, 考号 or 照片
    // The field shown in each field row 4..9 of a ticket.
    std::array<QString, 6> rowFields = {QStringLiteral("姓名"),   QStringLiteral("考号"),
                                        QStringLiteral("座位号"), QStringLiteral("考场"),
                                        QStringLiteral("性别"),   QStringLiteral("学校")};

    int perPage() const { return layout == Layout::Standard ? 2 : 3; }
    // How many groups the order needs: one in sequence, one per ticket of a page when stacked.
    int groupCount() const { return order == Order::Sequential ? 1 : perPage(); }
};

// What the desk label tab chooses.
struct DeskLabelSettings
{
    enum class Kind
    {
        ExamNumber, // 考号
        Seat        // 座位号
    };
    Kind kind = Kind::Seat;
    QString room; // the room ordinal as the drop-down shows it
};

} // namespace fenpai
