#pragma once

#include "workbook/sheettable.h"
#include "workbook/workbookreader.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace fenpai::test {

inline QString fixture(const QString &name)
{
    return QStringLiteral(FENPAI_SOURCE_DIR "/tests/workbook/fixtures/") + name;
}

// A table as lines: first "name:REAL|TEXT" per column, then the rows with nulls as "∅".
inline QStringList dump(const SheetTable &table)
{
    QStringList lines;
    QStringList header;
    for (const SheetTable::Column &c : table.columns())
        header.append(c.name + (c.isNumber ? QStringLiteral(":REAL") : QStringLiteral(":TEXT")));
    lines.append(header.join(u'|'));
    for (int r = 0; r < table.rowCount(); ++r) {
        QStringList fields;
        for (int c = 0; c < static_cast<int>(table.columns().size()); ++c) {
            const QVariant v = table.value(r, c);
            if (v.isNull())
                fields.append(QStringLiteral("∅"));
            else if (v.typeId() == QMetaType::Double)
                fields.append(QString::number(v.toDouble(), 'g', 15));
            else
                fields.append(QLatin1Char('"') + v.toString() + QLatin1Char('"'));
        }
        lines.append(fields.join(u'|'));
    }
    return lines;
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

} // namespace fenpai::test
