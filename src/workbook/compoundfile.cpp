#include "workbook/compoundfile.h"

#include "workbook/workbookreader.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace fenpai {

namespace {

constexpr std::uint32_t MaxRegularSector = 0xFFFFFFFA;
constexpr std::uint32_t EndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t NoEntry = 0xFFFFFFFF;
constexpr int HeaderSize = 512;
constexpr int HeaderDifatEntries = 109;
constexpr int EntrySize = 128;

enum EntryType : std::uint8_t
{
    Storage = 1,
    Stream = 2,
    Root = 5,
};

const char Signature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

std::uint16_t u16(QByteArrayView data, qsizetype at)
{
    return qFromLittleEndian<std::uint16_t>(data.data() + at);
}

std::uint32_t u32(QByteArrayView data, qsizetype at)
{
    return qFromLittleEndian<std::uint32_t>(data.data() + at);
}

std::uint64_t u64(QByteArrayView data, qsizetype at)
{
    return qFromLittleEndian<std::uint64_t>(data.data() + at);
}

Status damaged()
{
    return Status::error(Status::Kind::Io, WorkbookReader::reasonDamaged());
}

} // namespace

bool CompoundFile::hasSignature(QByteArrayView data)
{
    return data.size() >= 8 && std::memcmp(data.data(), Signature, 8) == 0;
}

Result<CompoundFile> CompoundFile::open(QByteArrayView data)
{
    CompoundFile file;
    file.m_data = data;
    if (!file.readHeader() || !file.readFat() || !file.readDirectory() || !file.findRootStreams())
        return damaged();
    return file;
}

bool CompoundFile::readHeader()
{
    if (m_data.size() < HeaderSize || !hasSignature(m_data))
        return false;
    m_version4 = u16(m_data, 0x1A) == 4;
    m_sectorShift = u16(m_data, 0x1E);
    m_miniSectorShift = u16(m_data, 0x20);
    // 512 bytes (version 3) and 4096 (version 4) are the sizes in use; larger powers of two
    // still index the file safely, smaller ones would overlap the header.
    if (m_sectorShift < 9 || m_sectorShift > 16 || m_miniSectorShift < 2 ||
        m_miniSectorShift >= m_sectorShift)
        return false;
    m_fatSectors = u32(m_data, 0x2C);
    m_directoryStart = u32(m_data, 0x30);
    m_miniCutoff = u32(m_data, 0x38);
    m_miniFatStart = u32(m_data, 0x3C);
    m_difatStart = u32(m_data, 0x44);
    const auto sectorSize = static_cast<std::uint64_t>(1) << m_sectorShift;
    const auto size = static_cast<std::uint64_t>(m_data.size());
    // Sector n starts at (n + 1) * sectorSize; the last one may be cut short by the writer.
    m_sectorCount = size > sectorSize ? (size - 1) / sectorSize : 0;
    return true;
}

bool CompoundFile::readFat()
{
    const qsizetype sectorSize = qsizetype(1) << m_sectorShift;
    const qsizetype perSector = sectorSize / 4;
    if (m_fatSectors == 0 || m_fatSectors > m_sectorCount)
        return false;
    std::vector<std::uint32_t> fatSectors;
    fatSectors.reserve(m_fatSectors);
    for (int i = 0; i < HeaderDifatEntries && fatSectors.size() < m_fatSectors; ++i)
        fatSectors.push_back(u32(m_data, 0x4C + 4 * i));
    // The rest of the list lives in a chain of DIFAT sectors, each ending with the next one's id.
    std::uint32_t difat = m_difatStart;
    std::uint64_t steps = 0;
    while (fatSectors.size() < m_fatSectors) {
        if (difat >= m_sectorCount || ++steps > m_sectorCount)
            return false;
        const qsizetype at = (qsizetype(difat) + 1) << m_sectorShift;
        if (at + sectorSize > m_data.size())
            return false;
        for (qsizetype j = 0; j < perSector - 1 && fatSectors.size() < m_fatSectors; ++j)
            fatSectors.push_back(u32(m_data, at + 4 * j));
        difat = u32(m_data, at + sectorSize - 4);
    }

    m_fat.resize(static_cast<size_t>(m_fatSectors) * static_cast<size_t>(perSector));
    size_t next = 0;
    for (const std::uint32_t sector : fatSectors) {
        if (sector >= m_sectorCount)
            return false;
        const qsizetype at = (qsizetype(sector) + 1) << m_sectorShift;
        if (at + sectorSize > m_data.size())
            return false;
        for (qsizetype j = 0; j < perSector; ++j)
            m_fat[next++] = u32(m_data, at + 4 * j);
    }
    return true;
}

