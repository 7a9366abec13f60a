#include "workbook/demodata.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace fenpai {

namespace {

// splitmix64: small, fast and the same on every platform (unlike the standard distributions).
class Random
{
public:
    explicit Random(quint64 seed)
        : m_state(seed)
    {}
    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // 0 <= result < n
    int below(int n) { return static_cast<int>(next() % static_cast<quint64>(n)); }
    double unit() { return static_cast<double>(next() >> 11) / 9007199254740992.0; }
    // Roughly normal: the sum of twelve uniforms, arithmetic only.
    double normal()
    {
        double sum = 0;
        for (int i = 0; i < 12; ++i)
            sum += unit();
        return sum - 6;
    }

private:
    quint64 m_state;
};

// Common surnames, the first ones more often, as in a real register.
const QString surnames =
    QStringLiteral("王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董袁潘于蒋"
                   "蔡余杜叶程苏魏吕丁任沈姚卢姜崔钟谭陆汪范金石廖贾夏韦付方白邹孟熊秦邱江尹薛闫段"
                   "雷侯龙史陶黎贺顾毛郝龚邵万钱严覃武戴莫孔向汤");
const QString boyChars = QStringLiteral(
    "浩宇轩子博文俊杰明辉鹏伟强磊晨阳泽睿然凯航宁超鑫帆嘉豪天一志毅昊铭瑞思远逸诚彬建军鸿");
const QString girlChars =
    QStringLiteral("欣怡婷雨萱诗琪静雅佳慧敏丽颖梦瑶妍涵悦晓蕾雪娜芳思可馨琳彤月玉菲倩洁晶璐婉清");

QString personName(Random &random, bool boy)
{
    // Skewed towards the front of the list: the square of a uniform.
    const double u = random.unit();
    const auto index = static_cast<qsizetype>(u * u * static_cast<double>(surnames.size()));
    QString name = surnames.at(std::min(index, surnames.size() - 1));
    const QString &chars = boy ? boyChars : girlChars;
    const int length = random.below(10) < 7 ? 2 : 1;
    for (int i = 0; i < length; ++i)
        name += chars.at(random.below(static_cast<int>(chars.size())));
    return name;
}

// A score between 300 and 700 with one decimal.
double score(Random &random, double mean, double spread)
{
    const double raw = std::clamp(mean + spread * random.normal(), 300.0, 700.0);
    return std::round(raw * 10) / 10;
}

class Writer
{
public:
    explicit Writer(const QString &path)
        : m_path(path)
    {
        m_book = workbook_new(QFile::encodeName(path).constData());
        if (m_book) {
            // A fixed creation time keeps the files the same from run to run.
            lxw_doc_properties properties = {};
            properties.author = const_cast<char *>("fenpai");
            properties.created = 1788220800; // 2026-09-01
            workbook_set_properties(m_book, &properties);
        }
    }
    ~Writer()
    {
        if (m_book)
            workbook_close(m_book);
    }

    lxw_worksheet *sheet(const char *name)
    {
        return m_book ? workbook_add_worksheet(m_book, name) : nullptr;
    }

    static void text(lxw_worksheet *sheet, int row, int column, const QString &value)
    {
        worksheet_write_string(sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column),
                               value.toUtf8().constData(), nullptr);
    }
    static void number(lxw_worksheet *sheet, int row, int column, double value)
    {
        worksheet_write_number(sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column),
                               value, nullptr);
    }
    static void header(lxw_worksheet *sheet, const QStringList &names)
    {
        for (int c = 0; c < names.size(); ++c)
            text(sheet, 0, c, names[c]);
    }

    Status close()
    {
        if (!m_book)
            return failed();
        const lxw_error error = workbook_close(m_book);
        m_book = nullptr;
        return error == LXW_NO_ERROR ? Status::ok() : failed();
    }

private:
    Status failed() const
    {
        return Status::error(
            Status::Kind::Io,
            QStringLiteral("无法写入演示数据“%1”。").arg(QDir::toNativeSeparators(m_path)));
    }

    QString m_path;
    lxw_workbook *m_book = nullptr;
};

const char *const primarySchools[] = {"城关第一小学", "城关第二小学", "实验小学", "东关小学",
                                      "西街小学",     "南门小学",     "北山小学", "河口小学"};
const char *const middleSchools[] = {"城关中学", "实验中学"};

} // namespace

