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

TableTools::FilterColumns TableTools::filterColumns(const Grid &grid)
{
    FilterColumns found;
    for (const QString &title : {QStringLiteral("学校"), QStringLiteral("原学校")}) {
        if (found.school < 0)
            found.school = titledColumn(grid, title);
    }
    for (const QString &title : {QStringLiteral("班级"), QStringLiteral("新分班")}) {
        if (found.klass < 0)
            found.klass = titledColumn(grid, title);
    }
    return found;
}

QStringList TableTools::schools(const Grid &grid)
{
    QStringList list;
    const int col = filterColumns(grid).school;
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
    const FilterColumns cols = filterColumns(grid);
    if (cols.klass < 0)
        return list;
    for (int r = grid.fixedRows(); r < grid.rows(); ++r) {
        if (cols.school >= 0 && grid.cellText(r, cols.school).trimmed() != school.trimmed())
            continue;
        const QString name = grid.cellText(r, cols.klass).trimmed();
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
    const FilterColumns cols = filterColumns(source);
    QList<int> rows;
    if (cols.any()) {
        for (int r = source.fixedRows(); r < source.rows(); ++r) {
            if (cols.school >= 0 && source.cellText(r, cols.school).trimmed() != school.trimmed())
                continue;
            if (!className.isEmpty() &&
                (cols.klass < 0 || source.cellText(r, cols.klass).trimmed() != className.trimmed()))
                continue;
            // A blank row (the one for new entries) belongs to no school or class.
            if (cols.school < 0 && className.isEmpty() &&
                source.cellText(r, cols.klass).trimmed().isEmpty())
                continue;
            rows.append(r);
        }
    }
    const int colCount = source.cols();
    target.reset();
    target.setAutoRedraw(false);
    target.setCols(colCount);
    target.setRows(1 + int(rows.size()) + 1);
    target.pasteFragment(source.fragment(GridArea{0, 0, 0, colCount - 1}), 0, 0);
    for (int i = 0; i < rows.size(); ++i)
        target.pasteFragment(source.fragment(GridArea{rows[i], 0, rows[i], colCount - 1}), i + 1,
                             0);
    for (int c = 0; c < colCount; ++c) {
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

QString TableTools::filterTitle(const Grid &source, const QString &school, const QString &className)
{
    // A new class is a number: "3" reads as 3班.
    const int klass = filterColumns(source).klass;
    const bool number =
        klass >= 0 && source.cellText(0, klass).trimmed() == QStringLiteral("新分班");
    const QString cls = number && !className.isEmpty() ? className + u'班' : className;
    return school + cls + QStringLiteral("成绩表");
}

QString TableTools::noFilterColumnsMessage()
{
    return QStringLiteral("这个文档没有“学校”或“原学校”列，也没有“班级”或“新分班”列，无法筛选。");
}

} // namespace fenpai