bool CompoundFile::chain(const std::vector<std::uint32_t> &table, std::uint32_t start,
                         std::uint64_t wanted, std::uint64_t sectorLimit,
                         std::vector<std::uint32_t> &out) const
{
    out.clear();
    std::vector<bool> seen(table.size());
    // The whole chain is walked, even past the sectors wanted: a loop anywhere is damage.
    for (std::uint32_t sector = start; sector != EndOfChain; sector = table[sector]) {
        if (sector > MaxRegularSector || sector >= table.size() || sector >= sectorLimit ||
            seen[sector])
            return false;
        seen[sector] = true;
        out.push_back(sector);
    }
    // Sectors beyond those the size needs are tolerated; too few are not.
    if (out.size() < wanted)
        return false;
    if (wanted != 0)
        out.resize(static_cast<size_t>(wanted));
    return true;
}

bool CompoundFile::readChain(std::uint32_t start, std::uint64_t size, QByteArray &out) const
{
    const auto sectorSize = static_cast<std::uint64_t>(1) << m_sectorShift;
    const std::uint64_t wanted = (size + sectorSize - 1) >> m_sectorShift;
    // Checked before anything is allocated: a stream cannot be larger than the file.
    if (wanted > m_sectorCount)
        return false;
    out = QByteArray();
    if (size == 0)
        return true;
    std::vector<std::uint32_t> sectors;
    if (!chain(m_fat, start, wanted, m_sectorCount, sectors))
        return false;
    out.resize(static_cast<qsizetype>(size));
    std::uint64_t done = 0;
    for (const std::uint32_t sector : sectors) {
        const std::uint64_t at = (static_cast<std::uint64_t>(sector) + 1) << m_sectorShift;
        const std::uint64_t n = std::min(sectorSize, size - done);
        if (at + n > static_cast<std::uint64_t>(m_data.size()))
            return false;
        std::memcpy(out.data() + done, m_data.data() + at, n);
        done += n;
    }
    return true;
}

