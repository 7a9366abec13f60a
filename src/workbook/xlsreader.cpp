#include "workbook/xlsreader.h"

#include "workbook/biffrecord.h"
#include "workbook/compoundfile.h"
#include "workbook/workbookreader.h"
#include "workbook/xlsdecryptor.h"
#include "workbook/xlsxreader.h"

#include <QFile>
#include <QHash>
#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>
#include <bit>
#include <iterator>
#include <map>

namespace fenpai {

namespace {

enum RecordId : std::uint16_t
{
    Integer2Id = 0x0002, // BIFF2's own cell records
    Number2Id = 0x0003,
    Label2Id = 0x0004,
    BoolErr2Id = 0x0005,
    String2Id = 0x0007,
    Format2Id = 0x001E, // BIFF2 and BIFF3
    FormulaId = 0x0006,
    EofId = 0x000A,
    DateModeId = 0x0022,
    FilePassId = 0x002F,
    CodePageId = 0x0042,
    BoundSheetId = 0x0085,
    MulRkId = 0x00BD,
    RStringId = 0x00D6,
    XfId = 0x00E0,
    Xf3Id = 0x0243,
    Xf4Id = 0x0443,
    Formula3Id = 0x0206,
    Formula4Id = 0x0406,
    SstId = 0x00FC,
    LabelSstId = 0x00FD,
    DimensionsId = 0x0200,
    NumberId = 0x0203,
    LabelId = 0x0204,
    BoolErrId = 0x0205,
    StringId = 0x0207,
    ArrayId = 0x0221,
    TableId = 0x0236,
    RkId = 0x027E,
    FormatId = 0x041E,
    ShrFmlaId = 0x04BC,
    BofId = 0x0809,
    Bof2Id = 0x0009,
    Bof3Id = 0x0209,
    Bof4Id = 0x0409,
};

constexpr std::uint16_t Biff5Version = 0x0500;
constexpr std::uint16_t Biff8Version = 0x0600;
constexpr std::uint16_t GlobalsSubstream = 0x0005;
constexpr std::uint16_t WorksheetSubstream = 0x0010;
constexpr std::uint8_t WorksheetSheetType = 0;
constexpr std::uint32_t MaxRows = 1048576;
constexpr int MaxColumns = 256;
constexpr qsizetype CellBudget = qsizetype(1) << 20;

Status failure(const QString &reason)
{
    return Status::error(Status::Kind::Io, reason);
}

Status damaged()
{
    return failure(WorkbookReader::reasonDamaged());
}

// The converter name of a Windows or Macintosh code page as a CODEPAGE record gives it.
QByteArray codecName(int codePage)
{
    switch (codePage) {
    case 367:
        return QByteArrayLiteral("US-ASCII");
    case 936:
    case 10008:
        return QByteArrayLiteral("GBK");
    case 10000:
    case 32768:
        return QByteArrayLiteral("macintosh");
    case 10001:
        return QByteArrayLiteral("Shift_JIS");
    case 10002:
        return QByteArrayLiteral("Big5");
    case 10003:
        return QByteArrayLiteral("windows-949");
    case 10006:
        return QByteArrayLiteral("x-mac-greek");
    case 10007:
        return QByteArrayLiteral("x-mac-cyrillic");
    case 10029:
        return QByteArrayLiteral("x-mac-centraleurroman");
    case 10081:
        return QByteArrayLiteral("x-mac-turkish");
    case 32769:
        return QByteArrayLiteral("windows-1252");
    case 65001:
        return QByteArrayLiteral("UTF-8");
    default:
        break;
    }
    if (codePage >= 437 && codePage < 1000 && codePage != 874 && codePage != 932 &&
        codePage != 949 && codePage != 950)
        return "IBM" + QByteArray::number(codePage);
    return "windows-" + QByteArray::number(codePage);
}

// Decodes the byte strings of BIFF2 to BIFF5. Qt converts the code pages through ICU; one it does
// not know is read as Windows Latin, the most common one, so the texts come through with their
// ASCII intact.
QStringDecoder codePageDecoder(int codePage)
{
    const auto flags = QStringDecoder::Flag::Stateless;
    QStringDecoder decoder(codecName(codePage).constData(), flags);
    if (decoder.isValid())
        return decoder;
    QStringDecoder latin("windows-1252", flags);
    if (latin.isValid())
        return latin;
    return QStringDecoder(QStringDecoder::Latin1, flags);
}

// The built-in date and time formats, including the East Asian ones.
bool isBuiltInDateFormat(int id)
{
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58);
}

// The BOF records of BIFF2, BIFF3, BIFF4 and BIFF5/BIFF8.
bool isBof(std::uint16_t id)
{
    return id == Bof2Id || id == Bof3Id || id == Bof4Id || id == BofId;
}

double rkValue(std::uint32_t rk)
{
    double value = 0;
    if (rk & 0x02)
        value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
    else
        value = std::bit_cast<double>(static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32);
    return (rk & 0x01) ? value / 100 : value;
}

struct SheetEntry
{
    QString name;
    QByteArray rawName; // BIFF5: decoded once the code page is known
    std::uint32_t offset = 0;
};

// What the workbook globals say about every sheet.
struct Globals
{
    int biff = 8; // 2, 3, 4, 5 or 8
    bool from1904 = false;
    int codePage = 1252;
    QStringDecoder decoder = codePageDecoder(1252);
    QStringList sst;
    std::vector<bool> dateXf; // by XF index (BIFF2: by format): the format shows a date or time
    QStringList formatList;   // BIFF2 to BIFF4: formats in their order, which is their index
    std::vector<SheetEntry> sheets;

