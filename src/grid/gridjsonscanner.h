#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QStringList>

#include <vector>

namespace fenpai {

// A small JSON reader for the cells of a grid file, the bulk of it: it makes the row texts
// directly, where a general document tree would build and convert every value twice. Everything
// else of the file goes through QJsonDocument.
class GridJsonScanner final
{
public:
    // One entry of "cells" as written: row number, height, texts, style ids and tags.
    struct Row
    {
        int row = -1;
        int height = -1;
        QStringList texts;
        QStringList tags;
        QList<qint64> styles;
    };

    // Splits the top object: "cells" read by the scanner, every other member by QJsonDocument.
    // False when the bytes are no such object.
    static bool split(const QByteArray &bytes, QJsonObject *root, std::vector<Row> *cells);

private:
    GridJsonScanner(const char *begin, const char *end)
        : m_pos(begin)
        , m_end(end)
    {}

    bool atEnd();
    void ws();
    bool consume(char ch);
    bool peek(char ch);
    bool string(QString *out);
    // The rest of a text that holds escapes: `start` is its first character, the scanner stands
    // at the first backslash.
    bool escapedString(const char *start, QString *out);
    bool integer(qint64 *out);
    // Passes over any value; nesting deeper than a grid file needs is refused.
    bool skipValue(int depth = 0);
    bool stringArray(QStringList *out);
    bool cells(std::vector<Row> *rows);
    bool row(Row *row);

    const char *m_pos;
    const char *m_end;
};

} // namespace fenpai