bool CompoundFile::readDirectory()
{
    std::vector<std::uint32_t> sectors;
    if (!chain(m_fat, m_directoryStart, 0, m_sectorCount, sectors) || sectors.empty())
        return false;
    const qsizetype sectorSize = qsizetype(1) << m_sectorShift;
    m_entries.reserve(sectors.size() * static_cast<size_t>(sectorSize / EntrySize));
    for (const std::uint32_t sector : sectors) {
        const qsizetype at = (qsizetype(sector) + 1) << m_sectorShift;
        if (at + sectorSize > m_data.size())
            return false;
        for (qsizetype e = at; e < at + sectorSize; e += EntrySize) {
            Entry entry;
            // The name's length in bytes counts its terminating NUL.
            const int nameBytes = std::min<int>(u16(m_data, e + 0x40), 64);
            const int chars = nameBytes / 2 > 0 ? nameBytes / 2 - 1 : 0;
            entry.name.resize(chars);
            for (int i = 0; i < chars; ++i)
                entry.name[i] = QChar(u16(m_data, e + 2 * i));
            entry.type = static_cast<std::uint8_t>(m_data[e + 0x42]);
            entry.left = u32(m_data, e + 0x44);
            entry.right = u32(m_data, e + 0x48);
            entry.child = u32(m_data, e + 0x4C);
            entry.start = u32(m_data, e + 0x74);
            entry.size = u64(m_data, e + 0x78);
            // Version 3 files may leave garbage in the size's high half.
            if (!m_version4)
                entry.size &= 0xFFFFFFFFu;
            m_entries.push_back(std::move(entry));
        }
    }
    if (m_entries.front().type != Root)
        return false;

    if (m_miniFatStart != EndOfChain) {
        if (!chain(m_fat, m_miniFatStart, 0, m_sectorCount, sectors))
            return false;
        const qsizetype perSector = sectorSize / 4;
        m_miniFat.reserve(sectors.size() * static_cast<size_t>(perSector));
        for (const std::uint32_t sector : sectors) {
            const qsizetype at = (qsizetype(sector) + 1) << m_sectorShift;
            if (at + sectorSize > m_data.size())
                return false;
            for (qsizetype j = 0; j < perSector; ++j)
                m_miniFat.push_back(u32(m_data, at + 4 * j));
        }
    }
    return true;
}

bool CompoundFile::findRootStreams()
{
    // The root's children form a tree through their left and right siblings.
    std::vector<bool> seen(m_entries.size());
    std::vector<std::uint32_t> pending{m_entries.front().child};
    while (!pending.empty()) {
        const std::uint32_t id = pending.back();
        pending.pop_back();
        if (id == NoEntry)
            continue;
        if (id >= m_entries.size() || id == 0 || seen[id])
            return false;
        seen[id] = true;
        const Entry &entry = m_entries[id];
        if (entry.type == Stream || entry.type == Storage)
            m_rootStreams.push_back(id);
        pending.push_back(entry.left);
        pending.push_back(entry.right);
    }
    return true;
}

const CompoundFile::Entry *CompoundFile::rootStream(QStringView name) const
{
    for (const std::uint32_t id : m_rootStreams) {
        const Entry &entry = m_entries[id];
        if (entry.type == Stream && name.compare(entry.name, Qt::CaseInsensitive) == 0)
            return &entry;
    }
    return nullptr;
}

bool CompoundFile::hasStream(QStringView name) const
{
    return rootStream(name) != nullptr;
}

Result<QByteArray> CompoundFile::stream(QStringView name) const
{
    const Entry *entry = rootStream(name);
    if (!entry)
        return damaged();
    QByteArray out;
    if (entry->size >= m_miniCutoff) {
        if (!readChain(entry->start, entry->size, out))
            return damaged();
        return out;
    }

    // A small stream lives in the mini stream (the root entry's own chain) in mini sectors.
    const Entry &root = m_entries.front();
    QByteArray mini;
    if (!readChain(root.start, root.size, mini))
        return damaged();
    const auto miniSize = static_cast<std::uint64_t>(1) << m_miniSectorShift;
    const std::uint64_t wanted = (entry->size + miniSize - 1) >> m_miniSectorShift;
    const std::uint64_t available =
        (static_cast<std::uint64_t>(mini.size()) + miniSize - 1) >> m_miniSectorShift;
    std::vector<std::uint32_t> sectors;
    if (wanted > available || !chain(m_miniFat, entry->start, wanted, available, sectors))
        return damaged();
    out.resize(static_cast<qsizetype>(entry->size));
    std::uint64_t done = 0;
    for (const std::uint32_t sector : sectors) {
        const std::uint64_t at = static_cast<std::uint64_t>(sector) << m_miniSectorShift;
        const std::uint64_t n = std::min(miniSize, entry->size - done);
        if (at + n > static_cast<std::uint64_t>(mini.size()))
            return damaged();
        std::memcpy(out.data() + done, mini.constData() + at, n);
        done += n;
    }
    return out;
}

} // namespace fenpai
