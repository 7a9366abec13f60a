#include "jobs/import/importfields.h"

#include "core/tablenames.h"

namespace fenpai {

std::vector<ImportFields::TableLayout> ImportFields::tables(ImportKind kind)
{
    using namespace ColumnNames;
    const QString sheet1 = QStringLiteral("Sheet1");
    const QString sheet2 = QStringLiteral("Sheet2");
    switch (kind) {
    case ImportKind::Division:
        return {{TableNames::divisionData,
                 sheet1,
                 {{name}, {sex}, {score}, {sourceSchool}, {sourceClass, true}, {newClass, true}}}};
    case ImportKind::Arrangement:
        return {{TableNames::examinees,
                 sheet1,
                 {{school},
                  {className},
                  {name},
                  {sex},
                  {score},
                  {room, true},
                  {examNumber, true},
                  {seat, true}}},
                {TableNames::rooms, sheet2, {{roomNumber}, {roomSize, false, true}, {roomPlace}}}};
    case ImportKind::Scores:
        return {{TableNames::scores, sheet1, {{school}}},
                {TableNames::teachers, sheet2, {{school}, {className}}}};
    }
    return {};
}

const std::vector<std::pair<QString, QStringList>> &ImportFields::synonymList()
{
    static const std::vector<std::pair<QString, QStringList>> list = [] {
        using namespace ColumnNames;
        auto words = [](const char *text) {
            return QString::fromUtf8(text).split(u' ', Qt::SkipEmptyParts);
        };
        return std::vector<std::pair<QString, QStringList>>{
            {name, words("考生姓名 学生姓名 名字 学生名字 学生")},
            {sex, words("男女 性别男女")},
            {score, words("中考成绩 总分 成绩总分 总成绩 中考总分 入学成绩 考试成绩 分数")},
            {sourceSchool, words("毕业学校 学校 原学校名称 毕业学校名称 原毕业学校 原就读学校 "
                                 "生源学校 毕业小学 毕业初中 来源学校")},
            {sourceClass, words("班别 原班 原班别 原班号 原所在班级 班级")},
            {newClass, words("新班级 新班 新班号")},
            {school, words("学校名称 所在学校 就读学校 校名 单位 单位名称")},
            {className, words("班别 班 班名 班级名称 所在班级 行政班")},
            {room, words("考室")},
            {examNumber, words("准考证号 准考号 考试号 考生号")},
            {seat, words("座号 座位 座次")},
            {roomNumber, words("考场 考场编号 考场序号 考室号 考室")},
            {roomSize, words("考场人数 容量 座位数 考生人数 容纳人数")},
            {roomPlace, words("地点 考场位置 位置 考室地点 考场地址 教室")},
        };
    }();
    return list;
}

QStringList ImportFields::synonyms(const QString &field)
{
    for (const auto &[name, others] : synonymList()) {
        if (name == field)
            return others;
    }
    return {};
}

QString ImportFields::normalized(const QString &header)
{
    const QString compatible = header.normalized(QString::NormalizationForm_KC);
    QString text;
    text.reserve(compatible.size());
    for (const QChar c : compatible) {
        if (!c.isSpace())
            text.append(c);
    }
    return text.toCaseFolded();
}

} // namespace fenpai
