#include "support/xlsbuilder.h"

#include <QCryptographicHash>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace fenpai::test::xls {

namespace {

constexpr std::uint32_t EndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t FreeSector = 0xFFFFFFFF;
constexpr std::uint32_t NoEntry = 0xFFFFFFFF;
constexpr std::uint32_t FatSector = 0xFFFFFFFD;
constexpr std::uint32_t DifatSector = 0xFFFFFFFC;
constexpr int MiniCutoff = 4096;

QByteArray cell(int row, int column, int xf)
{
    return le16(static_cast<unsigned>(row)) + le16(static_cast<unsigned>(column)) +
           le16(static_cast<unsigned>(xf));
}

qsizetype sectorsFor(qsizetype bytes, qsizetype size)
{
    return (bytes + size - 1) / size;
}

} // namespace

QByteArray le16(unsigned value)
{
    char b[2];
    qToLittleEndian(static_cast<std::uint16_t>(value), b);
    return QByteArray(b, 2);
}

QByteArray le32(std::uint32_t value)
{
    char b[4];
    qToLittleEndian(value, b);
    return QByteArray(b, 4);
}

QByteArray f64(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, 8);
    char b[8];
    qToLittleEndian(bits, b);
    return QByteArray(b, 8);
}

QByteArray record(std::uint16_t id, const QByteArray &data)
{
    return le16(id) + le16(static_cast<unsigned>(data.size())) + data;
}

QByteArray text8(const QString &text, int countBytes)
{
    const bool wide =
        std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 0xFF; });
    QByteArray out = countBytes == 1 ? QByteArray(1, static_cast<char>(text.size()))
                                     : le16(static_cast<unsigned>(text.size()));
    out += static_cast<char>(wide ? 1 : 0);
    for (const QChar c : text)
        out += wide ? le16(c.unicode()) : QByteArray(1, static_cast<char>(c.unicode()));
    return out;
}

QByteArray text5(const QByteArray &bytes, int countBytes)
{
    return (countBytes == 1 ? QByteArray(1, static_cast<char>(bytes.size()))
                            : le16(static_cast<unsigned>(bytes.size()))) +
           bytes;
}

QByteArray bof(std::uint16_t type, int biff)
{
    if (biff == 5)
        return record(0x0809, le16(0x0500) + le16(type) + le16(0x0DBB) + le16(0x07CC));
    return record(0x0809,
                  le16(0x0600) + le16(type) + le16(0x0DBB) + le16(0x07CC) + le32(0) + le32(6));
}

QByteArray eof()
{
    return record(0x000A, {});
}

QByteArray codePage(int codePage)
{
    return record(0x0042, le16(static_cast<unsigned>(codePage)));
}

QByteArray dateMode1904()
{
    return record(0x0022, le16(1));
}

QByteArray format(int id, const QString &code)
{
    return record(0x041E, le16(static_cast<unsigned>(id)) + text8(code));
}

QByteArray format5(int id, const QByteArray &code)
{
    return record(0x041E, le16(static_cast<unsigned>(id)) + text5(code, 1));
}

QByteArray xf(int formatId, int biff)
{
    return record(0x00E0, le16(0) + le16(static_cast<unsigned>(formatId)) +
                              QByteArray(biff == 5 ? 12 : 16, '\0'));
}

QByteArray sst(const QStringList &strings)
{
    QByteArray data = le32(static_cast<std::uint32_t>(strings.size())) +
                      le32(static_cast<std::uint32_t>(strings.size()));
    for (const QString &s : strings)
        data += text8(s);
    return record(0x00FC, data);
}

QByteArray dimensions(std::uint32_t rowEnd, int columnEnd, int biff)
{
    const auto columns = static_cast<unsigned>(columnEnd);
    if (biff == 5)
        return record(0x0200, le16(0) + le16(rowEnd) + le16(0) + le16(columns) + le16(0));
    return record(0x0200, le32(0) + le32(rowEnd) + le16(0) + le16(columns) + le16(0));
}

QByteArray number(int row, int column, double value, int xf)
{
    return record(0x0203, cell(row, column, xf) + f64(value));
}

QByteArray rk(int row, int column, std::uint32_t rk, int xf)
{
    return record(0x027E, cell(row, column, xf) + le32(rk));
}

QByteArray labelSst(int row, int column, std::uint32_t index, int xf)
{
    return record(0x00FD, cell(row, column, xf) + le32(index));
}

QByteArray label(int row, int column, const QString &text)
{
    return record(0x0204, cell(row, column, 0) + text8(text));
}

