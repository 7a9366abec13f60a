#include "jobs/reports/mixingcheck.h"

#include "core/numbertext.h"
#include "db/database.h"
#include "jobs/reports/examlistings.h"

#include <optional>

namespace fenpai {

QString MixingCheck::allMixedText()
{
    return QStringLiteral("全部混排");
}

Result<QStringList> MixingCheck::findings(Database &db)
{
    if (Status s = ExamListings::requireExaminees(db); !s.isOk())
        return s;
    Result<Query> q = db.query(QStringLiteral("select 学校,班级,考场 from 考生表  ORDER BY 考号"));
    if (!q)
        return q.status();
    QStringList out;
    // No key before the first examinee: one without school and class is no finding.
    std::optional<QString> previous;
    for (; !q->atEnd(); q->next()) {
        const QString key = q->value(0).toString() + u'\x1f' + q->value(1).toString();
        if (previous && *previous == key)
            out.append(QStringLiteral("在第%1考场有没混排的%2")
                           .arg(NumberText::display(q->value(2)))
                           .arg(out.size() + 1));
        previous = key;
    }
    if (!q->status().isOk())
        return q->status();
    return out;
}

} // namespace fenpai
