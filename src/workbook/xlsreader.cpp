#include "workbook/xlsreader.h"

#include "workbook/workbookreader.h"

#include <QFile>

#include <freexl.h>

namespace fenpai {

namespace {

struct Handle
{
    const void *xls = nullptr;
    ~Handle()
    {
        if (xls)
            freexl_close(xls);
    }
};

Status failure(const QString &reason)
{
    return Status::error(Status::Kind::Io, reason);
}

// An encrypted .xlsx is a compound file too, holding an "EncryptionInfo" stream instead of a
// workbook; its name (UTF-16) shows in the directory near the start.
bool isEncryptedPackage(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(1 << 20);
    const QString name = QStringLiteral("EncryptionInfo");
    const QByteArray utf16(reinterpret_cast<const char *>(name.utf16()), name.size() * 2);
    return head.contains(utf16);
}

} // namespace

Result<Workbook> XlsReader::read(const QString &path, const QStringList &wanted)
{
    Handle handle;
    const int rc = freexl_open(QFile::encodeName(path).constData(), &handle.xls);
    if (rc != FREEXL_OK) {
        handle.xls = nullptr; // FreeXL has freed what it allocated
        if (rc == FREEXL_FILE_NOT_FOUND)
            return failure(QFile::exists(path) ? WorkbookReader::reasonCannotOpen()
                                               : WorkbookReader::reasonMissing());
        if (isEncryptedPackage(path))
            return failure(WorkbookReader::reasonEncrypted());
        if (rc == FREEXL_INSUFFICIENT_MEMORY)
            return failure(WorkbookReader::reasonDamaged());
        return failure(WorkbookReader::reasonXlsUnreadable());
    }
    unsigned int info = 0;
    if (freexl_get_info(handle.xls, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK &&
        info == FREEXL_BIFF_OBFUSCATED)
        return failure(WorkbookReader::reasonEncrypted());
    unsigned int sheetCount = 0;
    // FreeXL gives up on some records (an empty shared string, for one) by finding no sheets.
    if (freexl_get_info(handle.xls, FREEXL_BIFF_SHEET_COUNT, &sheetCount) != FREEXL_OK ||
        sheetCount == 0)
        return failure(WorkbookReader::reasonXlsUnreadable());

    Workbook workbook;
    workbook.setFormat(Workbook::Format::Xls);
    for (unsigned int index = 0; index < sheetCount && index < 0xffff; ++index) {
        const auto sheetIndex = static_cast<unsigned short>(index);
        const char *utf8Name = nullptr;
        if (freexl_get_worksheet_name(handle.xls, sheetIndex, &utf8Name) != FREEXL_OK)
            return failure(WorkbookReader::reasonXlsUnreadable());
        Sheet *sheet = workbook.addSheet(QString::fromUtf8(utf8Name), wanted);
        if (!sheet)
            continue;
        unsigned int rows = 0;
        unsigned short columns = 0;
        if (freexl_select_active_worksheet(handle.xls, sheetIndex) != FREEXL_OK ||
            freexl_worksheet_dimensions(handle.xls, &rows, &columns) != FREEXL_OK)
            return failure(WorkbookReader::reasonXlsUnreadable());
        sheet->reserveRows(static_cast<int>(rows));
        for (unsigned int r = 0; r < rows; ++r) {
            for (unsigned short c = 0; c < columns; ++c) {
                FreeXL_CellValue value;
                if (freexl_get_cell_value(handle.xls, r, c, &value) != FREEXL_OK)
                    continue;
                const int row = static_cast<int>(r);
                const int column = static_cast<int>(c);
                switch (value.type) {
                case FREEXL_CELL_INT:
                    sheet->setNumber(row, column, value.value.int_value);
                    break;
                case FREEXL_CELL_DOUBLE:
                    sheet->setNumber(row, column, value.value.double_value);
                    break;
                case FREEXL_CELL_TEXT:
                case FREEXL_CELL_SST_TEXT:
                case FREEXL_CELL_DATE:
                case FREEXL_CELL_DATETIME:
                case FREEXL_CELL_TIME:
                    sheet->setText(row, column, QString::fromUtf8(value.value.text_value));
                    break;
                default:
                    break;
                }
            }
        }
    }
    return workbook;
}

} // namespace fenpai
