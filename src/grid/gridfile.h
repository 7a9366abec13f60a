#pragma once

#include "core/status.h"

#include <QByteArray>
#include <QString>

namespace fenpai {

class Grid;

// The grid file format (.cel): UTF-8 JSON with a format name and a version, one line per row of
// cells so files diff well. Pictures are embedded as base64.
class GridFile final
{
public:
    static constexpr int kVersion = 1;

    static QByteArray write(const Grid &grid);
    // Fills `into` (a fresh grid) from the bytes; a damaged or newer file gives an error and
    // leaves `into` in an unspecified state, so callers read into a scratch grid.
    static Status read(const QByteArray &bytes, Grid *into);
    // Writes through a temporary file renamed over the target.
    static Status save(const Grid &grid, const QString &path);
};

} // namespace fenpai
