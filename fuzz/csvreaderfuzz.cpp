#include "workbookfuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fenpai::fuzz::readCsv(data, size);
    return 0;
}
