#include "cli/documentoutput.h"

#include "cli/csvwriter.h"
#include "core/fileerrortext.h"
#include "grid/fontsubstitutes.h"
#include "grid/grid.h"
#include "grid/gridexport.h"
#include "grid/gridpagerenderer.h"
#include "grid/outputfile.h"
#include "jobs/documents/reporttitles.h"

#include <QFileInfo>
#include <QTextStream>

#include <algorithm>

#include <cerrno>

namespace fenpai {

namespace {

bool isBlankRow(const Grid &grid, int row)
{
    for (int c = 1; c < grid.cols(); ++c) {
        if (!grid.cellText(row, c).isEmpty())
            return false;
    }
    return true;
}

[[nodiscard]] Status writeCsv(const Grid &grid, const QString &path)
{
    OutputFile file(path);
    if (const Status s = file.open(); !s.isOk())
        return Status::error(Status::Kind::Io,
                             QStringLiteral("无法写入 %1：%2").arg(path, s.message()));
    QTextStream out(file.device());
    // The trailing blank row of a document is for typing, not for export; a last row that holds
    // anything is data.
    int end = grid.rows();
    if (end > std::max(1, grid.fixedRows()) && isBlankRow(grid, end - 1))
        --end;
    for (int r = 0; r < end; ++r) {
        QStringList fields;
        for (int c = 1; c < grid.cols(); ++c)
            fields.append(r < grid.fixedRows() ? grid.cellText(r, c) : grid.displayText(r, c));
        out << CsvWriter::line(fields) << '\n';
    }
    errno = 0;
    out.flush();
    if (out.status() != QTextStream::Ok) {
        // What was written stays in the temporary file, which is dropped with it.
        QString why = FileErrorText::forErrno(errno);
        why += (why.isEmpty() ? QString() : QStringLiteral("，")) +
               QStringLiteral("无法写完文件，原来的文件未改动");
        return Status::error(Status::Kind::Io, QStringLiteral("无法写入 %1：%2").arg(path, why));
    }
    if (const Status s = file.commit(); !s.isOk())
        return Status::error(Status::Kind::Io,
                             QStringLiteral("无法写入 %1：%2").arg(path, s.message()));
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

Result<QString> DocumentOutput::chooseFormat(const QString &requested, const QString &path)
{
    const QString chosen = format(requested, path);
    if (chosen.isEmpty())
        return Status::refused(
            QStringLiteral(
                "无法从文件名 %1 看出输出格式，请用 --format 指定：csv、xlsx、html 或 pdf")
                .arg(path));
    return chosen;
}

Status DocumentOutput::write(const Grid &grid, const QString &format, const QString &path,
                             QTextStream *hints)
{
    if (format == QLatin1String("csv"))
        return writeCsv(grid, path);
    // Only the PDF prints the subtitle line.
    if (hints && format == QLatin1String("pdf") && ReportTitles::printsFactory(grid))
        *hints << ReportTitles::factoryHint() << '\n';
    if (format == QLatin1String("xlsx"))
        return GridExport::toXlsx(grid, path);
    if (format == QLatin1String("html"))
        return GridExport::toHtml(grid, path);
    FontSubstitutes::install();
    return GridPageRenderer(grid).writePdf(path);
}

} // namespace fenpai