QByteArray label5(int row, int column, const QByteArray &text)
{
    return record(0x0204, cell(row, column, 0) + text5(text));
}

QByteArray boolErr(int row, int column, int value, bool error)
{
    return record(0x0205, cell(row, column, 0) + static_cast<char>(value) +
                              static_cast<char>(error ? 1 : 0));
}

QByteArray blank(int row, int column)
{
    return record(0x0201, cell(row, column, 0));
}

namespace {

QByteArray formulaRecord(int row, int column, const QByteArray &result, int xf)
{
    // Options, a cache field, then the tokens of =1 (ptgInt 1).
    const QByteArray tokens = QByteArray(1, '\x1E') + le16(1);
    return record(0x0006, cell(row, column, xf) + result + le16(0) + le32(0) +
                              le16(static_cast<unsigned>(tokens.size())) + tokens);
}

} // namespace

QByteArray formula(int row, int column, double value, int xf)
{
    return formulaRecord(row, column, f64(value), xf);
}

QByteArray formulaResult(int row, int column, int kind, int value)
{
    QByteArray result(8, '\0');
    result[0] = static_cast<char>(kind);
    result[2] = static_cast<char>(value);
    result[6] = '\xFF';
    result[7] = '\xFF';
    return formulaRecord(row, column, result, 0);
}

QByteArray string(const QString &text)
{
    return record(0x0207, text8(text));
}

QByteArray workbookStream(const QByteArray &globals, const std::vector<SheetRecords> &sheets,
                          int biff)
{
    const auto boundSheet = [biff](qsizetype offset, const SheetRecords &sheet) {
        QByteArray data =
            le32(static_cast<std::uint32_t>(offset)) + '\0' + static_cast<char>(sheet.type);
        data += biff == 5 ? text5(sheet.rawName, 1) : text8(sheet.name, 1);
        return record(0x0085, data);
    };
    // The globals' size, which the offsets do not change, places every sheet.
    QByteArray out = bof(0x0005, biff) + globals;
    qsizetype at = out.size() + eof().size();
    for (const SheetRecords &sheet : sheets)
        at += boundSheet(0, sheet).size();
    QByteArray body;
    for (const SheetRecords &sheet : sheets) {
        out += boundSheet(at + body.size(), sheet);
        body += bof(sheet.type == 2 ? 0x0020 : 0x0010, biff) + sheet.records + eof();
    }
    return out + eof() + body;
}

namespace {

// RC4 over `data`, as a key stream from `key` with the first `skip` bytes dropped.
QByteArray rc4(const QByteArray &key, int skip, const QByteArray &data)
{
    unsigned char s[256];
    for (int k = 0; k < 256; ++k)
        s[k] = static_cast<unsigned char>(k);
    for (int k = 0, j = 0; k < 256; ++k) {
        j = (j + s[k] + static_cast<unsigned char>(key[k % key.size()])) & 0xFF;
        std::swap(s[k], s[j]);
    }
    QByteArray out = data;
    int i = 0;
    int j = 0;
    for (int n = -skip; n < data.size(); ++n) {
        i = (i + 1) & 0xFF;
        j = (j + s[i]) & 0xFF;
        std::swap(s[i], s[j]);
        if (n >= 0)
            out[n] = static_cast<char>(out[n] ^ s[(s[i] + s[j]) & 0xFF]);
    }
    return out;
}

QByteArray md5(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Md5);
}

} // namespace

QByteArray encryptRc4(const QByteArray &stream, const QString &password, const QByteArray &salt)
{
    QByteArray secret;
    for (const QChar c : password)
        secret += le16(c.unicode());
    const QByteArray base = md5((md5(secret).left(5) + salt).repeated(16)).left(5);
    const auto blockKey = [&](std::uint32_t block) { return md5(base + le32(block)); };
    const QByteArray verifier(16, '\x5A');
    const QByteArray sealed = rc4(blockKey(0), 0, verifier + md5(verifier));
    const QByteArray filePass = record(0x002F, le16(1) + le16(1) + le16(1) + salt + sealed);

    // The FILEPASS record after the BOF moves every sheet along by its size.
    const qsizetype bofSize = 4 + qFromLittleEndian<std::uint16_t>(stream.constData() + 2);
    QByteArray out = stream.left(bofSize) + filePass + stream.mid(bofSize);
    for (qsizetype pos = 0; pos + 4 <= out.size();) {
        const auto id = qFromLittleEndian<std::uint16_t>(out.constData() + pos);
        const qsizetype length = qFromLittleEndian<std::uint16_t>(out.constData() + pos + 2);
        if (id == 0x0085)
            out.replace(pos + 4, 4,
                        le32(qFromLittleEndian<std::uint32_t>(out.constData() + pos + 4) +
                             static_cast<std::uint32_t>(filePass.size())));
        // Record data after the FILEPASS is encrypted, bar BOF records and sheet offsets; the
        // key changes every 1024 bytes of the stream.
        if (pos > bofSize && id != 0x0809) {
            for (qsizetype at = pos + 4 + (id == 0x0085 ? 4 : 0); at < pos + 4 + length; ++at) {
                const QByteArray key = blockKey(static_cast<std::uint32_t>(at / 1024));
                out[at] = rc4(key, static_cast<int>(at % 1024), out.mid(at, 1))[0];
            }
        }
        pos += 4 + length;
    }
    return out;
}

