#include "jobs/import/demoimport.h"

#include "db/transaction.h"
#include "jobs/import/preparedimport.h"
#include "workbook/demodata.h"

#include <QDir>

namespace fenpai {

QString DemoImport::question()
{
    return QStringLiteral("把示例数据（新生分班数据、考场编排数据、成绩数据）导入当前数据库吗？\n"
                          "现有的分班数据表、考生表、考场表、成绩表和教师表将被示例数据替换，"
                          "其中的分班和编排结果也随之没有了。");
}

Result<std::vector<ImportReport>> DemoImport::run(Database &db, const QString &folder)
{
    if (Status s = DemoData::write(folder); !s.isOk())
        return s;
    const QDir dir(folder);
    const std::pair<ImportKind, QString> books[] = {
        {ImportKind::Division, DemoData::divisionFileName()},
        {ImportKind::Arrangement, DemoData::arrangementFileName()},
        {ImportKind::Scores, DemoData::scoresFileName()},
    };
    // Each import is a savepoint inside this one transaction.
    Transaction transaction(db);
    if (!transaction.status().isOk())
        return transaction.status();
    std::vector<ImportReport> reports;
    for (const auto &[kind, name] : books) {
        ImportRequest request;
        request.kind = kind;
        request.files = {dir.filePath(name)};
        const Result<PreparedImport> prepared = PreparedImport::read(request);
        if (!prepared)
            return prepared.status();
        Result<ImportReport> report = prepared->write(db);
        if (!report)
            return report.status();
        reports.push_back(std::move(*report));
    }
    if (Status s = transaction.commit(); !s.isOk())
        return s;
    return reports;
}

} // namespace fenpai
