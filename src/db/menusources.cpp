#include "db/menusources.h"

#include "core/naturalorder.h"
#include "core/numbertext.h"
#include "db/database.h"

#include <QSet>

#include <algorithm>

namespace fenpai {

namespace {

enum class Order
{
    Natural,
    AsRead
};

QStringList captions(Database &db, const QString &sql, int columns, Order order)
{
    Result<Query> q = db.query(sql);
    if (!q)
        return {};
    QList<QStringList> rows;
    for (; !q->atEnd(); q->next()) {
        QStringList parts;
        for (int i = 0; i < columns; ++i)
            parts.append(NumberText::display(q->value(i)).trimmed());
        // A blank or null value names nothing to browse: no blank item.
        if (std::none_of(parts.cbegin(), parts.cend(),
                         [](const QString &p) { return p.isEmpty(); }))
            rows.append(parts);
    }
    if (order == Order::Natural) {
        std::stable_sort(rows.begin(), rows.end(), [](const QStringList &a, const QStringList &b) {
            for (qsizetype i = 0; i < a.size(); ++i) {
                if (const int c = NaturalOrder::compare(a[i], b[i]); c != 0)
                    return c < 0;
            }
            return false;
        });
    }
    QStringList out;
    QSet<QString> seen; // trimming may make two rows one
    for (const QStringList &parts : std::as_const(rows)) {
        const QString caption = parts.join(u'/');
        if (!seen.contains(caption)) {
            seen.insert(caption);
            out.append(caption);
        }
    }
    return out;
}

} // namespace

QStringList MenuSources::newClasses(Database &db)
{
    return captions(db, QStringLiteral("select  DISTINCT 新分班  from 分班数据表 ORDER BY 新分班"),
                    1, Order::Natural);
}

QStringList MenuSources::rooms(Database &db)
{
    // Item k lists the examinees the arrangement seated in room ordinal k, the k-th row of
    // 考场表 as stored: one item per row, in that order, named by the number on its door.
    Result<Query> q = db.query(QStringLiteral("select 考场号 from 考场表 ORDER BY rowid"));
    if (!q)
        return {};
    QStringList out;
    for (; !q->atEnd(); q->next()) {
        const QString door = NumberText::display(q->value(0)).trimmed();
        out.append(door.isEmpty() ? QStringLiteral("第%1考场").arg(out.size() + 1) : door);
    }
    return out;
}

QStringList MenuSources::classes(Database &db)
{
    return captions(db, QStringLiteral("select distinct 学校,班级 from 考生表 ORDER BY 学校,班级"),
                    2, Order::Natural);
}

QStringList MenuSources::schools(Database &db)
{
    return captions(db, QStringLiteral("select distinct 学校 from 考生表"), 1, Order::AsRead);
}

} // namespace fenpai
