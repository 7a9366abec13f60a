#include "workbook/workbookreader.h"

#include "workbook/zipentrydevice.h"

#include "workbook/csvreader.h"
#include "workbook/odsreader.h"
#include "workbook/xlsreader.h"
#include "workbook/xlsxreader.h"

#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <memory>

namespace fenpai {

namespace {

// A zip holds an .xlsx when it has a content-types part with a workbook, an .ods when it has
// OpenDocument content.
Workbook::Format zipFormat(const QString &path)
{
    Result<ZipArchive> opened = ZipEntryDevice::openArchive(path);
    if (!opened)
        return Workbook::Format::Unknown;
    const ZipArchive archive = std::move(*opened);
    if (zip_name_locate(archive.get(), "[Content_Types].xml", 0) >= 0)
        return Workbook::Format::Xlsx;
    if (zip_name_locate(archive.get(), "content.xml", 0) >= 0 ||
        zip_name_locate(archive.get(), "mimetype", 0) >= 0)
        return Workbook::Format::Ods;
    return Workbook::Format::Unknown;
}

} // namespace

Workbook::Format WorkbookReader::detect(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Workbook::Format::Unknown;
    const QByteArray head = file.read(8);
    file.close();
    if (head.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return Workbook::Format::Xls;
    if (head.startsWith("PK"))
        return zipFormat(path);
    // A bare BIFF stream (what some old programs save): a BOF record, 0x0809/0x0409/0x0209.
    if (head.size() >= 2 && static_cast<unsigned char>(head[1]) <= 0x08 &&
        static_cast<unsigned char>(head[0]) == 0x09)
        return Workbook::Format::Xls;
    return Workbook::Format::Unknown;
}

Result<Workbook> WorkbookReader::read(const QString &path, const QStringList &sheets)
{
    const QString context = QStringLiteral("无法读取文件“%1”：").arg(QFileInfo(path).fileName());
    const QFileInfo info(path);
    if (!info.exists())
        return Status::error(Status::Kind::Io, reasonMissing()).withContext(context);
    if (info.isDir())
        return Status::error(Status::Kind::Io, reasonDirectory()).withContext(context);
    if (!info.isFile() || !info.isReadable())
        return Status::error(Status::Kind::Io, reasonCannotOpen()).withContext(context);
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly))
        return Status::error(Status::Kind::Io, reasonCannotOpen()).withContext(context);
    probe.close();

    Result<Workbook> result = Status::error(Status::Kind::Io, reasonNotWorkbook());
    switch (detect(path)) {
    case Workbook::Format::Xls:
        result = XlsReader::read(path, sheets);
        break;
    case Workbook::Format::Xlsx:
        result = XlsxReader::read(path, sheets);
        break;
    case Workbook::Format::Ods:
        result = OdsReader::read(path, sheets);
        break;
    case Workbook::Format::Csv:
    case Workbook::Format::Unknown: {
        if (CsvReader::isTextFile(path)) {
            result = CsvReader::read(path);
            break;
        }
        // A zip that cannot be opened as one is most likely a workbook cut short.
        QFile file(path);
        if (file.open(QIODevice::ReadOnly) && file.read(2) == "PK")
            result = Status::error(Status::Kind::Io, reasonDamaged());
        break;
    }
    }
    if (!result)
        return result.status().withContext(context);
    // A sheet that passed a limit is refused whole: a partial import would look complete.
    for (const QString &name : result->sheetNames()) {
        if (const Sheet *sheet = result->sheet(name); sheet && sheet->limit() != Sheet::Limit::None)
            return Status::error(Status::Kind::Refused, reasonLimit(sheet->limit()))
                .withContext(QStringLiteral("无法导入文件“%1”：").arg(info.fileName()));
    }
    return result;
}

QString WorkbookReader::reasonMissing()
{
    return QStringLiteral("文件不存在。");
}

QString WorkbookReader::reasonCannotOpen()
{
    return QStringLiteral("文件无法打开（没有读取权限，或正被其他程序占用）。");
}

QString WorkbookReader::reasonNotWorkbook()
{
    return QStringLiteral(
        "这不是电子表格文件，只能导入 .xls、.xlsx、.ods 工作簿和 .csv、.txt 文本文件。");
}

QString WorkbookReader::reasonDamaged()
{
    return QStringLiteral("文件已损坏或不完整。");
}

QString WorkbookReader::reasonEncrypted()
{
    return QStringLiteral("文件设有打开密码，请先在电子表格程序中取消密码再导入。");
}

QString WorkbookReader::reasonDirectory()
{
    return QStringLiteral("这是一个文件夹，不是工作簿文件。");
}

QString WorkbookReader::reasonLimit(Sheet::Limit limit)
{
    switch (limit) {
    case Sheet::Limit::Rows:
        return QStringLiteral("行数超过%1，无法导入。").arg(Sheet::maxRows);
    case Sheet::Limit::Columns:
        return QStringLiteral("列数超过%1，无法导入。").arg(Sheet::maxColumns);
    case Sheet::Limit::TextLength:
        return QStringLiteral("有单元格的文字超过%1个字符，无法导入。").arg(Sheet::maxTextLength);
    case Sheet::Limit::TextBytes:
        return QStringLiteral("单元格文字总量超过1 GB，无法导入。");
    case Sheet::Limit::Cells:
        return QStringLiteral("单元格超过%1万个，无法导入。").arg(Sheet::maxCells / 10000);
    case Sheet::Limit::None:
        break;
    }
    return QString();
}

QString WorkbookReader::reasonPasswordProtected()
{
    return QStringLiteral("工作簿有密码保护，请先在电子表格程序中取消密码");
}

QString WorkbookReader::reasonXlsUnreadable()
{
    return QStringLiteral("这种早期 .xls 格式的工作簿无法读取；"
                          "请在电子表格程序中另存为 .xlsx 后再导入。");
}

} // namespace fenpai
