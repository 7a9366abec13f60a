#include "jobs/documents/tabletools.h"

#include "core/naturalorder.h"
#include "grid/grid.h"
#include "grid/gridedits.h"
#include "grid/gridnumberformat.h"
#include "grid/gridsorter.h"

#include <algorithm>
#include <optional>

namespace fenpai {

namespace {

int titledColumn(const Grid &grid, const QString &title)
{
    for (int c = 1; c < grid.cols(); ++c) {
        if (grid.cellText(0, c).trimmed() == title)
            return c;
    }
    return -1;
}

bool sameValue(const QString &a, const QString &b)
{
    double x = 0;
    double y = 0;
    const bool numberA = GridNumberFormat::parse(a, &x);
    const bool numberB = GridNumberFormat::parse(b, &y);
    if (numberA || numberB)
        return numberA && numberB && x == y;
    return a.trimmed() == b.trimmed();
}

} // namespace

void TableTools::rankColumn(Grid &grid, int col)
{
    if (col < 1 || col >= grid.cols())
        return;
    const int first = std::min(grid.fixedRows(), grid.rows());
    const bool redraw = grid.autoRedraw();
    grid.setAutoRedraw(false);

    const int order = grid.cols();
    grid.setCols(order + 1);
    grid.setColumnMask(order, GridMask::Numeric);
    grid.setColumnWidth(order, 0);
    grid.setCellTag(0, order, GridEdits::orderColumnTag());
    for (int r = first; r < grid.rows(); ++r)
        grid.setCellText(r, order, QString::number(r - first + 1));

    // Ranked in the order a descending sort would give, without moving a row.
    const std::vector<int> sorted = GridSorter::order(grid.data().content, col, first, true);
    grid.insertCols(col + 1, 1);
    grid.setColumnMask(col + 1, GridMask::Numeric);
    grid.setColumnFormatString(col + 1, QString());
    int rank = 0;
    std::optional<QString> previous;
    for (size_t i = 0; i < sorted.size(); ++i) {
        const int row = first + sorted[i];
        const QString &value = grid.cellText(row, col);
        if (value.trimmed().isEmpty())
            break; // empties come last
        if (!previous || !sameValue(*previous, value))
            rank = int(i) + 1;
        previous = value;
        grid.setCellText(row, col + 1, QString::number(rank));
    }
    grid.setCellText(0, col + 1, grid.cellText(0, col) + QStringLiteral("排名"));

    grid.setAutoRedraw(redraw);
    grid.refresh();
    grid.setAllowUserSort(true);
}

bool TableTools::restoreOrder(Grid &grid)
{
    for (int c = grid.cols() - 1; c >= 1; --c) {
        if (GridEdits::isOrderColumn(grid, c)) {
            grid.sortByColumn(c, 0);
            return true;
        }
    }
    return false;
}

int TableTools::schoolColumn(const Grid &grid)
{
    return titledColumn(grid, QStringLiteral("学校"));
}

int TableTools::classColumn(const Grid &grid)
{
    return titledColumn(grid, QStringLiteral("班级"));
}

QStringList TableTools::schools(const Grid &grid)
{
    QStringList list;
    const int col = schoolColumn(grid);
    if (col < 0)
        return list;
    for (int r = grid.fixedRows(); r < grid.rows(); ++r) {
        const QString school = grid.cellText(r, col).trimmed();
        if (!school.isEmpty() && !list.contains(school))
            list.append(school);
    }
    return list;
}

QStringList TableTools::classes(const Grid &grid, const QString &school)
{
    QStringList list{QString()};
    const int schoolCol = schoolColumn(grid);
    const int classCol = classColumn(grid);
    if (schoolCol < 0 || classCol < 0)
        return list;
    for (int r = grid.fixedRows(); r < grid.rows(); ++r) {
        if (grid.cellText(r, schoolCol).trimmed() != school.trimmed())
            continue;
        const QString name = grid.cellText(r, classCol).trimmed();
        if (!name.isEmpty() && !list.contains(name))
            list.append(name);
    }
    // After the empty entry, as people count them: 2 before 10.
    std::stable_sort(list.begin() + 1, list.end(), &NaturalOrder::less);
    return list;
}

int TableTools::copyRows(const Grid &source, const QString &school, const QString &className,
                         Grid &target)
{
    const int schoolCol = schoolColumn(source);
    const int classCol = classColumn(source);
    QList<int> rows;
    if (schoolCol >= 0) {
        for (int r = source.fixedRows(); r < source.rows(); ++r) {
            if (source.cellText(r, schoolCol).trimmed() != school.trimmed())
                continue;
            if (!className.isEmpty() &&
                (classCol < 0 || source.cellText(r, classCol).trimmed() != className.trimmed()))
                continue;
            rows.append(r);
        }
    }
    const int cols = source.cols();
    target.reset();
    target.setAutoRedraw(false);
    target.setCols(cols);
    target.setRows(1 + int(rows.size()) + 1);
    target.pasteFragment(source.fragment(GridArea{0, 0, 0, cols - 1}), 0, 0);
    for (int i = 0; i < rows.size(); ++i)
        target.pasteFragment(source.fragment(GridArea{rows[i], 0, rows[i], cols - 1}), i + 1, 0);
    for (int c = 0; c < cols; ++c) {
        const GridColumnInfo &info = source.columnInfo(c);
        target.setColumnMask(c, info.mask);
        target.setColumnFormatString(c, info.formatString);
        if (info.width == 0)
            target.setColumnWidth(c, 0);
    }
    target.setDisplayRowIndex(true);
    target.setAutoRedraw(true);
    target.refresh();
    return int(rows.size());
}

QString TableTools::filterTitle(const QString &school, const QString &className)
{
    return school + className + QStringLiteral("成绩表");
}

} // namespace fenpai