    bool isDate(std::uint16_t xf) const { return xf < dateXf.size() && dateXf[xf]; }
    QString text(BiffRecord &record)
    {
        if (biff == 8)
            return record.unicodeString(2);
        return decode(record.byteString(biff == 2 ? 1 : 2));
    }
    void setCodePage(int page)
    {
        codePage = page;
        decoder = codePageDecoder(page);
    }
    QString decode(const QByteArray &bytes)
    {
        const QString text = decoder.decode(bytes);
        // Vietnamese keeps tone marks as characters of their own; texts typed today compose them.
        return codePage == 1258 ? text.normalized(QString::NormalizationForm_C) : text;
    }
};

// What the globals' records gather before the formats can be told apart.
struct GlobalsState
{
    QHash<std::uint16_t, QString> formats;
    QHash<std::uint16_t, QByteArray> rawFormats;
    std::vector<std::uint16_t> xfFormats;
    bool sstRead = false;
    int sheets = 0; // of every kind
};

void readBoundSheet(BiffRecord &record, Globals &g, GlobalsState &state)
{
    ++state.sheets;
    SheetEntry sheet;
    sheet.offset = record.u32();
    record.u8(); // visibility: hidden sheets are read too
    const std::uint8_t type = record.u8();
    if (g.biff == 8)
        sheet.name = record.unicodeString(1);
    else
        sheet.rawName = record.byteString(1);
    if (type == WorksheetSheetType)
        g.sheets.push_back(std::move(sheet));
}

void readSharedStrings(BiffRecord &record, Globals &g, GlobalsState &state)
{
    if (g.biff != 8 || state.sstRead)
        return;
    state.sstRead = true;
    record.u32(); // references, not needed
    const std::uint32_t unique = record.u32();
    // Each string takes at least three bytes; the count is checked against them first.
    g.sst.reserve(std::min<qsizetype>(unique, record.remaining() / 3));
    // Some writers count wrong; the strings that are there are kept.
    for (std::uint32_t i = 0; i < unique && record.remaining() > 0; ++i)
        g.sst.append(record.unicodeString(2));
}

// One record of the globals; a failure when it cannot be read on.
Status readGlobalsRecord(BiffRecord &record, Globals &g, GlobalsState &state)
{
    switch (record.id()) {
    case EofId:
        if (record.size() != 0) // an end that carries data is no end
            return damaged();
        break;
    case BofId:
        return damaged(); // the globals end with EOF before any sheet starts
    case FilePassId:
        // BIFF8's RC4 was undone before (or refused); BIFF5 only knows XOR obfuscation.
        if (g.biff != 8)
            return failure(WorkbookReader::reasonPasswordProtected());
        break;
    case CodePageId:
        g.codePage = record.u16();
        break;
    case DateModeId:
        g.from1904 = record.u16() != 0;
        break;
    case BoundSheetId:
        readBoundSheet(record, g, state);
        break;
    case SstId:
        readSharedStrings(record, g, state);
        break;
    case FormatId: {
        const std::uint16_t id = record.u16();
        if (g.biff == 8)
            state.formats.insert(id, record.unicodeString(2));
        else
            state.rawFormats.insert(id, record.byteString(1));
        // Some writers count a character too many; the format only tells dates apart.
        record.forgiveOverrun();
        break;
    }
    case XfId:
        record.u16(); // font
        state.xfFormats.push_back(record.u16());
        break;
    default:
        break;
    }
    return record.overrun() ? damaged() : Status::ok();
}

Status readGlobals(QByteArrayView stream, qsizetype pos, Globals &g)
{
    BiffRecord record;
    GlobalsState state;
    do {
        if (!record.read(stream, pos))
            return damaged();
        if (Status s = readGlobalsRecord(record, g, state); !s.isOk())
            return s;
    } while (record.id() != EofId);
    if (state.sheets == 0) // a workbook has at least one sheet
        return damaged();

    if (g.biff != 8) {
        g.setCodePage(g.codePage);
        for (SheetEntry &sheet : g.sheets)
            sheet.name = g.decode(sheet.rawName);
        for (auto it = state.rawFormats.cbegin(); it != state.rawFormats.cend(); ++it)
            state.formats.insert(it.key(), g.decode(it.value()));
    }
    g.dateXf.reserve(state.xfFormats.size());
    for (const std::uint16_t id : state.xfFormats) {
        const auto custom = state.formats.constFind(id);
        g.dateXf.push_back(custom != state.formats.cend() ? XlsxReader::isDateFormat(*custom)
                                                          : isBuiltInDateFormat(id));
    }
    return Status::ok();
}

// A cell's place and format, the start of every cell record.
struct CellHead
{
    int row = 0;
    int column = 0;
    std::uint16_t xf = 0;

