#include "cli/documentoutput.h"

#include "cli/csvwriter.h"
#include "grid/fontsubstitutes.h"
#include "grid/grid.h"
#include "grid/gridexport.h"
#include "grid/gridpagerenderer.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

namespace fenpai {

namespace {

[[nodiscard]] Status writeCsv(const Grid &grid, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Status::error(Status::Kind::Io, QStringLiteral("无法写入 ") + path);
    QTextStream out(&file);
    // The trailing blank row of a document is for typing, not for export.
    const int last = grid.rows() - 1;
    for (int r = 0; r < last || (r == last && r == 0); ++r) {
        QStringList fields;
        for (int c = 1; c < grid.cols(); ++c)
            fields.append(r == 0 ? grid.cellText(r, c) : grid.displayText(r, c));
        out << CsvWriter::line(fields) << '\n';
    }
    out.flush();
    if (!file.commit())
        return Status::error(Status::Kind::Io, QStringLiteral("无法写入 ") + path);
    return Status::ok();
}

} // namespace

QString DocumentOutput::format(const QString &requested, const QString &path)
{
    QString format = requested.isEmpty() ? QFileInfo(path).suffix().toLower() : requested;
    if (format.isEmpty())
        format = QStringLiteral("csv");
    static const QStringList formats = {QStringLiteral("csv"), QStringLiteral("xlsx"),
                                        QStringLiteral("html"), QStringLiteral("pdf")};
    return formats.contains(format) ? format : QString();
}

Status DocumentOutput::write(const Grid &grid, const QString &format, const QString &path)
{
    if (format == QLatin1String("csv"))
        return writeCsv(grid, path);
    if (format == QLatin1String("xlsx"))
        return GridExport::toXlsx(grid, path);
    if (format == QLatin1String("html"))
        return GridExport::toHtml(grid, path);
    FontSubstitutes::install();
    return GridPageRenderer(grid).writePdf(path);
}

} // namespace fenpai
