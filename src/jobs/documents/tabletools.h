#pragma once

#include <QString>
#include <QStringList>

namespace fenpai {

class Grid;

// The table tools of a document: ranking a column, the order before it, and picking out the
// rows of one school or class. Row 0 holds the titles; data rows follow the fixed rows.
class TableTools final
{
public:
    // Appends an order column (hidden, numeric, each data row's place), inserts right of `col`
    // a rank column titled with its title + "排名" and ranks the column's values from the
    // highest: equal values share a rank (90, 85, 90 → 1, 3, 1), empty cells get none. Rows
    // stay where they are. Turns header sorting on. Nothing happens for column 0 or outside.
    static void rankColumn(Grid &grid, int col);
    // Puts the rows back in the order of the last ranking (its order column, the rightmost);
    // false, and nothing moved, when the table was never ranked.
    static bool restoreOrder(Grid &grid);

    // The columns a filter goes by: the school (学校, else 原学校) and the class (班级, else
    // 新分班), found by their trimmed titles; -1 for one the document lacks.
    struct FilterColumns
    {
        int school = -1;
        int klass = -1;
        bool any() const { return school >= 0 || klass >= 0; }
    };
    static FilterColumns filterColumns(const Grid &grid);
    // Each school once, in order of first appearance; empty without a school column.
    static QStringList schools(const Grid &grid);
    // An empty entry (all classes) and then each class of the school (of every row when the
    // document has no school column) once, in natural order.
    static QStringList classes(const Grid &grid, const QString &school);
    // Fills `target` with the titles and every row of the school (and the class unless it is
    // empty), wherever they stand, and one blank row; hidden columns stay hidden. Without a
    // school column the class alone decides. Returns the number of rows copied.
    static int copyRows(const Grid &source, const QString &school, const QString &className,
                        Grid &target);
    // school + class + "成绩表"; a new class number reads "3班".
    static QString filterTitle(const Grid &source, const QString &school, const QString &className);
    // The refusal for a document with neither column.
    static QString noFilterColumnsMessage();
};

} // namespace fenpai
