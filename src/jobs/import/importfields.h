#pragma once

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace fenpai {

// The three imports: the intake for the division, the examinees and rooms for the arrangement,
// the scores and teachers for the score information report.
enum class ImportKind
{
    Division,
    Arrangement,
    Scores,
};

// A field a later job reads from an imported table.
struct ImportField
{
    QString name;
    // When the sheet has no such column an empty one is added (the jobs fill it in themselves).
    bool addedWhenAbsent = false;
    // The room capacity: read by its place, the second column, whatever that is called.
    bool capacity = false;
};

// The tables each import fills, the fields they need and the other names schools give those
// fields: the one list of synonyms, which the manual prints.
class ImportFields final
{
public:
    struct TableLayout
    {
        QString table;      // 分班数据表, 考生表, 考场表, 成绩表, 教师表
        QString usualSheet; // Sheet1 for the first table, Sheet2 for the second
        std::vector<ImportField> fields;
    };

    static std::vector<TableLayout> tables(ImportKind kind);

    // Every field with its synonyms, most specific first, in the manual's order.
    static const std::vector<std::pair<QString, QStringList>> &synonymList();
    static QStringList synonyms(const QString &field);

    // A header as the matching compares it: full-width forms as their ASCII twins, without any
    // space, case folded ("性 别" and "性　别" are "性别", "ＩＤ" is "id").
    static QString normalized(const QString &header);
};

} // namespace fenpai
