#include "jobs/examday/qrcode.h"

#include "grid/grid.h"
#include "grid/gridimages.h"

#include <qrencode.h>

#include <memory>
#include <vector>

namespace fenpai {

QByteArray QrCode::bitmap(const QString &text, int quiet, int minVersion)
{
    const QByteArray utf8 = text.toUtf8();
    const std::unique_ptr<QRcode, void (*)(QRcode *)> code(
        QRcode_encodeString(utf8.constData(), minVersion, QR_ECLEVEL_M, QR_MODE_8, 1),
        &QRcode_free);
    if (!code || utf8.isEmpty())
        return {};
    const int side = code->width + 2 * quiet;
    std::vector<bool> dark(static_cast<size_t>(side) * static_cast<size_t>(side), false);
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x)
            dark[static_cast<size_t>(y + quiet) * static_cast<size_t>(side) +
                 static_cast<size_t>(x + quiet)] = (code->data[y * code->width + x] & 1) != 0;
    }
    return GridImages::modulesBitmap(side, side, dark);
}

int QrCode::width(const QByteArray &bitmap)
{
    // "P4\n<width> <height>\n…"
    if (!bitmap.startsWith("P4\n"))
        return 0;
    return bitmap.mid(3, bitmap.indexOf(' ', 3) - 3).toInt();
}

bool QrCode::place(Grid &grid, int row, int col, const QString &text, int quiet, int minVersion)
{
    const QString key = QStringLiteral("二维码:") + text;
    if (!grid.isModulePicture(key) && !grid.addImageData(key, bitmap(text, quiet, minVersion)))
        return false;
    grid.setCellImage(row, col, key);
    return true;
}

} // namespace fenpai
