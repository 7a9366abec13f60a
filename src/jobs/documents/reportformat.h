#pragma once

#include <QString>

namespace fenpai {

class Database;
class Grid;

// The standard print layout of a result document: two print titles, header rewriting, narrow
// numeric columns, formats and the page setup. Statistics tables and plain tables differ in a
// few points.
class ReportFormat final
{
public:
    enum class Variant
    {
        Statistics,
        Plain
    };

    // The left and right texts of the second print title and whether the date follows them.
    struct Subtitle
    {
        QString left;
        QString right;
        bool showDate = false;
    };

    // How a report's two print titles look: the sizes of title 1 and title 2 and what stands
    // between the subtitle's left and right texts.
    struct TitleStyle
    {
        double titleSize = 14;
        double subtitleSize = 10;
        QString centre;
    };

    // From the report titles table (副左标题, 副右标题, 显示日期 = "1"); empty when it has no row.
    static Subtitle subtitleFrom(Database &db);

    static void apply(Grid &grid, Variant variant, const QString &titleText,
                      const Subtitle &subtitle);

    // The page setup of the variant: landscape when the table is wider than about 20 narrow
    // columns (statistics only), margins, repeated title row and key column (statistics),
    // page footer.
    static void applyPageSetup(Grid &grid, Variant variant, int tableWidth);

    // Replaces the print titles with title 1 (the title text; none when it is empty) and
    // title 2 (the subtitle's left text, the style's centre, the right text and the date).
    // Every printed report takes its titles from here.
    static void setPrintTitles(Grid &grid, const QString &titleText, const Subtitle &subtitle,
                               const TitleStyle &style);
    static void setPrintTitles(Grid &grid, const QString &titleText, const Subtitle &subtitle);
    // Title 2's text: "left|centre|right" with the date after the right text when it shows.
    static QString subtitleText(const Subtitle &subtitle, const QString &centre = QString());

    // Column widths fitted to the printed values (GridPaperFit): the key columns to their
    // values, the narrow numeric ones from `narrowFrom` on no narrower than the variant's 38
    // pixels; captions wrap at about five characters.
    static void fitToPaper(Grid &grid, int narrowFrom);

    // A band header as the statistics show it: "分600_700段" → "600_700", "分700分以上" →
    // "700分以上".
    static QString bandHeader(const QString &header);
};

} // namespace fenpai
