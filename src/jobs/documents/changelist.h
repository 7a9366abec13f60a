#pragma once

#include "jobs/documents/reportformat.h"
#include "jobs/reports/reportdocument.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace fenpai {

class Grid;

// A list a run hands out with its changes (who was placed where): a header row, one row per
// change and the blank row every filled document ends with, the columns fitted to their
// printed texts and the plain report's print layout under the report titles.
class ChangeList final
{
public:
    // Fills the grid; the document is titled `title`, its title box carries the row count.
    static ReportDocument fill(Grid &grid, const QString &title, const QStringList &headers,
                               const std::vector<QStringList> &rows,
                               const ReportFormat::Subtitle &subtitle);
};

} // namespace fenpai
