#pragma once

#include "core/status.h"

#include <QString>

namespace fenpai {

// What the demo generator makes; the defaults are the bundled demo data.
struct DemoOptions
{
    int pupils = 600;          // division intake
    int schools = 8;           // primary schools the intake comes from (at most 8)
    int examSchools = 2;       // schools sitting the exam (at most 2)
    int classesPerSchool = 12; // classes per exam school
    int pupilsPerClass = 50;   // examinees per class
    int rooms = 40;            // exam rooms
    int roomSize = 30;         // examinees per room
    quint64 seed = 20260901;   // the same seed gives the same workbooks
};

// Writes the demo workbooks: an intake for the class division (Sheet1: 学号 姓名 性别 成绩 原学校
// 原班级 新分班 指定班级 同班 分开, about 600 pupils from 8 primary schools, a few wishes, 新分班
// left empty for the division to fill) and the examinees and rooms of an exam (Sheet1: 学校 班级
// 姓名 性别 成绩 考场 考号 座位号 照片, 1,200 pupils of 2 schools × 12 classes; Sheet2: 考场号 人数
// 考场地点, 40 rooms of 30). The third workbook holds the exam's scores per subject (Sheet1: 学校
// 班级 姓名 语文 数学 英语 物理 化学, a few absences left empty) and the subject teachers of each
// class (Sheet2: 学校 班级 and a teacher's name per subject, most teachers taking two classes). The
// generator is deterministic: the same options give the same names, scores and bytes.
class DemoData final
{
public:
    // The bundled copies in resources/demo/ carry these names.
    static QString divisionFileName();    // 分班数据.xlsx
    static QString arrangementFileName(); // 考场编排数据.xlsx
    static QString scoresFileName();      // 成绩数据.xlsx

    // Writes the three workbooks into the directory (created when missing).
    static Status write(const QString &dir, const DemoOptions &options = {});
    static Status writeDivision(const QString &path, const DemoOptions &options = {});
    static Status writeArrangement(const QString &path, const DemoOptions &options = {});
    static Status writeScores(const QString &path, const DemoOptions &options = {});
};

} // namespace fenpai
