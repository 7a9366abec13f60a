#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>

#include <vector>

namespace fenpai {

struct GridCursor;
struct GridData;
struct PageSetup;

// Writes a grid file (see GridFile): the settings and small parts as compact JSON, one line
// each, and the cells row by row with a writer of its own, the bulk of a file.
class GridFileWriter final
{
public:
    GridFileWriter(const GridData &data, const GridCursor &cursor);
    QByteArray write();
    // The page setup as the file writes it; page setup files hold the same object.
    static QJsonObject pageSetupJson(const PageSetup &setup);

private:
    void numberStyles();
    void writeHead();
    void writeColumnsStylesMerges();
    void writePrinting();
    void writeImages();
    void writeCells();

    const GridData &m_data;
    const GridCursor &m_cursor;
    QByteArray m_out;
    // Only the styles in use are written, renumbered in order of first use.
    std::vector<int> m_fileId; // grid style id → id in the file, -1 when unused
    QList<quint32> m_order;    // file id → grid style id
};

} // namespace fenpai
