#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace fenpai {

// Cells as spreadsheets put them on the clipboard as text: a tab between cells, a line break after
// each row, and a cell that holds a tab, a line break or a leading quote written in double quotes
// with its quotes doubled.
class TabText final
{
public:
    // The rows of `text`, each a list of cells; a final line break ends the last row, and a quote
    // that is never closed is taken as an ordinary character.
    static QList<QStringList> parse(const QString &text);
    // `cell` as one field of such text.
    static QString quote(const QString &cell);
};

} // namespace fenpai
