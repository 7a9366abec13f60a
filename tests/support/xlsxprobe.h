#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace fenpai::test {

// The first sheet of an .xlsx file as a test looks at it: cell values, merged ranges, columns
// and each cell's font and horizontal alignment. Read with libzip and Qt's XML reader, so an
// export is checked against the file format rather than against the program's own reader.
class XlsxProbe final
{
public:
    struct Cell
    {
        QString text; // a number as written in the file
        bool number = false;
        int style = 0; // index into the cell formats
    };
    struct Column
    {
        double width = 0; // characters
        bool hidden = false;
    };
    struct Font
    {
        QString name;
        double size = 0;
        bool bold = false;
    };

    // Empty when the file is no readable xlsx; `error` then says why.
    static std::optional<XlsxProbe> read(const QString &path, QString *error = nullptr);

    int sheetCount() const { return m_sheetCount; }
    // Zero-based row and column; null for a cell the file does not hold.
    const Cell *cell(int row, int col) const;
    QStringList merges() const { return m_merges; } // "A4:C4"
    Column column(int col) const { return m_columns.value(col); }
    Font font(const Cell &cell) const;
    QString horizontalAlignment(const Cell &cell) const; // "" when unset

private:
    struct Format
    {
        int font = 0;
        QString horizontal;
    };

    bool readSheet(const QByteArray &xml, const QStringList &strings);
    void readStyles(const QByteArray &xml);

    int m_sheetCount = 0;
    QHash<qint64, Cell> m_cells;
    QStringList m_merges;
    QHash<int, Column> m_columns;
    QList<Font> m_fonts;
    QList<Format> m_formats;
};

} // namespace fenpai::test
