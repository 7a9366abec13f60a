#include "grid/pagesetup.h"

namespace fenpai {

QString PageSetup::standardFooter()
{
    return QStringLiteral("共&n页  第&p页");
}

const QList<PaperKind> &PageSetup::paperKinds()
{
    static const QList<PaperKind> kinds = {
        {QStringLiteral("A4 (21 × 29.7 厘米)"), 21.0, 29.7},
        {QStringLiteral("A3 (29.7 × 42 厘米)"), 29.7, 42.0},
        {QStringLiteral("A5 (14.8 × 21 厘米)"), 14.8, 21.0},
        {QStringLiteral("B4 (25.7 × 36.4 厘米)"), 25.7, 36.4},
        {QStringLiteral("B5 (18.2 × 25.7 厘米)"), 18.2, 25.7},
        {QStringLiteral("16开 (18.4 × 26 厘米)"), 18.4, 26.0},
        {QStringLiteral("Letter (21.59 × 27.94 厘米)"), 21.59, 27.94},
        {QStringLiteral("Legal (21.59 × 35.56 厘米)"), 21.59, 35.56},
        {QStringLiteral("自定义大小"), 0, 0},
    };
    return kinds;
}

double PageSetup::pageWidthCm() const
{
    const auto &kinds = paperKinds();
    if (paperKind >= 0 && paperKind < customPaperKind())
        return kinds.at(paperKind).width;
    return paperWidth > 0 ? paperWidth : kinds.at(0).width;
}

double PageSetup::pageHeightCm() const
{
    const auto &kinds = paperKinds();
    if (paperKind >= 0 && paperKind < customPaperKind())
        return kinds.at(paperKind).height;
    return paperHeight > 0 ? paperHeight : kinds.at(0).height;
}

} // namespace fenpai