QByteArray compoundFile(const std::vector<Stream> &streams, const CompoundOptions &options)
{
    const int shift = options.sectorShift;
    const qsizetype sectorSize = qsizetype(1) << shift;
    const qsizetype perSector = sectorSize / 4;

    // Small streams in the mini stream, 64 bytes a mini sector.
    QByteArray mini;
    std::vector<std::uint32_t> miniFat;
    std::vector<std::uint32_t> starts(streams.size(), EndOfChain);
    for (size_t i = 0; i < streams.size(); ++i) {
        const QByteArray &data = streams[i].data;
        if (data.isEmpty() || data.size() >= MiniCutoff)
            continue;
        const auto first = static_cast<std::uint32_t>(miniFat.size());
        const qsizetype n = sectorsFor(data.size(), 64);
        for (qsizetype k = 0; k < n; ++k)
            miniFat.push_back(k + 1 < n ? first + static_cast<std::uint32_t>(k) + 1 : EndOfChain);
        starts[i] = first;
        mini += data + QByteArray(n * 64 - data.size(), '\0');
    }

    const qsizetype directorySectors =
        sectorsFor(static_cast<qsizetype>(streams.size() + 1) * 128, sectorSize);
    const qsizetype miniFatSectors =
        sectorsFor(static_cast<qsizetype>(miniFat.size()) * 4, sectorSize);
    qsizetype dataSectors = directorySectors + miniFatSectors + sectorsFor(mini.size(), sectorSize);
    for (const Stream &s : streams) {
        if (s.data.size() >= MiniCutoff)
            dataSectors += sectorsFor(s.data.size(), sectorSize);
    }
    qsizetype fatSectors = std::max(1, options.fatSectors);
    qsizetype difatSectors = 0;
    for (;; ++fatSectors) {
        difatSectors = fatSectors > 109 ? sectorsFor(fatSectors - 109, perSector - 1) : 0;
        if (fatSectors * perSector >= fatSectors + difatSectors + dataSectors)
            break;
    }

    std::vector<std::uint32_t> fat(static_cast<size_t>(fatSectors * perSector), FreeSector);
    std::uint32_t next = 0;
    const auto allocate = [&](qsizetype n, std::uint32_t mark) {
        std::vector<std::uint32_t> chain;
        for (qsizetype k = 0; k < n; ++k) {
            chain.push_back(next);
            fat[next] = mark != 0 ? mark : (k + 1 < n ? next + 1 : EndOfChain);
            ++next;
        }
        return chain;
    };
    const std::vector<std::uint32_t> fatChain = allocate(fatSectors, FatSector);
    const std::vector<std::uint32_t> difatChain = allocate(difatSectors, DifatSector);
    const std::vector<std::uint32_t> directoryChain = allocate(directorySectors, 0);
    const std::vector<std::uint32_t> miniFatChain = allocate(miniFatSectors, 0);
    const std::vector<std::uint32_t> miniChain = allocate(sectorsFor(mini.size(), sectorSize), 0);
    std::vector<std::vector<std::uint32_t>> chains;
    for (size_t i = 0; i < streams.size(); ++i) {
        const QByteArray &data = streams[i].data;
        chains.push_back(data.size() >= MiniCutoff
                             ? allocate(sectorsFor(data.size(), sectorSize), 0)
                             : std::vector<std::uint32_t>());
        if (!chains.back().empty())
            starts[i] = chains.back().front();
    }
    if (options.patchFat)
        options.patchFat(fat, chains);

    std::vector<QByteArray> sectors(next, QByteArray(sectorSize, '\0'));
    const auto put = [&](const std::vector<std::uint32_t> &chain, const QByteArray &data) {
        for (size_t k = 0; k < chain.size(); ++k) {
            const QByteArray part = data.mid(static_cast<qsizetype>(k) * sectorSize, sectorSize);
            sectors[chain[k]].replace(0, part.size(), part);
        }
    };
    QByteArray fatBytes;
    for (const std::uint32_t entry : fat)
        fatBytes += le32(entry);
    put(fatChain, fatBytes);
    for (size_t d = 0; d < difatChain.size(); ++d) {
        QByteArray bytes;
        for (qsizetype j = 0; j < perSector - 1; ++j) {
            const qsizetype index = 109 + static_cast<qsizetype>(d) * (perSector - 1) + j;
            bytes += le32(index < fatSectors ? fatChain[static_cast<size_t>(index)] : FreeSector);
        }
        bytes += le32(d + 1 < difatChain.size() ? difatChain[d + 1] : EndOfChain);
        put({difatChain[d]}, bytes);
    }
    QByteArray directory;
    const auto entry = [](const QString &name, int type, std::uint32_t right, std::uint32_t child,
                          std::uint32_t start, std::uint64_t size) {
        QByteArray e(128, '\0');
        for (qsizetype i = 0; i < name.size(); ++i)
            e.replace(2 * i, 2, le16(name[i].unicode()));
        e.replace(0x40, 2, le16(static_cast<unsigned>((name.size() + 1) * 2)));
        e[0x42] = static_cast<char>(type);
        e[0x43] = 1; // black
        e.replace(0x44, 4, le32(NoEntry));
        e.replace(0x48, 4, le32(right));
        e.replace(0x4C, 4, le32(child));
        e.replace(0x74, 4, le32(start));
        e.replace(0x78, 4, le32(static_cast<std::uint32_t>(size)));
        e.replace(0x7C, 4, le32(static_cast<std::uint32_t>(size >> 32)));
        return e;
    };
    directory += entry(QStringLiteral("Root Entry"), 5, NoEntry, streams.empty() ? NoEntry : 1,
                       miniChain.empty() ? EndOfChain : miniChain.front(),
                       static_cast<std::uint64_t>(mini.size()));
    for (size_t i = 0; i < streams.size(); ++i) {
        const auto right = i + 1 < streams.size() ? static_cast<std::uint32_t>(i + 2) : NoEntry;
        directory += entry(streams[i].name, 2, right, NoEntry, starts[i],
                           static_cast<std::uint64_t>(streams[i].data.size()));
    }
    while (directory.size() % sectorSize != 0)
        directory += entry(QString(), 0, NoEntry, NoEntry, 0, 0);
    put(directoryChain, directory);
    QByteArray miniFatBytes;
    for (const std::uint32_t e : miniFat)
        miniFatBytes += le32(e);
    while (miniFatBytes.size() % sectorSize != 0)
        miniFatBytes += le32(FreeSector);
    put(miniFatChain, miniFatBytes);
    put(miniChain, mini);
    for (size_t i = 0; i < streams.size(); ++i)
        put(chains[i], streams[i].data);

    QByteArray header(512, '\0');
    header.replace(0, 8, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    header.replace(0x18, 2, le16(0x3E));
    header.replace(0x1A, 2, le16(shift == 12 ? 4 : 3));
    header.replace(0x1C, 2, le16(0xFFFE));
    header.replace(0x1E, 2, le16(static_cast<unsigned>(shift)));
    header.replace(0x20, 2, le16(6));
    header.replace(0x28, 4, le32(shift == 12 ? static_cast<std::uint32_t>(directorySectors) : 0));
    header.replace(0x2C, 4, le32(static_cast<std::uint32_t>(fatSectors)));
    header.replace(0x30, 4, le32(directoryChain.front()));
    header.replace(0x38, 4, le32(MiniCutoff));
    header.replace(0x3C, 4, le32(miniFatChain.empty() ? EndOfChain : miniFatChain.front()));
    header.replace(0x40, 4, le32(static_cast<std::uint32_t>(miniFatSectors)));
    header.replace(0x44, 4, le32(difatChain.empty() ? EndOfChain : difatChain.front()));
    header.replace(0x48, 4, le32(static_cast<std::uint32_t>(difatSectors)));
    for (int i = 0; i < 109; ++i)
        header.replace(0x4C + 4 * i, 4,
                       le32(i < fatSectors ? fatChain[static_cast<size_t>(i)] : FreeSector));

    QByteArray out = header + QByteArray(sectorSize - 512, '\0');
    for (const QByteArray &s : sectors)
        out += s;
    return out;
}

QByteArray xlsFile(const QByteArray &workbook)
{
    return compoundFile({{QStringLiteral("Workbook"), workbook}});
}

} // namespace fenpai::test::xls
