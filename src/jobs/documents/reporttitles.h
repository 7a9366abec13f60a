#pragma once

#include "core/status.h"
#include "jobs/documents/reportformat.h"

#include <QString>

namespace fenpai {

class Database;
class Grid;

// The report titles every printed report carries under its title: 副左标题, 副右标题 and
// 显示日期 of bsxtable (its first row). Read, written, and told apart from the factory row.
class ReportTitles final
{
public:
    static constexpr int maxLength = 50; // the columns' declared length

    // The titles of the settings table; empty when it cannot be read.
    static ReportFormat::Subtitle read(Database &db);
    // Writes the three values (显示日期 "1" or "0") in one transaction; a missing table is
    // made first with its factory row. A text longer than maxLength is refused.
    [[nodiscard]] static Status write(Database &db, const ReportFormat::Subtitle &titles);

    // The factory row's titles, and whether titles still hold its placeholder text.
    static ReportFormat::Subtitle factory();
    static bool isFactory(const ReportFormat::Subtitle &titles);
    // Whether a grid prints the factory text in one of its report titles.
    static bool printsFactory(const Grid &grid);

    // Replaces, in the grid's report titles, the title line made from `from` by one made from
    // `to` (its centre kept); false when no title line came from `from`.
    static bool renew(Grid &grid, const ReportFormat::Subtitle &from,
                      const ReportFormat::Subtitle &to);

    // The command line's one-line hint while the titles hold the factory text.
    static QString factoryHint();
};

} // namespace fenpai
