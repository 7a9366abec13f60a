#include "jobs/import/importreport.h"

namespace fenpai {

bool ImportReport::lacksColumns() const
{
    for (const ImportedTable &t : tables) {
        if (!t.missingColumns.isEmpty())
            return true;
    }
    return false;
}

QString ImportReport::missingColumnsNotice() const
{
    if (!lacksColumns())
        return QString();
    QString text = QStringLiteral("导入的数据缺少以下字段，分班、编排等功能需要它们：");
    for (const ImportedTable &t : tables) {
        if (!t.missingColumns.isEmpty())
            text += QStringLiteral("\n%1：%2").arg(t.table, t.missingColumns.join(u'、'));
    }
    return text;
}

QString ImportReport::mappingNotice() const
{
    QStringList lines;
    for (const ImportedTable &t : tables) {
        QStringList parts;
        if (!t.sheetNote.isEmpty())
            parts.append(t.sheetNote);
        if (!t.mapping.isEmpty())
            parts.append(t.mapping.join(QStringLiteral("，")));
        if (!parts.isEmpty())
            lines.append(QStringLiteral("%1：%2").arg(t.table, parts.join(QStringLiteral("；"))));
    }
    return lines.join(u'\n');
}

} // namespace fenpai
