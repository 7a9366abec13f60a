#include "jobs/reports/balancereport.h"

#include "grid/fontsubstitutes.h"
#include "grid/grid.h"
#include "grid/gridpagerenderer.h"
#include "jobs/division/classdivision.h"
#include "jobs/reports/balanceintake.h"
#include "support/divisiontestdata.h"
#include "support/pdfcheck.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <cmath>
#include <map>

using namespace fenpai;
using fenpai::test::DivisionData;
using fenpai::test::PupilRow;

namespace {

void ensureGuiApp()
{
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "balancereporttest";
        static char *argv[] = {name, nullptr};
        new QGuiApplication(argc, argv); // kept: Qt's statics outlive the tests
    }
    FontSubstitutes::install();
}

int column(const Grid &g, const QString &header)
{
    for (int c = 1; c < g.cols(); ++c) {
        if (g.cellText(0, c) == header)
            return c;
    }
    return -1;
}

// The first row whose column 1 reads `text`, from `from` on; -1 when none.
int rowOf(const Grid &g, const QString &text, int from = 1)
{
    for (int r = from; r < g.rows(); ++r) {
        if (g.cellText(r, 1) == text)
            return r;
    }
    return -1;
}

// Whether a picture has a pixel of clear colour (not grey).
bool hasColour(const QImage &image)
{
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) {
            const QColor c = image.pixelColor(x, y);
            if (std::max({c.red(), c.green(), c.blue()}) -
                    std::min({c.red(), c.green(), c.blue()}) >
                60)
                return true;
        }
    }
    return false;
}

struct Row
{
    int classNumber;
    PupilRow pupil;
};

// Pupils of three classes (one without a score, one without a sex, one without a school) and
// one not placed.
const std::vector<Row> &smallIntake()
{
    static const std::vector<Row> rows = {
        {1, {"男", 90, "一中"}}, {1, {"女", 81.5, "二中"}}, {1, {"男", 70, "一中"}},
        {2, {"女", 88, "一中"}}, {2, {"男", 77, "二中"}},   {2, {"女", {}, "二中"}},
        {2, {{}, 66, "三中"}},   {3, {"男", 95, "一中"}},   {3, {"女", 60, {}}},
        {0, {"男", 50, "一中"}},
    };
    return rows;
}

void add(DivisionData &d, const std::vector<Row> &rows)
{
    for (const Row &r : rows)
        d.add({r.pupil}, r.classNumber);
}

} // namespace

// The table against the figures computed here from the rows themselves.
TEST(BalanceReport, PerClassFiguresAsComputedDirectly)
{
    ensureGuiApp();
    DivisionData d;
    add(d, smallIntake());
    Grid g;
    BalanceReport::Options options;
    options.dpi = 30;
    const Result<ReportDocument> built = BalanceReport::build(d.db, g, options);
    ASSERT_TRUE(built.isOk()) << built.status().message().toStdString();
    EXPECT_EQ(column(g, "三中"), 11); // schools after the figures, in order of first appearance

    for (int k = 1; k <= 3; ++k) {
        SCOPED_TRACE(k);
        std::vector<double> scores;
        int pupils = 0, boys = 0, girls = 0;
        std::map<QString, int> schools;
        for (const Row &r : smallIntake()) {
            if (r.classNumber != k)
                continue;
            ++pupils;
            boys += r.pupil.sex == QVariant("男") ? 1 : 0;
            girls += r.pupil.sex == QVariant("女") ? 1 : 0;
            if (r.pupil.score.isValid())
                scores.push_back(r.pupil.score.toDouble());
            if (r.pupil.school.isValid())
                ++schools[r.pupil.school.toString()];
        }
        double sum = 0, squares = 0;
        for (double s : scores)
            sum += s;
        const double mean = sum / double(scores.size());
        for (double s : scores)
            squares += (s - mean) * (s - mean);
        const int row = k;
        EXPECT_EQ(g.cellText(row, 1), QString::number(k));
        EXPECT_EQ(g.cellText(row, column(g, "人数")), QString::number(pupils));
        EXPECT_EQ(g.cellText(row, column(g, "男生")), QString::number(boys));
        EXPECT_EQ(g.cellText(row, column(g, "女生")), QString::number(girls));
        EXPECT_EQ(g.cellText(row, column(g, "平均分")), QString::number(mean, 'f', 2));
        EXPECT_EQ(g.cellText(row, column(g, "标准差")),
                  QString::number(std::sqrt(squares / double(scores.size())), 'f', 2));
        EXPECT_EQ(g.cellText(row, column(g, "最高分")),
                  QString::number(*std::max_element(scores.begin(), scores.end())));
        EXPECT_EQ(g.cellText(row, column(g, "最低分")),
                  QString::number(*std::min_element(scores.begin(), scores.end())));
        for (const char *school : {"一中", "二中", "三中"})
            EXPECT_EQ(g.cellText(row, column(g, school)), QString::number(schools[school]));
    }
    EXPECT_EQ(g.cellText(4, 1), QString()); // the gap before the certificate

    // The certificate: nine placed pupils over three classes of 3, 4 and 2.
    const int certificate = rowOf(g, "均衡证明");
    ASSERT_GT(certificate, 4);
    const int size = rowOf(g, "人数", certificate);
    ASSERT_GT(size, certificate);
    EXPECT_EQ(g.cellText(size, 3), "2");                            // reached
    EXPECT_EQ(g.cellText(size, 5), "0");                            // 9 divides by 3
    EXPECT_EQ(g.cellText(rowOf(g, "平均分", certificate), 5), "—"); // a pupil has no score
    const int schools = rowOf(g, "各原学校的人数", certificate);
    EXPECT_GT(schools, size);
    EXPECT_EQ(rowOf(g, "三中", certificate), schools + 3);
    bool unplaced = false;
    for (int r = certificate; r < g.rows(); ++r)
        unplaced = unplaced || g.cellText(r, 1).contains("另有 1 名学生没有分到新班级");
    EXPECT_TRUE(unplaced);
}

