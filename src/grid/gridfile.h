#pragma once

#include "core/status.h"

#include <QByteArray>
#include <QString>

namespace fenpai {

struct GridCursor;
struct GridData;

// The grid file format (.cel): UTF-8 JSON with a format name and a version, one line per row of
// cells so files diff well. Pictures are embedded as base64. Besides the grid a file keeps the
// cursor the user left in it ("selection": first row, first column, last row, last column,
// active row, active column).
class GridFile final
{
public:
    static constexpr int kVersion = 1;
    static constexpr char kFormatName[] = "fenpai-grid";

    static QByteArray write(const GridData &data, const GridCursor &cursor);
    // Fills `into` (fresh stores) from the bytes; a damaged or newer file gives an error and
    // leaves `into` in an unspecified state, so callers read into scratch stores.
    [[nodiscard]] static Status read(const QByteArray &bytes, GridData *into, GridCursor *cursor);
    // Writes through a temporary file renamed over the target.
    [[nodiscard]] static Status save(const GridData &data, const GridCursor &cursor,
                                     const QString &path);
};

} // namespace fenpai
