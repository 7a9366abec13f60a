#pragma once

#include "grid/cellstyle.h"
#include "grid/gridarea.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace fenpai {

// A copied block of cells with their formats, tags, merges and the pictures they use: what a
// copy keeps and a paste puts back.
struct GridFragment
{
    int rows = 0;
    int cols = 0;
    QStringList texts; // row-major, rows × cols
    QStringList tags;
    QList<CellStyle> styles;
    QList<GridArea> merges;            // relative to the fragment's top-left cell
    QHash<QString, QByteArray> images; // key → encoded picture

    bool isEmpty() const { return rows == 0 || cols == 0; }
    QByteArray toBytes() const;
    static bool fromBytes(const QByteArray &bytes, GridFragment *out);
    QString toPlainText() const; // tab between cells, newline after each row
};

} // namespace fenpai