TEST(BalanceReport, RefusesWithoutTableOrDivision)
{
    ensureGuiApp();
    test::TempData empty;
    Grid g;
    Result<ReportDocument> r = BalanceReport::build(empty.db, g);
    EXPECT_EQ(r.status().kind(), Status::Kind::MissingTable);
    DivisionData d;
    d.add({{"男", 90, "一中"}, {"女", 80, "一中"}}, 0);
    r = BalanceReport::build(d.db, g);
    EXPECT_EQ(r.status().message(), "还没有学生分到新班级，请先分班。");
}

TEST(BalanceIntakeLayers, ClassesWhoseScoresLieApart)
{
    // Each class: highest and lowest score; none for a class without scores.
    const struct
    {
        std::vector<std::pair<double, double>> classes;
        std::vector<std::pair<int, int>> layers;
    } cases[] = {
        {{{99, 80}, {85, 70}}, {{1, 2}}},                               // overlapping: one block
        {{{99, 85}, {85, 70}}, {{1, 1}, {2, 2}}},                       // a tie at the cut
        {{{60, 50}, {80, 70}}, {{1, 2}}},                               // better classes come first
        {{{99, 90}, {-1, -1}, {60, 50}}, {{1, 2}, {3, 3}}},             // a class without scores
        {{{99, 95}, {94, 90}, {89, 85}, {84, 80}, {79, 75}}, {{1, 5}}}, // five: no layers
    };
    for (const auto &c : cases) {
        std::vector<ClassBalance> classes;
        for (const auto &[high, low] : c.classes) {
            ClassBalance b;
            b.classNumber = int(classes.size()) + 1;
            b.scored = high < 0 ? 0 : 5;
            b.highest = high;
            b.lowest = low;
            classes.push_back(b);
        }
        EXPECT_EQ(BalanceIntake::layersOf(classes), c.layers) << c.classes.size();
    }
}

// A layered division is compared within its layers, those the run kept with its settings, and
// the report says which they are.
TEST(BalanceReport, LayeredDivisionComparedWithinLayers)
{
    ensureGuiApp();
    DivisionData d;
    std::vector<PupilRow> rows;
    for (int i = 0; i < 40; ++i)
        rows.push_back({i % 2 ? "女" : "男", 100 - i, i % 3 ? "一中" : "二中"});
    d.add(rows);
    DivisionSettings s;
    s.mode = DivisionSettings::Mode::Layered;
    s.layers = {2, 2, 0, 0};
    ASSERT_TRUE(ClassDivision::run(d.db, s).isOk());
    Grid g;
    BalanceReport::Options options;
    options.dpi = 30;
    ASSERT_TRUE(BalanceReport::build(d.db, g, options).isOk());
    bool named = false;
    for (int r = 1; r < g.rows(); ++r)
        named = named || g.cellText(r, 1).contains("上次分班分为2层（第1层：1–2班；第2层：3–4班）");
    EXPECT_TRUE(named);
    // Within a layer the serpentine puts the means 2 points apart; across the layers they
    // stand 20 apart.
    const int mean = rowOf(g, "平均分", rowOf(g, "均衡证明"));
    ASSERT_GT(mean, 0);
    EXPECT_EQ(g.cellText(mean, 3), "2.0000");
}

// The charts: one picture each (four with schools), in colour, in the grid and on the PDF's
// pages, which keep the outer 5 mm white and read back their text.
TEST(BalanceReport, ChartsInTheGridAndInColourOnPaper)
{
    ensureGuiApp();
    DivisionData d;
    std::vector<PupilRow> rows;
    for (int i = 0; i < 60; ++i)
        rows.push_back({i % 2 ? "女" : "男", 40 + (i * 37) % 61, i % 4 ? "一中" : "二中"});
    d.add(rows);
    DivisionSettings s;
    s.classes = 4;
    s.balanceSex = true;
    ASSERT_TRUE(ClassDivision::run(d.db, s).isOk());
    Grid g;
    BalanceReport::Options options;
    options.dpi = 60;
    options.certificate.divisions = 200;
    ASSERT_TRUE(BalanceReport::build(d.db, g, options).isOk());
    ASSERT_EQ(g.imageKeys().size(), 4);
    int shown = 0;
    for (int r = 0; r < g.rows(); ++r) {
        const QString key = g.cellStyle(r, 1).imageKey;
        if (key.isEmpty())
            continue;
        ++shown;
        const QImage image = g.image(key);
        ASSERT_FALSE(image.isNull()) << key.toStdString();
        EXPECT_TRUE(hasColour(image)) << key.toStdString();
        // The picture fills its merged row at the chart's proportions.
        const GridArea block = g.mergeAt(r, 1);
        EXPECT_EQ(block.lastCol, g.cols() - 1);
    }
    EXPECT_EQ(shown, 4);

    const QString pdf = d.dir.filePath("balance.pdf");
    ASSERT_TRUE(GridPageRenderer(g).writePdf(pdf).isOk());
    const QString text = test::pdfText(pdf, 0, false);
    if (text.isEmpty())
        GTEST_SKIP() << "poppler's tools are missing";
    EXPECT_TRUE(text.contains("分班均衡报告"));
    EXPECT_TRUE(text.contains("均衡证明"));
    EXPECT_TRUE(text.contains("图3 各班男女生人数"));
    EXPECT_TRUE(test::pagesInkedNearEdge(pdf).isEmpty());
    EXPECT_TRUE(test::pdfPagesHaveColour(pdf));
}
