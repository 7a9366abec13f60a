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

QString ImportReport::controlsNotice() const
{
    qint64 removed = 0;
    for (const ImportedTable &t : tables)
        removed += t.removedControls;
    if (removed == 0)
        return QString();
    return QStringLiteral("单元格中有 %1 个控制字符（如 NUL），不是文字，导入时已删除。")
        .arg(removed);
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
