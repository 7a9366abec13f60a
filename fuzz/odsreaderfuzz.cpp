#include "workbookfuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fenpai::fuzz::readOds(data, size);
    return 0;
}
