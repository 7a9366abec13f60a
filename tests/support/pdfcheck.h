#pragma once

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace fenpai::test {

// The text of a PDF as pdftotext reads it (raw: what copying and searching give), or of one
// page (1-based). Empty when poppler's tools are missing.
inline QString pdfText(const QString &path, int page = 0, bool layout = true)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return {};
    QStringList args;
    if (layout)
        args << QStringLiteral("-layout");
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
             << QString::number(page);
    args << path << QStringLiteral("-");
    QProcess process;
    process.start(tool, args);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Code points of the CJK radical blocks (U+2E80..U+2FDF) in a text.
inline QString radicalsIn(const QString &text)
{
    QString out;
    for (const char32_t c : text.toUcs4()) {
        if (c >= 0x2e80 && c <= 0x2fdf)
            out += QString::fromUcs4(&c, 1);
    }
    return out;
}

// The pages of a PDF (1-based) that carry ink within `mm` millimetres of the paper's edge,
// rendered at 50 dpi in grey. Empty when every page's border is white; {-1} when the PDF could
// not be rendered.
inline QList<int> pagesInkedNearEdge(const QString &path, double mm = 5.0)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    QTemporaryDir dir;
    if (tool.isEmpty() || !dir.isValid())
        return {-1};
    QProcess process;
    process.start(tool, {QStringLiteral("-r"), QStringLiteral("50"), QStringLiteral("-gray"), path,
                         dir.filePath(QStringLiteral("p"))});
    process.waitForFinished(120000);
    QStringList files = QDir(dir.path()).entryList({QStringLiteral("p*.pgm")}, QDir::Files);
    if (files.isEmpty())
        return {-1};
    files.sort(); // pdftoppm pads the page numbers to one width
    // 5 mm at 50 dpi is 9.8 pixels; a pixel that starts inside the band counts.
    const int band = int(mm / 25.4 * 50.0);
    QList<int> inked;
    for (int i = 0; i < files.size(); ++i) {
        const QImage image(dir.filePath(files[i]));
        bool ink = image.isNull();
        for (int y = 0; y < image.height() && !ink; ++y) {
            const bool edgeRow = y < band || y >= image.height() - band;
            for (int x = 0; x < image.width() && !ink; ++x) {
                const bool edge = edgeRow || x < band || x >= image.width() - band;
                ink = edge && qGray(image.pixel(x, y)) < 250;
            }
        }
        if (ink)
            inked.append(i + 1);
    }
    return inked;
}

} // namespace fenpai::test
