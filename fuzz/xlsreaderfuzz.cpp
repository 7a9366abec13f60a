// libFuzzer entry point for the .xls reader: any bytes, read as a workbook file, must end in a
// workbook or a refusal, never in a fault, a hang or a huge allocation.
#include "workbook/xlsreader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray file =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const fenpai::Result<fenpai::Workbook> book = fenpai::XlsReader::readBytes(file, {});
    if (!book)
        return 0;
    // Every text read back, so a wrong pool index shows too.
    for (const QString &name : book->sheetNames()) {
        const fenpai::Sheet *sheet = book->sheet(name);
        for (int r = 0; sheet && r < sheet->rowCount(); ++r) {
            for (const fenpai::Sheet::Entry &e : sheet->entries(r))
                (void)sheet->text(e.cell);
        }
    }
    return 0;
}
