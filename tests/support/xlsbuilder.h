#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

// Builds small .xls files in tests: BIFF5/BIFF8 records, a workbook stream with its sheets, and
// the compound file around it.
namespace fenpai::test::xls {

QByteArray le16(unsigned value);
QByteArray le32(std::uint32_t value);
QByteArray f64(double value);

QByteArray record(std::uint16_t id, const QByteArray &data);
// BIFF8 string: count (1 or 2 bytes), option byte, characters; one byte each when all are
// Latin-1, else UTF-16.
QByteArray text8(const QString &text, int countBytes = 2);
// BIFF5 string: count (1 or 2 bytes) and the bytes as they are.
QByteArray text5(const QByteArray &bytes, int countBytes = 2);

QByteArray bof(std::uint16_t type, int biff = 8); // 0x0005 globals, 0x0010 sheet, 0x0020 chart
QByteArray eof();
QByteArray codePage(int codePage);
QByteArray dateMode1904();
QByteArray format(int id, const QString &code);     // BIFF8
QByteArray format5(int id, const QByteArray &code); // BIFF5, bytes in the code page
QByteArray xf(int formatId, int biff = 8);
QByteArray sst(const QStringList &strings); // one record, no continuation
QByteArray dimensions(std::uint32_t rowEnd, int columnEnd, int biff = 8);

QByteArray number(int row, int column, double value, int xf = 0);
QByteArray rk(int row, int column, std::uint32_t rk, int xf = 0);
QByteArray labelSst(int row, int column, std::uint32_t index, int xf = 0);
QByteArray label(int row, int column, const QString &text);     // BIFF8
QByteArray label5(int row, int column, const QByteArray &text); // BIFF5
QByteArray boolErr(int row, int column, int value, bool error);
QByteArray blank(int row, int column);
// A FORMULA record (tokens for =1) with its cached result: a number, or the special result kinds
// 0 text (a STRING record follows), 1 boolean, 2 error, 3 empty text.
QByteArray formula(int row, int column, double value, int xf = 0);
QByteArray formulaResult(int row, int column, int kind, int value = 0);
QByteArray string(const QString &text);

struct SheetRecords
{
    SheetRecords(const QString &name, const QByteArray &records, const QByteArray &rawName = {},
                 std::uint8_t type = 0)
        : name(name)
        , records(records)
        , rawName(rawName)
        , type(type)
    {}

    QString name;          // BIFF8
    QByteArray records;    // between the sheet's BOF and EOF
    QByteArray rawName;    // BIFF5: the name's bytes in the code page
    std::uint8_t type = 0; // 0 worksheet, 2 chart
};

// The globals (BOF, `globals`, one BOUNDSHEET per sheet, EOF) and then each sheet's substream.
QByteArray workbookStream(const QByteArray &globals, const std::vector<SheetRecords> &sheets,
                          int biff = 8);

// Encrypts a BIFF8 workbook stream with RC4 as Excel 97 does: a FILEPASS record goes in right
// after the globals' BOF (the sheets' offsets moved along), and every record after it is
// encrypted with keys from the password and the salt.
QByteArray encryptRc4(const QByteArray &stream, const QString &password, const QByteArray &salt);

struct Stream
{
    QString name;
    QByteArray data;
};

struct CompoundOptions
{
    int sectorShift = 9; // 12 for version 4's 4096-byte sectors
    // More FAT sectors than the streams need (beyond 109 they are listed in DIFAT sectors).
    int fatSectors = 0;
    // Changes the allocation table before it is written; gets each stream's sectors.
    std::function<void(std::vector<std::uint32_t> &fat,
                       const std::vector<std::vector<std::uint32_t>> &chains)>
        patchFat;
};

// A compound file holding the streams in its root storage; streams under 4096 bytes go into the
// mini stream.
QByteArray compoundFile(const std::vector<Stream> &streams, const CompoundOptions &options = {});

// A workbook stream in a compound file, as a BIFF8 .xls.
QByteArray xlsFile(const QByteArray &workbook);

} // namespace fenpai::test::xls
