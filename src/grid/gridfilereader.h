#pragma once

#include "core/status.h"
#include "grid/cellstyle.h"
#include "grid/gridarea.h"
#include "grid/gridfont.h"
#include "grid/gridjsonscanner.h"
#include "grid/pagesetup.h"

#include <QJsonObject>
#include <QString>

#include <vector>

namespace fenpai {

struct GridCursor;
struct GridData;

// Reads a grid file (see GridFile) into fresh stores. Every value is checked: reading stops at
// the first fault, and the message names what was wrong.
class GridFileReader final
{
public:
    GridFileReader(GridData *into, GridCursor *cursor);
    [[nodiscard]] Status read(const QByteArray &bytes);
    // Reads a page setup object alone, checked as in a file; the fault in words when it fails.
    [[nodiscard]] Status readPageSetup(const QJsonValue &value, PageSetup *out);

private:
    bool readSize();
    void readSettings();
    bool readColumnsAndStyles();
    bool readCells(std::vector<GridJsonScanner::Row> &cells);
    bool readMerges();
    bool readPrinting();
    bool readImages();
    void readCursor();

    // Typed members of an object, with a fallback when missing; a wrong type or a value out
    // of range is a fault.
    int integer(const QJsonObject &o, const char *key, int fallback, int min, int max);
    double number(const QJsonObject &o, const char *key, double fallback);
    bool boolean(const QJsonObject &o, const char *key, bool fallback);
    QString string(const QJsonObject &o, const char *key, const QString &fallback = {});
    QColor color(const QJsonObject &o, const char *key);
    GridFont font(const QJsonValue &v);
    CellStyle style(const QJsonValue &v);
    PageSetup pageSetup(const QJsonValue &v);
    bool area(const QJsonValue &v, GridArea *out);
    bool fail(const QString &what);

    GridData *m_into;
    GridCursor *m_cursor;
    QJsonObject m_root;
    QString m_fault;
    int m_rows = 0;
    int m_cols = 0;
    std::vector<quint32> m_styleIds; // id in the file → id in the grid
};

} // namespace fenpai
