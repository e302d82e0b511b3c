// The clipboard's text of copied cells, read as tactical and as city cells:
// whatever a reader takes, written out and read again, is the same block.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "base/Errors.h"
#include "city/CityTileBlock.h"
#include "tactical/TacCellBlock.h"

using namespace ketral;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        MemorySource src(data, size, "clipboard");
        const TacCellBlock block = ReadTacCellsText(src);
        if (!block.Whole()) std::abort();
        if (!(ReadTacCellsText(TacCellsText(block)) == block)) std::abort();
    } catch (const Error&) {
    }
    try {
        MemorySource src(data, size, "clipboard");
        const CityTileBlock block = ReadCityCellsText(src);
        if (!block.Whole()) std::abort();
        if (!(ReadCityCellsText(CityCellsText(block)) == block)) std::abort();
    } catch (const Error&) {
    }
    return 0;
}
