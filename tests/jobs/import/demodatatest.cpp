#include "support/importtestutil.h"
#include "support/tempdata.h"

#include "jobs/import/spreadsheetimport.h"
#include "workbook/demodata.h"

#include <QDir>
#include <QTemporaryDir>

namespace fenpai::test {
namespace {

class DemoDataTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const Status s = DemoData::write(dir.path());
        ASSERT_TRUE(s.isOk()) << s.message().toStdString();
    }
    QString division() const { return dir.filePath(DemoData::divisionFileName()); }
    QString arrangement() const { return dir.filePath(DemoData::arrangementFileName()); }
    QString scalar(const QString &sql)
    {
        const QStringList rows = data.rows(sql);
        return rows.isEmpty() ? QString() : rows.first();
    }

    QTemporaryDir dir;
    TempData data;
};

// The bundled copies are exactly what the generator makes, and it makes the same bytes each time.
TEST_F(DemoDataTest, IsDeterministicAndMatchesTheBundledCopies)
{
    QTemporaryDir again;
    ASSERT_TRUE(DemoData::write(again.path()).isOk());
    for (const QString &name : {DemoData::divisionFileName(), DemoData::arrangementFileName(),
                                DemoData::scoresFileName()}) {
        const QByteArray made = readFile(dir.filePath(name));
        EXPECT_EQ(made, readFile(again.filePath(name))) << name.toStdString();
        EXPECT_EQ(made, readFile(QStringLiteral(FENPAI_SOURCE_DIR "/resources/demo/") + name))
            << name.toStdString() << " differs from resources/demo; run fenpai demo resources/demo";
    }
}

TEST_F(DemoDataTest, DivisionIntakeIsComplete)
{
    const Result<ImportReport> report = SpreadsheetImport::importDivision(data.db, division());
    ASSERT_TRUE(report.isOk()) << report.status().message().toStdString();
    EXPECT_FALSE(report->lacksColumns()) << report->missingColumnsNotice().toStdString();
    EXPECT_EQ(report->tables[0].rowCount, 600);
    EXPECT_EQ(scalar("SELECT count(*) FROM 分班数据表 WHERE 新分班 IS NOT NULL"), "0");
    Result<Query> q = data.db.query(QStringLiteral("分班数据表"));
    ASSERT_TRUE(q.isOk());
    EXPECT_TRUE(q->isDouble(q->fieldIndex(QStringLiteral("新分班"))));
    EXPECT_TRUE(q->isDouble(q->fieldIndex(QStringLiteral("成绩"))));
}

TEST_F(DemoDataTest, ArrangementHasExamineesAndRooms)
{
    const Result<ImportReport> report =
        SpreadsheetImport::importArrangement(data.db, arrangement());
    ASSERT_TRUE(report.isOk()) << report.status().message().toStdString();
    EXPECT_FALSE(report->lacksColumns()) << report->missingColumnsNotice().toStdString();
    EXPECT_EQ(report->tables[0].rowCount, 1200);
    EXPECT_EQ(report->tables[1].rowCount, 40);
    EXPECT_EQ(scalar("SELECT sum(人数) FROM 考场表"), "1200");
    EXPECT_EQ(scalar("SELECT count(*) FROM 考生表 WHERE 考场 IS NOT NULL OR 考号 IS NOT NULL"),
              "0");
}

} // namespace
} // namespace fenpai::test
