#pragma once

#include "grid/fontsubstitutes.h"
#include "grid/grid.h"
#include "grid/gridpagerenderer.h"
#include "grid/gridpagination.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QStringList>

#include <zbar.h>

#include <cstring>

namespace fenpai::test {

// Every QR code zbar reads in an image, as text.
inline QStringList decodeQr(const QImage &image)
{
    using namespace zbar; // the C interface, which the header puts in a namespace for C++
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    const int w = gray.width();
    const int h = gray.height();
    QByteArray pixels(static_cast<qsizetype>(w) * h, '\0');
    for (int y = 0; y < h; ++y)
        std::memcpy(pixels.data() + static_cast<qsizetype>(y) * w, gray.constScanLine(y),
                    static_cast<size_t>(w));
    zbar_image_scanner_t *scanner = zbar_image_scanner_create();
    zbar_image_scanner_set_config(scanner, ZBAR_NONE, ZBAR_CFG_ENABLE, 0);
    zbar_image_scanner_set_config(scanner, ZBAR_QRCODE, ZBAR_CFG_ENABLE, 1);
    zbar_image_t *frame = zbar_image_create();
    zbar_image_set_format(frame, zbar_fourcc('Y', '8', '0', '0'));
    zbar_image_set_size(frame, static_cast<unsigned>(w), static_cast<unsigned>(h));
    zbar_image_set_data(frame, pixels.constData(), static_cast<unsigned long>(pixels.size()),
                        nullptr);
    zbar_scan_image(scanner, frame);
    QStringList texts;
    for (const zbar_symbol_t *s = zbar_image_first_symbol(frame); s; s = zbar_symbol_next(s))
        texts.append(QString::fromUtf8(zbar_symbol_get_data(s),
                                       static_cast<qsizetype>(zbar_symbol_get_data_length(s))));
    zbar_image_destroy(frame);
    zbar_image_scanner_destroy(scanner);
    texts.sort();
    return texts;
}

// Painting text needs a GUI application: one, offscreen, with the program's fonts.
inline void ensureGuiApp()
{
    if (qApp)
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "qrtests";
    static char *argv[] = {name, nullptr};
    new QGuiApplication(argc, argv); // never destroyed: Qt's statics outlive the tests
    FontSubstitutes::install();
}

// One printed page of a grid as an image at `dpi`, painted as the PDF is.
inline QImage renderPage(const Grid &grid, int page, double dpi)
{
    ensureGuiApp();
    const GridPageLayout layout = GridPagination::paginate(grid);
    QImage image(static_cast<int>(layout.pageWidth * dpi / 96),
                 static_cast<int>(layout.pageHeight * dpi / 96), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(dpi / 96, dpi / 96);
    GridPageRenderer(grid).paintPage(painter, layout, page);
    painter.end();
    return image;
}

} // namespace fenpai::test
