#pragma once

#include "core/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace fenpai {

// A compound file (the OLE2 container of .xls workbooks and of encrypted .xlsx packages): a small
// file system of streams kept in fixed-size sectors chained through an allocation table. Every
// sector number, chain and size is checked against the file, so a damaged file ends in a failure
// instead of a read out of bounds, a loop or a huge allocation.
class CompoundFile final
{
public:
    static bool hasSignature(QByteArrayView data);

    // Parses the header, the allocation tables and the directory of `data`, which must outlive
    // the object. Fails (kind Io, WorkbookReader::reasonDamaged()) when any of them is damaged.
    static Result<CompoundFile> open(QByteArrayView data);

    // Whether the root storage holds a stream of that name (compared case-insensitively).
    bool hasStream(QStringView name) const;
    // The bytes of a stream of the root storage. Fails when there is none, when its sectors are
    // damaged or when it claims more bytes than its chain holds.
    Result<QByteArray> stream(QStringView name) const;

private:
    struct Entry
    {
        QString name;
        std::uint8_t type = 0;
        std::uint32_t left = 0;
        std::uint32_t right = 0;
        std::uint32_t child = 0;
        std::uint32_t start = 0;
        std::uint64_t size = 0;
    };

    CompoundFile() = default;

    bool readHeader();
    bool readFat();
    bool readDirectory();
    bool findRootStreams();
    // The first `wanted` sectors of the chain from `start` (all of them when wanted is 0). False
    // when a sector lies outside `table` or the file, repeats, or the chain holds fewer.
    bool chain(const std::vector<std::uint32_t> &table, std::uint32_t start, std::uint64_t wanted,
               std::uint64_t sectorLimit, std::vector<std::uint32_t> &out) const;
    // The first `size` bytes of a chain of sectors of the file.
    bool readChain(std::uint32_t start, std::uint64_t size, QByteArray &out) const;
    const Entry *rootStream(QStringView name) const;

    QByteArrayView m_data;
    int m_sectorShift = 9;
    int m_miniSectorShift = 6;
    std::uint32_t m_fatSectors = 0;
    std::uint32_t m_directoryStart = 0;
    std::uint32_t m_miniCutoff = 4096;
    std::uint32_t m_miniFatStart = 0;
    std::uint32_t m_difatStart = 0;
    bool m_version4 = false;
    std::uint64_t m_sectorCount = 0; // sectors the file holds, the last one maybe cut short
    std::vector<std::uint32_t> m_fat;
    std::vector<std::uint32_t> m_miniFat;
    std::vector<Entry> m_entries;
    std::vector<std::uint32_t> m_rootStreams; // indexes into m_entries
};

} // namespace fenpai
