#pragma once

#include "core/result.h"
#include "core/status.h"

#include <QString>

class QTextStream;

namespace fenpai {

class Grid;

// Writes a filled document as the command line's -o FILE asks: CSV (UTF-8, header row, the
// values as shown), xlsx, HTML, or PDF with its print titles and page footer.
class DocumentOutput final
{
public:
    // The format named by --format, else by the file's suffix, else csv; empty when the name is
    // none of csv, xlsx, html and pdf.
    static QString format(const QString &requested, const QString &path);
    // The same, refusing a file name whose suffix names no format, in words for the command line.
    [[nodiscard]] static Result<QString> chooseFormat(const QString &requested,
                                                      const QString &path);
    // While a PDF prints the report titles' factory text, one line on `hints` says how to set
    // them.
    [[nodiscard]] static Status write(const Grid &grid, const QString &format, const QString &path,
                                      QTextStream *hints = nullptr);
};

} // namespace fenpai
