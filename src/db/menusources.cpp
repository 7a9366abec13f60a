#include "db/menusources.h"

#include "core/numbertext.h"
#include "db/database.h"

namespace fenpai {

namespace {

QStringList captions(Database &db, const QString &sql, int columns)
{
    QStringList out;
    Result<Query> q = db.query(sql);
    if (!q)
        return out;
    for (; !q->atEnd(); q->next()) {
        QStringList parts;
        for (int i = 0; i < columns; ++i)
            parts.append(NumberText::display(q->value(i)));
        out.append(parts.join(u'/'));
    }
    return out;
}

} // namespace

QStringList MenuSources::newClasses(Database &db)
{
    return captions(db, QStringLiteral("select  DISTINCT 新分班  from 分班数据表 ORDER BY 新分班"),
                    1);
}

QStringList MenuSources::rooms(Database &db)
{
    return captions(db, QStringLiteral("select  *  from 考场表 ORDER BY 考场号"), 1);
}

QStringList MenuSources::classes(Database &db)
{
    return captions(db, QStringLiteral("select distinct 学校,班级 from 考生表 ORDER BY 学校,班级"),
                    2);
}

QStringList MenuSources::schools(Database &db)
{
    return captions(db, QStringLiteral("select distinct 学校 from 考生表"), 1);
}

} // namespace fenpai
