#pragma once

#include <QFont>
#include <QString>

namespace fenpai {

// A font as the grid stores it: plain values, comparable, saved in grid files.
struct GridFont
{
    QString name = QStringLiteral("宋体");
    double size = 9; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;

    QFont toQFont() const;
    // The same font sized in pixels at 96 dpi, the unit the grid lays out and paints in, so that
    // screen and paper measure text alike.
    QFont toPixelFont() const;
    static GridFont fromQFont(const QFont &font);
    bool operator==(const GridFont &) const = default;
};

} // namespace fenpai
