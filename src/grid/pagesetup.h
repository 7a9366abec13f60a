#pragma once

#include "grid/gridfont.h"

#include <QList>
#include <QString>

namespace fenpai {

struct PaperKind
{
    QString name;
    double width = 0; // centimetres, portrait
    double height = 0;
};

// Everything the page setup dialog edits. Lengths are centimetres.
struct PageSetup
{
    // The numbers are what files store.
    enum class Orientation : int
    {
        Portrait = 1,
        Landscape = 2,
    };
    // Where the header and the footer line stand; the numbers are what files store.
    enum class TextAlign : int
    {
        Left = 0,
        Center = 1,
        Right = 2,
    };

    Orientation orientation = Orientation::Portrait;
    int paperKind = 0;        // index into paperKinds(); the last entry is the custom size
    double paperWidth = 21.0; // custom size, used when paperKind is the last entry
    double paperHeight = 29.7;
    int zoom = 100; // percent of normal size
    double leftMargin = 2.0;
    double rightMargin = 2.0;
    double topMargin = 2.5;
    double bottomMargin = 2.5;
    double headerMargin = 1.5; // page edge to the header line
    double footerMargin = 1.5; // page edge to the footer line
    QString header;            // "&p" page number, "&n" page count
    TextAlign headerAlignment = TextAlign::Center;
    GridFont headerFont;
    QString footer;
    TextAlign footerAlignment = TextAlign::Center;
    GridFont footerFont;
    int printTitleRows = 0;       // data rows repeated at the top of every page
    int printTitleColumns = 0;    // data columns repeated at the left of every page
    int printBottomTitleRows = 0; // last rows repeated at the bottom of every page
    bool printFixedRow = true;
    bool printFixedColumn = false;
    bool printGridlines = true;
    bool blackAndWhite = false;
    bool centerHorizontally = false;
    bool centerVertically = false;

    // The footer of the program's printed lists: page count and page number.
    static QString standardFooter();
    bool isLandscape() const { return orientation == Orientation::Landscape; }

    // The paper kinds in list order; the last one is the custom size.
    static const QList<PaperKind> &paperKinds();
    static int customPaperKind() { return int(paperKinds().size()) - 1; }
    // Paper size in centimetres, portrait, for the chosen kind or the custom size.
    double pageWidthCm() const;
    double pageHeightCm() const;
    bool operator==(const PageSetup &) const = default;
};

} // namespace fenpai
