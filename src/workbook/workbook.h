#pragma once

#include "workbook/sheet.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace fenpai {

// The sheets of one workbook as far as they were read. Every sheet name of the file is listed,
// but only the sheets a reader was asked for carry their cells. Names compare case-insensitively,
// as spreadsheet programs treat them ("Sheet1" and "sheet1" are the same sheet).
class Workbook final
{
public:
    enum class Format
    {
        Unknown,
        Xls,
        Xlsx,
        Ods,
        Csv, // delimited text: one sheet named after the file
    };

    Workbook() = default;
    Workbook(Workbook &&) = default;
    Workbook &operator=(Workbook &&) = default;

    Format format() const { return m_format; }
    void setFormat(Format format) { m_format = format; }

    // All sheet names in file order.
    const QStringList &sheetNames() const { return m_names; }
    bool hasSheet(const QString &name) const;
    // The loaded sheet of that name; null when there is none or it was not read.
    const Sheet *sheet(const QString &name) const;

    // For readers: records a sheet name; returns the sheet to fill when it is wanted, else null.
    Sheet *addSheet(const QString &name, const QStringList &wanted);

    // True when a reader asked for `wanted` sheets should read the sheet of that name (an empty
    // list wants every sheet).
    static bool isWanted(const QString &name, const QStringList &wanted);

private:
    Format m_format = Format::Unknown;
    QStringList m_names;
    std::vector<std::unique_ptr<Sheet>> m_sheets;
};

} // namespace fenpai