    // False when the column lies beyond the format's 256.
    bool read(BiffRecord &record, int biff)
    {
        row = record.u16();
        column = record.u16();
        if (biff == 2) {
            // Three attribute bytes; the second's low six bits index the cell's format.
            record.u8();
            xf = record.u8() & 0x3F;
            record.u8();
        } else {
            xf = record.u16();
        }
        return column < MaxColumns;
    }
};

void putNumber(Sheet &sheet, const Globals &g, const CellHead &cell, double value)
{
    if (g.isDate(cell.xf))
        sheet.setText(cell.row, cell.column, Sheet::dateText(value, g.from1904));
    else
        sheet.setNumber(cell.row, cell.column, value);
}

// The records of a BIFF2 to BIFF4 worksheet that later formats keep in the workbook globals or
// no longer have: code page, date system, formats, and BIFF2's cell records.
Status readOldSheetRecord(BiffRecord &record, Globals &g, Sheet &sheet)
{
    CellHead cell;
    switch (record.id()) {
    case FilePassId:
        return failure(WorkbookReader::reasonPasswordProtected());
    case CodePageId:
        g.setCodePage(record.u16());
        break;
    case DateModeId:
        g.from1904 = record.u16() != 0;
        break;
    case Format2Id:
    case FormatId: {
        if (record.id() == FormatId)
            record.u16(); // BIFF4: unused
        g.formatList.append(g.decode(record.byteString(1)));
        record.forgiveOverrun(); // as in the globals: a format cut short will do
        // BIFF2 cells name their format itself.
        if (g.biff == 2)
            g.dateXf.push_back(XlsxReader::isDateFormat(g.formatList.last()));
        break;
    }
    case Xf3Id:
    case Xf4Id: {
        record.u8(); // font
        const std::uint8_t format = record.u8();
        g.dateXf.push_back(format < g.formatList.size() &&
                           XlsxReader::isDateFormat(g.formatList.at(format)));
        break;
    }
    case Integer2Id:
    case Number2Id:
        if (g.biff != 2)
            break;
        if (!cell.read(record, g.biff))
            return damaged();
        putNumber(sheet, g, cell, record.id() == Integer2Id ? record.u16() : record.f64());
        break;
    case Label2Id:
        if (g.biff != 2)
            break;
        if (!cell.read(record, g.biff))
            return damaged();
        sheet.setText(cell.row, cell.column, g.text(record));
        break;
    case BoolErr2Id: {
        if (g.biff != 2)
            break;
        if (!cell.read(record, g.biff))
            return damaged();
        const std::uint8_t value = record.u8();
        if (record.u8() == 0)
            sheet.setNumber(cell.row, cell.column, value != 0 ? 1 : 0);
        break;
    }
    default:
        break;
    }
    return Status::ok();
}

// A worksheet's reading between its records: a formula whose text result follows in a STRING
// record, and the room left in the stream.
struct SheetState
{
    CellHead pending;
    bool stringPending = false;
    qsizetype remaining = 0;
};

// First row, one past the last row, first column, one past the last column.
Status readDimensions(BiffRecord &record, const Globals &g, Sheet &sheet, qsizetype remaining)
{
    std::uint32_t rowEnd = 0;
    if (g.biff == 8) {
        record.u32();
        rowEnd = record.u32();
    } else {
        record.u16();
        rowEnd = record.u16();
    }
    record.u16();
    const std::uint16_t columnEnd = record.u16();
    if (rowEnd > MaxRows || columnEnd > MaxColumns)
        return damaged();
    // A row takes at least one ten-byte cell record.
    sheet.reserveRows(static_cast<int>(std::min<qsizetype>(rowEnd, remaining / 10)));
    return Status::ok();
}

// Row, first column, (format, value) per cell, last column.
Status readMulRk(BiffRecord &record, const Globals &g, Sheet &sheet)
{
    CellHead cell;
    cell.row = record.u16();
    const int first = record.u16();
    const qsizetype count = (record.remaining() - 2) / 6;
    if (count < 1 || (record.remaining() - 2) % 6 != 0 || first + count > MaxColumns)
        return damaged();
    for (qsizetype i = 0; i < count; ++i) {
        cell.column = first + static_cast<int>(i);
        cell.xf = record.u16();
        putNumber(sheet, g, cell, rkValue(record.u32()));
    }
    if (record.u16() != first + count - 1)
        return damaged();
    return Status::ok();
}

// A formula's cached result: a number, a boolean, or a text that follows in a STRING record.
Status readFormula(BiffRecord &record, const Globals &g, Sheet &sheet, SheetState &state)
{
    CellHead cell;
    if (!cell.read(record, g.biff))
        return damaged();
    const double value = record.f64();
    const auto bits = std::bit_cast<std::uint64_t>(value);
    if ((bits >> 48) != 0xFFFF) {
        putNumber(sheet, g, cell, value);
        return Status::ok();
    }
    // Not a number: the first byte says what the result is.
    switch (bits & 0xFF) {
    case 0:
        state.pending = cell;
        state.stringPending = true;
        break;
    case 1:
        sheet.setNumber(cell.row, cell.column, ((bits >> 16) & 0xFF) != 0 ? 1 : 0);
        break;
    default: // an error value, or an empty text
        break;
    }
    return Status::ok();
}

// One record of a worksheet's own cells (BIFF5 and 8; BIFF2 to 4 add readOldSheetRecord).
Status readCellRecord(BiffRecord &record, Globals &g, Sheet &sheet, SheetState &state)
{
    CellHead cell;
    switch (record.id()) {
    case DimensionsId:
        return readDimensions(record, g, sheet, state.remaining);
    case NumberId:
    case RkId:
        if (!cell.read(record, g.biff))
            return damaged();
        putNumber(sheet, g, cell, record.id() == NumberId ? record.f64() : rkValue(record.u32()));
        break;
    case MulRkId:
        return readMulRk(record, g, sheet);
    case LabelSstId: {
        if (!cell.read(record, g.biff))
            return damaged();
        const std::uint32_t index = record.u32();
        if (index >= static_cast<std::uint32_t>(g.sst.size()))
            return damaged();
        sheet.setPooledText(cell.row, cell.column, index);
        break;
    }
    case LabelId:
    case RStringId: // rich-text runs after the text are left unread
        if (!cell.read(record, g.biff))
            return damaged();
        sheet.setText(cell.row, cell.column, g.text(record));
        break;
    case BoolErrId: {
        if (!cell.read(record, g.biff))
            return damaged();
        const std::uint8_t value = record.u8();
        if (record.u8() == 0) // an error value stays empty
            sheet.setNumber(cell.row, cell.column, value != 0 ? 1 : 0);
        break;
    }
    case FormulaId:
    case Formula3Id:
    case Formula4Id:
        return readFormula(record, g, sheet, state);
    case StringId:
    case String2Id: {
        const QString text = g.text(record);
        if (state.stringPending)
            sheet.setText(state.pending.row, state.pending.column, text);
        state.stringPending = false;
        break;
    }
    default: // BLANK and MULBLANK among them: an empty cell is nothing to keep
        break;
    }
    return Status::ok();
}

// Reads the substream at `pos` and leaves `pos` at its end.
Status readSheet(QByteArrayView stream, qsizetype &pos, Globals &g, Sheet &sheet)
{
    BiffRecord record;
    if (!record.read(stream, pos) || !isBof(record.id()))
        return damaged();
    record.u16(); // version
    const std::uint16_t type = record.u16();
    if (record.overrun())
        return damaged();
    if (type != WorksheetSubstream)
        return Status::ok(); // a dialog or macro sheet: no table to import
    sheet.setPool(g.sst);

    int nested = 0; // charts embedded in the sheet come as substreams of their own
    SheetState state;
    for (;;) {
        if (!record.read(stream, pos))
            return damaged();
        const std::uint16_t id = record.id();
        if (isBof(id)) {
            ++nested;
            continue;
        }
        if (id == EofId) {
            if (record.size() != 0) // an end that carries data is no end
                return damaged();
            if (nested == 0)
                break;
            --nested;
            continue;
        }
        if (nested > 0)
            continue;
        if (id != StringId && id != String2Id && id != ShrFmlaId && id != ArrayId && id != TableId)
            state.stringPending = false;
        if (g.biff <= 4) {
            if (Status s = readOldSheetRecord(record, g, sheet); !s.isOk())
                return s;
        }
        state.remaining = stream.size() - pos;
        if (Status s = readCellRecord(record, g, sheet, state); !s.isOk())
            return s;
        if (record.overrun())
            return damaged();
    }
    return Status::ok();
}

// Where the globals hold a FILEPASS record, or -1.
qsizetype findFilePass(QByteArrayView stream)
{
    qsizetype pos = 0;
    while (pos + 4 <= stream.size()) {
        const auto id = qFromLittleEndian<std::uint16_t>(stream.data() + pos);
        if (id == FilePassId)
            return pos;
        if (id == EofId)
            break;
        pos += 4 + qFromLittleEndian<std::uint16_t>(stream.data() + pos + 2);
    }
    return -1;
}

// Reads the wanted sheets of the globals' list into `workbook`.
Status readSheets(QByteArrayView stream, Globals &g, const QStringList &wanted, Workbook &workbook)
{
    // Substreams never overlap: one starting inside another would be read over and over.
    std::map<qsizetype, qsizetype> substreams; // start → end of each sheet read
    // A cell far out costs its whole row, a row far down all rows above it: sheets of such cells
    // that take far more room than the file are damage, not a workbook.
    const qsizetype cellBudget = std::max<qsizetype>(CellBudget, 64 * stream.size());
    qsizetype cells = 0;
    for (const SheetEntry &entry : g.sheets) {
        Sheet *sheet = workbook.addSheet(entry.name, wanted);
        if (!sheet)
            continue;
        const qsizetype start = entry.offset;
        const auto after = substreams.upper_bound(start);
        if (start >= stream.size() ||
            (after != substreams.begin() && std::prev(after)->second > start))
            return damaged();
        qsizetype end = start;
        if (Status s = readSheet(stream, end, g, *sheet); !s.isOk())
            return s;
        if (after != substreams.end() && after->first < end)
            return damaged();
        substreams.emplace(start, end);
        cells += sheet->rowCount();
        for (int r = 0; r < sheet->rowCount(); ++r)
            cells += static_cast<qsizetype>(sheet->entries(r).size());
        if (cells > cellBudget)
            return damaged();
    }
    return Status::ok();
}

Result<Workbook> readStream(QByteArray bytes, bool namedBook, const QStringList &wanted)
{
    BiffRecord record;
    qsizetype pos = 0;
    if (!record.read(bytes, pos) || !isBof(record.id()))
        return damaged();
    const std::uint16_t bof = record.id();
    const std::uint16_t version = record.u16();
    const std::uint16_t type = record.u16();
    if (record.overrun())
        return damaged();

    Globals g;
    if (bof == Bof2Id)
        g.biff = 2;
    else if (bof == Bof3Id)
        g.biff = 3;
    else if (bof == Bof4Id)
        g.biff = 4;
    else // writers that leave the version out are told apart by the stream's name
        g.biff = version == Biff8Version || (version != Biff5Version && !namedBook) ? 8 : 5;
    if (type == WorksheetSubstream) {
        // A lone worksheet, as BIFF2 to BIFF4 files and some programs' BIFF5/BIFF8 hold: no
        // globals, no shared strings; older formats keep their formats in the sheet.
        g.sheets.push_back({QStringLiteral("Sheet1"), QByteArray(), 0});
    } else if (bof != BofId) {
        // A BIFF4 workbook bundles its sheets in a way of its own.
        return failure(WorkbookReader::reasonXlsUnreadable());
    } else if (type == GlobalsSubstream) {
        const qsizetype filePass = g.biff == 8 ? findFilePass(bytes) : -1;
        if (filePass >= 0 &&
            !XlsDecryptor::decrypt(bytes, filePass, XlsDecryptor::defaultPassword()))
            return failure(WorkbookReader::reasonPasswordProtected());
        const Status read = readGlobals(bytes, pos, g);
        if (!read.isOk())
            return read;
    } else {
        return failure(WorkbookReader::reasonXlsUnreadable());
    }
    Workbook workbook;
    workbook.setFormat(Workbook::Format::Xls);
    if (Status s = readSheets(QByteArrayView(bytes), g, wanted, workbook); !s.isOk())
        return s;
    return workbook;
}

// An encrypted .xlsx is a compound file too, holding an "EncryptionInfo" stream instead of a
// workbook; its name (UTF-16) shows in the directory near the start.
bool isEncryptedPackage(const QByteArray &file)
{
    const QString name = QStringLiteral("EncryptionInfo");
    const QByteArray utf16(reinterpret_cast<const char *>(name.utf16()), name.size() * 2);
    return QByteArrayView(file).first(std::min<qsizetype>(file.size(), 1 << 20)).contains(utf16);
}

// The workbook stream of a compound file, or the file itself when it is a bare BIFF stream.
Result<QByteArray> workbookStream(const QByteArray &file, bool &namedBook)
{
    namedBook = false;
    if (!CompoundFile::hasSignature(file))
        return file;
    const Result<CompoundFile> compound = CompoundFile::open(file);
    if (!compound)
        return isEncryptedPackage(file) ? failure(WorkbookReader::reasonEncrypted())
                                        : compound.status();
    // A workbook saved for both Excel 97 and Excel 5 holds both streams; the newer is richer.
    if (compound->hasStream(u"Workbook"))
        return compound->stream(u"Workbook");
    if (compound->hasStream(u"Book")) {
        namedBook = true;
        return compound->stream(u"Book");
    }
    if (compound->hasStream(u"EncryptionInfo") || isEncryptedPackage(file))
        return failure(WorkbookReader::reasonEncrypted());
    return failure(WorkbookReader::reasonNotWorkbook());
}

} // namespace

Result<Workbook> XlsReader::readBytes(const QByteArray &file, const QStringList &wanted)
{
    bool namedBook = false;
    const Result<QByteArray> stream = workbookStream(file, namedBook);
    if (!stream)
        return stream.status();
    return readStream(*stream, namedBook, wanted);
}

Result<Workbook> XlsReader::read(const QString &path, const QStringList &wanted)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(file.exists() ? WorkbookReader::reasonCannotOpen()
                                     : WorkbookReader::reasonMissing());
    bool namedBook = false;
    Result<QByteArray> stream = QByteArray();
    {
        // The file's bytes go as soon as the workbook stream is out of them.
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return failure(WorkbookReader::reasonCannotOpen());
        stream = workbookStream(bytes, namedBook);
    }
    if (!stream)
        return stream.status();
    return readStream(std::move(*stream), namedBook, wanted);
}

} // namespace fenpai