QString DemoData::divisionFileName()
{
    return QStringLiteral("分班数据.xlsx");
}

QString DemoData::arrangementFileName()
{
    return QStringLiteral("考场编排数据.xlsx");
}

QString DemoData::scoresFileName()
{
    return QStringLiteral("成绩数据.xlsx");
}

Status DemoData::write(const QString &dir, const DemoOptions &options)
{
    if (!QDir().mkpath(dir))
        return Status::error(
            Status::Kind::Io,
            QStringLiteral("无法创建目录“%1”。").arg(QDir::toNativeSeparators(dir)));
    if (Status s = writeDivision(QDir(dir).filePath(divisionFileName()), options); !s.isOk())
        return s;
    if (Status s = writeArrangement(QDir(dir).filePath(arrangementFileName()), options); !s.isOk())
        return s;
    return writeScores(QDir(dir).filePath(scoresFileName()), options);
}

Status DemoData::writeDivision(const QString &path, const DemoOptions &options)
{
    Random random(options.seed);
    Writer writer(path);
    lxw_worksheet *sheet = writer.sheet("Sheet1");
    if (!sheet)
        return writer.close();
    Writer::header(sheet,
                   {QStringLiteral("学号"), QStringLiteral("姓名"), QStringLiteral("性别"),
                    QStringLiteral("成绩"), QStringLiteral("原学校"), QStringLiteral("原班级"),
                    QStringLiteral("新分班"), QStringLiteral("指定班级"), QStringLiteral("同班"),
                    QStringLiteral("分开")});
    const int schools = std::clamp(options.schools, 1, 8);
    // Schools of different sizes, and of somewhat different levels.
    std::vector<double> weight(static_cast<size_t>(schools));
    std::vector<double> level(static_cast<size_t>(schools));
    double total = 0;
    for (int i = 0; i < schools; ++i) {
        weight[static_cast<size_t>(i)] = 1 + random.unit() * 2;
        level[static_cast<size_t>(i)] = 490 + random.unit() * 60;
        total += weight[static_cast<size_t>(i)];
    }
    for (int i = 0; i < options.pupils; ++i) {
        double pick = random.unit() * total;
        int school = 0;
        while (school + 1 < schools && pick >= weight[static_cast<size_t>(school)])
            pick -= weight[static_cast<size_t>(school++)];
        const bool boy = random.below(2) == 0;
        const int row = i + 1;
        Writer::number(sheet, row, 0, 2026001 + i);
        Writer::text(sheet, row, 1, personName(random, boy));
        Writer::text(sheet, row, 2, boy ? QStringLiteral("男") : QStringLiteral("女"));
        Writer::number(sheet, row, 3, score(random, level[static_cast<size_t>(school)], 70));
        Writer::text(sheet, row, 4, QString::fromUtf8(primarySchools[school]));
        Writer::text(sheet, row, 5, QStringLiteral("六(%1)班").arg(1 + random.below(4)));
        // 新分班 stays empty: the division writes it.
        // A few wishes of the kind offices get: twins apart, friends together, a pupil whose
        // class is decided, a group to be spread.
        if (row == 2 || row == 3)
            Writer::text(sheet, row, 9, QStringLiteral("双胞胎"));
        if (row == 10 || row == 57 || row == 123)
            Writer::text(sheet, row, 8, QStringLiteral("甲"));
        if (row == 30)
            Writer::number(sheet, row, 7, 3);
        if (row == 200)
            Writer::number(sheet, row, 7, 5);
        if (row >= 300 && row < 306 && options.pupils >= 306)
            Writer::text(sheet, row, 9, QStringLiteral("乙"));
    }
    return writer.close();
}

