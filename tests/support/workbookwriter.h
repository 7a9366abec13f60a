#pragma once

#include <QString>
#include <QVariant>
#include <QVector>

#include <xlsxwriter.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace fenpai::test {

using Rows = QVector<QVariantList>;

// Writes an .xlsx with the given sheets (name, rows; a number is a number cell, anything else
// its text) — the workbooks schools make themselves.
inline void writeWorkbook(const QString &path, const std::vector<std::pair<QString, Rows>> &sheets)
{
    lxw_workbook *book = workbook_new(path.toLocal8Bit().constData());
    ASSERT_NE(book, nullptr);
    for (const auto &[name, rows] : sheets) {
        lxw_worksheet *sheet = workbook_add_worksheet(book, name.toUtf8().constData());
        for (int r = 0; r < rows.size(); ++r) {
            for (int c = 0; c < rows[r].size(); ++c) {
                const QVariant &v = rows[r][c];
                if (v.isNull())
                    continue;
                if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::Double)
                    worksheet_write_number(sheet, static_cast<lxw_row_t>(r),
                                           static_cast<lxw_col_t>(c), v.toDouble(), nullptr);
                else
                    worksheet_write_string(sheet, static_cast<lxw_row_t>(r),
                                           static_cast<lxw_col_t>(c),
                                           v.toString().toUtf8().constData(), nullptr);
            }
        }
    }
    ASSERT_EQ(workbook_close(book), LXW_NO_ERROR);
}

// The intake a school keeps: its own sheet name and its own headers.
inline Rows schoolIntake(int pupils = 8)
{
    Rows rows{{QStringLiteral("考生姓名"), QStringLiteral("性 别"), QStringLiteral("中考成绩"),
               QStringLiteral("毕业学校")}};
    const QString schools[] = {QStringLiteral("城关一中"), QStringLiteral("实验小学")};
    for (int i = 0; i < pupils; ++i)
        rows.append({QStringLiteral("学生%1").arg(i + 1),
                     i % 2 ? QStringLiteral("女") : QStringLiteral("男"), 400 + 13 * (i % 7) + i,
                     schools[i % 2]});
    return rows;
}

// The rows as CSV text, fields joined by `delimiter`.
inline QString csvText(const Rows &rows, QChar delimiter = u',')
{
    QString text;
    for (const QVariantList &row : rows) {
        QStringList fields;
        for (const QVariant &v : row)
            fields.append(v.toString());
        text += fields.join(delimiter) + QStringLiteral("\r\n");
    }
    return text;
}

} // namespace fenpai::test
