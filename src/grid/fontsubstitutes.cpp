#include "grid/fontsubstitutes.h"

#include <QFont>
#include <QStringList>

namespace fenpai {

void FontSubstitutes::install()
{
    const QStringList serif = {QStringLiteral("Noto Serif CJK SC"),
                               QStringLiteral("Noto Sans CJK SC")};
    const QStringList sans = {QStringLiteral("Noto Sans CJK SC"),
                              QStringLiteral("Noto Serif CJK SC")};
    for (const char *name : {"宋体", "SimSun", "新宋体", "NSimSun"})
        QFont::insertSubstitutions(QString::fromUtf8(name), serif);
    for (const char *name : {"黑体", "SimHei", "微软雅黑", "Microsoft YaHei"})
        QFont::insertSubstitutions(QString::fromUtf8(name), sans);
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans"),
                                                         QStringLiteral("Noto Sans CJK SC")});
    QFont::insertSubstitutions(
        QStringLiteral("Times New Roman"),
        {QStringLiteral("Liberation Serif"), QStringLiteral("Noto Serif CJK SC")});
}

} // namespace fenpai