Status DemoData::writeArrangement(const QString &path, const DemoOptions &options)
{
    Random random(options.seed ^ 0xA5A5A5A5ULL);
    Writer writer(path);
    lxw_worksheet *examinees = writer.sheet("Sheet1");
    lxw_worksheet *rooms = writer.sheet("Sheet2");
    if (!examinees || !rooms)
        return writer.close();
    Writer::header(examinees,
                   {QStringLiteral("学校"), QStringLiteral("班级"), QStringLiteral("姓名"),
                    QStringLiteral("性别"), QStringLiteral("成绩"), QStringLiteral("考场"),
                    QStringLiteral("考号"), QStringLiteral("座位号"), QStringLiteral("照片")});
    int row = 1;
    const int schools = std::clamp(options.examSchools, 1, 2);
    for (int s = 0; s < schools; ++s) {
        for (int c = 1; c <= options.classesPerSchool; ++c) {
            const double level = 500 + random.unit() * 40;
            for (int p = 0; p < options.pupilsPerClass; ++p) {
                const bool boy = random.below(2) == 0;
                Writer::text(examinees, row, 0, QString::fromUtf8(middleSchools[s]));
                Writer::text(examinees, row, 1, QStringLiteral("初三(%1)班").arg(c));
                Writer::text(examinees, row, 2, personName(random, boy));
                Writer::text(examinees, row, 3, boy ? QStringLiteral("男") : QStringLiteral("女"));
                Writer::number(examinees, row, 4, score(random, level, 75));
                // 考场, 考号 and 座位号 stay empty: the arrangement writes them.
                Writer::text(examinees, row, 8,
                             QStringLiteral("P%1").arg(row, 4, 10, QLatin1Char('0')));
                ++row;
            }
        }
    }

    Writer::header(rooms,
                   {QStringLiteral("考场号"), QStringLiteral("人数"), QStringLiteral("考场地点")});
    const QStringList buildings = {QStringLiteral("第一教学楼"), QStringLiteral("第二教学楼")};
    const int perBuilding = (options.rooms + 1) / 2;
    for (int r = 0; r < options.rooms; ++r) {
        const int inBuilding = r % perBuilding;
        const QString place = QStringLiteral("%1%2%3室")
                                  .arg(buildings[r / perBuilding])
                                  .arg(1 + inBuilding / 5)
                                  .arg(1 + inBuilding % 5, 2, 10, QLatin1Char('0'));
        Writer::number(rooms, r + 1, 0, r + 1);
        Writer::number(rooms, r + 1, 1, options.roomSize);
        Writer::text(rooms, r + 1, 2, place);
    }
    return writer.close();
}

Status DemoData::writeScores(const QString &path, const DemoOptions &options)
{
    Random random(options.seed ^ 0x5C0BE5ULL);
    Writer writer(path);
    lxw_worksheet *scores = writer.sheet("Sheet1");
    lxw_worksheet *teachers = writer.sheet("Sheet2");
    if (!scores || !teachers)
        return writer.close();
    const QStringList subjects = {QStringLiteral("语文"), QStringLiteral("数学"),
                                  QStringLiteral("英语"), QStringLiteral("物理"),
                                  QStringLiteral("化学")};
    QStringList header = {QStringLiteral("学校"), QStringLiteral("班级"), QStringLiteral("姓名")};
    Writer::header(scores, header + subjects);
    Writer::header(teachers,
                   QStringList{QStringLiteral("学校"), QStringLiteral("班级")} + subjects);
    int row = 1;
    int teacherRow = 1;
    const int schools = std::clamp(options.examSchools, 1, 2);
    for (int s = 0; s < schools; ++s) {
        const QString school = QString::fromUtf8(middleSchools[s]);
        // One teacher a subject for each pair of classes.
        std::vector<QString> teacherOf(subjects.size());
        for (int c = 1; c <= options.classesPerSchool; ++c) {
            const QString className = QStringLiteral("初三(%1)班").arg(c);
            Writer::text(teachers, teacherRow, 0, school);
            Writer::text(teachers, teacherRow, 1, className);
            for (qsizetype j = 0; j < subjects.size(); ++j) {
                if (c % 2 == 1 || teacherOf[size_t(j)].isEmpty())
                    teacherOf[size_t(j)] =
                        personName(random, random.below(2) == 0) + QStringLiteral("老师");
                Writer::text(teachers, teacherRow, 2 + int(j), teacherOf[size_t(j)]);
            }
            ++teacherRow;
            for (int p = 0; p < options.pupilsPerClass; ++p) {
                Writer::text(scores, row, 0, school);
                Writer::text(scores, row, 1, className);
                Writer::text(scores, row, 2, personName(random, random.below(2) == 0));
                for (qsizetype j = 0; j < subjects.size(); ++j) {
                    // About one pupil in forty misses a paper: the cell stays empty.
                    if (random.below(40) == 0)
                        continue;
                    const double mark = std::clamp(std::round(75 + 15 * random.normal()), 0.0,
                                                   j < 3 ? 120.0 : 100.0);
                    Writer::number(scores, row, 3 + int(j), mark);
                }
                ++row;
            }
        }
    }
    return writer.close();
}

} // namespace fenpai
