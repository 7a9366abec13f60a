#pragma once

#include <cstddef>
#include <cstdint>

namespace fenpai::fuzz {

// One fuzz input through a workbook reader and, when it reads, through the tables the import
// makes of its sheets. An input that starts like a zip is read as a whole file, so the archive
// layer is fuzzed too; any other is split at lines "----" into the reader's XML parts (the
// worksheet, shared strings and styles of an .xlsx; the content of an .ods), which are packed
// into a stored zip around them, so that most inputs reach the XML parsers instead of failing
// the archive's checksums. Used by the fuzz targets and by the regression test that replays
// the inputs once found.
void readXlsx(const std::uint8_t *data, std::size_t size);
void readOds(const std::uint8_t *data, std::size_t size);
// The bytes as a delimited text file: encoding, delimiter, quoting and numbers.
void readCsv(const std::uint8_t *data, std::size_t size);

} // namespace fenpai::fuzz
