#pragma once

#include <QString>

// The names of the tables and columns the program works with, as the database and the workbooks
// spell them. Whole SQL statements may keep the names in their text where that reads better.
// Namespace-scope QStrings: do not use them to initialise other statics.
namespace fenpai::TableNames {

inline const QString divisionData = QStringLiteral("分班数据表"); // pupils of a new intake
inline const QString examinees = QStringLiteral("考生表");
inline const QString rooms = QStringLiteral("考场表");
inline const QString scores = QStringLiteral("成绩表");
inline const QString teachers = QStringLiteral("教师表");
inline const QString systemSettings = QStringLiteral("xtsztable");
inline const QString reportTitles = QStringLiteral("bsxtable");
inline const QString users = QStringLiteral("ustarv");
inline const QString checkKey = QStringLiteral("校验密钥"); // the key of the tickets' check values

} // namespace fenpai::TableNames

namespace fenpai::ColumnNames {

inline const QString studentNumber = QStringLiteral("学号");
inline const QString school = QStringLiteral("学校");
inline const QString className = QStringLiteral("班级");
inline const QString name = QStringLiteral("姓名");
inline const QString sex = QStringLiteral("性别");
inline const QString score = QStringLiteral("成绩");
inline const QString total = QStringLiteral("总分");
inline const QString room = QStringLiteral("考场"); // the room ordinal an arrangement assigns
inline const QString seat = QStringLiteral("座位号");
inline const QString examNumber = QStringLiteral("考号");
inline const QString paperVersion = QStringLiteral("试卷"); // A to D, laid over the desks
inline const QString photo = QStringLiteral("照片");        // a photo's file name, optional
inline const QString newClass = QStringLiteral("新分班");
inline const QString sourceSchool = QStringLiteral("原学校");
inline const QString sourceClass = QStringLiteral("原班级");
inline const QString roomNumber = QStringLiteral("考场号");
inline const QString roomPlace = QStringLiteral("考场地点");
inline const QString roomSize = QStringLiteral("人数");

} // namespace fenpai::ColumnNames
